// The format registry: every import format with the parser that reads it.
// It sits above the import driver and the parsers: the driver knows the
// formats only through the table this file installs (format_table.h).
#include "import/capture/capture_parsers.h"
#include "import/driver/format_table.h"
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

// The driver reads the table from the moment the library is loaded. Every
// automation format is Outlook's.
[[maybe_unused]] const bool kInstalled = (installFormatTable(kFormats, outlook::startOutlook), true);

}  // namespace

}  // namespace pm
