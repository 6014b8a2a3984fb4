#include "common/stopwatch.h"

#include <algorithm>
#include <array>
#include <limits>
#include <mutex>

#include "common/dates.h"

namespace pm {
namespace {

std::mutex slotsMutex;
// Date 0 marks a slot that is not running.
std::array<DateTime, StopwatchSlots> slots{};

}  // namespace

LONG StartStop(int action, int slot) {
    std::lock_guard lock(slotsMutex);
    if (action == StopwatchClearAll) {
        slots.fill(DateTime{});
        return 0;
    }
    if (slot < 1 || slot > StopwatchSlots) return 0;
    DateTime& start = slots[static_cast<std::size_t>(slot - 1)];
    switch (action) {
    case StopwatchStart:
        start = now();
        return 0;
    case StopwatchStop: {
        if (start.date == 0) return 0;
        const long long elapsed = elapsedHundredths(start, now());
        // Local time may step back (daylight saving, a corrected clock).
        if (elapsed <= 0) return 0;
        return static_cast<LONG>(std::min<long long>(elapsed / 100, std::numeric_limits<LONG>::max()));
    }
    default:
        return 0;
    }
}

}  // namespace pm
