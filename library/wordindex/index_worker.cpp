#include "wordindex/index_worker.h"

#include <algorithm>
#include <iterator>

#include "common/thread_signals.h"

namespace pm {

namespace {
// The queue of read messages, texts and words broken ahead together: enough
// to keep the worker busy through a slice of a flush, small beside the
// batches. Words broken ahead take more room than their text (about 1.7
// times), so reading stops at two thirds of it, leaving the rest for them.
constexpr std::size_t kMaxQueuedChunks = 512;
constexpr std::size_t kMaxBrokenAheadBytes = std::size_t{12} << 20;
constexpr std::size_t kMaxQueuedBytes = kMaxBrokenAheadBytes / 3 * 2;

std::size_t textBytes(const MessageToBreak& m) { return m.text.size() + m.heading.size(); }

std::size_t textBytes(const MessageChunk& chunk) {
    std::size_t n = 0;
    for (const MessageToBreak& m : chunk.messages) n += textBytes(m);
    return n;
}
}  // namespace

IndexWorker::IndexWorker(Setup setup)
    : breaker_(setup.databaseType, setup.indexFooters),
      aheadBreaker_(setup.databaseType, setup.indexFooters),
      filer_(std::move(setup.filer)),
      batchBytes_(setup.batchBytes),
      breaking_(setup.breaking),
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

bool IndexWorker::hasRoomLocked() const { return input_.size() < kMaxQueuedChunks && queuedBytes_ < kMaxQueuedBytes; }

bool IndexWorker::hasRoom() const {
    std::lock_guard<std::mutex> hold(lock_);
    return hasRoomLocked();
}

void IndexWorker::submit(MessageChunk chunk) {
    // The definition is copied here, on the thread that may change it.
    const WordDefinition now = currentWordDefinition();
    if (!tables_ || !(*tables_ == now)) tables_ = std::make_shared<const WordDefinition>(now);
    chunk.tables = tables_;
    Queued queued;
    queued.bytes = textBytes(chunk);
    queued.chunk = std::move(chunk);
    {
        std::lock_guard<std::mutex> hold(lock_);
        queuedBytes_ += queued.bytes;
        input_.push_back(std::move(queued));
        ++submitted_;
    }
    wake_.notify_all();
}

IndexWorker::Queued* IndexWorker::chunkToBreak() {
    const auto unbroken = [](const Queued& q) { return q.broken.size() < q.chunk.messages.size(); };
    switch (breaking_) {
        case MessageBreaking::WorkerOnly: return nullptr;
        case MessageBreaking::RunThreadOnly: {
            const auto it = std::find_if(input_.begin(), input_.end(), unbroken);
            return it == input_.end() ? nullptr : &*it;
        }
        case MessageBreaking::Shared: break;
    }
    if (queuedBytes_ >= kMaxBrokenAheadBytes || input_.empty()) return nullptr;
    // The newest first: the worker takes the oldest. That one not while
    // the worker waits for it: taking turns on it would only make the
    // worker wait longer.
    const auto end = frontWanted_ ? std::prev(input_.rend()) : input_.rend();
    const auto it = std::find_if(input_.rbegin(), end, unbroken);
    return it == end ? nullptr : &*it;
}

bool IndexWorker::frontTakeable() {
    const Queued& front = input_.front();
    if (breaking_ == MessageBreaking::RunThreadOnly)
        return !front.breaking && front.broken.size() == front.chunk.messages.size();
    if (!front.breaking) return true;
    frontWanted_ = true;
    wanted_.store(true, std::memory_order_relaxed);  // the run's thread gives way
    return false;
}

bool IndexWorker::breakAhead(std::unique_lock<std::mutex>& hold) {
    Queued* const chunk = chunkToBreak();
    if (!chunk) return false;
    // The worker pops neither a chunk being broken nor, meanwhile, any
    // chunk pushed later (this thread pushes them): `q` stays in place.
    Queued& q = *chunk;
    q.breaking = true;
    wanted_.store(false, std::memory_order_relaxed);
    hold.unlock();
    std::vector<BrokenMessage> done;
    std::size_t held = 0, freed = 0;
    const auto publish = [&] {
        hold.lock();
        q.broken.insert(q.broken.end(), std::make_move_iterator(done.begin()), std::make_move_iterator(done.end()));
        q.bytes = q.bytes + held - freed;
        queuedBytes_ = queuedBytes_ + held - freed;
        q.breaking = false;
        wake_.notify_all();
    };
    try {
        for (std::size_t i = q.broken.size(); i < q.chunk.messages.size(); ++i) {
            if (wanted_.load(std::memory_order_relaxed)) break;
            MessageToBreak& m = q.chunk.messages[i];
            BrokenMessage out;
            aheadBreaker_.breakMessageToFit(m, *q.chunk.tables, aheadScratch_, out);
            held += out.bytesHeld();
            freed += textBytes(m);
            std::string().swap(m.text);
            std::string().swap(m.heading);
            done.push_back(std::move(out));
        }
    } catch (...) {
        publish();  // what was broken stands
        throw;
    }
    publish();
    return true;
}

bool IndexWorker::lookupServable() const { return lookupPending_ && committed_ >= lookupsAfter_; }

void IndexWorker::wait(bool forRoom) {
    std::unique_lock<std::mutex> hold(lock_);
    const auto done = [&] { return ready_ || lookupServable() || (forRoom && hasRoomLocked()); };
    while (!done())
        if (!breakAhead(hold)) wake_.wait(hold, [&] { return done() || chunkToBreak(); });
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
    const auto done = [&] { return finished_ >= submitted_ || ready_ || lookupServable(); };
    while (!done())
        if (!breakAhead(hold)) wake_.wait(hold, [&] { return done() || chunkToBreak(); });
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

void IndexWorker::dropWordsAtBatchEnd() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        // A drop in the middle of a batch would lose the counts filed in it.
        if (filedSinceClose_) dropAtClose_ = true;
        else dropRequested_ = true;
    }
    wake_.notify_all();
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
    wanted_.store(true, std::memory_order_relaxed);
    wake_.notify_all();
    wake_.wait(hold, [&] { return quit_ || !lookupPending_; });
    lookups = std::move(lookups_);
}

