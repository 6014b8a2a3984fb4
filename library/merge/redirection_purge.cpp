#include "merge/redirection_purge.h"

#include <algorithm>
#include <iterator>

#include "common/job_steps.h"
#include "common/user_interface.h"
#include "tables/access/store_writes.h"
#include "merge/target_store.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

constexpr long kCommitAfterWrites = 400;

// The stages of removing one batch of messages, all in one transaction.
const char* const kRemovalTexts[] = {
    "Deleting messages in obsolete section", "Purging orphaned word indexes", "Updating index counts per indexed word",
    "Removing orphaned search indexes",
};

// The repairs of a database that lost messages, in order; the last writes
// its catalog record.
const char* const kRepairTexts[] = {
    "Updating message receiver information", "Updating message counts per section",
    "Updating message counts per thread",    "Updating message counts per person",
    "Removing orphan duplicates",            "Rebuilding word list",
    "Updating key word index counts",        "Flushing buffers",
};
constexpr int kRepairSteps = static_cast<int>(std::size(kRepairTexts));

}  // namespace

RedirectionPurge::RedirectionPurge(std::vector<RedirectionJob> jobs, bool buildJobs)
    : jobs_(std::move(jobs)), buildJobs_(buildJobs) {}

RedirectionPurge::~RedirectionPurge() {
    if (!jobFinal(status())) end(State::Failed);
}

JobStatus RedirectionPurge::status() const { return jobStatusOfState(state_); }

bool RedirectionPurge::requestStop(StopRequest) {
    stopRequested_ = true;
    return true;
}

ProgressReport RedirectionPurge::report() const {
    ProgressReport r;
    r.title = "Purge after redirection";
    r.lines = {status_};
    r.counters = {{"Messages before purging", summary_.before},
                  {"Deleted during this session", summary_.deleted},
                  {"Messages after purging", summary_.after},
                  {"Number of messages in database", summary_.after},
                  {"Number of threads in database", summary_.threads},
                  {"Number of Newsgroup participants in database", summary_.participants},
                  {"Not moved", summary_.notMoved}};
    if (state_ == State::Done) r.percent = 100;
    return r;
}

JobStatus RedirectionPurge::step() {
    if (jobFinal(status())) return status();
    // A batch half removed is finished first: what a stop commits is whole.
    if (stopRequested_ && removalStage_ == 0) return end(State::Stopped);
    return guardedSlice(
        [this] {
            switch (state_) {
                case State::Begin: return begin();
                case State::Collect: return collect();
                case State::Confirm: return confirm();
                case State::Delete: return remove();
                case State::Count: return count();
                case State::Repair: return repair();
                case State::Settle: return settle();
                default: return status();
            }
        },
        [this] { end(State::Failed); });
}

void RedirectionPurge::openDatabase(ULONG id, bool forRemoval) {
    const int kind = forRemoval ? 2 : 1;
    if (openKind_ == kind && openId_ == id) return;
    closeDatabase();
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) takeActiveDatabaseFrom_FOR();
    if (forRemoval)
        openRemovalTables();
    else
        OP_CLOSE(OpenShared, {&MsgNmbr, &MsgString});
    openKind_ = kind;
    openId_ = id;
}

void RedirectionPurge::closeDatabase() {
    if (openKind_ == 0) return;
    if (openKind_ == 2)
        releaseRemovalTables();
    else
        OP_CLOSE(ReleaseTable, {&MsgNmbr, &MsgString});
    OP_CLOSE(ReleaseTable, {&Forums});
    openKind_ = 0;
    openId_ = 0;
}

bool RedirectionPurge::commit() {
    StorageError error;
    if (commitTransaction(&error) != StorageStatus::Ok) {
        rollbackTransaction();
        message("Warning!", error.text + "\r\nThe last transaction is rolled back.", Icon::Exclamation);
        return false;
    }
    resetStoreWriteCount();
    passCommitPoint();
    return true;
}

JobStatus RedirectionPurge::begin() {
    switch (writingLock_.tryTake()) {
        case WritingRunLock::Turn::Taken: break;
        case WritingRunLock::Turn::Waiting: status_ = writingLock_.waitingText(); return JobStatus::Running;
        case WritingRunLock::Turn::Refused: return end(State::Failed);
    }
    savedActive_ = Mem;
    begun_ = true;
    if (buildJobs_) {
        bool ok = false;
        jobs_ = buildRedirectionJobs(ok);
        if (!ok) return end(State::Failed);
    }
    for (const RedirectionJob& job : jobs_)
        if (std::find(sources_.begin(), sources_.end(), job.source) == sources_.end()) sources_.push_back(job.source);
    status_ = kRemovalTexts[0];
    state_ = State::Collect;
    return JobStatus::Running;
}

