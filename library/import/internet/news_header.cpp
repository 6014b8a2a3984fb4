#include "import/internet/news_header.h"

#include <string>
#include <vector>

#include "import/internet/encoded_words.h"
#include "import/internet/header_support.h"
#include "import/internet/message_date.h"
#include "import/internet/mime_header.h"
#include "import/internet/subject.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// The last message identifier in a References / In-Reply-To value: the last
// "<...>" when there is one, else the last blank-separated token.
std::string_view lastIdentifier(std::string_view value) {
    value = trim(value);
    std::size_t gt = value.rfind('>');
    if (gt != std::string_view::npos) {
        std::size_t lt = value.rfind('<', gt);
        if (lt != std::string_view::npos) return value.substr(lt, gt - lt + 1);
    }
    std::size_t blank = value.find_last_of(" \t");
    return blank == std::string_view::npos ? value : value.substr(blank + 1);
}

// The group of a "Newsgroups:" value the message goes to.
std::string chooseGroup(std::string_view value, HeaderContext& context) {
    std::vector<std::string_view> groups;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        std::string_view group = trim(value.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (!group.empty()) groups.push_back(group);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (groups.empty()) return {};
    for (std::string_view group : groups)
        if (context.databaseExists(group)) return std::string(group);
    return std::string(groups.front());
}

// True when `text` begins with the word "You" (not "Young").
bool sentByYou(std::string_view text) {
    text = trim(text);
    return text.starts_with("You") && (text.size() == 3 || !isAsciiLetter(text[3]));
}

LONG readLineCount(std::string_view value) {
    value = trim(value);
    LONG count = 0;
    std::size_t digits = 0;
    while (digits < value.size() && digits < 9 && isAsciiDigit(value[digits]))
        count = count * 10 + (value[digits++] - '0');
    return digits == 0 ? -1 : count;
}

}  // namespace

bool analyseNewsHeader(LineQueue& queue, std::size_t headerStart, ULONG& counter, HeaderContext& context,
                       ParsedHeader& out, const NewsHeaderOptions& options, std::size_t last) {
    out.clear();
    if (last == 0 || last > queue.size()) last = queue.size();
    if (headerStart < 1 || headerStart > last || queue.text(headerStart).empty()) return false;

    // Of References / In-Reply-To only the last identifier matters; it is
    // tracked line by line so that a value longer than any cap keeps it.
    FirstValue from, fm, to, date, subject;
    std::string replyTo, references, inReplyTo, groups;
    auto noteIdentifier = [](std::string& last, std::string_view text) {
        std::string_view id = lastIdentifier(text);
        if (!id.empty()) last = std::string(id);
    };
    bool news = false, messageIdSeen = false, referencesSeen = false, inReplyToSeen = false;
    int sequence = 0, subjectOrder = 0, replyToOrder = 0;
    std::string* current = nullptr;
    MimeHeaderReader mime;
    HeaderBlockReader reader(queue, headerStart, last, mime);

    const bool firstIsSubject = startsWithNoCase(queue.text(headerStart), "SUBJECT:");
    std::size_t firstBody = last + 1;
    std::string_view line;
    while (reader.next(line)) {
        if (line.empty()) {
            current = nullptr;
            if (news || (from.seen && date.seen && subject.seen) || to.seen) {
                firstBody = reader.bodyStart();
                break;
            }
            continue;
        }
        if (isBlankOrTab(line[0])) {
            bool fiveBlanks = line.starts_with("     ");
            if (current == &references || current == &inReplyTo) noteIdentifier(*current, line);
            else if (current && !fiveBlanks) appendContinuation(*current, line);
            continue;
        }
        current = nullptr;

        if (startsWithNoCase(line, "NEWSGROUPS:")) {
            news = true;
            if (groups.empty()) groups = startValue(headerValue(line));
            current = &groups;
        } else if (startsWithNoCase(line, "MESSAGE-ID:")) {
            std::string_view id = trim(headerValue(line));
            if (!messageIdSeen && !id.empty()) {
                messageIdSeen = true;
                out.msgNumber = counter++;
                MessageIdPair pair;
                pair.idString = id;
                pair.number = out.msgNumber;
                out.messageIds.push_back(pair);
            }
        } else if (startsWithNoCase(line, "REFERENCES:")) {
            if (!referencesSeen) {
                referencesSeen = true;
                noteIdentifier(references, headerValue(line));
                current = &references;
            }
        } else if (startsWithNoCase(line, "IN-REPLY-TO:")) {
            if (!inReplyToSeen) {
                inReplyToSeen = true;
                noteIdentifier(inReplyTo, headerValue(line));
                current = &inReplyTo;
            }
        } else if (startsWithNoCase(line, "LINES:")) {
            // A one-digit count stands in a line of eight characters.
            out.lineCount = readLineCount(headerValue(line));
        } else if (startsWithNoCase(line, "FROM:")) {
            current = from.take(line);
        } else if (startsWithNoCase(line, "DATE:")) {
            current = date.take(line);
        } else if (startsWithNoCase(line, "SUBJ:") || startsWithNoCase(line, "SUBJECT:")) {
            if (!subject.seen) subjectOrder = ++sequence;
            current = subject.take(line);
        } else if (startsWithNoCase(line, "REPLY TO:")) {
            replyToOrder = ++sequence;
            replyTo = startValue(headerValue(line));
            current = &replyTo;
        } else if (startsWithNoCase(line, "TO:")) {
            current = to.take(line);
        } else if (startsWithNoCase(line, "FM:")) {
            current = fm.take(line);
        }
    }

    out.newsKind = news ? NewsBlockKind::Article : firstIsSubject ? NewsBlockKind::ForumMessage : NewsBlockKind::Mail;
    if (news) out.forDescription = chooseGroup(groups, context);

    std::string_view parent = referencesSeen ? references : inReplyTo;
    if (!parent.empty()) {
        out.refNumber = counter++;
        MessageIdPair pair;
        pair.idString = parent;
        pair.number = out.refNumber;
        out.messageIds.push_back(pair);
    }

    const std::string& subjectText = (!news && replyToOrder > subjectOrder) ? replyTo : subject.value;
    out.heading = stripReplyPrefix(decodeHeaderText(subjectText));
    MessageDate when = parseMessageDate(date.value);
    out.date = when.date;
    out.time = when.time;

    const std::string& senderText = (out.newsKind == NewsBlockKind::ForumMessage && fm.seen) ? fm.value : from.value;
    splitInto(withoutTrailingX(senderText), context, options.cisAddressRule, out.senderAddress, out.senderName);

    if (out.newsKind == NewsBlockKind::Article) {
        out.receiverAddress.clear();
        out.receiverName = parent.empty() ? "All" : "Unknown";
    } else if (to.seen) {
        splitInto(withoutTrailingX(to.value), context, options.cisAddressRule, out.receiverAddress, out.receiverName);
    } else if (out.newsKind == NewsBlockKind::Mail) {
        out.receiverAddress = context.ownerAddress;
        out.receiverName = context.ownerName;
    }

    if (out.newsKind == NewsBlockKind::Mail) {
        out.mailType = MailReceived;
        if (sentByYou(senderText)) {
            out.mailType = MailSent;
            out.senderAddress = context.ownerAddress;
            out.senderName = context.ownerName;
        }
    }

    out.firstBodyLine = firstBody;
    out.body = bodyFormatAfterHeader(queue, mime, firstBody, last);
    return true;
}

}  // namespace pm::inet
