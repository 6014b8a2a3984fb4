#pragma once
// Day numbers and times of day, and the clock everything reads them from.
//
// A date is a day number: day 1 is 29 December 1800, consecutive days differ
// by 1, and 0 means "no date" (day 4 = 1 January 1801, day 70999 = 19 May
// 1995). The calendar is the Gregorian one throughout. A time is hundredths of
// a second since midnight, 0 to 8,639,999.
//
// The current date and time come from one replaceable Clock, so scheduled
// tasks, stopwatches and their tests can move time at will.
#include "common/types.h"

namespace pm {

// Hundredths of a second in one day.
inline constexpr LONG HundredthsPerDay = 8'640'000;

// The last day number handed out: 31 December 9999.
inline constexpr LONG LastDayNumber = 2'994'626;

struct CalendarDate {
    int year = 0;   // 0 when the date is not valid
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    bool operator==(const CalendarDate&) const = default;
};

struct TimeOfDay {
    int hour = 0;        // 0-23
    int minute = 0;      // 0-59
    int second = 0;      // 0-59
    int hundredths = 0;  // 0-99
    bool operator==(const TimeOfDay&) const = default;
};

// A local date and time read together, so the two never disagree at midnight.
struct DateTime {
    LONG date = 0;  // day number
    LONG time = 0;  // hundredths since midnight
    bool operator==(const DateTime&) const = default;
};

// True for Gregorian leap years (1900 is not one, 2000 is).
bool isLeapYear(int year);

// Days in `month` of `year`; 0 for a month outside 1-12.
int daysInMonth(int year, int month);

// True when year-month-day is a real calendar date that has a day number
// (29 December 1800 to 31 December 9999).
bool isValidDate(int year, int month, int day);

// The day number of a calendar date; 0 when the date is not valid.
LONG dayNumber(int year, int month, int day);

// True when `day` is a day number of a date (1 to LastDayNumber).
bool isValidDay(LONG day);

// The calendar date of a day number; all fields 0 when the number is not a
// valid day (0, negative or past LastDayNumber).
CalendarDate calendarDate(LONG day);

// Day of the week of a day number: 0 Sunday, 1 Monday ... 6 Saturday (the
// day number modulo 7); -1 for a number that is not a valid day.
int dayOfWeek(LONG day);

// The time of the given clock reading; -1 when a part is out of range
// (hour 0-23, minute 0-59, second 0-59, hundredths 0-99).
LONG timeOf(int hour, int minute, int second, int hundredths = 0);

// True when `time` lies within one day (0 to HundredthsPerDay - 1).
bool isValidTime(LONG time);

// The parts of a time; all 0 for a time outside one day.
TimeOfDay timeOfDay(LONG time);

// Hundredths of a second from `from` to `to`, counting whole days across
// midnight; negative when `to` lies before `from`.
long long elapsedHundredths(const DateTime& from, const DateTime& to);

// `moment` moved by `hundredths` (either sign), carried across midnights.
DateTime addHundredths(const DateTime& moment, long long hundredths);

// The source of "now". The default reads the system's local time.
class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual DateTime now() const = 0;
};

// The system clock in local time.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

// A clock that stands still until it is set or advanced; for tests and for
// replaying schedules.
class TestClock final : public Clock {
public:
    explicit TestClock(DateTime start = {dayNumber(2000, 1, 1), 0}) : now_(start) {}
    DateTime now() const override { return now_; }
    void set(DateTime moment) { now_ = moment; }
    void set(LONG date, LONG time) { now_ = {date, time}; }
    // Moves the clock forward (or back, for a negative amount).
    void advance(long long hundredths) { now_ = addHundredths(now_, hundredths); }

private:
    DateTime now_;
};

// The clock in use. Never null: the system clock unless another is set.
const Clock& activeClock();

// Makes `replacement` the clock in use (nullptr restores the system clock).
// The caller keeps ownership and must keep it alive while it is set.
void setClock(const Clock* replacement);

// Sets a clock for the lifetime of this object, then restores the previous
// one.
class ScopedClock {
public:
    explicit ScopedClock(const Clock& replacement);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    const Clock* previous_;
};

// Today's day number by the clock in use.
LONG today();

// The time of day by the clock in use, in hundredths since midnight.
LONG clockTime();

// Date and time by the clock in use, read at one instant.
inline DateTime now() { return activeClock().now(); }

}  // namespace pm
