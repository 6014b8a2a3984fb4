// Forum message headers of the capture formats:
//   #: 153121 S1/General (CIS:FORUM)    number, section, forum (OzCIS, OzWin)
//       10-Nov-85  16:47:35             date
//   Sb: #153100-Subject                 subject, referenced message
//   Fm: Name 72755,500                  sender
//   To: All                             receiver
//   (OzWin II: "Par: n" gives the referenced message)
//   body
#include "import/capture/capture_headers.h"

#include "common/text.h"
#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parties.h"

namespace pm::capture {

namespace {

constexpr std::size_t kSectionWidth = 30;

bool digit(char c) { return c >= '0' && c <= '9'; }

// The forum named between the last "(" that has a ")" after it and that
// ")"; npos in `open` when there is none.
std::string_view parenthesisedName(std::string_view line, std::size_t& open) {
    open = std::string_view::npos;
    for (std::size_t i = line.size(); i-- > 0;) {
        if (line[i] != '(') continue;
        const std::size_t close = line.find(')', i + 1);
        if (close == std::string_view::npos) continue;
        open = i;
        return line.substr(i + 1, close - i - 1);
    }
    return {};
}

// The forum a TAPCIS-style start line names at its end in brackets
// ("#: 101 S1/General  [FORUM]"); npos in `open` when there is none.
std::string_view bracketedName(std::string_view line, std::size_t& open) {
    open = std::string_view::npos;
    std::string_view t = line;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (t.empty() || t.back() != ']') return {};
    const std::size_t at = t.rfind('[');
    if (at == std::string_view::npos || at == 0 || t[at - 1] != ' ') return {};
    open = at;
    return t.substr(at + 1, t.size() - at - 2);
}

std::string withoutCisPrefix(std::string name) {
    if (startsWithCaseless(name, "CIS:")) name.erase(0, 4);
    return std::string(trimmed(name));
}

void readSection(std::string_view text, const char* codePage, ForumNumberAndSection& out) {
    text = trimmed(text);
    // A marker such as "(R) " before the section.
    if (text.size() >= 4 && text[0] == '(' && text[2] == ')') text.remove_prefix(4);
    text = text.substr(0, kSectionWidth);
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        out.sectionName = fieldText(text, codePage);
        return;
    }
    out.sectionNumber = slash < 2 ? 0 : static_cast<ULONG>(leadingNumber(text.substr(1, slash - 1)));
    out.sectionName = fieldText(text.substr(slash + 1), codePage);
}

}  // namespace

ForumNumberAndSection readForumStartLine(std::string_view line, CaptureFormat format, const char* codePage) {
    ForumNumberAndSection out;
    std::string_view numberText = textFrom(line, 4, 12);
    numberText = numberText.substr(0, numberText.find(' '));
    const std::size_t sectionStart = 4 + numberText.size() + 1;
    if (hasTapcis5Layout(format)) numberText = withoutTrailing(numberText, "@b");
    const unsigned long number = numberOf(numberText);
    if (number == 0 || number >= MaxMessageNumber) return out;
    out.number = number;
    out.numberDigits = numberText.size();

    std::string_view section = textFrom(line, sectionStart);
    if (isOzFamily(format)) {
        std::size_t open;
        std::string_view forum = parenthesisedName(line, open);
        if (open != std::string_view::npos) {
            out.forumName = withoutCisPrefix(fieldText(forum, codePage));
            section = open + 1 > sectionStart ? line.substr(sectionStart - 1, open - (sectionStart - 1)) : "";
        }
    } else {
        std::size_t open;
        std::string_view forum = bracketedName(line, open);
        if (open != std::string_view::npos && open + 1 > sectionStart) {
            out.forumName = std::string(trimmed(fieldText(forum, codePage)));
            section = line.substr(sectionStart - 1, open - (sectionStart - 1));
        }
    }
    if (hasTapcis5Layout(format)) section = withoutTrailing(section, "@b");
    readSection(section, codePage, out);
    return out;
}

SubjectAndReference readSubjectLine(std::string_view line, unsigned long number, std::size_t numberDigits,
                                    CaptureFormat format, const char* codePage) {
    SubjectAndReference out;
    std::size_t subjectStart = 5;
    std::size_t referenceStart = 0;
    if (charAt(line, 5) == '#') referenceStart = 6;
    else if (digit(charAt(line, 5))) referenceStart = 5;
    if (referenceStart != 0) {
        for (std::size_t k = 0; k <= numberDigits; ++k) {
            const std::size_t pos = referenceStart + k;
            if (pos <= line.size() && line[pos - 1] != ' ' && line[pos - 1] != '-') continue;
            const unsigned long reference = numberOf(textFrom(line, referenceStart, k));
            if (reference > 0 && reference <= number && number - reference <= MaxReferenceDistance) {
                out.reference = static_cast<ULONG>(reference);
                subjectStart = pos + 1;
            }
            break;
        }
    }
    std::string_view subject = textFrom(line, subjectStart);
    if (subject.starts_with('#')) subject.remove_prefix(1);
    if (hasTapcis5Layout(format)) subject = withoutTrailing(subject, "@b");
    out.subject = fieldText(subject, codePage);
    return out;
}

HeaderResult parseCaptureForumHeader(ParserCall& call, WorkRecord& record, const inet::LineQueue& queue,
                                     std::size_t start, CaptureFormat format, const ImportRegister& imported) {
    const char* codePage = codePageOf(format);
    const HeaderLines h(queue, start, CaptureHeaderLines);
    record.clear();
    const ForumNumberAndSection first = readForumStartLine(h.line(0), format, codePage);
    if (first.number == 0) return {};
    if (!h.line(2).starts_with("Sb:") || !h.line(3).starts_with("Fm:") || !h.line(4).starts_with("To:")) return {};

    record.MSGNUMBER = static_cast<ULONG>(first.number);
    record.SECTIONNUMBER = first.sectionNumber;
    record.SEC_DESCRIPTION = first.sectionName;
    record.FOR_DESCRIPTION = first.forumName.empty() ? enteredForumName(call) : first.forumName;
    record.DATE = format == CaptureFormat::Tapcis5 ? captureDate(textFrom(h.line(1), 5, 9), codePage)
                                                : dateOfDateLine(h.line(1), codePage).date;

    const SubjectAndReference subject = readSubjectLine(h.line(2), first.number, first.numberDigits, format, codePage);
    record.HEADING = subject.subject;
    record.REFNUMBER = subject.reference;
    if (format == CaptureFormat::OzWin2) {
        const std::size_t par = textFrom(h.line(5), 1, 40).find("Par:");
        if (par != std::string_view::npos) {
            record.REFNUMBER = static_cast<ULONG>(leadingNumber(textFrom(h.line(5), par + 5, 8)));
            record.HEADING = fieldText(textFrom(h.line(2), 5), codePage);
        }
    }

    std::string address, name;
    auto party = [&](std::string_view line) {
        std::string_view text = textFrom(line, 5);
        if (hasTapcis5Layout(format)) text = withoutTrailing(text, "@b");
        splitForumParty(partyText(text, codePage), address, name);
    };
    party(h.line(3));
    record.S_NAME = name;
    record.S_CISADRESS = address;
    party(h.line(4));
    record.R_NAME = name;
    record.R_CISADRESS = address;

    if (!acceptForumMessage(call, record, imported)) return {};
    return {true, h.position(6)};
}

}  // namespace pm::capture
