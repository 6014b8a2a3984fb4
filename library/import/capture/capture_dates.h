#pragma once
// Dates and times in the header lines of capture files.
//
// A date is written DD-MMM-YY: the month an English or German three-letter
// name in any letter case, the year two digits, widened to four by the one
// century rule that every importer shares (inet::expandTwoDigitYear):
// 00-49 are 2000-2049, 50-99 are 1950-1999.
#include <cstddef>
#include <string_view>

#include "common/types.h"

namespace pm::capture {

// The day number of the date at the start of `raw` (DD-MMM-YY; a one-digit
// day "D-MMM-YY" counts as "0D-MMM-YY"; four year digits are taken as
// written). 0 when the text holds no valid date: an unknown month name, a
// day or year that is not a number, or a day the month does not have.
LONG captureDate(std::string_view raw, const char* codePage);

struct DateLineDate {
    LONG date = 0;        // day number, 0 when none
    std::size_t end = 0;  // position of the last character of the date; 0 when none
};

// The date of a date line: it starts at position 5, or at 6 when position 5
// is blank (no date when 6 is blank too).
DateLineDate dateOfDateLine(std::string_view line, const char* codePage);

// The time hh:mm at `pos` (seconds 0); 0 when the text there is no time.
LONG timeHhMm(std::string_view line, std::size_t pos);

// The time hh:mm:ss at `pos`; 0 when the text there is no time.
LONG timeHhMmSs(std::string_view line, std::size_t pos);

// A time h:mm, hh:mm, h:mm:ss or hh:mm:ss whose first character is the
// first non-blank one within the five positions after `after`; 0 when
// there is none.
LONG timeAfter(std::string_view line, std::size_t after);

}  // namespace pm::capture
