#include "merge/merge_run.h"

#include "common/dates.h"
#include "common/job_steps.h"
#include "common/user_interface.h"
#include "import/driver/import_settings.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

bool readCatalogRecord(ULONG id, ForumsRecord& record) {
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return false;
    record = FOR;
    return true;
}

}  // namespace

bool checkMergePair(ULONG sourceId, ULONG targetId) {
    OP_CLOSE(OpenShared, {&Forums});
    ForumsRecord source{}, target{};
    const bool haveSource = readCatalogRecord(sourceId, source);
    const bool haveTarget = readCatalogRecord(targetId, target);
    OP_CLOSE(ReleaseTable, {&Forums});
    if (!haveSource || !haveTarget) {
        message("Warning!", std::string("The ") + (haveSource ? "target" : "source") +
                                " database is not in the database list!\r\nMessages will not be merged!",
                Icon::Exclamation);
        return false;
    }
    if (sourceId == targetId) {
        message(IllegalSelectionCaption, "The source and the target are the same database!", Icon::Exclamation);
        return false;
    }
    if (source.TYPE != target.TYPE) {
        message(IllegalSelectionCaption, DifferentKindsText, Icon::Exclamation);
        return false;
    }
    return true;
}

bool confirmStoreInterruption(BYTE targetType) {
    if (quiet()) return true;
    const std::string counts = targetType == TypeMail ? "per mailpartner" : "per section, thread and person";
    return message("Import process interrupted",
                   "Stopping at this stage will cause message counts \r\n" + counts +
                       " to be incorrect.\r\nIf you do quit, please run the Count Messages process to correct the "
                       "numbers! Are you sure you want to quit?",
                   Icon::Question, ButtonYes | ButtonNo, ButtonNo) == ButtonYes;
}

MergeRun::MergeRun(ULONG sourceId, ULONG targetId, int quota)
    : sourceId_(sourceId), targetId_(targetId), quota_(quota > 0 ? quota : importSpeedQuota()) {
    const DateTime started = now();
    date_ = started.date;
    time_ = started.time;
}

MergeRun::~MergeRun() {
    if (!jobFinal(status())) end(State::Failed);
}

JobStatus MergeRun::status() const { return jobStatusOfState(state_); }

bool MergeRun::requestStop(StopRequest how) {
    if (jobFinal(status())) return true;
    if (state_ == State::Store && how == StopRequest::Ask && !confirmStoreInterruption(target_.TYPE)) return false;
    stopRequested_ = true;
    return true;
}

ProgressReport MergeRun::report() const {
    ProgressReport r;
    r.title = "Database merge";
    r.lines = {status_};
    if (!sourceName_.empty()) r.lines.push_back(" Merging from: " + sourceName_);
    if (!targetName_.empty()) r.lines.push_back(" Merging to: " + targetName_);
    if (!activity_.empty()) r.lines.push_back(activity_);
    r.counters = {{"Converted", converted()}, {"Merged", merged()}, {"Skipped", skipped()}};
    if (state_ == State::Store && converted() > 0) r.percent = static_cast<int>(100 * store_.handled() / converted());
    if (state_ == State::Done) r.percent = 100;
    return r;
}

void MergeRun::setActivity(const std::string& activity) { activity_ = activity; }

JobStatus MergeRun::step() {
    if (jobFinal(status())) return status();
    if (stopRequested_) {
        if (store_.active()) store_.stop(true);
        return end(State::Stopped);
    }
    return guardedSlice(
        [this] {
            switch (state_) {
                case State::Initialise: return initialise();
                case State::Convert: return convert();
                case State::Keys: return keys();
                case State::Store: return store();
                case State::Finish: return finish();
                default: return status();
            }
        },
        [this] { end(State::Failed); });
}

JobStatus MergeRun::initialise() {
    status_ = "Database merge";
    switch (writingLock_.tryTake()) {
        case WritingRunLock::Turn::Taken: break;
        case WritingRunLock::Turn::Waiting: setActivity(writingLock_.waitingText()); return JobStatus::Running;
        case WritingRunLock::Turn::Refused: return end(State::Failed);
    }
    savedActive_ = Mem;
    begun_ = true;
    if (!checkMergePair(sourceId_, targetId_)) return end(State::Failed);
    OP_CLOSE(OpenShared, {&Forums});
    readCatalogRecord(sourceId_, source_);
    readCatalogRecord(targetId_, target_);
    OP_CLOSE(ReleaseTable, {&Forums});
    sourceName_ = source_.DESCRIPTION.str();
    targetName_ = target_.DESCRIPTION.str();
    reservation_ = std::make_unique<ImportReservation>();
    if (!reservation_->begin()) return end(State::Failed);
    if (!work_.create(date_, time_)) return end(State::Failed);
    workCreated_ = true;
    conversion_.begin(source_, target_.ID, MessageSelection::all(), work_, &reservation_->counter());
    setActivity("Pre-merge message conversion");
    state_ = State::Convert;
    return JobStatus::Running;
}

JobStatus MergeRun::convert() {
    bool failed = false;
    if (!conversion_.step(quota_, failed)) return JobStatus::Running;
    conversion_.end();
    if (failed) return end(State::Failed);
    setActivity("Building Temporary File Index!");
    state_ = State::Keys;
    return JobStatus::Running;
}

JobStatus MergeRun::keys() {
    if (!reservation_->end()) return end(State::Failed);
    reservation_.reset();
    if (!work_.buildKeys()) return end(State::Failed);
    CCTFile.buildKeys();
    if (converted() == 0) return end(State::Done);
    if (!store_.begin(target_, date_, time_)) return end(State::Failed);
    setActivity("Merging messages");
    state_ = State::Store;
    return JobStatus::Running;
}

JobStatus MergeRun::store() {
    bool failed = false;
    if (!store_.step(quota_, failed)) return JobStatus::Running;
    if (failed) return end(State::Failed);
    setActivity("Merge complete");
    state_ = State::Finish;
    return JobStatus::Running;
}

JobStatus MergeRun::finish() { return end(store_.finish() ? State::Done : State::Failed); }

JobStatus MergeRun::end(State final) {
    conversion_.end();
    store_.stop(final == State::Stopped);
    if (reservation_) reservation_->abandon();
    reservation_.reset();
    if (workCreated_) {
        work_.remove();
        workCreated_ = false;
    }
    if (begun_) {
        begun_ = false;
        restoreActiveDatabase(savedActive_);
    }
    writingLock_.release();
    status_ = merged() > 0 ? "The merging process has finished!" : "No messages to merge!";
    state_ = final;
    return status();
}

}  // namespace pm
