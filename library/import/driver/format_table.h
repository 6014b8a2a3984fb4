#pragma once
// The import formats: number, name, default masks, how the source is read,
// which parser family handles it, which message kinds it holds, and the
// parser factory and capture-format detector of each.
//
// A parser plugs in by naming its factory (and, for text-line capture
// formats, its detector) in the row of its format in the format registry
// (import/registry/format_table.cpp), which sits above the driver and the
// parsers and installs its table here. A format without a factory cannot be
// imported yet: the driver refuses it at the start of the run.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import/driver/automation_session.h"
#include "import/driver/format_parser.h"

namespace pm {

struct ImportRequest;

// How the driver (and the parser) reads the source of a format.
enum class SourceKind {
    TextLines,      // a text file read line by line
    ByteStream,     // a binary file read in chunks
    TwoPassStream,  // a binary file read in two passes (first call FirstPass)
    DatabaseTable,  // a dBase table of another program
    Automation,     // a mail application driven through automation, by folder
};

// The parser family that owns a format.
enum class ParserFamily { Capture, NavigatorStore, MailNews, OutlookAutomation };

// Message kinds a format holds (a bit set).
enum FormatKinds : unsigned { KindForum = 1, KindMail = 2, KindNews = 4 };

// Makes a parser for one file of the format.
using ParserFactoryFunction = std::unique_ptr<FormatParser> (*)();
// Capture-format detection: 0 = not a message file, 1 = forum messages,
// 2 = mail. Called once per file after the parser's first call.
using VariantDetectorFunction = int (*)(const ImportRequest& request, const std::string& fileName);

struct FormatEntry {
    int number;                     // 1-35
    const char* name;               // up to 22 characters
    const char* masks;              // default masks, ";"-separated ("" = none)
    SourceKind source;
    ParserFamily family;
    unsigned kinds;                 // FormatKinds
    ParserFactoryFunction factory;  // nullptr: not importable by this version
    VariantDetectorFunction detect; // text-line capture formats; nullptr: none
};

// Number 0 in a request stands for this format ("WinCIM").
inline constexpr int DefaultFormatNumber = 17;
// Formats whose files hold forum messages or mail, told apart by the
// request's variant.
bool holdsForumAndMail(int format);

// Connects an automation format's run to its mail application (see
// startAutomation below).
using AutomationStarterFunction = AutomationResult (*)(const ImportRequest& request);

// Makes `table` (every format in number order, row i holding number i + 1)
// the one the look-ups below read, and `startAutomation` the starter of its
// automation formats. The format registry calls it once, when the library
// is loaded; the table must live as long as the library.
void installFormatTable(const std::vector<FormatEntry>& table, AutomationStarterFunction startAutomation);

// All 35 formats in number order (none before the registry installed them).
const std::vector<FormatEntry>& formatTable();

// The entry of `number` (0 means 17); nullptr for a number not in the table.
const FormatEntry* formatByNumber(int number);

// The entry whose name equals `name` without regard to letter case and
// trailing blanks; nullptr when none does.
const FormatEntry* formatByName(std::string_view name);

// The formats offered for choice: the table without entries whose name
// begins with "Reserv".
std::vector<const FormatEntry*> formatList();

// A new parser for `format`, or nullptr when no parser is built for it.
std::unique_ptr<FormatParser> makeFormatParser(int format);

// Whether `format` has a parser (makeFormatParser would give one).
bool formatImportable(int format);

// The capture-format detection of `format` for one file: 0, 1 or 2; -1 when
// the format has no detector (the request's variant then stands).
int detectFormatVariant(int format, const ImportRequest& request, const std::string& fileName);

// Connects an automation format's run to its mail application and chooses
// the request's folders (the import path names Outlook's folder file; the
// selected files are the folder names).
AutomationResult startAutomation(int format, const ImportRequest& request);

// Replaces the parser and detector of a format while the object lives: for
// tests and for parsers that are registered at run time. An empty factory
// makes the format unimportable for that time.
class FormatParserOverride {
public:
    using Factory = std::function<std::unique_ptr<FormatParser>()>;
    using Detector = std::function<int(const ImportRequest&, const std::string&)>;

    FormatParserOverride(int format, Factory factory, Detector detector = {});
    ~FormatParserOverride();
    FormatParserOverride(const FormatParserOverride&) = delete;
    FormatParserOverride& operator=(const FormatParserOverride&) = delete;

private:
    int format_;
};

}  // namespace pm
