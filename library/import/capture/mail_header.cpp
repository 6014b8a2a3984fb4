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
#include "tables/records/scratch_tables.h"

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

void setSender(const Party& p) {
    NHR.S_NAME = p.name;
    NHR.S_CISADRESS = p.address;
}

void setReceiver(const Party& p) {
    NHR.R_NAME = p.name;
    NHR.R_CISADRESS = p.address;
}

// TAPCIS 5.x layout: "/Outbox" in the "#:" line marks mail the owner sent.
std::size_t readTapcis5Mail(const ParserCall& call, const HeaderLines& h, CaptureFormat format, const char* codePage) {
    const DateLineDate date = dateOfDateLine(h.line(1), codePage);
    NHR.DATE = date.date;
    NHR.TIME = date.end == 0 ? 0 : timeAfter(h.line(1), date.end);
    if (!h.line(2).starts_with("Sb:")) return 0;
    NHR.HEADING = fieldText(withoutTrailing(textFrom(h.line(2), 5), "@b"), codePage);
    if (h.line(0).find("/Outbox") != std::string_view::npos) {
        if (!h.line(4).starts_with("To:")) return 0;
        setReceiver(mailParty(textFrom(h.line(4), 5), format, codePage));
        setOwnerAsSender(call);
        return 6;
    }
    if (!h.line(3).starts_with("Fm:")) return 0;
    setSender(mailParty(textFrom(h.line(3), 5), format, codePage));
    setOwnerAsReceiver(call);
    return 5;
}

// TAPCIS 6.x and AUTOSIG: mail from one of the owner's addresses was sent.
std::size_t readTapcis6Mail(const ParserCall& call, const HeaderLines& h, CaptureFormat format, const char* codePage) {
    const std::string_view dateLine = h.line(1);
    NHR.DATE = captureDate(textFrom(dateLine, 5), codePage);
    NHR.TIME = charAt(dateLine, 21) == ' ' ? timeHhMm(dateLine, 16) : timeHhMmSs(dateLine, 16);
    if (!h.line(2).starts_with("Sb:") || !h.line(3).starts_with("Fm:") || !h.line(4).starts_with("To:")) return 0;
    NHR.HEADING = fieldText(textFrom(h.line(2), 5), codePage);
    const Party from = mailParty(textFrom(h.line(3), 5), format, codePage);
    if (isOwnerAddress(call, from.address)) {
        setReceiver(mailParty(textFrom(h.line(4), 5), format, codePage));
        setOwnerAsSender(call);
    } else {
        setSender(from);
        setOwnerAsReceiver(call);
    }
    return 6;
}

// OzCIS and OzWin: "From:" after the date line marks received mail, "MgTo:"
// sent mail; anything else is no mail header.
std::size_t readOzMail(const ParserCall& call, const HeaderLines& h, CaptureFormat format, const char* codePage) {
    const std::string_view dateLine = h.line(0);
    NHR.DATE = captureDate(textFrom(dateLine, 8), codePage);
    NHR.TIME = timeHhMm(dateLine, 18);
    const bool received = h.line(1).starts_with("From:");
    if (!received && !h.line(1).starts_with("MgTo:")) return 0;
    if (!h.line(2).starts_with("Subj:")) return 0;
    NHR.HEADING = fieldText(textFrom(h.line(2), 8), codePage);
    const Party partner = mailParty(textFrom(h.line(1), 8), format, codePage);
    if (received) {
        setSender(partner);
        setOwnerAsReceiver(call);
        return format == CaptureFormat::OzWin2 ? 5 : 4;
    }
    setReceiver(partner);
    setOwnerAsSender(call);
    return 4;
}

}  // namespace

HeaderResult parseCaptureMailHeader(ParserCall& call, const inet::LineQueue& queue, std::size_t start,
                                    CaptureFormat format) {
    const char* codePage = codePageOf(format);
    const HeaderLines h(queue, start, CaptureHeaderLines);
    NewHR.clear();
    std::size_t bodyLine;
    if (isOzFamily(format)) bodyLine = readOzMail(call, h, format, codePage);
    else if (hasTapcis5Layout(format)) bodyLine = readTapcis5Mail(call, h, format, codePage);
    else bodyLine = readTapcis6Mail(call, h, format, codePage);
    if (bodyLine == 0 || !acceptMail(call)) return {};
    return {true, h.position(bodyLine)};
}

}  // namespace pm::capture
