#include "import/formats/virtual_access.h"

#include "common/dates.h"
#include "common/text.h"
#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "import/formats/message_course.h"
#include "import/internet/message_date.h"
#include "import/internet/news_header.h"
#include "import/internet/text_assembly.h"
#include "import/internet/text_case.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm::formats {

namespace {

constexpr std::string_view TitleRule = "----------";

// The digits of `text` as a number; false when it holds anything else (or
// nothing) or the value does not fit.
bool readNumber(std::string_view text, ULONG& value) {
    text = inet::trim(text);
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (!inet::isAsciiDigit(c)) return false;
        value = value * 10 + static_cast<ULONG>(c - '0');
    }
    return true;
}

LONG readTitleDate(std::string_view text) {
    if (text.size() < 9) return 0;
    ULONG day = 0, year = 0;
    if (!readNumber(text.substr(0, 2), day)) return 0;
    const int month = inet::monthFromName(inet::trim(text.substr(3, 3)));
    std::string_view yearText = text.substr(7, 2);
    if (text.size() >= 11 && inet::isAsciiDigit(text[9]) && inet::isAsciiDigit(text[10])) yearText = text.substr(7, 4);
    if (month == 0 || !readNumber(yearText, year)) return 0;
    return dayNumber(inet::expandTwoDigitYear(static_cast<int>(year)), month, static_cast<int>(day));
}

class VirtualAccessHandler final : public MessageHandler {
public:
    CourseResult handle(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                        inet::HeaderContext& context) override {
        const std::size_t title = firstNonBlank(queue, headerStart);
        if (title > queue.size()) return CourseResult::Skipped;  // an empty block is no message
        std::size_t rule = title + 1;
        std::string scratch;
        if (queue.sourceLine(rule, scratch) != TitleRule) ++rule;
        if (rule > queue.size() || queue.sourceLine(rule, scratch) != TitleRule) return skip(call);
        const std::size_t header = rule + 1;
        if (header > queue.size() || !usableHeader(queue, header)) return skip(call);

        ULONG counter = static_cast<ULONG>(*call.runningId);
        inet::NewsHeaderOptions options;
        options.cisAddressRule = true;
        const bool analysed = inet::analyseNewsHeader(queue, header, counter, context, header_, options);
        *call.runningId = static_cast<LONG>(counter);
        if (!analysed) return skip(call);

        switch (header_.newsKind) {
            case inet::NewsBlockKind::ForumMessage: {
                const std::string titleText(queue.sourceLine(title, scratch));
                const std::string optional = rule == title + 2 ? std::string(queue.sourceLine(title + 1, scratch)) : std::string();
                return forumMessage(queue, titleText, optional, call);
            }
            case inet::NewsBlockKind::Mail: return mail(queue, call);
            default: return article(queue, call);
        }
    }

private:
    static CourseResult skip(ParserCall& call) {
        countSkipped(call);
        return CourseResult::Skipped;
    }

    CourseResult forumMessage(inet::LineQueue& queue, const std::string& title, const std::string& optional,
                              ParserCall& call) {
        const ImportRequest& request = *call.request;
        if (!request.importForum) return skip(call);
        const ForumTitle forum = readForumTitle(title);
        if (!forum.valid || forum.forum.empty()) return skip(call);
        WorkRecord record = workRecordOf(header_);
        record.FOR_DESCRIPTION = forum.forum;
        record.SECTIONNUMBER = forum.sectionNumber;
        record.SEC_DESCRIPTION = forum.sectionName;
        record.MSGNUMBER = forum.number;
        record.REFNUMBER =
            inet::startsWithNoCase(optional, "COMMENT TO ") ? readCommentTo(optional.substr(11), forum.number) : 0;
        if (forum.date != 0) {
            record.DATE = forum.date;
            record.TIME = 0;
        }
        record.MAILTYPE = NotMail;
        const Resolution db = call.databases->resolve(forum.forum, ResolveForum, &record);
        if (!db.found() || !db.importAllowed || request.messageFilter == FilterCreateDatabasesOnly) return skip(call);
        record.INTERNAL = db.id;
        if (!request.allowReimport && alreadyImported(db.id, forum.number)) return skip(call);
        record.MSGTEXT = assembleBody(queue, header_);
        return appendWork(call, std::move(record), {});
    }

