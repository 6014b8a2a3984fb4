#include "taskrun/task_run.h"

#include <algorithm>

#include "common/globals.h"
#include "import/driver/import_request.h"
#include "import/driver/import_run.h"
#include "maintenance/duplicate_run.h"
#include "maintenance/purge_run.h"
#include "storage/named_lock.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tasks/task_lock.h"
#include "tasks/task_log.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "wordindex/index_run.h"

namespace pm {

namespace {

// Sets the result of every step of `taskId` back to "not run" (one
// transaction over TIM, the 5-second lock wait).
bool clearStepResults(ULONG taskId) {
    TableScope scope({&TIMFile});
    if (!beginTransactionChecked({&TIMFile})) return false;
    TIMFile.clear();
    TIM.TASKID = taskId;
    TIMFile.setAt(TIM_TASKKEY);
    while (TIMFile.next() == StorageStatus::Ok && TIM.TASKID == taskId) {
        TIM.RESULTCODE = ResultNotSet;
        TIM.EVENTTIME = 0;
        if (!UppDat(TIMFile, UpdateRecord, RollBackAndReport)) return false;
    }
    return commitTransactionChecked(TIMFile);
}

bool writeStepResult(ULONG taskId, ULONG batchId, BYTE result, long seconds) {
    TableScope scope({&TIMFile});
    TIMFile.clear();
    TIM.TASKID = taskId;
    TIM.BATCHID = batchId;
    if (!HoldRec(TIMFile, &TIM_TASKKEY)) return false;
    TIM.RESULTCODE = result;
    TIM.EVENTTIME = result == ResultCompleted ? static_cast<LONG>(seconds) : 0;
    const bool ok = UppDat(TIMFile, UpdateRecord, ReportOnly);
    TIMFile.release();
    return ok;
}

// The catalog type and index flag of database `id`; false when it is gone.
bool catalogEntry(ULONG id, BYTE& type, bool& indexed) {
    TableScope scope({&Forums});
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return false;
    type = FOR.TYPE;
    indexed = FOR.INDEXTYPE != 0;
    return true;
}

// Whether an import that found nothing read only empty files: a mailbox
// nothing was delivered to since the last run, which is no failure.
bool onlyEmptyFiles(const ImportRun& run) {
    const ImportProgress& p = run.progress();
    return run.outcome() == ImportOutcome::NothingFound && p.filesRead > 0 && p.filesSkipped == 0 &&
           p.emptyFiles == p.filesRead;
}

const char* importOutcomeText(ImportOutcome outcome) {
    switch (outcome) {
        case ImportOutcome::Completed: return "completed";
        case ImportOutcome::NothingFound: return "no messages found";
        case ImportOutcome::Refused: return "the import could not start";
        case ImportOutcome::Failed: return "the import failed";
        case ImportOutcome::Cancelled: return "the import was stopped";
        case ImportOutcome::Running: break;
    }
    return "the import did not end";
}

// A box's caption and text as one log line.
std::string oneLine(const std::string& caption, const std::string& text) {
    std::string line;
    for (const std::string& part : messageLines(text)) {
        if (part.empty()) continue;
        if (!line.empty()) line += ' ';
        line += part;
    }
    std::string c(caption);
    while (!c.empty() && c.front() == ' ') c.erase(c.begin());
    return c.empty() ? line : c + ": " + line;
}

}  // namespace

const char* taskRunOutcomeName(TaskRunOutcome outcome) {
    switch (outcome) {
        case TaskRunOutcome::Running: return "running";
        case TaskRunOutcome::Completed: return "completed";
        case TaskRunOutcome::Failed: return "failed";
        case TaskRunOutcome::Stopped: return "stopped";
        case TaskRunOutcome::NotDue: return "not due";
        case TaskRunOutcome::Busy: return "busy";
    }
    return "unknown";
}

TaskRun::TaskRun(ULONG taskId, TaskRunOptions options) : taskId_(taskId), options_(options) {
    task_ = blankTaskRecord();
}

TaskRun::~TaskRun() {
    if (state_ == State::Finished || state_ == State::Start) return;
    import_.reset();
    job_.reset();
    stopping_ = true;
    try {
        finish();
    } catch (...) {
        // A destructor cannot report; the lock and the run mode go all the same.
        setSuppressedMessageSink(previousSink_, previousContext_);
        lock_.reset();
        Mem.DoTask = TaskIdle;
    }
}

void TaskRun::suppressedSink(const MessageRequest& request, void* context) {
    static_cast<TaskRun*>(context)->suppressed(request.caption, request.text);
}

void TaskRun::suppressed(const std::string& caption, const std::string& text) { lastSuppressed_ = oneLine(caption, text); }

JobStatus TaskRun::status() const { return status_; }

JobStatus TaskRun::step() {
    switch (state_) {
        case State::Start: start(); break;
        case State::Step: nextStep(); break;
        case State::Import: stepImport(); break;
        case State::Schedule: schedule(); break;
        case State::Job: stepJob(); break;
        case State::Finish: finish(); break;
        case State::Finished: break;
    }
    return status_;
}

void TaskRun::end(TaskRunOutcome outcome) {
    outcome_ = outcome;
    state_ = State::Finished;
    status_ = outcome == TaskRunOutcome::Completed || outcome == TaskRunOutcome::NotDue ? JobStatus::Done
              : outcome == TaskRunOutcome::Stopped || outcome == TaskRunOutcome::Busy ? JobStatus::Stopped
                                                                                      : JobStatus::Failed;
}

void TaskRun::start() {
    lock_ = std::make_unique<NamedLock>(taskLockDirectory(), TaskLockName);
    const StorageStatus taken = lock_->tryTake();
    if (taken != StorageStatus::Ok) {
        lockHolder_ = taken == StorageStatus::IsLocked ? lock_->holder() : lock_->errorText();
        lock_.reset();
        Mem.DoTask = TaskIdle;
        end(TaskRunOutcome::Busy);
        return;
    }
    const std::optional<TaskDefinition> task = readTask(taskId_);
    const DateTime now = pm::now();
    const bool runnable = task && !task->steps.empty() &&
                          (!options_.onlyWhenDue || (task->record.ACTIVE != 0 && taskIsDue(task->record, now)));
    if (!runnable) {
        if (task) task_ = task->record;
        lock_.reset();
        Mem.DoTask = TaskIdle;
        end(TaskRunOutcome::NotDue);
        return;
    }
    task_ = task->record;
    steps_ = task->steps;
    scheduled_ = taskIsDue(task->record, now);
    previousDatabase_ = Mem.ForumNumber;
    Mem.DoTask = TaskRunning;
    const auto previous = setSuppressedMessageSink(&TaskRun::suppressedSink, this);
    previousSink_ = previous.first;
    previousContext_ = previous.second;
    clearStepResults(taskId_);
    log_ = std::make_unique<TaskLogWriter>(taskId_);
    logId_ = log_->logId();
    started_ = now;
    state_ = State::Step;
}

void TaskRun::failStep(const std::string& why) {
    TaskStepReport& r = reports_.back();
    r.result = ResultNotCompleted;
    r.message = why;
    recordStepResult(ResultNotCompleted, 0, why);
    failed_ = true;
    Mem.DoTask = TaskFailed;
    state_ = State::Finish;
}

void TaskRun::recordStepResult(BYTE result, long seconds, const std::string& why) {
    writeStepResult(taskId_, steps_[stepIndex_], result, seconds);
    log_->finishItem(LogItemImport, result, pm::now(), why);
}

void TaskRun::nextStep() {
    if (stopping_) {
        state_ = State::Finish;
        return;
    }
    if (stepIndex_ >= steps_.size()) {
        state_ = State::Schedule;
        return;
    }
    const ULONG batch = steps_[stepIndex_];
    if (stepIndex_ == 0) log_->start(started_);
    log_->startItem(LogItemImport, batch, pm::now());
    reports_.push_back({LogItemImport, batch, 0, ResultNotSet, {}, 0});
    ImportRequest request;
    if (const RequestProblem problem = loadImportDefinition(batch, request); problem != RequestProblem::None) {
        failStep("import definition " + std::to_string(batch) + ": " + describeRequestProblem(problem));
        return;
    }
    ImportOptions options;
    options.lockWaitSeconds = options_.importLockWaitSeconds;
    options.registerDatabase = [this](ULONG id) {
        if (std::find(databases_.begin(), databases_.end(), id) == databases_.end()) databases_.push_back(id);
    };
    lastSuppressed_.clear();
    import_ = std::make_unique<ImportRun>(request, options);
    state_ = State::Import;
}

void TaskRun::stepImport() {
    if (import_->step() == JobStatus::Running) return;
    TaskStepReport& r = reports_.back();
    r.imported = import_->progress().imported;
    const ImportOutcome outcome = import_->outcome();
    const bool completed = outcome == ImportOutcome::Completed || onlyEmptyFiles(*import_);
    const long seconds = import_->elapsedSeconds();
    const std::string why = lastSuppressed_.empty() ? importOutcomeText(outcome) : lastSuppressed_;
    import_.reset();
    if (stopping_ && !completed) {
        r.result = ResultNotCompleted;
        r.message = why;
        recordStepResult(ResultNotCompleted, 0, why);
        state_ = State::Finish;
        return;
    }
    if (!completed) {
        failStep(why);
        return;
    }
    Mem.DoTask = TaskRunning;  // an import of empty files left it failed
    r.result = ResultCompleted;
    recordStepResult(ResultCompleted, seconds);
    ++stepIndex_;
    state_ = stopping_ ? State::Finish : State::Step;
}

void TaskRun::schedule() {
    if (const std::optional<TaskDefinition> stored = readTask(taskId_)) task_ = stored->record;
    if (scheduled_) {
        scheduleAfterRun(task_, started_, pm::now());
    } else {
        // A run by hand leaves the schedule as it is.
        task_.LASTRUNDATE = started_.date;
        task_.LASTRUNTIME = started_.time;
    }
    writeTaskSchedule(task_);
    for (ULONG id : databases_) {
        BYTE type = 0;
        bool indexed = false;
        if (!catalogEntry(id, type, indexed)) continue;
        if (task_.DODUPELIM) jobs_.push_back({id, type, LogItemDuplicates});
        if (task_.DOPURGE) jobs_.push_back({id, type, LogItemPurge});
        if (task_.DOCOUNT && !task_.DOPURGE) jobs_.push_back({id, type, LogItemCount});
        if (task_.DOINDEX && indexed) jobs_.push_back({id, type, LogItemIndex});
    }
    state_ = State::Job;
    nextJob();
}

void TaskRun::nextJob() {
    if (stopping_ || jobIndex_ >= jobs_.size()) {
        state_ = State::Finish;
        return;
    }
    const MaintenanceJob& j = jobs_[jobIndex_];
    if (log_->lastItemType() != j.type) log_->startItem(j.type, 0, pm::now());
    reports_.push_back({j.type, 0, j.databaseId, ResultNotSet, {}, 0});
    lastSuppressed_.clear();
    if (j.type == LogItemIndex) {
        job_ = std::make_unique<IndexRun>(j.databaseId, j.databaseType);
        return;
    }
    if (!activateDatabase(j.databaseId)) {
        job_.reset();
        reports_.back().result = ResultNotCompleted;
        reports_.back().message = "database " + std::to_string(j.databaseId) + " is no longer in the catalog";
        log_->finishItem(j.type, ResultNotCompleted, pm::now(), reports_.back().message);
        jobFailed_ = true;
        ++jobIndex_;
        return;
    }
    if (j.type == LogItemDuplicates) {
        job_ = std::make_unique<DuplicateRun>();
    } else {
        PurgeOptions options;
        options.work = j.type == LogItemPurge ? PurgeWork::Purge : PurgeWork::Count;
        job_ = std::make_unique<PurgeRun>(options);
    }
}

void TaskRun::stepJob() {
    if (!job_) {
        nextJob();
        return;
    }
    const JobStatus s = job_->step();
    if (s == JobStatus::Running) return;
    const MaintenanceJob& j = jobs_[jobIndex_];
    const BYTE result = s == JobStatus::Done ? ResultCompleted : ResultNotCompleted;
    TaskStepReport& r = reports_.back();
    r.result = result;
    if (result != ResultCompleted) {
        r.message = lastSuppressed_.empty() ? std::string("the job ended ") + jobStatusName(s) : lastSuppressed_;
        jobFailed_ = true;
    }
    // Jobs of one type share an item: its message names each database.
    log_->finishItem(j.type, result, pm::now(),
                     r.message.empty() ? r.message : "database " + std::to_string(j.databaseId) + ": " + r.message);
    job_.reset();
    ++jobIndex_;
    nextJob();
}

void TaskRun::finish() {
    // The stored task as it is now (its new schedule is written already).
    if (const std::optional<TaskDefinition> stored = readTask(taskId_)) task_ = stored->record;
    if (failed_) {
        task_.ACTIVE = 0;
        task_.RUNNOWDATE = 0;
        task_.RUNNOWTIME = 0;
    }
    const BYTE result = log_ ? log_->finish(pm::now()) : BYTE{ResultNotSet};
    task_.RESULTCODE = result;
    writeTaskSchedule(task_);
    if (previousDatabase_ != 0) activateDatabase(previousDatabase_);
    else deactivateDatabase();
    setSuppressedMessageSink(previousSink_, previousContext_);
    lock_.reset();
    Mem.DoTask = TaskIdle;
    if (stopping_) end(TaskRunOutcome::Stopped);
    else end(failed_ || jobFailed_ ? TaskRunOutcome::Failed : TaskRunOutcome::Completed);
}

bool TaskRun::requestStop(StopRequest how) {
    if (state_ == State::Finished) return true;
    if (state_ == State::Start) {
        end(TaskRunOutcome::Stopped);
        return true;
    }
    if (import_ && !import_->requestStop(how)) return false;
    if (job_ && !job_->requestStop(how)) return false;
    stopping_ = true;
    return true;
}

ProgressReport TaskRun::report() const {
    ProgressReport r;
    if (import_) r = import_->report();
    else if (job_) r = job_->report();
    const std::string current = r.title;
    r.title = "Task: " + task_.DESCRIPTION.str();
    if (!current.empty()) r.lines.insert(r.lines.begin(), current);
    long long stepsDone = 0, jobsDone = 0;
    for (const TaskStepReport& s : reports_)
        if (s.result != ResultNotSet) ++(s.type == LogItemImport ? stepsDone : jobsDone);
    r.counters.insert(r.counters.begin(), {{"steps", static_cast<long long>(steps_.size())},
                                           {"steps_done", stepsDone},
                                           {"jobs", static_cast<long long>(jobs_.size())},
                                           {"jobs_done", jobsDone}});
    return r;
}

}  // namespace pm
