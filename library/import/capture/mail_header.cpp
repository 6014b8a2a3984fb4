// Mail headers of the capture formats. The mail's number is not in the
// file: it takes the next running number.
//   TAPCIS 5.x (and GoldenCompass)   TAPCIS 6.x, AUTOSIG          OzCIS, OzWin I, OzWin II
//   #: 123 S1/Outbox (sent)          #: 123 ...                   Date:  15-Mar-96 10:22
//       15-Mar-96 10:22                 15-Mar-96  10:22:33      From:  partner (or MgTo: when sent)
//   Sb: subject                      Sb: subject                  Subj:  subject
//   Fm: sender (received)            Fm: sender                   (blank)
//   To: receiver (sent)              To: receiver                 body (OzWin II received: one line later)
//   body                             (blank), body
#include "import/capture/capture_headers.h"

#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parties.h"

namespace pm::capture {

namespace {

struct Party {
    std::string address, name;
};

Party mailParty(std::string_view raw, CaptureFormat format, const char* codePage) {
    if (hasTapcis5Layout(format)) raw = withoutTrailing(raw, "@b");
    Party p;
    splitMailParty(partyText(raw, codePage), p.address, p.name);
    return p;
}

void setSender(WorkRecord& record, const Party& p) {
    record.S_NAME = p.name;
    record.S_CISADRESS = p.address;
}

void setReceiver(WorkRecord& record, const Party& p) {
    record.R_NAME = p.name;
    record.R_CISADRESS = p.address;
}

// TAPCIS 5.x layout: "/Outbox" in the "#:" line marks mail the owner sent.
std::size_t readTapcis5Mail(const ParserCall& call, WorkRecord& record, const HeaderLines& h, CaptureFormat format,
                            const char* codePage) {
    const DateLineDate date = dateOfDateLine(h.line(1), codePage);
    record.DATE = date.date;
    record.TIME = date.end == 0 ? 0 : timeAfter(h.line(1), date.end);
    if (!h.line(2).starts_with("Sb:")) return 0;
    record.HEADING = fieldText(withoutTrailing(textFrom(h.line(2), 5), "@b"), codePage);
    if (h.line(0).find("/Outbox") != std::string_view::npos) {
        if (!h.line(4).starts_with("To:")) return 0;
        setReceiver(record, mailParty(textFrom(h.line(4), 5), format, codePage));
        setOwnerAsSender(call, record);
        return 6;
    }
    if (!h.line(3).starts_with("Fm:")) return 0;
    setSender(record, mailParty(textFrom(h.line(3), 5), format, codePage));
    setOwnerAsReceiver(call, record);
    return 5;
}

// TAPCIS 6.x and AUTOSIG: mail from one of the owner's addresses was sent.
std::size_t readTapcis6Mail(const ParserCall& call, WorkRecord& record, const HeaderLines& h, CaptureFormat format,
                            const char* codePage) {
    const std::string_view dateLine = h.line(1);
    record.DATE = captureDate(textFrom(dateLine, 5), codePage);
    record.TIME = charAt(dateLine, 21) == ' ' ? timeHhMm(dateLine, 16) : timeHhMmSs(dateLine, 16);
    if (!h.line(2).starts_with("Sb:") || !h.line(3).starts_with("Fm:") || !h.line(4).starts_with("To:")) return 0;
    record.HEADING = fieldText(textFrom(h.line(2), 5), codePage);
    const Party from = mailParty(textFrom(h.line(3), 5), format, codePage);
    if (isOwnerAddress(call, from.address)) {
        setReceiver(record, mailParty(textFrom(h.line(4), 5), format, codePage));
        setOwnerAsSender(call, record);
    } else {
        setSender(record, from);
        setOwnerAsReceiver(call, record);
    }
    return 6;
}

// OzCIS and OzWin: "From:" after the date line marks received mail, "MgTo:"
// sent mail; anything else is no mail header.
std::size_t readOzMail(const ParserCall& call, WorkRecord& record, const HeaderLines& h, CaptureFormat format,
                       const char* codePage) {
    const std::string_view dateLine = h.line(0);
    record.DATE = captureDate(textFrom(dateLine, 8), codePage);
    record.TIME = timeHhMm(dateLine, 18);
    const bool received = h.line(1).starts_with("From:");
    if (!received && !h.line(1).starts_with("MgTo:")) return 0;
    if (!h.line(2).starts_with("Subj:")) return 0;
    record.HEADING = fieldText(textFrom(h.line(2), 8), codePage);
    const Party partner = mailParty(textFrom(h.line(1), 8), format, codePage);
    if (received) {
        setSender(record, partner);
        setOwnerAsReceiver(call, record);
        return format == CaptureFormat::OzWin2 ? 5 : 4;
    }
    setReceiver(record, partner);
    setOwnerAsSender(call, record);
    return 4;
}

}  // namespace

HeaderResult parseCaptureMailHeader(ParserCall& call, WorkRecord& record, const inet::LineQueue& queue,
                                    std::size_t start, CaptureFormat format) {
    const char* codePage = codePageOf(format);
    const HeaderLines h(queue, start, CaptureHeaderLines);
    record.clear();
    std::size_t bodyLine;
    if (isOzFamily(format)) bodyLine = readOzMail(call, record, h, format, codePage);
    else if (hasTapcis5Layout(format)) bodyLine = readTapcis5Mail(call, record, h, format, codePage);
    else bodyLine = readTapcis6Mail(call, record, h, format, codePage);
    if (bodyLine == 0 || !acceptMail(call, record)) return {};
    return {true, h.position(bodyLine)};
}

}  // namespace pm::capture
