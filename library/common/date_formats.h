#pragma once
// The user's choice of date and time format (settings items 10 and 13):
// each format code stands for a description shown in the preferences and a
// picture used by the status bar and the lists.
//
//   date codes: 2 "mm-dd-yyyy" @D2-, 6 "dd-mm-yyyy" @D6-,
//               10 "yyyy-mm-dd" @D10-, 17 "Windows setting" @D17
//   time codes: 1 "hh:mm" @T1, 3 "hh:mmXM" @T3, 7 "Windows setting" @T7
#include <array>
#include <string>
#include <string_view>

#include "common/types.h"

namespace pm {

// The date codes in the order the preferences offer them.
inline constexpr std::array<LONG, 4> DateFormatCodes = {2, 6, 10, 17};

// The time codes in the order the preferences offer them.
inline constexpr std::array<LONG, 3> TimeFormatCodes = {1, 3, 7};

// Fills `description` and `picture` for the date format `code` and returns
// `code`. A code that is not a date code leaves both empty, so a stored
// setting of an unknown code shows no date at all.
LONG SetDate(LONG code, std::string& description, std::string& picture);

// Fills `description` and `picture` for the time format `code` and returns
// `code`; both empty for a code that is not a time code.
LONG SetTime(LONG code, std::string& description, std::string& picture);

// The date code whose description is `description`; 0 when none is.
LONG dateFormatCode(std::string_view description);

// The time code whose description is `description`; 0 when none is.
LONG timeFormatCode(std::string_view description);

}  // namespace pm
