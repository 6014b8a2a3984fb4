#pragma once
// Inside of the indexing run (index_run.h), shared by its source files:
// index_run.cpp (states, start, preparing, finishing), index_messages.cpp
// (reading messages into the buffers) and index_flush.cpp (flushes and their
// failures).
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "tables/access/open_close.h"
#include "wordindex/index_buffers.h"
#include "wordindex/index_run.h"
#include "wordindex/index_settings.h"
#include "wordindex/index_worker.h"
#include "wordindex/word_cleanup.h"

namespace pm {

// The page cache of each store while an indexing run lives, in KiB.
inline constexpr int kIndexPageCacheKibibytes = 40 * 1024;

class IndexRun::Impl {
public:
    Impl(ULONG databaseId, BYTE databaseType, IndexRunOptions options);
    ~Impl();

    JobStatus step();
    JobStatus status() const;

    // --- index_run.cpp ---
    void start();
    void reset();
    void prepare();
    void finishRun();
    void runCleanup();
    void end(State terminal, int result);
    bool openTables();
    void releaseTables();
    bool writeCatalog(ULONG position, ULONG count, LONG update);
    void setStatus(std::string status);
    void updatePercent();

    // --- index_messages.cpp ---
    void indexSome();
    void startWorker();
    // Reads up to `limit` messages for the worker; with `block`, waits for
    // room in its queue unless a batch is ready. False after a failure that
    // ended the run.
    bool readMessages(int limit, bool block);
    void submitChunk(bool last, bool endsStep);
    bool readMessage(MessageToBreak& out);
    // Answers the worker's word-list look-ups; false after a failure that
    // ended the run.
    bool serveLookups();
    bool lookUpWords(std::vector<WordLookup>& words);
    void wordListLookupFailed(std::string_view word);
    void takeCounts();
    // Ends the worker, keeping its counts.
    void stopWorker();

    // --- index_flush.cpp ---
    void beginFlush(std::unique_ptr<FlushBatch> batch);
    void flushSome();
    void flushSlice();
    bool appendOccurrences();
    bool writeWords();
    bool storeCheckpoint();
    void flushFailed(const std::string& table);
    bool undoFlush();
    void clearCheckpointAfterCorruption();

    // Where the run goes after a flush: back to indexing, to the cleanup
    // (and then indexing or the end), or to the end.
    State afterFlushState() const;

    // The word lists outgrow any cache a run could keep, and a flush writes
    // each page it touches once whatever the cache: the room goes to larger
    // batches (IndexRunOptions::bufferBytes), which touch the pages less often.
    PageCacheScope pageCache{kIndexPageCacheKibibytes};
    ULONG databaseId;
    BYTE databaseType;
    IndexRunOptions options;
    State state = State::Start;
    State afterCleanup = State::Preparing;
    State afterFlush = State::Indexing;
    bool cleanupAfterFlush = false;
    bool cancelRequested = false;
    bool declined = false;  // the person declined replacing the index
    bool stopping = false;
    bool failed = false;
    int result = 2;
    IndexProgress progress;
    IndexRunSummary summary;

    IndexSettings settings;
    BYTE autoStop = 1;
    BYTE indexFooters = 0;
    TableScope tables;  // the tables of the database being indexed

    // Catalog values (the checkpoint and the flag).
    ULONG lastPosition = 0;
    ULONG indexedCount = 0;
    LONG needsUpdate = 0;

    ULONG lastRead = 0;        // message number of the last message read
    long long read = 0;        // messages read in total (the ordinal of the last)
    long long total = 0;       // messages indexed in total, as stored
    bool skipStart = false;    // the first message read may be the checkpoint's own
    bool textsExhausted = false;
    bool inputClosed = false;  // the worker has the run's last chunk
    LONG nextWordId = 0;
    bool wordListHasRecords = false;
    // WordList records as this run's last commit or cleanup left them; a
    // flush that finds another number knows another process wrote words.
    std::int64_t wordRecordsLeft = 0;
    bool dropAfterCleanup = false;
    ULONG highestIndexedAtStart = 0;

    StopList stops;  // as loaded when the run began
    MessageChunk chunk;  // read and not yet handed over
    std::vector<LONG> cleanupIds;
    std::unordered_set<LONG> cleanupSet;
    std::unique_ptr<WordCleanup> cleanup;
    std::unique_ptr<IndexWorker> worker;  // started with the first batch
    long long filedBefore = 0, newWordsBefore = 0, stopsBefore = 0;  // counts of workers ended

    // The flush under way.
    enum class FlushPhase { Append, Keys, Words, Checkpoint };
    FlushPhase flushPhase = FlushPhase::Append;
    std::unique_ptr<FlushBatch> flush;
    std::vector<OccurrenceBuffer::Pair> appendPairs;  // one slice of the batch's pairs
    std::size_t pairsPerKeyBuild = 0;   // pairs of the flush appended to MasIdx between key builds
    std::size_t appendedSinceKeys = 0;  // pairs appended to MasIdx since its keys were built
    long keySlices = 0;  // slices of key builds in this run (faults)
    std::size_t flushWordNext = 0;
    long wordWrites = 0;
    std::int64_t masRecordsBefore = 0;
    std::int64_t worRecordsBefore = 0;
    bool ownTransaction = false;
};

}  // namespace pm
