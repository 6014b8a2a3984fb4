#pragma once
// A lock between processes under a name, for work that only one process of
// an installation may do at a time (an import run). It lives as a lock row
// in the store of a directory, normally the configuration directory, with
// the holder's "host:pid"; a holder that has ended on this machine is stale,
// and its lock is taken over.
#include <string>

#include "storage/storage_status.h"

namespace pm {

class NamedLock {
public:
    // Nothing is taken yet. `directory` holds the store the lock lives in.
    NamedLock(std::string directory, std::string name);
    // Gives the lock back if it is held.
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Takes the lock when it is free, without waiting. Ok when it is ours
    // now; IsLocked when another process holds it (holder() names it); any
    // other status when the store cannot be used (errorText() says why).
    StorageStatus tryTake();
    // Gives the lock back (nothing when it is not held).
    void release();

    bool held() const { return held_; }
    // "host:pid" of the process met holding the lock by the last tryTake().
    const std::string& holder() const { return holder_; }
    const std::string& errorText() const { return error_; }

private:
    std::string directory_, name_;
    std::string holder_, error_;
    bool held_ = false;
};

}  // namespace pm
