#include "wordindex/index_worker.h"

#include "common/thread_signals.h"

namespace pm {

namespace {
// The queue of read messages: enough to keep the worker busy through a
// slice of a flush, small beside the batches.
constexpr std::size_t kMaxQueuedChunks = 512;
constexpr std::size_t kMaxQueuedBytes = std::size_t{12} << 20;

std::size_t textBytes(const MessageChunk& chunk) {
    std::size_t n = 0;
    for (const MessageToBreak& m : chunk.messages) n += m.text.size() + m.heading.size();
    return n;
}
}  // namespace

IndexWorker::IndexWorker(Setup setup)
    : breaker_(setup.databaseType, setup.indexFooters),
      filer_(std::move(setup.filer)),
      batchBytes_(setup.batchBytes),
      filedRead_(setup.lastRead),
      filedTotal_(setup.total),
      thread_([this] { run(); }) {}

IndexWorker::~IndexWorker() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool IndexWorker::hasRoom() const {
    std::lock_guard<std::mutex> hold(lock_);
    return input_.size() < kMaxQueuedChunks && queuedBytes_ < kMaxQueuedBytes;
}

void IndexWorker::submit(MessageChunk chunk) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        queuedBytes_ += textBytes(chunk);
        input_.push_back(std::move(chunk));
        ++submitted_;
    }
    wake_.notify_all();
}

bool IndexWorker::lookupServable() const { return lookupPending_ && committed_ >= lookupsAfter_; }

void IndexWorker::wait(bool forRoom) {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [&] {
        return ready_ || lookupServable() ||
               (forRoom && input_.size() < kMaxQueuedChunks && queuedBytes_ < kMaxQueuedBytes);
    });
}

void IndexWorker::finish() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopFiling_.store(true, std::memory_order_relaxed);
        finished_ += input_.size();
        input_.clear();
        queuedBytes_ = 0;
    }
    wake_.notify_all();
}

bool IndexWorker::waitFiled() {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [&] { return finished_ >= submitted_ || ready_ || lookupServable(); });
    return finished_ >= submitted_;
}

bool IndexWorker::batchReady() const {
    std::lock_guard<std::mutex> hold(lock_);
    return ready_ != nullptr;
}

std::unique_ptr<FlushBatch> IndexWorker::takeBatch() {
    std::unique_ptr<FlushBatch> batch;
    {
        std::lock_guard<std::mutex> hold(lock_);
        batch = std::move(ready_);
    }
    wake_.notify_all();
    return batch;
}

bool IndexWorker::serveLookups(const std::function<bool(std::vector<WordLookup>&)>& lookUp) {
    std::vector<WordLookup> words;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!lookupServable()) return true;
        words = std::move(lookups_);
    }
    const bool ok = lookUp(words);
    {
        std::lock_guard<std::mutex> hold(lock_);
        lookups_ = std::move(words);
        if (ok) lookupPending_ = false;
    }
    wake_.notify_all();
    return ok;
}

void IndexWorker::committed(std::uint64_t sequence) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        committed_ = std::max(committed_, sequence);
    }
    wake_.notify_all();
}

void IndexWorker::resume(bool drop) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        paused_ = false;
        if (drop) dropRequested_ = true;
    }
    wake_.notify_all();
}

void IndexWorker::dropWords() {
    std::lock_guard<std::mutex> hold(lock_);
    dropRequested_ = true;
}

// With lock_ held: a drop of the buffer makes look-ups wait for every
// batch closed so far.
void IndexWorker::noteDrops() {
    if (filer_.drops() == dropsSeen_) return;
    dropsSeen_ = filer_.drops();
    lookupsAfter_ = closed_;
}

// Hands `lookups` to the run's thread and waits for the answers. With
// lock_ held; false when the worker is to quit.
void IndexWorker::lookUp(std::unique_lock<std::mutex>& hold, std::vector<WordLookup>& lookups) {
    lookups_ = std::move(lookups);
    lookupPending_ = true;
    wake_.notify_all();
    wake_.wait(hold, [&] { return quit_ || !lookupPending_; });
    lookups = std::move(lookups_);
}

void IndexWorker::run() {
    blockSignalsOnThisThread();
    std::vector<BrokenMessage> broken;
    std::vector<WordLookup> lookups;
    FlatWordTable pending;
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        // One closed batch waits at most: memory holds it and the one being flushed.
        // A stop closes the last batch even when no chunk waits.
        wake_.wait(hold, [&] {
            return quit_ || (!ready_ && !paused_ && !finalClosed_ &&
                             (!input_.empty() || stopFiling_.load(std::memory_order_relaxed)));
        });
        if (quit_) return;
        MessageChunk chunk;
        const bool taken = !input_.empty() && !stopFiling_.load(std::memory_order_relaxed);
        if (taken) {
            chunk = std::move(input_.front());
            input_.pop_front();
            queuedBytes_ -= textBytes(chunk);
        }
        const bool drop = dropRequested_;
        dropRequested_ = false;
        wake_.notify_all();
        if (drop) {
            filer_.dropWords();
            noteDrops();
        }
        hold.unlock();

        broken.resize(chunk.messages.size());
        for (std::size_t i = 0; i < chunk.messages.size(); ++i) breaker_.breakMessage(chunk.messages[i], broken[i]);
        std::vector<MessageToBreak>().swap(chunk.messages);
        if (filer_.needsLookups()) {
            lookups.clear();
            pending.clear();
            for (const BrokenMessage& m : broken) filer_.misses(m, pending, lookups);
            if (!lookups.empty()) {
                hold.lock();
                lookUp(hold, lookups);
                if (quit_) return;
                hold.unlock();
                for (const WordLookup& w : lookups)
                    if (w.found) filer_.addStored(w);
            }
        }
        std::size_t filed = 0;
        for (; filed < broken.size() && !stopFiling_.load(std::memory_order_relaxed); ++filed) {
            filer_.file(broken[filed], chunk.ordinals[filed]);
            filedRead_ = broken[filed].number;
            filedTotal_ = chunk.ordinals[filed];
            filed_.fetch_add(1, std::memory_order_relaxed);
        }
        if (taken && filed == broken.size()) {
            // The whole chunk, with the messages skipped after the last filed.
            filedRead_ = chunk.lastRead;
            filedTotal_ = chunk.total;
        }
        newWords_.store(filer_.newWords(), std::memory_order_relaxed);
        stopWordsMoved_.store(filer_.stopWordsMoved(), std::memory_order_relaxed);

        const bool stop = stopFiling_.load(std::memory_order_relaxed);
        const bool close = stop || chunk.last || (chunk.endsStep && filer_.movedStopWords()) ||
                           filer_.batchBytes() > batchBytes_;
        auto batch = close ? std::make_unique<FlushBatch>(filer_.takeBatch()) : nullptr;
        hold.lock();
        if (taken) ++finished_;
        if (batch) {
            batch->lastRead = filedRead_;
            batch->total = filedTotal_;
            batch->last = chunk.last || stop;
            finalClosed_ = batch->last;
            batch->sequence = ++closed_;
            // Stop words moved: their cleanup runs before filing goes on.
            paused_ = !batch->cleanupIds.empty();
            noteDrops();
            ready_ = std::move(batch);
        }
        wake_.notify_all();
    }
}

}  // namespace pm
