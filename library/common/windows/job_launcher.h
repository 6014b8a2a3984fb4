#pragma once
// How a window that starts long work gets its progress window: the frame
// opens one under the given window name (registered with its window
// manager, in the import group), tests open a free-standing one. The
// starting window follows the returned window's finished() signal.
#include <QString>
#include <functional>
#include <memory>

#include "common/job.h"

namespace pm {

class JobProgressWindow;

// Opens a progress window named `windowName` that drives `job` and starts
// it; nullptr when it could not be opened (the launcher said why).
using JobLauncher = std::function<JobProgressWindow*(const QString& windowName, std::unique_ptr<Job> job)>;

// A launcher for windows of their own (tests, programs without a frame):
// the progress window is a top-level window, deleted when it closes.
JobLauncher freeStandingLauncher();

}  // namespace pm
