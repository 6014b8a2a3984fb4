#pragma once
// The stopwatch of the long operations: 20 numbered slots, each remembering
// the date and time it was started, read by the clock in use (dates.h), so
// a measured run may span midnight or several days.
#include "common/types.h"

namespace pm {

// Number of stopwatch slots; slots are numbered 1 to StopwatchSlots.
inline constexpr int StopwatchSlots = 20;

// Actions of StartStop.
enum StopwatchAction : int { StopwatchClearAll = 0, StopwatchStart = 1, StopwatchStop = 2 };

// StopwatchStart records now as the start of `slot` and returns 0.
// StopwatchStop returns the whole seconds (rounded down) since the slot was
// started; the slot keeps its start, so a later stop measures from it again.
// StopwatchClearAll forgets every start (`slot` is not used) and returns 0.
// A stop of a slot that was never started, a slot outside 1-20, an unknown
// action, or a clock that went back before the start all give 0.
LONG StartStop(int action, int slot);

}  // namespace pm
