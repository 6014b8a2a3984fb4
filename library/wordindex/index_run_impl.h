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
#include "wordindex/word_break_worker.h"
#include "wordindex/word_breaker.h"
#include "wordindex/word_cleanup.h"

namespace pm {

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
    bool readMessage(MessageToBreak& out);
    bool fileWords(const std::vector<BrokenMessage>& messages, const std::vector<long long>& ordinals);
    // `hash` is indexWordHash(word).
    bool handleWord(std::string_view word, std::uint64_t hash);
    bool wordListLookupFailed(std::string_view word);

    // --- index_flush.cpp ---
    void beginFlush(State then);
    void flushSome();
    bool appendOccurrences();
    bool writeWords();
    bool storeCheckpoint();
    // After a committed flush: the words stay for the rest of the run, as
    // long as they take little room and no other process wrote the word list.
    void keepOrDropWords();
    void dropWords();
    void flushFailed(const std::string& table);
    bool undoFlush();
    void clearCheckpointAfterCorruption();

    // Where the run goes after a flush: back to indexing, to the cleanup
    // (and then indexing or the end), or to the end.
    State afterFlushState() const;

    PageCacheScope pageCache;
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
    long long total = 0;       // messages indexed in total
    bool skipStart = false;    // the first message read may be the checkpoint's own
    bool textsExhausted = false;
    LONG nextWordId = 0;
    bool wordListHasRecords = false;
    // The buffer holds every word of the word list (it was empty when the
    // run began and no word was dropped since): a word not in the buffer is new.
    bool wordsComplete = false;
    // WordList records as this run's last commit or cleanup left them; a
    // flush that finds another number knows another process wrote words.
    std::int64_t wordRecordsLeft = 0;
    bool othersWroteWords = false;
    ULONG highestIndexedAtStart = 0;
    ULONG currentMessage = 0;

    WordListBuffer words;
    OccurrenceBuffer occurrences;
    StopList stops;
    std::vector<LONG> cleanupIds;
    std::unordered_set<LONG> cleanupSet;
    std::vector<std::string> newStopWords;
    std::unique_ptr<WordCleanup> cleanup;
    std::unique_ptr<WordBreakWorker> breakWorker;  // started with the first batch

    // The flush under way.
    enum class FlushPhase { Append, Keys, Words, Checkpoint };
    FlushPhase flushPhase = FlushPhase::Append;
    std::vector<std::pair<std::string_view, const BufferedWord*>> flushWords;
    std::size_t flushWordNext = 0;
    long wordWrites = 0;
    std::int64_t masRecordsBefore = 0;
    std::int64_t worRecordsBefore = 0;
    bool ownTransaction = false;
};

}  // namespace pm
