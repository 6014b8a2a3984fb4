#pragma once
// The factories of the windows that follow the message and mail browses:
// the topic list, Attach Topics and the standard search, and the browse
// commands that open them.
#include "frame/window_factories.h"

namespace pm::frame {

void registerFollowerWindows(WindowFactories& factories);

}  // namespace pm::frame
