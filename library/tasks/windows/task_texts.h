#pragma once
// How the task windows show and read dates and times.
#include <string>

#include "common/types.h"

namespace pm {

// "YYYY-MM-DD" of a day number; "" for 0.
std::string taskDateText(LONG day);
// "HH:MM" of a time.
std::string taskTimeText(LONG time);
// "YYYY-MM-DD HH:MM" of a date and time; "" when the date is 0.
std::string taskMomentText(LONG day, LONG time);

// Reads "YYYY-MM-DD" (empty: 0); false for anything else.
bool parseTaskDate(const std::string& text, LONG& day);
// Reads "HH:MM" or "H:MM" (empty: 0); false for anything else.
bool parseTaskTime(const std::string& text, LONG& time);

}  // namespace pm
