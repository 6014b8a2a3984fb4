#pragma once
// Date and time pictures: how day numbers and times are shown and entered.
//
//   @D2-   mm-dd-yyyy            @T1   hh:mm (24-hour)
//   @D6-   dd-mm-yyyy            @T3   hh:mmXM (12-hour, AM/PM)
//   @D10-  yyyy-mm-dd            @T7   the system's time format
//   @D17   the system's short date   @T4   hh:mm:ss (24-hour)
//   @D18   the system's long date (weekday, day, month name, year)
//
// The system formats follow the process locale (LC_TIME), so they read as the
// desktop has been set up. Pictures are matched ignoring case and surrounding
// blanks; the leading "@" may be left out.
#include <optional>
#include <string>
#include <string_view>

#include "common/types.h"

namespace pm {

// True for one of the date pictures above.
bool isDatePicture(std::string_view picture);

// True for one of the time pictures above.
bool isTimePicture(std::string_view picture);

// `day` shown with `picture`. Empty for day 0 (no date), for a number that is
// not a valid day, and for a picture that is not a date picture.
std::string formatDate(LONG day, std::string_view picture);

// `time` (hundredths since midnight) shown with `picture`; hundredths and,
// except for @T7, seconds are not shown. Empty for a time outside one day and
// for a picture that is not a time picture.
std::string formatTime(LONG time, std::string_view picture);

// Reads a date typed in the layout of `picture`. Blank text gives 0 (no
// date); a valid date gives its day number; anything else, or a picture that
// is not a date picture, gives nullopt. The fixed pictures accept 1- or
// 2-digit days and months, a 4-digit year, and "-", "/" or "." between them.
std::optional<LONG> parseDate(std::string_view text, std::string_view picture);

// Reads a time typed in the layout of `picture`: "h:mm" or "h:mm:ss", for
// @T3 followed by AM or PM (with or without a blank; without it the hour is
// read as 24-hour). Blank text gives 0; anything else that is not a time, or
// a picture that is not a time picture, gives nullopt.
std::optional<LONG> parseTime(std::string_view text, std::string_view picture);

}  // namespace pm
