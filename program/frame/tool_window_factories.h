#pragma once
// The factories of the preferences, rebuild, merge and redirection windows,
// and the progress windows their runs open in the import group.
#include "frame/window_factories.h"

namespace pm::frame {

void registerToolWindows(WindowFactories& factories);

// The task manager's windows (task_window_factories.cpp).
void registerTaskWindows(WindowFactories& factories);

}  // namespace pm::frame
