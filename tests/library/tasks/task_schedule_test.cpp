// When a task is due and when it runs next: weekday wrap, month ends, year
// ends, one-off runs, run-now requests, and the scheduler's gate.
#include <gtest/gtest.h>

#include <cstring>

#include "common/dates.h"
#include "tasks/task_schedule.h"

namespace pm {
namespace {

LONG day(int y, int m, int d) { return dayNumber(y, m, d); }
LONG at(int h, int min) { return timeOf(h, min, 0); }

TASRecord task() {
    TASRecord t;
    std::memset(&t, 0, sizeof t);
    t.DESCRIPTION.clear();
    t.ACTIVE = 1;
    return t;
}

TASRecord weekly(std::initializer_list<int> weekdays) {
    TASRecord t = task();
    for (int w : weekdays) t.DAYS[w] = 1;
    return t;
}

TASRecord monthly(std::initializer_list<int> days) {
    TASRecord t = task();
    int i = 0;
    for (int d : days) t.MONTHDAYS[i++] = static_cast<BYTE>(d);
    return t;
}

TEST(NextRun, WeekdaysWrapPastTheEndOfTheWeek) {
    // 7 December 2026 is a Monday.
    ASSERT_EQ(dayOfWeek(day(2026, 12, 7)), 1);
    EXPECT_EQ(nextRepeatDate(weekly({1}), day(2026, 12, 7)), day(2026, 12, 14));   // Monday on a Monday: a week on
    EXPECT_EQ(nextRepeatDate(weekly({1}), day(2026, 12, 12)), day(2026, 12, 14));  // Saturday -> Monday
    EXPECT_EQ(nextRepeatDate(weekly({0, 3}), day(2026, 12, 9)), day(2026, 12, 13));  // Wednesday -> Sunday
    EXPECT_EQ(nextRepeatDate(weekly({6}), day(2026, 12, 31)), day(2027, 1, 2));     // across the year
    EXPECT_EQ(nextRepeatDate(task(), day(2026, 12, 7)), 0);
}

TEST(NextRun, MonthDaysAcrossMonthAndYearEnds) {
    const TASRecord t = monthly({25, 10});  // stored unsorted
    EXPECT_EQ(nextRepeatDate(t, day(2026, 3, 25)), day(2026, 4, 10));
    EXPECT_EQ(nextRepeatDate(t, day(2026, 3, 9)), day(2026, 3, 10));
    EXPECT_EQ(nextRepeatDate(t, day(2026, 3, 10)), day(2026, 3, 25));
    EXPECT_EQ(nextRepeatDate(t, day(2026, 12, 31)), day(2027, 1, 10));
    // A day the month does not have rolls over into the next month.
    EXPECT_EQ(nextRepeatDate(monthly({31}), day(2026, 11, 15)), day(2026, 12, 1));
    EXPECT_EQ(nextRepeatDate(monthly({30}), day(2027, 2, 1)), day(2027, 3, 2));
    EXPECT_EQ(nextRepeatDate(monthly({29}), day(2028, 2, 1)), day(2028, 2, 29));  // leap year
    EXPECT_EQ(nextRepeatDate(monthly({31}), day(2026, 12, 31)), day(2027, 1, 31));
    // Weekdays and month days together: the earlier.
    TASRecord both = monthly({20});
    both.DAYS[5] = 1;  // Friday
    EXPECT_EQ(nextRepeatDate(both, day(2026, 12, 7)), day(2026, 12, 11));
}

TEST(NextRun, RepeatingTaskMovesOnKeepingItsTime) {
    TASRecord t = weekly({1});
    t.RUNNEXTDATE = day(2026, 12, 7);
    t.RUNNEXTTIME = at(2, 30);
    const DateTime now{day(2026, 12, 7), at(2, 31)};
    scheduleAfterRun(t, now, now);
    EXPECT_EQ(t.RUNNEXTDATE, day(2026, 12, 14));
    EXPECT_EQ(t.RUNNEXTTIME, at(2, 30));
    EXPECT_EQ(t.LASTRUNDATE, now.date);
    EXPECT_EQ(t.ACTIVE, 1);
    EXPECT_FALSE(taskIsDue(t, now));
}

TEST(NextRun, OneOffRunIsUsedUpAndDeactivated) {
    TASRecord t = task();
    t.RUNNEXTDATE = day(2026, 12, 7);
    t.RUNNEXTTIME = at(9, 0);
    const DateTime started{day(2026, 12, 7), at(9, 0)};
    const DateTime now{day(2026, 12, 7), at(9, 5)};
    ASSERT_TRUE(taskIsDue(t, now));
    scheduleAfterRun(t, started, now);
    EXPECT_EQ(t.RUNNEXTDATE, 0);
    EXPECT_EQ(t.RUNNEXTTIME, 0);
    EXPECT_EQ(t.ACTIVE, 0);
    EXPECT_EQ(t.LASTRUNTIME, started.time);
    EXPECT_FALSE(taskIsDue(t, {now.date + 1, 0}));
}

TEST(NextRun, RunNowLeavesAFutureScheduleAlone) {
    TASRecord t = weekly({1});
    t.RUNNEXTDATE = day(2026, 12, 14);
    t.RUNNEXTTIME = at(2, 0);
    t.RUNNOWDATE = day(2026, 12, 9);
    t.RUNNOWTIME = at(11, 0);
    const DateTime now{day(2026, 12, 9), at(11, 2)};
    ASSERT_TRUE(taskIsDue(t, now));
    scheduleAfterRun(t, {day(2026, 12, 9), at(11, 0)}, now);
    EXPECT_EQ(t.RUNNOWDATE, 0);
    EXPECT_EQ(t.RUNNOWTIME, 0);
    EXPECT_EQ(t.RUNNEXTDATE, day(2026, 12, 14));
    EXPECT_EQ(t.ACTIVE, 1);
    EXPECT_FALSE(taskIsDue(t, now));
}

TEST(DueTask, ByNextRunAndByRunNowRequest) {
    TASRecord t = task();
    t.RUNNEXTDATE = day(2026, 12, 8);
    t.RUNNEXTTIME = at(14, 0);
    EXPECT_FALSE(taskIsDue(t, {day(2026, 12, 8), at(13, 59)}));
    EXPECT_TRUE(taskIsDue(t, {day(2026, 12, 8), at(14, 0)}));
    EXPECT_TRUE(taskIsDue(t, {day(2026, 12, 10), at(1, 0)}));  // missed while the machine was off
    EXPECT_FALSE(taskIsDue(t, {day(2026, 12, 7), at(23, 0)}));
    // No next-run date: never due by schedule.
    EXPECT_FALSE(taskIsDue(task(), {day(2026, 12, 8), at(14, 0)}));

    TASRecord r = task();
    r.RUNNOWDATE = day(2026, 12, 7);
    r.RUNNOWTIME = at(23, 59);
    EXPECT_TRUE(taskIsDue(r, {day(2026, 12, 8), at(0, 1)}));   // asked yesterday
    EXPECT_FALSE(taskIsDue(r, {day(2026, 12, 9), at(0, 1)}));  // too old, and no schedule
}

TEST(SchedulerGate, RestrictionPeriodAndPostponement) {
    SchedulerGate gate;
    gate.restrictFrom = at(8, 0);
    gate.restrictTo = at(18, 0);
    const LONG d = day(2026, 12, 8);
    EXPECT_FALSE(schedulerMayStart(gate, {d, at(12, 0)}));
    EXPECT_TRUE(schedulerMayStart(gate, {d, at(19, 0)}));
    gate.restrictFrom = at(18, 0);  // an end before its start restricts nothing
    gate.restrictTo = at(8, 0);
    EXPECT_TRUE(schedulerMayStart(gate, {d, at(12, 0)}));

    SchedulerGate postponed;
    postponed.postponedUntil = postponedUntil({d, at(23, 0)}, 2);
    EXPECT_EQ(postponed.postponedUntil, (DateTime{d + 1, at(1, 0)}));
    EXPECT_FALSE(schedulerMayStart(postponed, {d + 1, at(0, 59)}));
    EXPECT_TRUE(schedulerMayStart(postponed, {d + 1, at(1, 0)}));
    // A postponement that ended stays ended on later days at earlier hours.
    postponed.postponedUntil = {d, at(23, 0)};
    EXPECT_TRUE(schedulerMayStart(postponed, {d + 1, at(10, 0)}));

    SchedulerGate off;
    off.tasksDeactivated = true;
    EXPECT_FALSE(schedulerMayStart(off, {d, at(12, 0)}));
}

TEST(TaskResults, CombineAsTheLogDoes) {
    EXPECT_EQ(combineResults(ResultNotSet, ResultCompleted), ResultCompleted);
    EXPECT_EQ(combineResults(ResultCompleted, ResultNotCompleted), ResultNotCompleted);
    EXPECT_EQ(combineResults(ResultNotCompleted, ResultCompleted), ResultNotCompleted);
    EXPECT_EQ(combineResults(ResultCompleted, ResultNotSet), ResultCompleted);
    EXPECT_EQ(taskResultText(ResultNotCompleted), "Error");
}

}  // namespace
}  // namespace pm
