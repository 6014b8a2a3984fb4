#include "import/driver/format_table.h"

#include <map>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/capture/capture_parsers.h"
#include "import/formats/mail_news_formats.h"
#include "import/navigator/navigator_parsers.h"
#include "import/outlook/outlook_import.h"

namespace pm {

namespace {

constexpr SourceKind Lines = SourceKind::TextLines;
constexpr SourceKind Stream = SourceKind::ByteStream;
constexpr SourceKind TwoPass = SourceKind::TwoPassStream;
constexpr SourceKind Dbf = SourceKind::DatabaseTable;
constexpr SourceKind Auto = SourceKind::Automation;

constexpr ParserFamily Capture = ParserFamily::Capture;
constexpr ParserFamily Navigator = ParserFamily::NavigatorStore;
constexpr ParserFamily MailNews = ParserFamily::MailNews;
constexpr ParserFamily Outlook = ParserFamily::OutlookAutomation;

constexpr unsigned Forum = KindForum;
constexpr unsigned Mail = KindMail;
constexpr unsigned News = KindNews;
constexpr unsigned ForumMail = KindForum | KindMail;

// To plug a parser in, put its factory (and, for the text-line capture
// formats, its detector) into the last two columns of its row.
const std::vector<FormatEntry> kFormats = {
    {1, "AUTOSIG", "*.ATO", Lines, Capture, ForumMail, capture::makeAutosigParser, capture::detectTapcisVariant},
    {2, "CISCOMM", "*.DBF", Dbf, Navigator, ForumMail, navigator::makeCisCommParser, nullptr},
    {3, "CompuServe 3.x", "FCABINET.DAT", TwoPass, Navigator, ForumMail, navigator::makeCabinetParser, nullptr},
    {4, "CSNav", "*.THD;*.MSG;*.PLX", Stream, Navigator, ForumMail, navigator::makeCsNavParser, nullptr},
    {5, "DOSCIM", "*.THD;*.MSG;*.PLX", Stream, Navigator, ForumMail, navigator::makeDosCimParser, nullptr},
    {6, "Eudora", "*.MBX", Stream, MailNews, Mail, formats::makeEudoraParser, nullptr},
    {7, "GoldenCompass", "*.MSG", Stream, Capture, ForumMail, capture::makeGoldenCompassParser, nullptr},
    {8, "IE Mail", "*.MBX", Stream, MailNews, Mail, formats::makeIeMailParser, nullptr},
    {9, "IE News", "*.NCH", Stream, MailNews, News, formats::makeIeNewsParser, nullptr},
    {10, "NavCIS 1.6x", "RECV.DBF", Dbf, Navigator, ForumMail, navigator::makeNavCisParser, nullptr},
    {11, "NavCIS 1.7x-", "HRECV.DBF", Dbf, Navigator, ForumMail, navigator::makeNavCisParser, nullptr},
    {12, "OzCIS", "*.MSG;*.PRG;*.OBS", Lines, Capture, ForumMail, capture::makeOzCisParser,
     capture::detectOzVariant},
    {13, "OzWin I", "*.MSG;*.PRG;*.OBS", Lines, Capture, ForumMail, capture::makeOzWin1Parser,
     capture::detectOzVariant},
    {14, "OzWin II", "*.MSG;*.PRG;*.OBS", Lines, Capture, ForumMail, capture::makeOzWin2Parser,
     capture::detectOzVariant},
    {15, "TAPCIS 5.x", "*.MSG;*.OLD", Lines, Capture, ForumMail, capture::makeTapcis5Parser,
     capture::detectTapcisVariant},
    {16, "VirtualAccess", "*.", Stream, MailNews, Forum | Mail | News, formats::makeVirtualAccessParser, nullptr},
    {17, "WinCIM", "*.THD;*.MSG;*.PLX", Stream, Navigator, ForumMail, navigator::makeWinCimParser, nullptr},
    {18, "Agent News", "*.*", Stream, MailNews, News, formats::makeAgentNewsParser, nullptr},
    {19, "TAPCIS 6.x", "*.MSG;*.OLD", Lines, Capture, ForumMail, capture::makeTapcis6Parser,
     capture::detectTapcisVariant},
    {20, "Pegasus", "*.PMM", Stream, MailNews, Mail, formats::makePegasusParser, nullptr},
    {21, "Netscape News", "*.SNM", Stream, MailNews, News, formats::makeNetscapeNewsParser, nullptr},
    {22, "Netscape Mail", "*.*", Stream, MailNews, Mail, formats::makeNetscapeMailParser, nullptr},
    {23, "Outlook Express 4 Mail", "*.MBX", Stream, MailNews, Mail, formats::makeIeMailParser, nullptr},
    {24, "Outlook Express 4 News", "*.NCH", Stream, MailNews, News, formats::makeIeNewsParser, nullptr},
    {25, "NavCIS Save format", "*.SAV", Lines, Capture, ForumMail, capture::makeNavCisSaveParser,
     capture::detectNavCisSaveVariant},
    {26, "Generic Mail Type 1", "*.*", Stream, MailNews, Mail, formats::makeHeaderMailParser, nullptr},
    {27, "Becky Mail", "*.MBX", Stream, MailNews, Mail, formats::makeHeaderMailParser, nullptr},
    {28, "Unix News", "*.*", Stream, MailNews, News, formats::makeUnixNewsParser, nullptr},
    {29, "Gravity", "*.*", Stream, MailNews, News, formats::makeGravityParser, nullptr},
    {30, "Agent Mail", "*.*", Stream, MailNews, Mail, formats::makeHeaderMailParser, nullptr},
    {31, "OUI", "MESSAGE.DBF", Dbf, Navigator, ForumMail, navigator::makeOuiParser, nullptr},
    {32, "Outlook Express 5 Mail", "*.DBX", Stream, MailNews, Mail, formats::makeOutlookExpress5MailParser, nullptr},
    {33, "Outlook Mail", "", Auto, Outlook, Mail, outlook::makeOutlookParser, nullptr},
    {34, "Outlook Express 5 News", "*.DBX", Stream, MailNews, News, formats::makeOutlookExpress5NewsParser, nullptr},
    {35, "Generic Mail Type 2", "*.*", Stream, MailNews, Mail, formats::makeMailboxParser, nullptr},
};

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

const std::vector<FormatEntry>& formatTable() { return kFormats; }

const FormatEntry* formatByNumber(int number) {
    number = normalised(number);
    if (number < 1 || number > static_cast<int>(kFormats.size())) return nullptr;
    return &kFormats[static_cast<std::size_t>(number - 1)];
}

const FormatEntry* formatByName(std::string_view name) {
    const std::string_view wanted = trimRight(name);
    for (const FormatEntry& entry : kFormats)
        if (equalsCaseless(entry.name, wanted)) return &entry;
    return nullptr;
}

std::vector<const FormatEntry*> formatList() {
    std::vector<const FormatEntry*> list;
    for (const FormatEntry& entry : kFormats)
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
    if (entry && entry->family == ParserFamily::OutlookAutomation) return outlook::startOutlook(request);
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
