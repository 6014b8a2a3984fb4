#pragma once
// A producer on a thread of its own that works a bounded number of batches
// ahead of the thread that takes them: the taker gets the batches in the
// order they were made, so what it does with them is the same as when one
// thread does all.
//
// The producer must touch nothing the taker uses meanwhile (above all no
// storage: a connection belongs to one thread). Signals are blocked on the
// producer's thread, so an interrupt reaches the taker's.
//
// Memory stays flat: at most `maxWaiting` batches wait, the producer sleeps
// until one is taken. An exception thrown by the producer ends production;
// take() rethrows it on the taker's thread after handing out the batches
// made before it. Destroying (or stop()) asks the producer to end, joins its
// thread and drops the waiting batches.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "common/thread_signals.h"

namespace pm {

template <class Batch>
class WorkAhead {
public:
    // Fills one batch; returns false when nothing follows it (the batch may
    // still hold a last part, or nothing). `stopping` turns true once a stop
    // was asked for: a long batch may end early then (it is dropped).
    using Produce = std::function<bool(Batch& batch, const std::atomic<bool>& stopping)>;

    // Starts producing at once.
    WorkAhead(std::size_t maxWaiting, Produce produce)
        : maxWaiting_(maxWaiting < 1 ? 1 : maxWaiting), produce_(std::move(produce)) {
        thread_ = std::thread([this] { run(); });
    }
    ~WorkAhead() { stop(); }
    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;

    // Waits for the next batch. False once production has ended and every
    // batch was taken (`out` untouched); rethrows the producer's exception
    // in its place in the order.
    bool take(Batch& out) {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [this] { return !waiting_.empty() || ended_; });
        if (waiting_.empty()) {
            if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
            return false;
        }
        out = std::move(waiting_.front());
        waiting_.pop_front();
        wake_.notify_all();
        return true;
    }

    // Ends production after the batch being made, joins the thread and
    // drops what waits. Idempotent.
    void stop() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            quit_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        std::lock_guard<std::mutex> hold(lock_);
        waiting_.clear();
        failure_ = nullptr;
    }

    // Batches made and not taken yet (for tests of the bound).
    std::size_t waiting() const {
        std::lock_guard<std::mutex> hold(lock_);
        return waiting_.size();
    }

private:
    void run() {
        blockSignalsOnThisThread();
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(lock_);
                wake_.wait(hold, [this] { return waiting_.size() < maxWaiting_ || quit_; });
                if (quit_) break;
            }
            Batch batch;
            bool more = false;
            std::exception_ptr failure;
            try {
                more = produce_(batch, quit_);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> hold(lock_);
            if (failure) {
                failure_ = failure;
                break;
            }
            if (quit_) break;
            waiting_.push_back(std::move(batch));
            wake_.notify_all();
            if (!more) break;
        }
        std::lock_guard<std::mutex> hold(lock_);
        ended_ = true;
        wake_.notify_all();
    }

    const std::size_t maxWaiting_;
    Produce produce_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Batch> waiting_;
    std::exception_ptr failure_;
    std::atomic<bool> quit_ = false;
    bool ended_ = false;
    std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace pm