    CourseResult mail(inet::LineQueue& queue, ParserCall& call) {
        const ImportRequest& request = *call.request;
        if (!request.importMail) return skip(call);
        WorkRecord record = workRecordOf(header_);
        const std::string mailbox = mailboxName(call);
        record.FOR_DESCRIPTION = mailbox;
        const Resolution db = call.databases->resolve(mailbox, ResolveMail, &record);
        if (!db.found() || !db.importAllowed || request.messageFilter == FilterCreateDatabasesOnly) return skip(call);
        record.INTERNAL = db.id;
        record.MSGNUMBER = record.REFNUMBER = static_cast<ULONG>((*call.runningId)++);
        record.MSGTEXT = assembleBody(queue, header_);
        return appendWork(call, std::move(record), {});
    }

    CourseResult article(inet::LineQueue& queue, ParserCall& call) {
        const ImportRequest& request = *call.request;
        if (!request.importNewsgroup || header_.forDescription.empty() || header_.msgNumber == 0) return skip(call);
        WorkRecord record = workRecordOf(header_);
        const Resolution db = call.databases->resolve(header_.forDescription.str(), ResolveNewsgroup, &record);
        if (!db.found() || !db.importAllowed || request.messageFilter == FilterCreateDatabasesOnly) return skip(call);
        record.INTERNAL = db.id;
        record.MSGTEXT = assembleBody(queue, header_);
        return appendWork(call, std::move(record), header_.messageIds);
    }

    bool alreadyImported(ULONG database, ULONG number) {
        if (!register_.holds()) register_.open({&IMPFile});
        IMPFile.clear();
        IMP.FORUMNUMBER = database;
        IMP.MSGNUMBER = number;
        return IMPFile.get(IMP_IDKEY) == StorageStatus::Ok;
    }

    inet::ParsedHeader header_;
    TableScope register_;  // the import register, opened on first use
};

}  // namespace

ForumTitle readForumTitle(std::string_view title) {
    ForumTitle out;
    title = inet::trim(title);
    const std::size_t slash = title.find('/');
    const std::size_t hash = title.find('#');
    if (slash == std::string_view::npos || hash == std::string_view::npos || hash < slash) return out;
    out.forum = toUpper(inet::trim(title.substr(0, slash)));

    std::string_view section = title.substr(slash + 1);
    section = section.substr(0, section.find(' '));
    std::string_view head = section.substr(0, 30);
    const std::size_t underscore = head.find('_');
    if (underscore == std::string_view::npos) {
        out.sectionName = std::string(section);
    } else {
        ULONG number = 0;
        if (underscore > 1 && readNumber(section.substr(1, underscore - 1), number)) out.sectionNumber = number;
        out.sectionName = std::string(section.substr(underscore + 1));
    }

    const std::size_t comma = title.find(',', hash);
    if (comma == std::string_view::npos || !readNumber(title.substr(hash + 1, comma - hash - 1), out.number) ||
        out.number == 0)
        return out;
    out.valid = true;
    const std::size_t chars = title.find("chars, ", comma);
    if (chars != std::string_view::npos) out.date = readTitleDate(inet::trim(title.substr(chars + 7)));
    return out;
}

ULONG readCommentTo(std::string_view line, ULONG number) {
    line = inet::trim(line);
    std::size_t end = 0;
    while (end < line.size() && inet::isAsciiDigit(line[end])) ++end;
    ULONG ref = 0;
    if (!readNumber(line.substr(0, end), ref) || ref == 0 || ref > number || number - ref > 30000) return 0;
    return ref;
}

std::unique_ptr<MessageHandler> makeVirtualAccessHandler() { return std::make_unique<VirtualAccessHandler>(); }

}  // namespace pm::formats
