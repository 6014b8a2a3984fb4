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

    FirstValue from, to, subject, date;
    std::string* current = nullptr;
    MimeHeaderReader mime;
    HeaderBlockReader reader(queue, headerStart, last, mime);

    std::size_t firstBody = last + 1;
    std::string_view line;
    while (reader.next(line)) {
        if (line.empty()) {
            firstBody = reader.bodyStart();
            break;
        }
        if (isBlankOrTab(line[0])) {
            if (current) appendContinuation(*current, line);
            continue;
        }
        current = nullptr;
        if (startsWithNoCase(line, "FROM:")) current = from.take(line);
        else if (startsWithNoCase(line, "DATE:")) current = date.take(line);
        else if (startsWithNoCase(line, "SUBJECT:")) current = subject.take(line);
        else if (startsWithNoCase(line, "TO:")) current = to.take(line);
    }

    MessageDate when = parseMessageDate(date.value, options.pegasusDates ? DateStyle::Pegasus : DateStyle::Internet);
    out.date = when.date;
    out.time = when.time;
    out.heading = stripReplyPrefix(decodeHeaderText(subject.value));

    AddressParts sender = splitAddress(from.value);
    AddressParts receiver = splitAddress(to.value);
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