JobStatus RedirectionPurge::collect() {
    if (job_ >= jobs_.size()) {
        closeDatabase();
        state_ = State::Count;
        return JobStatus::Running;
    }
    const RedirectionJob& job = jobs_[job_];
    openDatabase(job.source, false);
    if (counted_.insert(job.source).second) summary_.before += MsgNmbr.records();
    if (last_ > 0)
        MsgNmbr.setPhysicalAt(last_ + 1);
    else
        MsgNmbr.setPhysical();
    for (int n = 0; n < quota_ * 10; ++n) {
        if (MsgNmbr.next() != StorageStatus::Ok) {
            closeDatabase();
            last_ = 0;
            next_ = 0;
            state_ = State::Confirm;
            return JobStatus::Running;
        }
        last_ = MsgNmbr.position();
        if (!job.selection.takes(MSG.SECSYSID)) continue;
        const ULONG number = MSG.MSGNUMBER;
        MsgString.clear();
        MST.MSGNUMBER = number;
        if (MsgString.get(MST_IDKey) == StorageStatus::Ok) {
            candidates_.push_back({number, MST.IDSTRING.str()});
        } else {
            // Without its Message-ID the target cannot have it: it stays.
            ++summary_.notMoved;
            unsettled_.insert(job.newsgroup);
        }
    }
    return JobStatus::Running;
}

JobStatus RedirectionPurge::confirm() {
    const RedirectionJob& job = jobs_[job_];
    openDatabase(job.target, false);
    for (int n = 0; n < quota_ * 10 && next_ < candidates_.size(); ++n) {
        const Candidate& c = candidates_[next_++];
        MsgString.clear();
        MST.IDSTRING = c.messageId;
        bool held = MsgString.get(MST_IDStringKey) == StorageStatus::Ok;
        if (held) {
            MsgNmbr.clear();
            MSG.MSGNUMBER = MST.MSGNUMBER;
            held = MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
        }
        if (held) {
            confirmed_.push_back(c.number);
        } else {
            ++summary_.notMoved;
            unsettled_.insert(job.newsgroup);
        }
    }
    if (next_ < candidates_.size()) return JobStatus::Running;
    closeDatabase();
    candidates_.clear();
    next_ = 0;
    state_ = State::Delete;
    return JobStatus::Running;
}

JobStatus RedirectionPurge::remove() {
    const RedirectionJob& job = jobs_[job_];
    if (next_ >= confirmed_.size() && removalStage_ == 0) {
        closeDatabase();
        confirmed_.clear();
        next_ = 0;
        ++job_;
        status_ = kRemovalTexts[0];
        state_ = State::Collect;
        return JobStatus::Running;
    }
    openDatabase(job.source, true);
    if (!inTransaction()) {
        if (!beginTransactionChecked({})) return end(State::Failed);
        // Until its counts are repaired the database says so.
        Forums.clear();
        FOR.ID = job.source;
        if (Forums.get(FOR_ForumKey) == StorageStatus::Ok && FOR.COUNTFLAG == 0) {
            FOR.COUNTFLAG = 1;
            if (!storeWrite(Forums, UpdateRecord)) return end(State::Failed);
        }
    }
    status_ = kRemovalTexts[removalStage_];
    bool ok = true;
    switch (removalStage_) {
        case 0:
            for (int n = 0; ok && n < quota_ && next_ < confirmed_.size(); ++n)
                ok = removeMessageRecords(confirmed_[next_++], batch_);
            break;
        case 1: ok = removeWordEntries(batch_); break;
        case 2: ok = lowerWordCounts(batch_); break;
        default: ok = removeTopicAssignments(batch_); break;
    }
    if (!ok) return end(State::Failed);
    if (++removalStage_ < static_cast<int>(std::size(kRemovalTexts))) return JobStatus::Running;
    // The batch is whole: its messages are gone with everything that named them.
    removalStage_ = 0;
    summary_.deleted += static_cast<long long>(batch_.removed.size());
    removed_[job.source] += static_cast<long long>(batch_.removed.size());
    indexedRemoved_[job.source] += batch_.indexed;
    batch_.clear();
    if ((storeWriteCount() > kCommitAfterWrites || next_ >= confirmed_.size()) && !commit()) return end(State::Failed);
    return JobStatus::Running;
}

