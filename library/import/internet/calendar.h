#pragma once
// Calendar dates as day numbers: day 1 is 29 December 1800, day 4 is
// 1 January 1801, consecutive days differ by 1, 0 means no date.
//
// Kept in this folder so the message parsers depend on nothing else; it can
// be swapped for the library-wide date helpers without touching callers.
#include "common/types.h"

namespace pm::inet {

// The day number of year/month/day, or 0 when that is no calendar date or
// lies before 1 January 1801 or after 31 December 9999.
LONG calendarDayNumber(int year, int month, int day);

}  // namespace pm::inet
