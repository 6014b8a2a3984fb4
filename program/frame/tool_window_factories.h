#pragma once
// The factories of the preferences, rebuild, merge and redirection windows,
// and the progress windows their runs open in the import group.
#include "common/windows/job_launcher.h"
#include "frame/window_factories.h"

namespace pm::frame {

void registerToolWindows(WindowFactories& factories);

// The launcher of the tool windows' runs: the progress window opens in the
// frame's import group, one long run at a time, as they share the work
// files and the counter.
JobLauncher frameLauncher(MainFrame& frame);

// The task manager's windows (task_window_factories.cpp).
void registerTaskWindows(WindowFactories& factories);

}  // namespace pm::frame
