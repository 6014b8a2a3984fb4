// The NavCIS save parser. A saved message starts at a "Subject:  " line
// followed by a "   From:  " line; every field starts at position 11.
//   Forum message                          Mail
//   Subject:  #153100-#Re: Topic  Msg Number: 153121
//      From:  Name 72755,500               Subject:  subject
//        To:  All                             From:  sender
//     Forum:  CIS:FORUM Sec: 1-General          To:  receiver
//      Date:  10-Nov-85                       Date:  10-Nov-85 16:47
//   (blank), body                          (blank), body
#include "common/text.h"
#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parsers.h"
#include "import/capture/capture_parties.h"
#include "import/capture/header_lines.h"
#include "import/capture/queue_parser.h"

namespace pm::capture {

namespace {

constexpr std::string_view kSubject = "Subject:  ";
constexpr std::string_view kFrom = "   From:  ";
constexpr std::string_view kTo = "     To:  ";
constexpr std::string_view kForum = "  Forum:  ";
constexpr std::string_view kDate = "   Date:  ";
constexpr std::string_view kMsgNumber = "Msg Number: ";
constexpr std::size_t kFieldStart = 11;
constexpr std::size_t kMaxReferenceDigits = 7;

bool digit(char c) { return c >= '0' && c <= '9'; }

class NavCisSaveParser final : public QueueParser {
public:
    NavCisSaveParser() : QueueParser(CaptureFormat::NavCisSave, LineEnds::Text) {}

private:
    bool startsMessage(std::string_view line, std::string_view next, int) const override {
        return line.starts_with(kSubject) && next.starts_with(kFrom);
    }
    bool needsNextLine() const override { return true; }

    HeaderResult parseHeader(ParserCall& call, std::size_t start, WorkRecord& record) override {
        const HeaderLines h(queue(), start, 7);
        record.clear();
        const std::size_t bodyLine =
            call.variant == 2 ? readMail(call, record, h) : readForumMessage(call, record, h);
        if (bodyLine == 0) return {};
        return {true, h.position(bodyLine)};
    }

    std::size_t readForumMessage(ParserCall& call, WorkRecord& record, const HeaderLines& h) {
        const char* cp = codePage();
        const std::string_view subjectLine = h.line(0);
        std::size_t subjectStart = kFieldStart;
        if (charAt(subjectLine, kFieldStart) == '#') {
            std::size_t end = kFieldStart + 1;
            while (end < kFieldStart + 1 + kMaxReferenceDigits && digit(charAt(subjectLine, end))) ++end;
            record.REFNUMBER = static_cast<ULONG>(numberOf(textFrom(subjectLine, kFieldStart + 1, end - kFieldStart - 1)));
            // Digits, one separator, and a "#" that may follow it; a "#"
            // without digits only marks the thread.
            subjectStart = end == kFieldStart + 1 ? end : end + 1;
            if (charAt(subjectLine, subjectStart) == '#') ++subjectStart;
        }
        std::string_view rest = textFrom(subjectLine, subjectStart);
        const std::size_t marker = rest.find(kMsgNumber);
        if (marker == std::string_view::npos) return 0;
        const unsigned long number = leadingNumber(rest.substr(marker + kMsgNumber.size()));
        if (number == 0 || number >= MaxMessageNumber) return 0;
        record.MSGNUMBER = static_cast<ULONG>(number);
        record.HEADING = fieldText(rest.substr(0, marker >= 2 ? marker - 2 : 0), cp);
        if (record.REFNUMBER == record.MSGNUMBER) record.REFNUMBER = 0;

        if (!h.line(2).starts_with(kTo) || !h.line(3).starts_with(kForum) || !h.line(4).starts_with(kDate)) return 0;
        std::string address, name;
        splitForumParty(partyText(textFrom(h.line(1), kFieldStart), cp), address, name);
        record.S_NAME = name;
        record.S_CISADRESS = address;
        splitForumParty(partyText(textFrom(h.line(2), kFieldStart), cp), address, name);
        record.R_NAME = name;
        record.R_CISADRESS = address;

        std::string_view forumText = textFrom(h.line(3), 10);
        const std::size_t sec = forumText.find("Sec: ");
        std::string forum = fieldText(forumText.substr(0, sec), cp);
        if (startsWithCaseless(forum, "CIS:")) forum = std::string(trimmed(std::string_view(forum).substr(4)));
        if (forum.empty()) return 0;
        if (sec != std::string_view::npos) {
            std::string_view section = forumText.substr(sec + 5);
            const std::size_t dash = section.find('-');
            record.SECTIONNUMBER = static_cast<ULONG>(leadingNumber(section.substr(0, dash)));
            if (dash != std::string_view::npos) record.SEC_DESCRIPTION = fieldText(section.substr(dash + 1), cp);
        }
        record.FOR_DESCRIPTION = forum;
        record.DATE = captureDate(textFrom(h.line(4), kFieldStart), cp);
        if (!acceptForumMessage(call, record, importRegister())) return 0;
        return 6;
    }

    std::size_t readMail(ParserCall& call, WorkRecord& record, const HeaderLines& h) {
        const char* cp = codePage();
        if (!h.line(2).starts_with(kTo) || !h.line(3).starts_with(kDate)) return 0;
        if (h.line(0).size() > kSubject.size()) record.HEADING = fieldText(textFrom(h.line(0), kFieldStart), cp);
        std::string fromAddress, fromName, toAddress, toName;
        splitMailParty(partyText(textFrom(h.line(1), kFieldStart), cp), fromAddress, fromName);
        if (isOwnerAddress(call, fromAddress)) {
            splitMailParty(partyText(textFrom(h.line(2), kFieldStart), cp), toAddress, toName);
            record.R_NAME = toName;
            record.R_CISADRESS = toAddress;
            setOwnerAsSender(call, record);
        } else {
            record.S_NAME = fromName;
            record.S_CISADRESS = fromAddress;
            setOwnerAsReceiver(call, record);
        }
        const std::string_view dateLine = h.line(3);
        record.DATE = captureDate(textFrom(dateLine, kFieldStart), cp);
        record.TIME = charAt(dateLine, 23) == ':' ? timeHhMm(dateLine, 21) : 0;
        if (!acceptMail(call, record)) return 0;
        return 5;
    }
};

}  // namespace

std::unique_ptr<FormatParser> makeNavCisSaveParser() { return std::make_unique<NavCisSaveParser>(); }

}  // namespace pm::capture
