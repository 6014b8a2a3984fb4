// The driver's view of the import formats: look-ups in the table the
// format registry installed, and the parser overrides of tests.
#include <map>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/driver/format_table.h"

namespace pm {

namespace {

const std::vector<FormatEntry>*& installedTable() {
    static const std::vector<FormatEntry>* table = nullptr;
    return table;
}

AutomationStarterFunction& installedStarter() {
    static AutomationStarterFunction starter = nullptr;
    return starter;
}

const std::vector<FormatEntry>& formats() {
    static const std::vector<FormatEntry> none;
    const std::vector<FormatEntry>* table = installedTable();
    return table ? *table : none;
}

struct Override {
    FormatParserOverride::Factory factory;
    FormatParserOverride::Detector detector;
};

// The overrides in force, per format; the newest one counts.
std::map<int, std::vector<Override>>& overrides() {
    static std::map<int, std::vector<Override>> map;
    return map;
}

const Override* activeOverride(int format) {
    auto it = overrides().find(format);
    if (it == overrides().end() || it->second.empty()) return nullptr;
    return &it->second.back();
}

int normalised(int number) { return number == 0 ? DefaultFormatNumber : number; }

}  // namespace

bool holdsForumAndMail(int format) {
    switch (normalised(format)) {
        case 1: case 2: case 7: case 12: case 15: case 19:
            return true;
        default:
            return false;
    }
}

void installFormatTable(const std::vector<FormatEntry>& table, AutomationStarterFunction startAutomation) {
    installedTable() = &table;
    installedStarter() = startAutomation;
}

const std::vector<FormatEntry>& formatTable() { return formats(); }

const FormatEntry* formatByNumber(int number) {
    number = normalised(number);
    if (number < 1 || number > static_cast<int>(formats().size())) return nullptr;
    return &formats()[static_cast<std::size_t>(number - 1)];
}

const FormatEntry* formatByName(std::string_view name) {
    const std::string_view wanted = trimRight(name);
    for (const FormatEntry& entry : formats())
        if (equalsCaseless(entry.name, wanted)) return &entry;
    return nullptr;
}

std::vector<const FormatEntry*> formatList() {
    std::vector<const FormatEntry*> list;
    for (const FormatEntry& entry : formats())
        if (std::string_view(entry.name).substr(0, 6) != "Reserv") list.push_back(&entry);
    return list;
}

std::unique_ptr<FormatParser> makeFormatParser(int format) {
    format = normalised(format);
    if (const Override* o = activeOverride(format)) return o->factory ? o->factory() : nullptr;
    const FormatEntry* entry = formatByNumber(format);
    return entry && entry->factory ? entry->factory() : nullptr;
}

bool formatImportable(int format) {
    format = normalised(format);
    if (const Override* o = activeOverride(format)) return static_cast<bool>(o->factory);
    const FormatEntry* entry = formatByNumber(format);
    return entry && entry->factory;
}

int detectFormatVariant(int format, const ImportRequest& request, const std::string& fileName) {
    format = normalised(format);
    if (const Override* o = activeOverride(format)) {
        if (o->detector) return o->detector(request, fileName);
    } else if (const FormatEntry* entry = formatByNumber(format); entry && entry->detect) {
        return entry->detect(request, fileName);
    }
    return -1;
}

AutomationResult startAutomation(int format, const ImportRequest& request) {
    const FormatEntry* entry = formatByNumber(format);
    if (entry && entry->family == ParserFamily::OutlookAutomation && installedStarter())
        return installedStarter()(request);
    return {};
}

FormatParserOverride::FormatParserOverride(int format, Factory factory, Detector detector)
    : format_(normalised(format)) {
    overrides()[format_].push_back({std::move(factory), std::move(detector)});
}

FormatParserOverride::~FormatParserOverride() {
    auto& stack = overrides()[format_];
    if (!stack.empty()) stack.pop_back();
}

}  // namespace pm
