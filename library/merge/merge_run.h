#pragma once
// The database merge (MergeIt) as a job: every message of a source database
// is copied into a target database of the same kind. The source is not
// changed.
//
// States (one slice each; where they lead):
//   Initialise  takes the installation's writing-run lock (waits while
//               another process imports, merges or rebuilds, up to the
//               lock wait, then refuses), reads both catalog records (a missing one, two different
//               kinds or one database twice end the run), reserves the
//               identifier counter (Control locked) and creates the work
//               files                                        -> Convert
//   Convert     "Pre-merge message conversion": the source's messages, up
//               to the import speed quota a slice, into the work files
//                                                            -> Keys
//   Keys        "Building Temporary File Index!": the counter written back
//               (Control unlocked), the work files keyed       -> Store,
//               or the run ends ("No messages to merge!") when the source
//               holds none
//   Store       "Merging messages": the merge store files the work records
//               into the target, a quota a slice; every commit carries its
//               counts                                         -> Finish
//   Finish      "Merge complete": the target's topic dates reset, its
//               count and word-index marks written           -> Done
//   Done, Stopped, Failed
//               final: work files deleted, tables released, the active
//               database restored.
//
// A stop before Store ends the run with nothing stored. During Store a stop
// that may ask shows "Import process interrupted" first (No goes on); then
// what is stored stays, with its counts. Killed at any point, the target
// holds whole transactions only; a second merge of the same pair stores what
// is missing and skips what is there.
#include <memory>
#include <string>

#include "common/globals.h"
#include "common/job.h"
#include "common/types.h"
#include "import/driver/work_files.h"
#include "merge/source_conversion.h"
#include "merge/target_store.h"
#include "tables/identifiers/import_reservation.h"
#include "tables/identifiers/writing_run_lock.h"

namespace pm {

// The refusal of a merge of two kinds of database (caption and text).
inline constexpr const char* IllegalSelectionCaption = "Illegal selection!";
inline constexpr const char* DifferentKindsText =
    "You cannot merge different kinds of databases - they both will have to be either Mail, Forum or Newsgroup!";

// Whether databases `sourceId` and `targetId` may be merged: both exist and
// are of one kind, and they are two. Otherwise the reason is shown ("Illegal
// selection!" for two kinds) and false returned. Opens and releases the
// catalog itself.
bool checkMergePair(ULONG sourceId, ULONG targetId);

// The question a stop asks once messages are being stored, by the target's
// type (mail names the counts per mail partner); true when the person
// chose to stop.
bool confirmStoreInterruption(BYTE targetType);

class MergeRun final : public Job {
public:
    enum class State { Initialise, Convert, Keys, Store, Finish, Done, Stopped, Failed };

    // A merge of database `sourceId` into `targetId`; `quota` messages a
    // slice (0: the import/merge speed setting). Nothing is opened yet.
    MergeRun(ULONG sourceId, ULONG targetId, int quota = 0);
    ~MergeRun() override;
    MergeRun(const MergeRun&) = delete;
    MergeRun& operator=(const MergeRun&) = delete;

    JobStatus step() override;
    JobStatus status() const override;
    bool requestStop(StopRequest how) override;
    // The status lines (" Merging from: ", " Merging to: ", the activity)
    // and the counters "Converted", "Merged" and "Skipped".
    ProgressReport report() const override;

    State state() const { return state_; }
    ULONG sourceId() const { return sourceId_; }
    ULONG targetId() const { return targetId_; }
    long long converted() const { return conversion_.converted(); }
    long long merged() const { return store_.stored(); }
    long long skipped() const { return store_.skipped(); }
    const std::string& sourceName() const { return sourceName_; }
    const std::string& targetName() const { return targetName_; }

private:
    JobStatus initialise();
    JobStatus convert();
    JobStatus keys();
    JobStatus store();
    JobStatus finish();
    JobStatus end(State final);
    void setActivity(const std::string& activity);

    ULONG sourceId_, targetId_;
    int quota_;
    State state_ = State::Initialise;
    bool stopRequested_ = false;
    bool begun_ = false;  // the active database was saved
    MemGlobals savedActive_;
    LONG date_ = 0, time_ = 0;
    ForumsRecord source_{}, target_{};
    std::string sourceName_, targetName_;
    std::string status_;
    std::string activity_;

    WritingRunLock writingLock_{"Merge"};
    std::unique_ptr<ImportReservation> reservation_;
    WorkFiles work_;
    bool workCreated_ = false;
    SourceConversion conversion_;
    TargetStore store_;
};

}  // namespace pm
