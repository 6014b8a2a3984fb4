#include "tasks/windows/task_texts.h"

#include <cstdio>

#include "common/date_pictures.h"
#include "common/dates.h"

namespace pm {

std::string taskDateText(LONG day) { return day == 0 ? std::string() : formatDate(day, "@D10-"); }

std::string taskTimeText(LONG time) { return formatTime(time, "@T1"); }

std::string taskMomentText(LONG day, LONG time) {
    return day == 0 ? std::string() : taskDateText(day) + " " + taskTimeText(time);
}

bool parseTaskDate(const std::string& text, LONG& day) {
    day = 0;
    if (text.empty()) return true;
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
    day = dayNumber(y, m, d);
    return day != 0;
}

bool parseTaskTime(const std::string& text, LONG& time) {
    time = 0;
    if (text.empty()) return true;
    int h = 0, m = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d%c", &h, &m, &tail) != 2) return false;
    time = timeOf(h, m, 0);
    return time >= 0;
}

}  // namespace pm
