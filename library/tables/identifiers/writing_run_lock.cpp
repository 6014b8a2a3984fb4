#include "tables/identifiers/writing_run_lock.h"

#include <thread>

#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

namespace {
constexpr const char* kLockName = "import";
constexpr int kLockWaitSeconds = 5;
}  // namespace

WritingRunLock::WritingRunLock(std::string runName, int waitSeconds)
    : runName_(std::move(runName)), waitSeconds_(waitSeconds >= 0 ? waitSeconds : kLockWaitSeconds) {}

WritingRunLock::~WritingRunLock() = default;

WritingRunLock::Turn WritingRunLock::tryTake() {
    if (!lock_) {
        lock_ = std::make_unique<NamedLock>(Mem.Net + "/CFG", kLockName);
        waitStarted_ = std::chrono::steady_clock::now();
    }
    const StorageStatus st = lock_->tryTake();
    if (st == StorageStatus::Ok) return Turn::Taken;
    if (st == StorageStatus::IsLocked) {
        if (std::chrono::steady_clock::now() - waitStarted_ < std::chrono::seconds(waitSeconds_)) {
            // The next step tries again; a short pause keeps the wait cheap.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return Turn::Waiting;
        }
        message("Warning!",
                "Another import, merge, purge or rebuild is running (" + lock_->holder() + ")!\r\n" + runName_ +
                    " will not proceed!",
                Icon::Exclamation);
    } else {
        message("Warning!", lock_->errorText() + "\r\n" + runName_ + " will not proceed!", Icon::Exclamation);
    }
    lock_.reset();
    return Turn::Refused;
}

std::string WritingRunLock::waitingText() const {
    return "Waiting for the import, merge, purge or rebuild of " + (lock_ ? lock_->holder() : std::string()) + " to finish";
}

void WritingRunLock::release() { lock_.reset(); }

bool WritingRunLock::held() const { return lock_ && lock_->held(); }

}  // namespace pm
