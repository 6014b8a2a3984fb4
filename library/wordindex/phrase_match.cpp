#include "wordindex/phrase_match.h"

#include "storage/table.h"
#include "tables/records/message_tables.h"
#include "wordindex/search_words.h"

namespace pm {

PhraseMatcher::PhraseMatcher(std::vector<std::string> phrase)
    : phrase_(std::move(phrase)), breaker_(searchBreakOptions(false)) {
    // For each prefix of the phrase, the longest proper prefix that is also
    // its suffix: where a broken-off match can go on.
    fallback_.assign(phrase_.size(), 0);
    for (std::size_t i = 1, k = 0; i < phrase_.size(); ++i) {
        while (k > 0 && phrase_[i] != phrase_[k]) k = fallback_[k - 1];
        if (phrase_[i] == phrase_[k]) ++k;
        fallback_[i] = k;
    }
}

bool PhraseMatcher::foundIn(std::string_view text) {
    if (phrase_.empty()) return true;
    std::size_t matched = 0;
    bool found = false;
    breaker_.breakText(text, [&](const BrokenWord& w) {
        while (matched > 0 && w.text != phrase_[matched]) matched = fallback_[matched - 1];
        if (w.text == phrase_[matched]) ++matched;
        if (matched == phrase_.size()) {
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

bool PhraseMatcher::messageHolds(ULONG number, BYTE databaseType) {
    if (databaseType == TypeMail) {
        MAI.MAILID = number;
        if (Mail.get(MAI_IdKey) == StorageStatus::Ok && foundIn(MAI.SUBJECT.view())) return true;
    } else {
        MSG.MSGNUMBER = number;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            THR.THREADNUMBER = MSG.THREADNUMBER;
            if (Threads.get(THR_ThreadKey) == StorageStatus::Ok && foundIn(THR.HEADING.view())) return true;
        }
    }
    MsgText.setSkipMemos(false);
    MsgText.clear();
    TXT.MSGNUMBER = number;
    return MsgText.get(TXT_IdKey) == StorageStatus::Ok && foundIn(TXT.MsgText);
}

}  // namespace pm
