#include "import/formats/message_course.h"

#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "import/internet/header_fields.h"
#include "import/internet/header_support.h"
#include "import/internet/mail_header.h"
#include "import/internet/news_header.h"
#include "import/internet/text_assembly.h"
#include "import/internet/text_case.h"

namespace pm::formats {

namespace {

bool isBlankText(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

}  // namespace

std::size_t firstNonBlank(const inet::LineQueue& queue, std::size_t pos) {
    if (pos < 1) pos = 1;
    while (pos <= queue.size() && isBlankText(queue.text(pos))) ++pos;
    return pos;
}

bool usableHeader(const inet::LineQueue& queue, std::size_t headerStart) {
    std::string scratch;
    for (std::size_t pos = headerStart; pos >= 1 && pos <= queue.size(); pos = queue.nextSourceLine(pos)) {
        std::string_view line = queue.sourceLine(pos, scratch);
        if (line.empty()) return false;
        const inet::HeaderField field = inet::classifyHeaderLine(line);
        if (field == inet::NotHeaderLine) continue;
        if (field == inet::OtherKnownField && inet::startsWithNoCase(line, "FROM ")) continue;
        return true;
    }
    return false;
}

std::size_t lastTextLine(const inet::LineQueue& queue) {
    std::size_t pos = queue.size();
    while (pos >= 1 && (queue.isRemoved(pos) || isBlankText(queue.text(pos)))) --pos;
    return pos;
}

std::string assembleBody(const inet::LineQueue& queue, const inet::ParsedHeader& header) {
    const std::size_t last = lastTextLine(queue);
    if (last < header.firstBodyLine) return {};
    return inet::assembleText(queue, header.firstBodyLine, last, header.body);
}

bool declaresTransferEncoding(const inet::LineQueue& queue) {
    for (std::size_t pos = 1; pos <= queue.size(); ++pos)
        if (inet::startsWithNoCase(queue.text(pos), "CONTENT-TRANSFER-ENCODING:")) return true;
    return false;
}

void joinSoftLineBreaks(inet::LineQueue& queue, std::size_t first) {
    for (std::size_t pos = first; pos >= 1 && pos < queue.size(); ++pos) {
        if (queue.isRemoved(pos) || queue.isRemoved(pos + 1) || queue.continued(pos)) continue;
        std::string_view text = queue.text(pos);
        if (text.ends_with("=20")) {
            std::string joined(text.substr(0, text.size() - 3));
            joined.push_back(' ');
            queue.setText(pos, joined);
            queue.setContinued(pos, true);
        } else if (text.ends_with('=') && !text.ends_with("?=")) {
            queue.setText(pos, text.substr(0, text.size() - 1));
            queue.setContinued(pos, true);
        }
    }
}

std::string mailboxName(const ParserCall& call) { return requestMailboxName(*call.request, *call.databases); }

void countSkipped(ParserCall& call) {
    if (call.skipped) ++*call.skipped;
}

CourseResult appendWork(ParserCall& call, WorkRecord&& record,
                        const std::vector<inet::MessageIdPair>& messageIds) {
    if (call.work->appendMessage(std::move(record)) == WorkWrite::Failed) return CourseResult::Failed;
    for (const inet::MessageIdPair& pair : messageIds)
        if (call.work->appendMessageId(pair.idString.view(), pair.number) == WorkWrite::Failed)
            return CourseResult::Failed;
    return CourseResult::Written;
}

WorkRecord workRecordOf(const inet::ParsedHeader& header) {
    WorkRecord record;
    record.MSGNUMBER = header.msgNumber;
    record.REFNUMBER = header.refNumber;
    record.FOR_DESCRIPTION = header.forDescription;
    record.HEADING = header.heading;
    record.S_CISADRESS = header.senderAddress;
    record.S_NAME = header.senderName;
    record.R_CISADRESS = header.receiverAddress;
    record.R_NAME = header.receiverName;
    record.DATE = header.date;
    record.TIME = header.time;
    record.MAILTYPE = header.mailType;
    record.RECIPTYPE = "TO";
    return record;
}

void MessageCourse::takeFallbackDate(const inet::LineQueue& queue, std::size_t headerStart) {
    if (header_.date != 0) return;
    inet::MessageDate date = separatorDate_;
    if (date.date == 0) date = inet::receivedDate(queue, headerStart);
    header_.date = date.date;
    header_.time = date.time;
}

CourseResult MessageCourse::handle(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                                   inet::HeaderContext& context) {
    if (options_.kind == HeaderKind::Mail) {
        PreparedMessage message;
        prepare(queue, headerStart, *call.request, context, message);
        return finish(message, call);
    }
    headerStart = firstNonBlank(queue, headerStart);
    if (headerStart > queue.size()) return CourseResult::Skipped;  // nothing but blank lines: no message
    return handleNews(queue, headerStart, call, context);
}

void MessageCourse::prepare(inet::LineQueue& queue, std::size_t headerStart, const ImportRequest& request,
                            inet::HeaderContext& context, PreparedMessage& out) {
    out.kind = PreparedMessage::Kind::Blank;
    headerStart = firstNonBlank(queue, headerStart);
    if (headerStart > queue.size()) return;  // nothing but blank lines: no message
    out.kind = PreparedMessage::Kind::Skipped;
    if (!request.importMail || !usableHeader(queue, headerStart)) return;
    inet::MailHeaderOptions mailOptions;
    mailOptions.pegasusDates = options_.pegasusDates;
    if (!inet::analyseMailHeader(queue, headerStart, context, header_, mailOptions)) return;
    takeFallbackDate(queue, headerStart);
    out.record = workRecordOf(header_);
    if (options_.joinSoftBreaks && header_.body.encoding == inet::TransferEncoding::Identity &&
        !declaresTransferEncoding(queue))
        joinSoftLineBreaks(queue, header_.firstBodyLine);
    out.record.MSGTEXT = assembleBody(queue, header_);
    out.kind = PreparedMessage::Kind::Ready;
}

CourseResult MessageCourse::finish(PreparedMessage& message, ParserCall& call) {
    if (message.kind == PreparedMessage::Kind::Blank) return CourseResult::Skipped;
    if (message.kind == PreparedMessage::Kind::Skipped) {
        countSkipped(call);
        return CourseResult::Skipped;
    }
    WorkRecord& record = message.record;
    const std::string mailbox = mailboxName(call);
    record.FOR_DESCRIPTION = mailbox;
    const Resolution db = call.databases->resolve(mailbox, ResolveMail, &record);
    if (!db.found() || !db.importAllowed || call.request->messageFilter == FilterCreateDatabasesOnly) {
        countSkipped(call);
        return CourseResult::Skipped;
    }
    record.INTERNAL = db.id;
    record.MSGNUMBER = record.REFNUMBER = static_cast<ULONG>((*call.runningId)++);
    return appendWork(call, std::move(record), {});
}

CourseResult MessageCourse::handleNews(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                                       inet::HeaderContext& context) {
    const ImportRequest& request = *call.request;
    if (!request.importNewsgroup || !usableHeader(queue, headerStart)) {
        countSkipped(call);
        return CourseResult::Skipped;
    }
    ULONG counter = static_cast<ULONG>(*call.runningId);
    inet::NewsHeaderOptions newsOptions;
    newsOptions.cisAddressRule = options_.cisAddressRule;
    const bool analysed = inet::analyseNewsHeader(queue, headerStart, counter, context, header_, newsOptions);
    *call.runningId = static_cast<LONG>(counter);
    // Only articles that name a newsgroup and carry a Message-ID can be
    // stored: the identifier decides the article's number.
    if (!analysed || header_.newsKind != inet::NewsBlockKind::Article || header_.forDescription.empty() || header_.msgNumber == 0) {
        countSkipped(call);
        return CourseResult::Skipped;
    }
    takeFallbackDate(queue, headerStart);
    WorkRecord record = workRecordOf(header_);
    const Resolution db = call.databases->resolve(header_.forDescription.str(), ResolveNewsgroup, &record);
    if (!db.found() || !db.importAllowed || request.messageFilter == FilterCreateDatabasesOnly) {
        countSkipped(call);
        return CourseResult::Skipped;
    }
    record.INTERNAL = db.id;
    record.MSGTEXT = assembleBody(queue, header_);
    return appendWork(call, std::move(record), header_.messageIds);
}

}  // namespace pm::formats
