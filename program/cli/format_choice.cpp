#include "cli/format_choice.h"

#include <algorithm>
#include <cctype>

#include "cli/command_context.h"

namespace pm::cli {

namespace {

// The files of each format by its number (1-35).
const char* const kDescriptions[] = {
    "",
    "AUTOSIG capture files (*.ATO)",
    "CISCOMM message tables (dBase *.DBF)",
    "CompuServe 3.x filing cabinet (FCABINET.DAT)",
    "CSNav message stores (*.THD, *.MSG, *.PLX)",
    "DOSCIM message stores (*.THD, *.MSG, *.PLX)",
    "Eudora mailboxes (*.MBX, with their *.TOC when present)",
    "GoldenCompass capture files (*.MSG)",
    "Internet Explorer mail files (*.MBX)",
    "Internet Explorer news caches (*.NCH)",
    "NavCIS 1.6x message tables (RECV.DBF)",
    "NavCIS 1.7x and later message tables (HRECV.DBF)",
    "OzCIS capture files (*.MSG, *.PRG, *.OBS)",
    "OzWin I capture files (*.MSG, *.PRG, *.OBS)",
    "OzWin II capture files (*.MSG, *.PRG, *.OBS)",
    "TAPCIS 5.x capture files (*.MSG, *.OLD)",
    "Virtual Access export files (messages after lines of ten \"=\")",
    "WinCIM message stores (*.THD, *.MSG, *.PLX)",
    "Agent news files (articles after \"========From \" lines or Unix mailbox lines)",
    "TAPCIS 6.x capture files (*.MSG, *.OLD)",
    "Pegasus mail folders (*.PMM)",
    "Netscape news folders (*.SNM)",
    "Netscape mail folders (messages after \"From - \" lines)",
    "Outlook Express 4 mail files (*.MBX)",
    "Outlook Express 4 news caches (*.NCH)",
    "NavCIS save files (*.SAV)",
    "mail files of Internet messages one after another (split at their header lines)",
    "Becky! mailboxes (*.MBX)",
    "Unix news spools (a Unix mailbox of articles, \"From \" lines with an address)",
    "Gravity news files (articles found by their header lines)",
    "Agent mail files (split at their header lines)",
    "OUI message tables (MESSAGE.DBF)",
    "Outlook Express 5 mail folders (*.DBX)",
    "Outlook folder files (*.pst, *.ost)",
    "Outlook Express 5 news folders (*.DBX)",
    "a Unix mbox (messages after lines beginning \"From \")",
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Lower is closer: a name that holds the text, then one whose file line
// does, then by the edit distance to the name's start of the same length.
std::size_t distance(const FormatEntry& format, const std::string& wanted) {
    const std::string name = lower(format.name);
    if (name.find(wanted) != std::string::npos) return 0;
    if (lower(formatFileDescription(format)).find(wanted) != std::string::npos) return 1;
    const std::size_t whole = editDistance(wanted, name);
    const std::size_t prefix = editDistance(wanted, name.substr(0, wanted.size()));
    return 2 + std::min(whole, prefix);
}

}  // namespace

std::string formatFileDescription(const FormatEntry& format) {
    if (format.number < 1 || format.number > 35) return "";
    std::string kinds;
    const auto add = [&kinds](const char* kind) { kinds += std::string(kinds.empty() ? "" : ", ") + kind; };
    if (format.kinds & KindForum) add("forum messages");
    if (format.kinds & KindMail) add("mail");
    if (format.kinds & KindNews) add("newsgroup messages");
    return std::string(kDescriptions[format.number]) + ": " + kinds;
}

std::vector<const FormatEntry*> closestFormats(const std::string& name, std::size_t limit) {
    const std::string wanted = lower(name);
    std::vector<std::pair<std::size_t, const FormatEntry*>> scored;
    for (const FormatEntry* f : formatList()) scored.push_back({distance(*f, wanted), f});
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // Far-off names are no help: keep those within half the text's length.
    const std::size_t tolerance = 2 + std::max<std::size_t>(2, wanted.size() / 2);
    std::vector<const FormatEntry*> out;
    for (const auto& [score, f] : scored)
        if (out.size() < limit && score <= tolerance) out.push_back(f);
    return out;
}

const FormatEntry& formatArgument(const std::string& name, const std::string& command) {
    if (const FormatEntry* f = formatByName(name)) return *f;
    std::string text = command + ": no format \"" + name + "\"";
    const std::vector<const FormatEntry*> close = closestFormats(name);
    if (!close.empty()) {
        text += "; the closest:";
        for (const FormatEntry* f : close) text += std::string("\n  ") + f->name + "  (" + formatFileDescription(*f) + ")";
    }
    text += "\n(pmoor32 formats lists them all)";
    throw UsageError(text);
}

}  // namespace pm::cli
