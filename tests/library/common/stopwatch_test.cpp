// The stopwatch of the long operations, driven by a test clock.
#include <gtest/gtest.h>

#include "common/dates.h"
#include "common/stopwatch.h"

namespace pm {
namespace {

const LONG StopwatchDay = 70999;  // 19 May 1995

TEST(Stopwatch, CountsWholeSecondsAcrossMidnightAndDays) {
    TestClock clock({StopwatchDay, timeOf(23, 59, 30)});
    ScopedClock scope(clock);
    StartStop(StopwatchClearAll, 0);

    StartStop(StopwatchStart, 1);
    StartStop(StopwatchStart, 20);
    clock.set(StopwatchDay + 1, timeOf(0, 0, 30));
    EXPECT_EQ(StartStop(StopwatchStop, 1), 60);

    clock.advance(99);  // not yet a whole second more
    EXPECT_EQ(StartStop(StopwatchStop, 1), 60);
    clock.set(StopwatchDay + 3, timeOf(23, 59, 30));
    EXPECT_EQ(StartStop(StopwatchStop, 20), 3 * 86'400);

    // Slots are independent, and restarting one moves only its start.
    StartStop(StopwatchStart, 1);
    clock.advance(500);
    EXPECT_EQ(StartStop(StopwatchStop, 1), 5);
    EXPECT_EQ(StartStop(StopwatchStop, 20), 3 * 86'400 + 5);
}

TEST(Stopwatch, UnstartedSlotsBadSlotsAndClearing) {
    TestClock clock({StopwatchDay, timeOf(10, 0, 0)});
    ScopedClock scope(clock);
    StartStop(StopwatchClearAll, 0);
    EXPECT_EQ(StartStop(StopwatchStop, 5), 0);

    StartStop(StopwatchStart, 5);
    clock.advance(1000);
    EXPECT_EQ(StartStop(StopwatchStop, 5), 10);
    StartStop(StopwatchClearAll, 0);
    EXPECT_EQ(StartStop(StopwatchStop, 5), 0);

    for (int slot : {0, 21, -1}) {
        EXPECT_EQ(StartStop(StopwatchStart, slot), 0);
        EXPECT_EQ(StartStop(StopwatchStop, slot), 0);
    }
    // A clock set back before the start measures nothing rather than a
    // negative time.
    StartStop(StopwatchStart, 2);
    clock.advance(-6000);
    EXPECT_EQ(StartStop(StopwatchStop, 2), 0);
}

}  // namespace
}  // namespace pm
