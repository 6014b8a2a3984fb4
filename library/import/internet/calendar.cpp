#include "import/internet/calendar.h"

namespace pm::inet {

namespace {

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's
// days_from_civil).
long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

LONG calendarDayNumber(int year, int month, int day) {
    if (year < 1801 || year > 9999 || month < 1 || month > 12) return 0;
    if (day < 1 || day > daysInMonth(year, month)) return 0;
    // Day 0 is 28 December 1800.
    static const long kDayZero = daysFromCivil(1800, 12, 28);
    return static_cast<LONG>(daysFromCivil(year, month, day) - kDayZero);
}

}  // namespace pm::inet
