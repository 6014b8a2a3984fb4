#pragma once
// The word delete cleanup: removes words from the index and adds them to the
// stop words. Words come from the deletion marks (PUR) and from the
// automatic stop-word rule of the indexing run.
//
// A job (common/job.h). Phases, one slice per step:
//   Moving    "Moving deleted index words to Ignore list": each marked word
//             is looked up, its id joins the list, its word joins STO; PUR
//             is emptied. One transaction.
//   Deciding  the share of MasIdx to remove (stored counts of the listed
//             words / MasIdx records x 100, two decimals) picks deleting
//             entry by entry (up to 0.5, or below 0.5 right after a flush)
//             or purging by copy. Skipped (straight to Words) when nothing
//             is to remove, when MasIdx is empty, or before a full run,
//             which recreates MasIdx anyway.
//   Deleting  "Deleting orphaned word indexes": each listed word's entries
//             are deleted through MAS:by_WordId, 1000 a step, committed
//             every 500.
//   CopyOut   "Purging orphaned word indexes": every entry of a word not
//             listed is copied to PUR, 2000 a step.
//   CopyBack  "Rebuilding index file": in one transaction MasIdx is emptied,
//             PUR copied back (2000 a step), PUR emptied and "Rebuilding
//             index keys" builds the keys. A failure here or in CopyOut
//             deletes WordList, MasIdx and PUR and asks for a full run.
//   Words     "Deleting index words" ("Purging deleted index words" after a
//             purge): each listed word leaves WordList, 1000 a step; then
//             WOR:by_WordCount is built, or FOR:WORDLISTINDEXNEEDSUPDATE is
//             set to 1 when that fails.
//   Done, Failed
#include <memory>
#include <string>
#include <vector>

#include "common/job.h"
#include "common/types.h"

namespace pm {

struct CleanupOutcome {
    bool needsFullRun = false;   // the index files were deleted
    bool countKeyFailed = false; // WOR:by_WordCount could not be built
    bool purgedByCopy = false;   // MasIdx was rebuilt through PUR
    long long wordsRemoved = 0;
    long long entriesRemoved = 0;
};

class WordCleanup final : public Job {
public:
    enum class Phase { Moving, Deciding, Deleting, CopyOut, CopyBack, Words, Done, Failed };

    // `words` are the ids found by the run (automatic stop words); the marks
    // of PUR are added in the first phase. `fullRun`: before a full run
    // (MasIdx is not touched). `afterFlush`: right after an indexing flush
    // (the entry-by-entry share must stay below 0.5). The word-index
    // tables, STO and Forums must be open.
    WordCleanup(std::vector<LONG> words, ULONG databaseId, bool fullRun, bool afterFlush);
    ~WordCleanup() override;

    // One slice; Running until the cleanup is Done or Failed.
    JobStatus step() override;
    JobStatus status() const override;
    // Accepted, but the cleanup winds down by finishing its work: a cleanup
    // broken off would leave occurrences of words that are gone.
    bool requestStop(StopRequest) override { return true; }
    // The status line and the percent of the work, in steps of a fortieth.
    ProgressReport report() const override;
    Phase phase() const { return phase_; }
    const std::string& statusLine() const { return status_; }
    int percent() const { return percent_; }
    const CleanupOutcome& outcome() const { return outcome_; }
    // The ids of the words removed: the ones given and the marked ones.
    const std::vector<LONG>& words() const { return words_; }

private:
    void moveMarkedWords();
    void decide();
    void deleteEntries();
    void copyOut();
    void copyBack();
    void deleteWords();
    void advanceWork(long long units);
    void fail();
    void copyFailed();

    std::vector<LONG> words_;
    ULONG databaseId_;
    bool fullRun_;
    bool afterFlush_;
    bool purged_ = false;
    Phase phase_ = Phase::Moving;
    std::string status_;
    CleanupOutcome outcome_;
    long long sum_ = 0;
    std::size_t next_ = 0;  // position in words_
    bool started_ = false;  // the current phase has begun its scan
    long long workTotal_ = 1;
    long long workDone_ = 0;
    int percent_ = 0;
};

}  // namespace pm
