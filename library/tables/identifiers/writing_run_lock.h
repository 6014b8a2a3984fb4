#pragma once
// The one turn of the installation's writing runs: an import, a merge, a
// redirection, a purge (or count) and a rebuild each hold it for their
// whole run, so two of them in two processes never write the same
// databases, work out the same duplicates or rewrite the catalog under
// each other. It is the named lock "import" in the configuration
// directory's store (Mem.Net + "/CFG"); a
// holder that has ended is stale and its turn is taken over.
//
// A run that finds the turn held waits, trying again at each step of its
// job (a short pause each), and is refused once the wait is over.
#include <chrono>
#include <memory>
#include <string>

#include "storage/named_lock.h"

namespace pm {

class WritingRunLock {
public:
    enum class Turn {
        Taken,    // ours until release() or the end of this object
        Waiting,  // held by another process: try again at the next step
        Refused,  // the wait is over or the store failed: the warning was shown
    };

    // `runName` names the run in the refusal ("Import", "Merge" ...);
    // `waitSeconds` < 0 is the 5-second lock wait.
    explicit WritingRunLock(std::string runName, int waitSeconds = -1);
    ~WritingRunLock();
    WritingRunLock(const WritingRunLock&) = delete;
    WritingRunLock& operator=(const WritingRunLock&) = delete;

    // Takes the turn when it is free. Waiting gives the status line to show
    // (waitingText()); Refused has shown "Another import, merge, purge or rebuild
    // is running (HOST:PID)!" + CR LF + runName + " will not proceed!" (or
    // the store's error), caption "Warning!".
    Turn tryTake();
    // "Waiting for the import, merge, purge or rebuild of HOST:PID to finish".
    std::string waitingText() const;
    void release();
    bool held() const;

private:
    std::string runName_;
    int waitSeconds_;
    std::unique_ptr<NamedLock> lock_;
    std::chrono::steady_clock::time_point waitStarted_;
};

}  // namespace pm
