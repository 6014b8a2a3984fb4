// Day numbers against the calendar, times of day, and the clock seam.
#include <gtest/gtest.h>

#include <array>

#include "common/dates.h"

namespace pm {
namespace {

struct KnownDay {
    LONG day;
    CalendarDate date;
    int weekday;  // 0 Sunday
};

TEST(Dates, KnownDaysMatchTheCalendar) {
    const KnownDay known[] = {
        {1, {1800, 12, 29}, 1},       // the first numbered day, a Monday
        {3, {1800, 12, 31}, 3},
        {4, {1801, 1, 1}, 4},         // a Thursday
        {36222, {1900, 3, 1}, 4},     // 1900 has no 29 February
        {70999, {1995, 5, 19}, 5},    // a Friday
        {71000, {1995, 5, 20}, 6},
        {72687, {2000, 1, 1}, 6},
        {72746, {2000, 2, 29}, 2},    // 2000 does
        {72747, {2000, 3, 1}, 3},
        {109271, {2100, 3, 1}, 1},    // 2100 does not
        {LastDayNumber, {9999, 12, 31}, 5},
    };
    for (const KnownDay& k : known) {
        SCOPED_TRACE(k.day);
        EXPECT_EQ(calendarDate(k.day), k.date);
        EXPECT_EQ(dayNumber(k.date.year, k.date.month, k.date.day), k.day);
        EXPECT_EQ(dayOfWeek(k.day), k.weekday);
    }
}

TEST(Dates, RoundTripEveryDayOverCenturies) {
    // Every day from the first to 2200 converts there and back, and the days
    // follow each other without gaps.
    CalendarDate previous = calendarDate(1);
    for (LONG day = 2; day <= dayNumber(2200, 12, 31); ++day) {
        const CalendarDate date = calendarDate(day);
        ASSERT_EQ(dayNumber(date.year, date.month, date.day), day);
        const bool nextInMonth = date.year == previous.year && date.month == previous.month &&
                                 date.day == previous.day + 1;
        const bool firstOfNextMonth = date.day == 1 && previous.day == daysInMonth(previous.year, previous.month);
        ASSERT_TRUE(nextInMonth || firstOfNextMonth) << day;
        previous = date;
    }
}

TEST(Dates, LeapYearsFollowTheGregorianRule) {
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(2100));
    EXPECT_TRUE(isLeapYear(1996));
    EXPECT_FALSE(isLeapYear(1995));
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2001, 13), 0);
}

TEST(Dates, InvalidDatesHaveNoNumber) {
    const CalendarDate invalid[] = {
        {1900, 2, 29}, {2100, 2, 29}, {1995, 2, 30}, {1995, 4, 31}, {1995, 0, 10},
        {1995, 13, 1}, {1995, 6, 0},  {1995, 6, 32}, {1800, 12, 28}, {1800, 1, 1},
        {1799, 12, 31}, {10000, 1, 1}, {0, 0, 0},
    };
    for (const CalendarDate& d : invalid) {
        SCOPED_TRACE(testing::Message() << d.year << "-" << d.month << "-" << d.day);
        EXPECT_FALSE(isValidDate(d.year, d.month, d.day));
        EXPECT_EQ(dayNumber(d.year, d.month, d.day), 0);
    }
    EXPECT_TRUE(isValidDate(2000, 2, 29));
    for (LONG day : {0, -1, LastDayNumber + 1}) {
        EXPECT_EQ(calendarDate(day), CalendarDate{});
        EXPECT_EQ(dayOfWeek(day), -1);
    }
}

TEST(Dates, TimesOfDay) {
    EXPECT_EQ(timeOf(0, 0, 0, 0), 0);
    EXPECT_EQ(timeOf(23, 59, 59, 99), HundredthsPerDay - 1);
    EXPECT_EQ(timeOf(12, 30, 15), 4'501'500);
    EXPECT_EQ(timeOfDay(4'501'507), (TimeOfDay{12, 30, 15, 7}));
    for (auto [h, m, s, c] : {std::array{24, 0, 0, 0}, std::array{-1, 0, 0, 0},
                              std::array{0, 60, 0, 0}, std::array{0, 0, 60, 0},
                              std::array{0, 0, 0, 100}})
        EXPECT_EQ(timeOf(h, m, s, c), -1);
    EXPECT_EQ(timeOfDay(HundredthsPerDay), TimeOfDay{});
}

TEST(Dates, ArithmeticAcrossMidnight) {
    const DateTime lateEvening{70999, timeOf(23, 0, 0)};
    EXPECT_EQ(addHundredths(lateEvening, 2 * 360'000), (DateTime{71000, timeOf(1, 0, 0)}));
    EXPECT_EQ(addHundredths(DateTime{71000, timeOf(0, 30, 0)}, -360'000),
              (DateTime{70999, timeOf(23, 30, 0)}));
    EXPECT_EQ(elapsedHundredths(lateEvening, {71002, timeOf(22, 0, 0)}),
              3LL * HundredthsPerDay - 360'000);
    EXPECT_EQ(elapsedHundredths({71002, 0}, lateEvening), -(3LL * HundredthsPerDay - timeOf(23, 0, 0)));
}

TEST(Dates, TodayAndClockTimeReadTheClockInUse) {
    TestClock fixed({70999, timeOf(9, 15, 0)});
    {
        ScopedClock scope(fixed);
        EXPECT_EQ(today(), 70999);
        EXPECT_EQ(clockTime(), timeOf(9, 15, 0));
        fixed.advance(HundredthsPerDay);
        EXPECT_EQ(today(), 71000);
        fixed.set(72687, 5);
        EXPECT_EQ(now(), (DateTime{72687, 5}));
    }
    // Back on the system clock, which reads a plausible present.
    const DateTime system = now();
    EXPECT_GT(system.date, dayNumber(2020, 1, 1));
    EXPECT_TRUE(isValidTime(system.time));
}

}  // namespace
}  // namespace pm
