#pragma once
// Filing the words of broken messages into the word list buffer and the
// occurrences of an indexing run, and cutting what was filed into batches
// that one flush each writes. Owned by the indexing worker
// (index_worker.h); touches no storage: words the buffer does not know
// while the word list may hold them are looked up by the run's own thread
// first (misses(), addStored()).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"
#include "wordindex/index_buffers.h"
#include "wordindex/message_breaker.h"

namespace pm {

// A word a flush writes, copied out of the buffer so filing goes on beside
// the flush. Update: `count - storedCount` messages are added to the stored
// count; Add: a new record.
struct FlushWord {
    std::string word;
    LONG id = 0;
    LONG count = 0;
    LONG storedCount = 0;
    BufferedWord::Action action = BufferedWord::Add;
};

// What one flush writes: everything filed since the batch before.
struct FlushBatch {
    OccurrenceBuffer occurrences;        // (message, word id), in the order found
    std::vector<FlushWord> words;        // added or counted since the batch before
    std::vector<std::string> newStopWords;
    std::vector<LONG> cleanupIds;        // ids of the words that became stop words
    ULONG lastRead = 0;                  // message number of the last message read into it; 0 = none
    long long total = 0;                 // messages indexed in total once it is stored
    bool last = false;                   // no message follows it in this run
    std::uint64_t sequence = 0;          // 1 for a run's first batch, then counting up
};

// A word to look up in the word list for the filer.
struct WordLookup {
    std::string word;
    std::uint64_t hash = 0;
    bool found = false;
    LONG id = 0;
    LONG count = 0;
};

class WordFiler {
public:
    struct Setup {
        StopList stops;          // the stop list when the run began
        LONG lastWordId = 0;     // the highest id in the word list
        bool wordsComplete = false;  // the word list is empty: a word not in the buffer is new
        bool autoStop = true;    // the automatic stop-word rule applies
        std::size_t keepWordBytes = std::size_t{12} << 20;  // words kept from batch to batch up to this size
    };
    explicit WordFiler(Setup setup);

    // Whether words the buffer does not know must be looked up first.
    bool needsLookups() const { return !wordsComplete_; }
    // Appends to `out` the words of `m` that the buffer does not know and
    // that are no stop words, each once (`pending` holds those of the
    // chunk so far; cleared by the caller).
    void misses(const BrokenMessage& m, FlatWordTable& pending, std::vector<WordLookup>& out) const;
    // A word found in the word list: its id and stored count.
    void addStored(const WordLookup& found);
    // Files message `m`, the `ordinal`th message of the run (the stop-word
    // rule counts by it). Every word not in the buffer is taken as new: its
    // look-up (when needed) came first.
    void file(const BrokenMessage& m, long long ordinal);

    // Bytes held by the occurrences of the batch being filled.
    std::size_t batchBytes() const { return occurrences_.bytes(); }
    // Words became stop words since the last batch.
    bool movedStopWords() const { return !cleanupIds_.empty(); }
    // The batch of what was filed since the last one. The words stay as
    // stored with their counts (they are written by it), unless they take
    // more room than kept.
    FlushBatch takeBatch();
    // Forgets the words: from now on words are looked up again.
    void dropWords();

    // How often the words were forgotten (by dropWords() or takeBatch()).
    long long drops() const { return drops_; }
    long long newWords() const { return newWords_; }
    long long stopWordsMoved() const { return stopWordsMoved_; }

private:
    void fileWord(std::string_view word, std::uint64_t hash, ULONG message, long long ordinal);

    WordListBuffer words_;
    StopList stops_;
    OccurrenceBuffer occurrences_;
    std::vector<std::string> newStopWords_;
    std::vector<LONG> cleanupIds_;
    LONG nextWordId_;
    bool wordsComplete_;
    bool autoStop_;
    std::size_t keepWordBytes_;
    long long drops_ = 0;
    long long newWords_ = 0;
    long long stopWordsMoved_ = 0;
};

}  // namespace pm
