#include "wordindex/index_settings.h"

#include "tables/config/settings.h"

namespace pm {

namespace {
constexpr int kGet = 3;
}  // namespace

BYTE IndexSettings::autoStopWords(BYTE databaseType) const {
    switch (databaseType) {
        case TypeMail: return mailAutoStop;
        case TypeNewsgroup: return newsgroupAutoStop;
        default: return forumAutoStop;
    }
}

BYTE IndexSettings::indexFooters(BYTE databaseType) const {
    switch (databaseType) {
        case TypeMail: return 1;
        case TypeNewsgroup: return newsgroupFooters;
        default: return forumFooters;
    }
}

std::optional<IndexSettings> loadIndexSettings() {
    IndexSettings s;
    const struct {
        int item;
        BYTE* value;
    } bytes[] = {{49, &s.indexNumbers},    {53, &s.forumAutoStop},    {54, &s.newsgroupAutoStop},
                 {55, &s.mailAutoStop},    {51, &s.forumFooters},     {52, &s.newsgroupFooters}};
    for (const auto& b : bytes)
        if (!WSVars(kGet, b.item, nullptr, b.value, nullptr)) return std::nullopt;
    if (!WSVars(kGet, 50, nullptr, nullptr, &s.searchPause)) return std::nullopt;
    return s;
}

LONG searchPauseSetting() {
    LONG pause = 10000;
    if (!WSVars(kGet, 50, nullptr, nullptr, &pause)) pause = 10000;
    return pause < 1 ? 1 : pause;
}

}  // namespace pm
