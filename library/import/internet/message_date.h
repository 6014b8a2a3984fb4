#pragma once
// The date builder of the message parsers: date texts of Internet headers
// and of the capture formats become a day number and a time.
#include <string_view>

#include "common/types.h"

namespace pm::inet {

// The one century rule for two-digit (and three-digit) years, used by every
// parser: 00-49 are 2000-2049, 50-99 are 1950-1999, and a three-digit year
// (written by software that printed "year - 1900") is 1900 + the value —
// the rule of RFC 2822, which suits archives of the 1990s and 2000s.
// Four-digit years are returned unchanged.
int expandTwoDigitYear(int year);

// Month 1-12 of an English or German month name abbreviation (JAN, FEB,
// MAR/MÄR, APR, MAY/MAI, JUN, JUL, AUG, SEP, OCT/OKT, NOV, DEC/DEZ) written
// in capitals or with an initial capital; longer names are judged by their
// first three letters ("June", "März"). 0 for anything else.
int monthFromName(std::string_view name);

// The time value (hundredths of a second since midnight) of h:m:s, or -1
// when that is no time of day.
LONG timeOfDay(int hours, int minutes, int seconds);

struct MessageDate {
    LONG date = 0;  // day number, 0 when the text holds no valid date
    LONG time = 0;  // hundredths of a second since midnight
};

enum class DateStyle {
    Internet,  // the shapes below
    Pegasus,   // a leading weekday with its comma is removed first
};

// Reads a date text (left-aligned, trimmed and upper-cased first; raw bytes
// are read by the no-charset rule). Accepted shapes, D = day of one or two
// digits, MMM = month name, Y = year of two to four digits (the century rule
// above for fewer than four), Ddd = a weekday of any length:
//   D-MMM-Y or D MMM Y at the start, then the time;
//   Ddd, D MMM Y hh:mm[:ss]   (the weekday's comma may be missing);
//   [Ddd[,]] MMM D, Y hh:mm[:ss]   (month first, a comma after the day);
//   [Ddd[,]] MMM D Y hh:mm[:ss]    (month first, "Fri, Nov 01 02 15:01:05");
//   [Ddd] MMM D hh:mm[:ss] [zone] Y  (asctime: "Wed Feb  1 19:06:09 2006");
//   Y-M-D[T| ]hh:mm[:ss] or Y/M/D   (ISO 8601, four-digit year).
// Pegasus dates take only the first two shapes, with the comma. The time is
// hh:mm:ss when ":ss" follows hh:mm, else hh:mm with seconds 0; a fraction
// of a second is passed over, "AM"/"PM" after it counts; a zone (a name or
// an offset) is not applied. No valid date gives date 0 and time 0; a valid
// date with no readable time gives time 0.
MessageDate parseMessageDate(std::string_view text, DateStyle style = DateStyle::Internet);

}  // namespace pm::inet
