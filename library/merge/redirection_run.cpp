#include "merge/redirection_run.h"

#include <algorithm>

#include "common/dates.h"
#include "common/job_steps.h"
#include "import/driver/import_settings.h"
#include "merge/merge_run.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/access/record_services.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/identity_record.h"
#include "tables/rebuild/database_detection.h"
#include "tables/records/config_tables.h"

namespace pm {

RedirectionRun::RedirectionRun(int quota) : quota_(quota > 0 ? quota : importSpeedQuota()) {
    const DateTime started = now();
    date_ = started.date;
    time_ = started.time;
}

RedirectionRun::~RedirectionRun() {
    if (!jobFinal(status())) end(State::Failed);
}

JobStatus RedirectionRun::status() const { return jobStatusOfState(state_); }

bool RedirectionRun::requestStop(StopRequest how) {
    if (jobFinal(status())) return true;
    if (state_ == State::Store && how == StopRequest::Ask && !confirmStoreInterruption(TypeNewsgroup)) return false;
    stopRequested_ = true;
    return true;
}

ProgressReport RedirectionRun::report() const {
    ProgressReport r;
    r.title = "Newsgroup redirection";
    r.lines = {state_ == State::Done ? (moved_ > 0 ? "The merging process has finished!" : "No messages to merge!")
                                     : "Redirecting newsgroup messages"};
    if (state_ == State::Convert && nextJob_ > 0 && nextJob_ <= jobs_.size()) {
        const RedirectionJob& job = jobs_[nextJob_ - 1];
        r.lines.push_back(" Merging from: " + job.sourceName);
        r.lines.push_back(" Merging to: " + job.targetName);
    } else if (store_.active()) {
        r.lines.push_back(" Merging to: " + store_.targetName());
    }
    if (!activity_.empty()) r.lines.push_back(activity_);
    const bool storing = store_.active();
    r.counters = {{"Converted", converted_},
                  {"Moved", moved_ + (storing ? store_.stored() : 0)},
                  {"Skipped", skipped_ + (storing ? store_.skipped() : 0)}};
    if (state_ == State::Done) r.percent = 100;
    return r;
}

JobStatus RedirectionRun::step() {
    if (jobFinal(status())) return status();
    if (stopRequested_) return end(State::Stopped);
    return guardedSlice(
        [this] {
            switch (state_) {
                case State::Initialise: return initialise();
                case State::Convert: return convert();
                case State::Keys: return keys();
                case State::NextTarget: return nextTarget();
                case State::Store: return store();
                default: return status();
            }
        },
        [this] { end(State::Failed); });
}

bool RedirectionRun::readCatalogRecord(ULONG id, ForumsRecord& record) {
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = id;
    const bool found = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
    if (found) record = FOR;
    OP_CLOSE(ReleaseTable, {&Forums});
    return found;
}

JobStatus RedirectionRun::initialise() {
    switch (writingLock_.tryTake()) {
        case WritingRunLock::Turn::Taken: break;
        case WritingRunLock::Turn::Waiting: activity_ = writingLock_.waitingText(); return JobStatus::Running;
        case WritingRunLock::Turn::Refused: return end(State::Failed);
    }
    savedActive_ = Mem;
    begun_ = true;
    bool ok = false;
    jobs_ = buildRedirectionJobs(ok);
    if (!ok) return end(State::Failed);
    if (jobs_.empty()) return end(State::Done);
    for (const RedirectionJob& job : jobs_)
        if (std::find(targets_.begin(), targets_.end(), job.target) == targets_.end()) targets_.push_back(job.target);
    if (!work_.create(date_, time_)) return end(State::Failed);
    workCreated_ = true;
    activity_ = "Pre-merge message conversion";
    state_ = State::Convert;
    return JobStatus::Running;
}

JobStatus RedirectionRun::convert() {
    if (!conversion_.open()) {
        if (nextJob_ >= jobs_.size()) {
            activity_ = "Building Temporary File Index!";
            state_ = State::Keys;
            return JobStatus::Running;
        }
        const RedirectionJob& job = jobs_[nextJob_++];
        ForumsRecord source{};
        if (!readCatalogRecord(job.source, source)) return JobStatus::Running;  // gone meanwhile
        conversion_.begin(source, job.target, job.selection, work_, &unusedCounter_);
    }
    bool failed = false;
    const long long before = conversion_.converted();
    const bool exhausted = conversion_.step(quota_, failed);
    converted_ += conversion_.converted() - before;
    if (failed) return end(State::Failed);
    if (exhausted) conversion_.end();
    return JobStatus::Running;
}

JobStatus RedirectionRun::keys() {
    if (!work_.buildKeys()) return end(State::Failed);
    state_ = State::NextTarget;
    return JobStatus::Running;
}

bool RedirectionRun::giveDirectory(ForumsRecord& target) {
    OP_CLOSE(OpenShared, {&Forums, &Control});
    bool ok = Forums.lock(5) == StorageStatus::Ok;
    if (ok) {
        const ULONG number = nextDirectoryNumber();
        Forums.clear();
        FOR.ID = target.ID;
        ok = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
        if (ok) {
            FOR.DIRNUMBER = number;
            FOR.NODIR = 0;
            ok = UppDat(Forums, UpdateRecord, ReportOnly);
        }
        Forums.unlock();
        if (ok) {
            target = FOR;
            ExistPath(CreatePathArgument, 0, {}, Mem.FileDir + "/F" + std::to_string(number), true);
            DatabaseDirectoryScope scope("F" + std::to_string(number));
            ok = UpdREF();
        }
    } else {
        message("Warning!", "The database list is in use by another user!\r\nTry again later.", Icon::Exclamation);
    }
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    return ok;
}

JobStatus RedirectionRun::nextTarget() {
    if (nextTarget_ >= targets_.size()) return end(State::Done);
    ForumsRecord target{};
    if (!readCatalogRecord(targets_[nextTarget_++], target)) return JobStatus::Running;  // gone meanwhile
    if (target.NODIR != 0 && !giveDirectory(target)) return end(State::Failed);
    if (!store_.begin(target, date_, time_)) return end(State::Failed);
    activity_ = "Merging messages";
    state_ = State::Store;
    return JobStatus::Running;
}

JobStatus RedirectionRun::store() {
    bool failed = false;
    if (!store_.step(quota_, failed)) return JobStatus::Running;
    if (failed || !store_.finish()) return end(State::Failed);
    moved_ += store_.stored();
    skipped_ += store_.skipped();
    state_ = State::NextTarget;
    return JobStatus::Running;
}

JobStatus RedirectionRun::end(State final) {
    conversion_.end();
    if (store_.active()) {
        moved_ += store_.stored();
        skipped_ += store_.skipped();
        store_.stop(final == State::Stopped);
    }
    if (workCreated_) {
        work_.remove();
        workCreated_ = false;
    }
    if (begun_) {
        begun_ = false;
        restoreActiveDatabase(savedActive_);
    }
    writingLock_.release();
    state_ = final;
    return status();
}

}  // namespace pm
