#pragma once
// The redirection run (MergeRedirection) as a job: the messages of every
// redirection job (redirection_settings.h) are copied into the database
// where they now belong. The purge that follows (PurgeRedirection) removes
// them from where they were; until it has run they are in both places,
// never in neither.
//
// States (one slice each):
//   Initialise  the installation's writing-run lock is taken (waiting while
//               another process imports, merges or rebuilds, up to the
//               lock wait); the jobs are built (settings validated); none: Done at
//               once. The work files are created          -> Convert
//   Convert     "Pre-merge message conversion": each job's messages, a
//               quota a slice, into the work files, carrying their
//               target's identifier                        -> Keys
//   Keys        "Building Temporary File Index!"           -> NextTarget
//   NextTarget  the next target database: one without a directory gets
//               the next free directory number and its directory; it is
//               opened for storing                         -> Store; none
//               left -> Done
//   Store       "Merging messages": the merge store, a quota a slice, every
//               commit with its counts; at the target's end its count and
//               word-index marks                           -> NextTarget
//   Done, Stopped, Failed
//               final: work files deleted, the active database restored.
// A stop during Store asks first (when it may) and keeps what is stored.
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/job.h"
#include "import/driver/work_files.h"
#include "merge/redirection_settings.h"
#include "merge/source_conversion.h"
#include "merge/target_store.h"
#include "tables/identifiers/writing_run_lock.h"

namespace pm {

class RedirectionRun final : public Job {
public:
    enum class State { Initialise, Convert, Keys, NextTarget, Store, Done, Stopped, Failed };

    // `quota` messages a slice (0: the import/merge speed setting).
    explicit RedirectionRun(int quota = 0);
    ~RedirectionRun() override;
    RedirectionRun(const RedirectionRun&) = delete;
    RedirectionRun& operator=(const RedirectionRun&) = delete;

    JobStatus step() override;
    JobStatus status() const override;
    bool requestStop(StopRequest how) override;
    // The status lines and the counters "Converted", "Moved" and "Skipped".
    ProgressReport report() const override;

    State state() const { return state_; }
    // The jobs of the run (built by the first step).
    const std::vector<RedirectionJob>& jobs() const { return jobs_; }
    long long converted() const { return converted_; }
    long long moved() const { return moved_; }
    long long skipped() const { return skipped_; }

private:
    JobStatus initialise();
    JobStatus convert();
    JobStatus keys();
    JobStatus nextTarget();
    JobStatus store();
    bool readCatalogRecord(ULONG id, ForumsRecord& record);
    bool giveDirectory(ForumsRecord& target);
    JobStatus end(State final);

    int quota_;
    State state_ = State::Initialise;
    bool stopRequested_ = false;
    bool begun_ = false;
    WritingRunLock writingLock_{"Redirection"};
    MemGlobals savedActive_;
    LONG date_ = 0, time_ = 0;
    std::string activity_;

    std::vector<RedirectionJob> jobs_;
    std::size_t nextJob_ = 0;
    std::vector<ULONG> targets_;
    std::size_t nextTarget_ = 0;
    WorkFiles work_;
    bool workCreated_ = false;
    LONG unusedCounter_ = 0;  // newsgroup messages keep their numbers
    SourceConversion conversion_;
    TargetStore store_;
    long long converted_ = 0, moved_ = 0, skipped_ = 0;
};

}  // namespace pm
