#pragma once
// The indexing run (INDEXFILE1) of the active database, as a step machine.
//
// States, in the order a run goes through them:
//
//   Start      nothing touched yet. The first step reads the settings (a
//              failure skips the run), applies the caret rule, asks before a
//              full run replaces an existing index (interactive runs only),
//              opens the tables and sets IndexingInProgress.
//   Cleanup    the word delete cleanup (word_cleanup.h) runs, one slice a
//              step; afterwards the run goes on where it was heading. The
//              stop button waits for it. After a flush the worker files on
//              meanwhile, fed between the slices.
//   Reset      full runs: the checkpoint is cleared in the catalog, and
//              WordList, MasIdx and PUR are deleted and created again.
//   Preparing  the stop list is loaded, MsgText is positioned at the start
//              or after the checkpoint, the counters are set, and the
//              catalog record is marked as needing an update.
//   Indexing   each step reads up to batchSize messages and hands them to
//              the worker thread (index_worker.h), which breaks and files
//              them into batches while this thread reads on; the step
//              answers the worker's word-list look-ups and waits until the
//              worker took up the previous step's messages. A batch closes
//              when its occurrences fill half the buffer room, at the end of
//              a step in which words moved to the stop list, or with the
//              last message; a closed batch is flushed.
//   Flushing   one transaction over several steps for one batch: the
//              occurrences are appended to MasIdx (batchSize x 1000 a step)
//              and its keys built (the same a step), up to 4M pairs at a
//              time, the batch's words written (batchSize x 25 a
//              step), new stop words stored, and the checkpoint (FOR:LASTMSGID,
//              FOR:RECSLASTTIME: the last message of the batch) stored; then
//              the commit. Between the slices the worker is fed, so it fills
//              the next batch meanwhile. A failure rolls the whole flush
//              back, so the index stays as it was at the last checkpoint,
//              earlier words and counts included.
//   Finishing  "Indexing finished!": WOR:by_WordCount is built and, when
//              that works and the run was not stopped, FOR:WORDLISTINDEXNEEDSUPDATE
//              is cleared (a stopped run leaves messages to do).
//   Done, Stopped, Skipped, Failed
//              terminal. IndexingInProgress is 0 again and the tables are
//              released. result() is 1 after Done, 2 otherwise. As a job:
//              Done is Done, Stopped Stopped, Failed Failed; Skipped is
//              Stopped when the person declined the full run, else Failed.
//
// A stop request (either kind; the run asks nothing) before the first step
// ends the run at once; later the run flushes what the worker has filed
// (messages read beyond it are left for the next run) and ends Stopped, or
// ends after the cleanup when one is under way.
//
// The checkpoint only advances with a committed flush: a run that ends
// abnormally (or an object destroyed mid-run) leaves the index at its last
// checkpoint, and the next partial run resumes after it, skipping messages
// that are already indexed.
#include <cstddef>
#include <memory>
#include <string>

#include "common/job.h"
#include "common/types.h"

namespace pm {

// Faults a test can make happen (never set otherwise).
struct IndexFaults {
    long wordWriteFailsAt = -1;  // the n-th word write of a flush fails (0 = the first)
    bool keyBuildFails = false;  // building the MasIdx keys fails
    long keyBuildSliceFails = -1;  // the n-th slice of a key build (not its last) fails (0 = the first of the run)
    bool rollbackFails = false;  // undoing a failed flush is reported as failed
};

// Which thread breaks the messages into words. The index is the same
// whichever does; the last two are for tests, which make sure of that.
enum class MessageBreaking {
    Shared,         // the worker, and the run's thread ahead of it while it would wait
    WorkerOnly,     // the worker alone
    RunThreadOnly,  // the run's thread alone: the worker files only what was broken ahead
};

struct IndexRunOptions {
    int indexType = 2;  // 1 = full (everything rebuilt), else partial
    int batchSize = 4;  // messages per step
    // Room for the buffers: a batch closes when its occurrences take half of
    // it (one batch is flushed while the next fills); the words are kept
    // from batch to batch while they take at most a quarter.
    std::size_t bufferBytes = std::size_t{64} << 20;
    MessageBreaking breaking = MessageBreaking::Shared;
    IndexFaults faults;
};

// What the progress window shows; polled by the front end.
struct IndexProgress {
    std::string title;       // " PRO Word Indexing [name]"
    std::string status;      // the current status line
    long long planned = 0;      // messages this run is to index
    long long done = 0;      // messages read in this run
    long long total = 0;     // messages indexed in total
    int percent = 0;         // of the messages to do (updated every 50)
    int cleanupPercent = -1; // of the cleanup work, in fortieths; -1 outside it
};

// Counts of a run, for summaries.
struct IndexRunSummary {
    long long messagesIndexed = 0;  // broken into words
    long long alreadyIndexed = 0;   // skipped: MasIdx held them
    long long withoutHeader = 0;    // skipped: no header record
    long long occurrences = 0;      // pairs written
    long long newWords = 0;
    long long stopWordsMoved = 0;   // automatic stop words
    long long wordsRemoved = 0;     // by the cleanup
    int purgesByCopy = 0;           // cleanups that rebuilt MasIdx through PUR
    int flushes = 0;
};

class IndexRun final : public Job {
public:
    enum class State { Start, Cleanup, Reset, Preparing, Indexing, Flushing, Finishing, Done, Stopped, Skipped, Failed };

    // A run over database `databaseId` (activated when it is not the active
    // one) of type `databaseType` (1 forum, 2 mail, 3 newsgroup).
    IndexRun(ULONG databaseId, BYTE databaseType, IndexRunOptions options = {});
    // Abandons a run still going: rolls back what is not committed and
    // releases the tables; the index stays at its last checkpoint.
    ~IndexRun() override;
    IndexRun(const IndexRun&) = delete;
    IndexRun& operator=(const IndexRun&) = delete;

    // One slice of work; the job status after it (see above).
    JobStatus step() override;
    JobStatus status() const override;
    // The stop button or a signal: always accepted (see above).
    bool requestStop(StopRequest how) override;
    // The title, the status line, the counters "messages" (read in this
    // run) and "of" (planned), and the percentage (of the cleanup while it
    // runs).
    ProgressReport report() const override;

    State state() const;
    int result() const;  // 1 success; 2 skipped, stopped or failed
    const IndexProgress& progress() const;
    const IndexRunSummary& summary() const;
    // The catalog values after the run (also stored in the catalog record).
    ULONG lastPosition() const;  // FOR:LASTMSGID: message number of the last indexed message, 0 = none
    ULONG indexedCount() const;  // FOR:RECSLASTTIME
    LONG needsUpdate() const;    // FOR:WORDLISTINDEXNEEDSUPDATE

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// One indexing run to its end (scheduled tasks, command mode). indexType 1 =
// full; positionSize is 4. lastPosition, needsUpdate and indexedCount are
// the catalog record's values, updated in place. Returns 1 on success, 2
// when the run was skipped, stopped or failed.
int INDEXFILE1(int indexType, int batchSize, int positionSize, ULONG& lastPosition, ULONG databaseId,
               BYTE databaseType, LONG& needsUpdate, ULONG& indexedCount);

}  // namespace pm
