#include "sets/set_operation.h"

#include <algorithm>

#include "browse/status_marking.h"
#include "sets/set_classify.h"
#include "common/dates.h"
#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

struct OperationTexts {
    const char* running;
    const char* done;
};

OperationTexts textsOf(SetOperation op) {
    switch (op) {
        case SetOperation::ExportNew:
        case SetOperation::ExportAppend: return {"Exporting messages ... please wait!", "Messages exported!"};
        case SetOperation::Print: return {"Printing messages ... please wait!", "Messages printed!"};
        case SetOperation::AttachTopic: return {"Attaching topics ... please wait!", "Topics attached!"};
        case SetOperation::RemoveTopic: return {"Removing topics ... please wait!", "Topics removed!"};
        default: return {"Recoding message status ... please wait!", "Message status recoded!"};
    }
}

bool isExport(SetOperation op) { return op == SetOperation::ExportNew || op == SetOperation::ExportAppend; }
bool isClassify(SetOperation op) { return op == SetOperation::AttachTopic || op == SetOperation::RemoveTopic; }

BYTE statusOf(SetOperation op) {
    return op == SetOperation::StatusKeep ? StatusKeep : op == SetOperation::StatusDelete ? StatusDelete : StatusNormal;
}

// The date of message `number`; false when it does not exist.
bool messageDate(ULONG number, LONG& date) {
    if (Mem.ForumType == TypeMail) {
        Mail.clear();
        MAI.MAILID = number;
        if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return false;
        date = MAI.DATE;
        return true;
    }
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return false;
    date = MSG.DATE;
    return true;
}

}  // namespace

std::string setOperationTitle(SetOperation op) {
    if (isExport(op)) return " Export all messages related to the current:";
    if (op == SetOperation::Print) return " Print all messages related to the current:";
    if (isClassify(op)) return " Classify all messages related to the current:";
    return " Recode all messages related to the current:";
}

SetOperationJob::SetOperationJob(SetRequest request) : request_(std::move(request)) {}

SetOperationJob::~SetOperationJob() {
    if (printing_ && request_.printer) request_.printer->abandon();
}

ProgressReport SetOperationJob::report() const {
    ProgressReport r;
    r.title = setOperationTitle(request_.operation);
    if (!statusLine_.empty()) r.lines.push_back(statusLine_);
    r.counters = {{"messages", handled_}, {"passed-over", passedOver_}};
    r.captions = {{"messages", "Messages"}, {"passed-over", "Outside the date range"}};
    r.phase = textsOf(request_.operation).running;
    if (status_ == JobStatus::Done) r.percent = 100;
    else if (total_ > 0) r.percent = static_cast<int>(std::min<long long>(99, read_ * 100 / total_));
    return r;
}

bool SetOperationJob::requestStop(StopRequest) {
    if (jobFinal(status_)) return true;
    finish(JobStatus::Stopped);
    return true;
}

bool SetOperationJob::checkRequest() {
    const DateRange& d = request_.dates;
    if (d.on) {
        const char* problem = nullptr;
        if (!isValidDay(d.from)) problem = "A valid From-date must be entered to apply a date range filter.";
        else if (!isValidDay(d.to)) problem = "A valid To-date must be entered to apply a date range filter.";
        else if (d.to < d.from) problem = "A negative date range cannot be allowed.";
        if (problem) {
            message("Date range filter error", problem, Icon::Exclamation);
            return false;
        }
    }
    if (isClassify(request_.operation) && request_.topic == 0) {
        message("Selection error", "No topic selected!", Icon::Exclamation);
        return false;
    }
    if (request_.operation == SetOperation::Print && !request_.printer) {
        message("Print error", "No printer chosen.", Icon::Exclamation);
        return false;
    }
    return true;
}