void IndexWorker::run() {
    blockSignalsOnThisThread();
    std::vector<BrokenMessage> own;  // the messages of a chunk not broken ahead
    std::vector<WordLookup> lookups;
    FlatWordTable pending;
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        // One closed batch waits at most: memory holds it and the one being flushed.
        // A stop closes the last batch even when no chunk waits. A chunk the
        // run's thread breaks is taken once it gave way.
        wake_.wait(hold, [&] {
            if (quit_) return true;
            if (ready_ || finalClosed_) return false;
            if (stopFiling_.load(std::memory_order_relaxed)) return true;
            return !input_.empty() && frontTakeable();
        });
        if (quit_) return;
        Queued queued;
        const bool taken = !input_.empty() && !stopFiling_.load(std::memory_order_relaxed);
        if (taken) {
            queued = std::move(input_.front());
            input_.pop_front();
            frontWanted_ = false;
            queuedBytes_ -= queued.bytes;
            filedSinceClose_ = true;
        }
        MessageChunk& chunk = queued.chunk;
        const bool drop = dropRequested_;
        dropRequested_ = false;
        wake_.notify_all();
        if (drop) {
            filer_.dropWords();
            noteDrops();
        }
        hold.unlock();

        const std::size_t count = chunk.messages.size();
        const std::size_t ahead = queued.broken.size();
        own.resize(count - ahead);
        for (std::size_t i = ahead; i < count; ++i) breaker_.breakMessage(chunk.messages[i], *chunk.tables, own[i - ahead]);
        std::vector<MessageToBreak>().swap(chunk.messages);
        const auto broken = [&](std::size_t i) -> const BrokenMessage& {
            return i < ahead ? queued.broken[i] : own[i - ahead];
        };
        if (filer_.needsLookups()) {
            lookups.clear();
            pending.clear();
            for (std::size_t i = 0; i < count; ++i) filer_.misses(broken(i), pending, lookups);
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
        for (; filed < count && !stopFiling_.load(std::memory_order_relaxed); ++filed) {
            filer_.file(broken(filed), chunk.ordinals[filed]);
            filedRead_ = broken(filed).number;
            filedTotal_ = chunk.ordinals[filed];
            filed_.fetch_add(1, std::memory_order_relaxed);
        }
        if (taken && filed == count) {
            // The whole chunk, with the messages skipped after the last filed.
            filedRead_ = chunk.lastRead;
            filedTotal_ = chunk.total;
        }
        std::vector<BrokenMessage>().swap(queued.broken);  // freed outside the lock
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
            filedSinceClose_ = false;
            if (dropAtClose_) {
                dropAtClose_ = false;
                filer_.dropWords();
            }
            noteDrops();
            ready_ = std::move(batch);
            wanted_.store(true, std::memory_order_relaxed);
        }
        wake_.notify_all();
    }
}

}  // namespace pm
