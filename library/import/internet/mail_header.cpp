#include "import/internet/mail_header.h"

#include <string>

#include "import/internet/address_split.h"
#include "import/internet/encoded_words.h"
#include "import/internet/header_support.h"
#include "import/internet/message_date.h"
#include "import/internet/mime_header.h"
#include "import/internet/subject.h"
#include "import/internet/text_case.h"

namespace pm::inet {

bool analyseMailHeader(LineQueue& queue, std::size_t headerStart, HeaderContext& context, ParsedHeader& out,
                       const MailHeaderOptions& options, std::size_t last) {
    out.clear();
    if (last == 0 || last > queue.size()) last = queue.size();
    if (headerStart < 1 || headerStart > last) return false;

    std::string from, to, subject, date;
    bool fromSeen = false, toSeen = false, subjectSeen = false, dateSeen = false;
    std::string* current = nullptr;
    MimeHeaderReader mime;
    std::string scratch;

    std::size_t pos = headerStart;
    std::size_t firstBody = last + 1;
    while (pos <= last) {
        std::string_view line = queue.sourceLine(pos, scratch);
        std::size_t next = queue.nextSourceLine(pos);
        if (line.empty()) {
            firstBody = skipBlankLines(queue, next, last);
            break;
        }
        pos = next;
        mime.feed(line);
        if (isBlankOrTab(line[0])) {
            if (current) appendContinuation(*current, line);
            continue;
        }
        current = nullptr;
        if (startsWithNoCase(line, "FROM:") && !fromSeen) {
            fromSeen = true;
            from = startValue(headerValue(line));
            current = &from;
        } else if (startsWithNoCase(line, "DATE:") && !dateSeen) {
            dateSeen = true;
            date = startValue(headerValue(line));
            current = &date;
        } else if (startsWithNoCase(line, "SUBJECT:") && !subjectSeen) {
            subjectSeen = true;
            subject = startValue(headerValue(line));
            current = &subject;
        } else if (startsWithNoCase(line, "TO:") && !toSeen) {
            toSeen = true;
            to = startValue(headerValue(line));
            current = &to;
        }
    }

    MessageDate when = parseMessageDate(date, options.pegasusDates ? DateStyle::Pegasus : DateStyle::Internet);
    out.date = when.date;
    out.time = when.time;
    out.heading = stripReplyPrefix(decodeHeaderText(subject));

    AddressParts sender = splitAddress(from);
    AddressParts receiver = splitAddress(to);
    out.senderAddress = sender.address;
    out.senderName = sender.name;
    out.receiverAddress = receiver.address;
    out.receiverName = receiver.name;
    if (context.isOwnerAddress(sender.address)) {
        out.mailType = MailSent;
        out.senderName = context.ownerName;
        if (!context.ownerAddress.empty()) out.senderAddress = context.ownerAddress;
    } else {
        out.mailType = MailReceived;
        out.receiverName = context.ownerName;
        if (!context.ownerAddress.empty()) out.receiverAddress = context.ownerAddress;
    }

    out.firstBodyLine = firstBody;
    out.body = bodyFormatAfterHeader(queue, mime, firstBody, last);
    return true;
}

}  // namespace pm::inet
