#pragma once
// The second thread of an indexing run: it breaks the messages the run
// reads into words and files them (word_filing.h), cutting what it filed
// into batches; the run's own thread touches storage: it reads the
// messages, looks up in the word list the words the worker does not know,
// and writes each batch in one flush while the worker fills the next.
// While it has nothing else to do (the queue is full, or it waits for the
// worker to file what it read) the run's thread breaks queued messages
// ahead of the worker, newest chunk first, so that the worker only files
// them (or breaks the rest of a chunk begun ahead).
//
// Order is kept throughout: chunks are filed in the order handed over, a
// chunk's unknown words are looked up before any of its words is filed,
// and batches come out in filing order (`sequence`), so the index is the
// one a single thread would build. Where a message was broken changes
// nothing: both threads break it with the word definition taken when its
// chunk was handed over.
//
//   run's thread                      worker
//   submit(chunk) ------------------> break, collect unknown words
//   wait(): break chunks ahead        (chunks broken ahead: filed only)
//   serveLookups() <----------------- waits for the answers
//                                     files the chunk; past the size
//                                     limit (or at the end of a step when
//                                     stop words moved, or after the last
//                                     chunk) closes a batch
//   takeBatch() <-------------------- at most one closed batch waits
//   flush it ... committed(sequence)  fills the next batch meanwhile
//   dropWordsAtBatchEnd()             the word list changed under the
//                                     buffer: it goes where the batch
//                                     being filled ends
//
// Breaking ahead gives way, after the message in hand, as soon as the
// worker waits for the run's thread: for the chunk being broken, for a
// look-up, or with a closed batch.
//
// Words looked up after the buffer was dropped are only answered once every
// batch closed before the drop is committed, so a word written by our own
// flush is never taken for a new one. The worker touches no storage;
// signals are blocked on it, so an interrupt reaches the run's thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "wordindex/index_run.h"
#include "wordindex/message_breaker.h"
#include "wordindex/word_filing.h"

namespace pm {

// Messages read by the run, in the order read.
struct MessageChunk {
    std::vector<MessageToBreak> messages;
    std::vector<long long> ordinals;  // message i is the ordinals[i]th of the run
    ULONG lastRead = 0;               // message number of the last message read, skipped ones included
    long long total = 0;              // messages indexed in total after this chunk
    bool last = false;                // no chunk follows
    // The last chunk of a step's reading: words that became stop words
    // close the batch here, so their cleanups come at most once a step.
    bool endsStep = false;
    // The word definition its messages are broken with: set by submit().
    std::shared_ptr<const WordDefinition> tables;
};

class IndexWorker {
public:
    struct Setup {
        BYTE databaseType = 0;
        BYTE indexFooters = 0;
        WordFiler::Setup filer;
        std::size_t batchBytes = std::size_t{24} << 20;  // a batch closes past this many bytes
        MessageBreaking breaking = MessageBreaking::Shared;
        ULONG lastRead = 0;    // the run's checkpoint when the worker starts
        long long total = 0;   // and its count of messages indexed
    };
    explicit IndexWorker(Setup setup);
    // Stops the worker at once; what it did not hand over is lost.
    ~IndexWorker();
    IndexWorker(const IndexWorker&) = delete;
    IndexWorker& operator=(const IndexWorker&) = delete;

