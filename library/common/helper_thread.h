#pragma once
// A second thread that does a share of one step's work beside the thread
// that owns it: start() hands it a task, wait() returns when the task is
// done. The thread is made once and sleeps between tasks, so a step machine
// can use it in every step for the cost of a wake-up, not of a new thread.
//
// A task must touch nothing the owner uses meanwhile (above all not the
// storage connection, which belongs to the owner's thread). Signals are
// blocked on the helper's thread, so an interrupt reaches the owner's. An
// exception thrown by a task is rethrown by wait() on the owner's thread.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace pm {

class HelperThread {
public:
    HelperThread();
    // Waits for the running task, then ends the thread.
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Runs `task` on the helper's thread. The task before it must have been
    // waited for.
    void start(std::function<void()> task);
    // Waits until the task started last is done; rethrows its exception.
    // Returns at once when none runs.
    void wait();

private:
    void run();

    std::mutex lock_;
    std::condition_variable wake_;
    std::function<void()> task_;  // set while a task waits or runs
    bool running_ = false;
    bool quit_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace pm