JobStatus RedirectionPurge::count() {
    if (source_ >= sources_.size()) {
        state_ = State::Settle;
        return JobStatus::Running;
    }
    const ULONG id = sources_[source_];
    openDatabase(id, true);
    if (last_ == 0) {
        // A database that lost nothing now and whose counts are whole is
        // left alone (a purge cut short left its flag set).
        Forums.clear();
        FOR.ID = id;
        const bool whole = Forums.get(FOR_ForumKey) == StorageStatus::Ok && FOR.COUNTFLAG == 0;
        if (removed_[id] == 0 && whole) {
            closeDatabase();
            ++source_;
            return JobStatus::Running;
        }
        counts_ = MessageCounts{};
        MsgNmbr.setPhysical();
    } else {
        MsgNmbr.setPhysicalAt(last_ + 1);
    }
    for (int n = 0; n < quota_ * 20; ++n) {
        if (MsgNmbr.next() != StorageStatus::Ok) {
            last_ = 0;
            repair_ = std::make_unique<CountRepair>(std::move(counts_));
            repairStep_ = 0;
            state_ = State::Repair;
            return JobStatus::Running;
        }
        last_ = MsgNmbr.position();
        counts_.add();
    }
    return JobStatus::Running;
}

bool RedirectionPurge::writeCatalogCount() {
    const ULONG id = sources_[source_];
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;
    FOR.MSGCOUNT = static_cast<ULONG>(repair_->counts().messages);
    FOR.COUNTFLAG = 0;
    const long long indexed = indexedRemoved_[id];
    if (indexed > 0) {
        FOR.RECSLASTTIME = FOR.RECSLASTTIME > indexed ? FOR.RECSLASTTIME - static_cast<ULONG>(indexed) : 0;
        FOR.WORDLISTINDEXNEEDSUPDATE = 1;
    }
    return storeWrite(Forums, UpdateRecord);
}

JobStatus RedirectionPurge::repair() {
    status_ = kRepairTexts[repairStep_];
    if (!inTransaction() && !beginTransactionChecked({})) return end(State::Failed);
    bool ok = true, done = false;
    switch (repairStep_) {
        case 0: done = repair_->receivers(quota_, ok); break;
        case 1: done = repair_->sections(quota_, ok); break;
        case 2: done = repair_->threads(quota_, ok); break;
        case 3: done = repair_->persons(quota_, ok); break;
        case 4: done = repair_->orphanPersons(quota_, ok); break;
        case 5: done = repair_->emptyWords(quota_, ok); break;
        case 6: done = repair_->topicCounts(quota_, ok); break;
        default: done = true; ok = writeCatalogCount(); break;
    }
    if (!ok) return end(State::Failed);
    if ((done || repair_->writes() > kCommitAfterWrites) && !commit()) return end(State::Failed);
    repair_->resetWrites();
    if (!done) return JobStatus::Running;
    if (++repairStep_ < kRepairSteps) return JobStatus::Running;
    summary_.after += repair_->counts().messages;
    summary_.threads += repair_->threadsLeft();
    summary_.participants += repair_->personsLeft();
    repair_.reset();
    closeDatabase();
    ++source_;
    state_ = State::Count;
    return JobStatus::Running;
}

JobStatus RedirectionPurge::settle() {
    status_ = summary_.deleted > 0 ? "The purge has finished!" : "No messages to purge!";
    return end(settleRedirections(std::vector<ULONG>(unsettled_.begin(), unsettled_.end())) ? State::Done
                                                                                               : State::Failed);
}

JobStatus RedirectionPurge::end(State final) {
    if (inTransaction()) {
        // What a stop leaves committed is whole; a failure keeps nothing half-done.
        if (final == State::Stopped)
            commit();
        else
            rollbackTransaction();
    }
    closeDatabase();
    if (begun_) {
        begun_ = false;
        restoreActiveDatabase(savedActive_);
    }
    writingLock_.release();
    state_ = final;
    return status();
}

}  // namespace pm