    // --- the run's thread ------------------------------------------------------
    // Whether another chunk fits in the queue (a few megabytes of text).
    bool hasRoom() const;
    // Queues `chunk` for filing, to be broken with the word definition as
    // it is now.
    void submit(MessageChunk chunk);
    // A stop: filing ends after the message being filed, and the batch of
    // what was filed is the last; the messages read beyond it are left for
    // the next run.
    void finish();
    // Breaks queued messages ahead of the worker until a batch is ready, a
    // look-up can be answered, or (with `forRoom`) a chunk fits in the
    // queue; waits when there is nothing to break.
    void wait(bool forRoom);
    // The same until the worker filed every chunk submitted, a batch is
    // ready, or a look-up can be answered; true when it filed them.
    bool waitFiled();
    bool batchReady() const;
    // The closed batch, or null.
    std::unique_ptr<FlushBatch> takeBatch();
    // Answers the look-ups the worker waits for, if they may be answered
    // now, with `lookUp` (which fills in found, id and count). False when
    // `lookUp` failed; the worker then goes on waiting.
    bool serveLookups(const std::function<bool(std::vector<WordLookup>&)>& lookUp);
    // The batch `sequence` is in the store.
    void committed(std::uint64_t sequence);
    // The word list changed under the buffer (a cleanup, or another
    // process, removed words it may hold): the buffer is forgotten where
    // the batch being filled ends (before it begins while it holds no
    // chunk yet). Filed on meanwhile, its words are written as counted,
    // those gone added again, so the word list and the index agree.
    void dropWordsAtBatchEnd();

    // Counts so far (read at any time).
    long long messagesFiled() const { return filed_.load(std::memory_order_relaxed); }
    long long newWords() const { return newWords_.load(std::memory_order_relaxed); }
    long long stopWordsMoved() const { return stopWordsMoved_.load(std::memory_order_relaxed); }

private:
    // A chunk in the queue, with the messages broken ahead.
    struct Queued {
        MessageChunk chunk;
        std::vector<BrokenMessage> broken;  // its first messages, broken ahead (their texts are freed)
        std::size_t bytes = 0;              // held: the texts not broken yet and the words broken
        bool breaking = false;              // the run's thread breaks it now
    };

    void run();
    bool hasRoomLocked() const;
    // With lock_ held: the chunk the run's thread breaks next, or null.
    Queued* chunkToBreak();
    // With lock_ held: the worker may take the oldest chunk.
    bool frontTakeable();
    // Run's thread, with lock_ held: breaks messages of the newest chunk
    // not broken yet, letting go of lock_ meanwhile. False when there is
    // none (or the queue holds too much already).
    bool breakAhead(std::unique_lock<std::mutex>& hold);
    bool lookupServable() const;  // with lock_ held
    void lookUp(std::unique_lock<std::mutex>& hold, std::vector<WordLookup>& lookups);
    void noteDrops();

    MessageBreaker breaker_;       // the worker's
    MessageBreaker aheadBreaker_;  // the run's thread's
    BrokenMessage aheadScratch_;
    std::shared_ptr<const WordDefinition> tables_;  // run's thread: those of the last chunk submitted
    WordFiler filer_;
    std::size_t batchBytes_;
    MessageBreaking breaking_;
    long long dropsSeen_ = 0;

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Queued> input_;
    std::uint64_t submitted_ = 0;
    std::uint64_t finished_ = 0;  // chunks filed (or dropped by a stop)
    // Worker side: where the messages filed so far end (checkpoint values).
    ULONG filedRead_ = 0;
    long long filedTotal_ = 0;
    bool finalClosed_ = false;
    std::atomic<bool> stopFiling_{false};
    // The worker waits for the run's thread: breaking ahead stops.
    std::atomic<bool> wanted_{false};
    bool frontWanted_ = false;  // the worker waits for the oldest chunk, which is being broken ahead
    std::size_t queuedBytes_ = 0;
    std::unique_ptr<FlushBatch> ready_;
    bool dropRequested_ = false;
    bool dropAtClose_ = false;     // the words go when the batch being filled closes
    bool filedSinceClose_ = false;  // the batch being filled holds a chunk
    bool lookupPending_ = false;
    std::vector<WordLookup> lookups_;
    std::uint64_t lookupsAfter_ = 0;  // look-ups wait for this batch's commit
    std::uint64_t closed_ = 0;        // batches closed
    std::uint64_t committed_ = 0;     // batches stored
    bool quit_ = false;
    std::atomic<long long> filed_{0};
    std::atomic<long long> newWords_{0};
    std::atomic<long long> stopWordsMoved_{0};
    std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace pm
