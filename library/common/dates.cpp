#include "common/dates.h"

#include <atomic>
#include <ctime>

namespace pm {
namespace {

// Days from 1 January 1970 to a proleptic Gregorian date (era arithmetic over
// 400-year cycles, exact for every year of the supported range).
constexpr long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr CalendarDate civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

// Day 0 is 28 December 1800, the day before the first numbered day.
constexpr long long DayZero = daysFromCivil(1800, 12, 28);

static_assert(daysFromCivil(1801, 1, 1) - DayZero == 4);
static_assert(daysFromCivil(1995, 5, 19) - DayZero == 70999);
static_assert(daysFromCivil(9999, 12, 31) - DayZero == LastDayNumber);

const SystemClock systemClock;
std::atomic<const Clock*> currentClock{&systemClock};

}  // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(int year, int month, int day) {
    if (year < 1800 || year > 9999) return false;
    if (day < 1 || day > daysInMonth(year, month)) return false;
    // Only the last four days of 1800 have numbers.
    return year > 1800 || (month == 12 && day >= 29);
}

LONG dayNumber(int year, int month, int day) {
    if (!isValidDate(year, month, day)) return 0;
    return static_cast<LONG>(daysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) -
                             DayZero);
}

bool isValidDay(LONG day) { return day >= 1 && day <= LastDayNumber; }

CalendarDate calendarDate(LONG day) {
    if (!isValidDay(day)) return {};
    return civilFromDays(DayZero + day);
}

int dayOfWeek(LONG day) { return isValidDay(day) ? static_cast<int>(day % 7) : -1; }

LONG timeOf(int hour, int minute, int second, int hundredths) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        hundredths < 0 || hundredths > 99)
        return -1;
    return ((hour * 60 + minute) * 60 + second) * 100 + hundredths;
}

bool isValidTime(LONG time) { return time >= 0 && time < HundredthsPerDay; }

TimeOfDay timeOfDay(LONG time) {
    if (!isValidTime(time)) return {};
    return {time / 360000, time / 6000 % 60, time / 100 % 60, time % 100};
}

long long elapsedHundredths(const DateTime& from, const DateTime& to) {
    return (static_cast<long long>(to.date) - from.date) * HundredthsPerDay +
           (static_cast<long long>(to.time) - from.time);
}

DateTime addHundredths(const DateTime& moment, long long hundredths) {
    long long total = static_cast<long long>(moment.date) * HundredthsPerDay + moment.time + hundredths;
    long long days = total / HundredthsPerDay;
    long long rest = total % HundredthsPerDay;
    if (rest < 0) {
        rest += HundredthsPerDay;
        --days;
    }
    return {static_cast<LONG>(days), static_cast<LONG>(rest)};
}

DateTime SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    const LONG date = dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // A leap second (tm_sec 60) is folded into the last second of the minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    const LONG time = timeOf(local.tm_hour, local.tm_min, second,
                             static_cast<int>(ts.tv_nsec / 10'000'000));
    return {date, time};
}

const Clock& activeClock() { return *currentClock.load(); }

void setClock(const Clock* replacement) {
    currentClock.store(replacement ? replacement : &systemClock);
}

ScopedClock::ScopedClock(const Clock& replacement) : previous_(&activeClock()) {
    setClock(&replacement);
}

ScopedClock::~ScopedClock() { setClock(previous_); }

LONG today() { return activeClock().now().date; }

LONG clockTime() { return activeClock().now().time; }

}  // namespace pm
