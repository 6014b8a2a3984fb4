#pragma once
// The purge after a redirection (PurgeRedir) as a job: each redirection
// job's messages leave the database they were moved out of - but only those
// the job's target holds (found there by their Message-ID), so a message
// whose move did not happen stays where it is. Then the databases that lost
// messages have their counts, threads, persons, word list and topic counts
// brought in line, and the redirection settings are settled: the target in
// force becomes the "before" state of every newsgroup whose messages all
// arrived.
//
// States (one slice each):
//   Begin      the installation's writing-run lock (waiting while another
//              process imports, merges or rebuilds, up to the lock wait);
//              the jobs (given, or built again from the settings)
//   Collect    the job's selected messages in its source, with their
//              Message-IDs ("Deleting messages in obsolete section")
//   Confirm    which of them the job's target holds
//   Delete     those leave the source a batch at a time, in one
//              transaction with all that names them, a slice per stage:
//              header, text and Message-ID ("Deleting messages in obsolete
//              section"), word-index entries ("Purging orphaned word
//              indexes"), word counts ("Updating index counts per indexed
//              word"), topic assignments ("Removing orphaned search
//              indexes"); a commit every 400 writes -> Collect (next job)
//   Count      a source's headers counted                  -> Repair
//   Repair     "Updating message receiver information", "Updating message
//              counts per section", "... per thread", "... per person",
//              "Removing orphan duplicates" (persons left without
//              messages), "Rebuilding word list" (words no message uses
//              any more), "Updating key word index counts", then the
//              catalog record ("Flushing buffers") -> Count (next source)
//   Settle     the settings                                -> Done
//   Done, Stopped, Failed
// Every step leaves whole transactions behind: killed anywhere, the next
// redirection run and purge finish the work.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/job.h"
#include "merge/message_removal.h"
#include "merge/redirection_settings.h"
#include "tables/identifiers/writing_run_lock.h"

namespace pm {

struct PurgeSummary {
    long long before = 0;   // "Messages before purging" (in the databases purged)
    long long deleted = 0;  // "Deleted during this session"
    long long after = 0;    // "Messages after purging"
    long long threads = 0;  // "Number of threads in database"
    long long participants = 0;  // "Number of Newsgroup participants in database"
    long long notMoved = 0; // selected messages the target does not hold (left where they are)
};

class RedirectionPurge final : public Job {
public:
    enum class State { Begin, Collect, Confirm, Delete, Count, Repair, Settle, Done, Stopped, Failed };

    // Purges after the jobs of a redirection run; `buildJobs`: build them
    // from the settings instead (a purge started on its own).
    explicit RedirectionPurge(std::vector<RedirectionJob> jobs, bool buildJobs = false);
    ~RedirectionPurge() override;
    RedirectionPurge(const RedirectionPurge&) = delete;
    RedirectionPurge& operator=(const RedirectionPurge&) = delete;

    JobStatus step() override;
    JobStatus status() const override;
    // Accepted; the purge ends at the next slice boundary, once the batch
    // being removed is whole (what it deleted stays, committed; the counts
    // are repaired by the next purge).
    bool requestStop(StopRequest how) override;
    // The status line and the summary counters.
    ProgressReport report() const override;

    State state() const { return state_; }
    const PurgeSummary& summary() const { return summary_; }

private:
    struct Candidate {
        ULONG number;
        std::string messageId;
    };
    JobStatus begin();
    JobStatus collect();
    JobStatus confirm();
    JobStatus remove();
    JobStatus count();
    JobStatus repair();
    JobStatus settle();
    void openDatabase(ULONG id, bool forRemoval);
    void closeDatabase();
    bool commit();
    bool writeCatalogCount();
    JobStatus end(State final);

    std::vector<RedirectionJob> jobs_;
    bool buildJobs_;
    State state_ = State::Begin;
    bool stopRequested_ = false;
    bool begun_ = false;
    MemGlobals savedActive_;
    std::string status_;
    int quota_ = 200;
    WritingRunLock writingLock_{"Redirection"};

    std::size_t job_ = 0;                 // the job being purged
    std::vector<Candidate> candidates_;   // its selected messages
    std::vector<ULONG> confirmed_;        // those its target holds
    std::size_t next_ = 0;
    RemovalBatch batch_;                  // the messages being removed now
    int removalStage_ = 0;                // the stage the batch is at
    RecordPosition last_ = 0;             // scan position in a header table
    int openKind_ = 0;                    // 0 nothing open, 1 headers and Message-IDs, 2 removal tables
    ULONG openId_ = 0;                    // the database open
    std::map<ULONG, long long> removed_;  // messages removed per source
    std::map<ULONG, long long> indexedRemoved_;  // of those, the ones with word-index entries
    std::set<ULONG> counted_;             // sources whose messages are in summary_.before

    std::vector<ULONG> sources_;          // databases that lost messages, in job order
    std::size_t source_ = 0;
    MessageCounts counts_;
    std::unique_ptr<CountRepair> repair_;
    int repairStep_ = 0;
    std::set<ULONG> unsettled_;           // newsgroups with messages left behind
    PurgeSummary summary_;
};

}  // namespace pm