JobStatus SetOperationJob::start() {
    started_ = true;
    if (!checkRequest()) return finish(JobStatus::Failed);
    const SetOperation op = request_.operation;
    if (isExport(op)) {
        CopyRequest c;
        c.writeMode = op == SetOperation::ExportAppend ? 2 : 1;
        c.scope = request_.scope;
        c.origin = request_.origin;
        c.files = request_.files;
        c.dates = request_.dates;
        c.directory = request_.directory;
        c.layout = request_.layout;
        c.oneFile = request_.oneFile;
        c.plain = request_.plain;
        c.slice = request_.slice;
        copy_ = std::make_unique<CopyMsg>(c);
        statusLine_ = textsOf(op).running;
        if (copy_->step(1) == CopyResult::Failed) return finish(JobStatus::Failed);
        total_ = copy_->total();
        return JobStatus::Running;
    }
    std::string error;
    std::optional<KeyRange> range = setRange(request_.scope, request_.origin, error);
    if (!range) {
        message("Selection error", error, Icon::Exclamation);
        return finish(JobStatus::Failed);
    }
    if (op == SetOperation::StatusDelete && request_.scope == SetScope::Date) {
        const Button answer = message(" Database marked for deletion!",
                                      "Do you really want to delete all messages in this database? If you do, the "
                                      "entire database directory will be removed.",
                                      Icon::Question, ButtonYes | ButtonNo, ButtonNo);
        if (answer != ButtonYes) return finish(JobStatus::Stopped);
        wholeDatabase_ = true;
    }
    if (op == SetOperation::Print) {
        if (!request_.printer->begin(printReportTitle(Mem.ForumType), Mem.Description)) {
            message("Print error", request_.printer->error(), Icon::Hand);
            return finish(JobStatus::Failed);
        }
        printing_ = true;
    }
    cursor_ = std::make_unique<MessageSetCursor>(*range);
    total_ = cursor_->size();
    statusLine_ = textsOf(op).running;
    return JobStatus::Running;
}

bool SetOperationJob::handle(ULONG number) {
    const SetOperation op = request_.operation;
    if (op == SetOperation::Print) {
        OutputMessage m;
        if (!readOutputMessage(number, m)) return true;
        if (!request_.dates.holds(m.date)) {
            ++passedOver_;
            return true;
        }
        if (!request_.printer->print(m, plainHeaderLines(m), outputTextLines(m.text, configuredStyle()))) {
            message("Print error", request_.printer->error(), Icon::Hand);
            return false;
        }
        ++handled_;
        return true;
    }
    // Recode: a header that cannot be held stays as it is; the run goes on.
    if (markStatus(Mem.ForumType == TypeMail ? StatusTarget::Mail : StatusTarget::Message, number, statusOf(op)))
        ++handled_;
    return true;
}

JobStatus SetOperationJob::slice() {
    const SetOperation op = request_.operation;
    if (copy_) {
        const CopyResult r = copy_->step(2);
        handled_ = copy_->written();
        passedOver_ = copy_->passedOver();
        read_ = copy_->read();
        if (r == CopyResult::Failed) return finish(JobStatus::Failed);
        return r == CopyResult::Exhausted ? finish(JobStatus::Done) : JobStatus::Running;
    }
    std::vector<ULONG> numbers;
    if (!cursor_->next(request_.slice, numbers)) {
        message("Read error", cursor_->error(), Icon::Hand);
        return finish(JobStatus::Failed);
    }
    read_ = cursor_->read();
    // The date filter first, so classify can hand the slice over at once.
    std::vector<ULONG> kept;
    for (ULONG n : numbers) {
        LONG date = 0;
        if (!messageDate(n, date)) continue;
        if (!request_.dates.holds(date)) {
            ++passedOver_;
            continue;
        }
        kept.push_back(n);
    }
    if (isClassify(op)) {
        if (!classifyMessages(op == SetOperation::AttachTopic, request_.topic, kept)) return finish(JobStatus::Failed);
        handled_ += static_cast<long long>(kept.size());
    } else {
        for (ULONG n : kept)
            if (!handle(n)) return finish(JobStatus::Failed);
    }
    return cursor_->ended() ? finish(JobStatus::Done) : JobStatus::Running;
}

JobStatus SetOperationJob::step() {
    if (jobFinal(status_)) return status_;
    status_ = started_ ? slice() : start();
    return status_;
}

JobStatus SetOperationJob::finish(JobStatus final) {
    bool ok = final != JobStatus::Failed;
    if (copy_ && copy_->step(3) == CopyResult::Failed) ok = false;
    if (printing_) {
        printing_ = false;
        if (!request_.printer->end()) {
            message("Print error", request_.printer->error(), Icon::Hand);
            ok = false;
        }
    }
    cursor_.reset();
    if (final == JobStatus::Done && ok && wholeDatabase_) markStatus(StatusTarget::Database, 0, StatusDelete);
    if (!ok) final = JobStatus::Failed;
    if (final == JobStatus::Done) statusLine_ = textsOf(request_.operation).done;
    else if (final == JobStatus::Stopped) statusLine_ = "Process aborted!";
    status_ = final;
    return final;
}

std::string printReportTitle(BYTE type) {
    return type == TypeMail ? "Mail from the Postmoor Message Archiver Database"
                            : "Messages from the Postmoor Message Archiver Database";
}

}  // namespace pm
