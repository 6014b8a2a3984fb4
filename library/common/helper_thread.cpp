#include "common/helper_thread.h"

#include <utility>

#include "common/thread_signals.h"

namespace pm {

HelperThread::HelperThread() { thread_ = std::thread([this] { run(); }); }

HelperThread::~HelperThread() {
    {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [this] { return !running_; });
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void HelperThread::start(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        task_ = std::move(task);
        running_ = true;
    }
    wake_.notify_all();
}

void HelperThread::wait() {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [this] { return !running_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void HelperThread::run() {
    blockSignalsOnThisThread();
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return running_ || quit_; });
        if (quit_) return;
        std::function<void()> task = std::move(task_);
        hold.unlock();
        std::exception_ptr failure;
        try {
            task();
        } catch (...) {
            failure = std::current_exception();
        }
        hold.lock();
        failure_ = failure;
        running_ = false;
        wake_.notify_all();
    }
}

}  // namespace pm
