#pragma once
// The installation's task lock: one task run at a time in all processes
// (the desktop's scheduler, `pmoor32 task run-due` from cron or a timer,
// `pmoor32 task run`). A run takes it before it reads whether its task is
// still due, so two processes never run one task twice.
#include <string>

#include "common/globals.h"

namespace pm {

// The lock's name in the configuration store (storage/named_lock.h).
inline constexpr const char* TaskLockName = "tasks";

// The directory whose store holds the lock: the configuration directory.
inline std::string taskLockDirectory() { return Mem.Net + "/CFG"; }

}  // namespace pm
