#include "tasks/task_schedule.h"

#include <algorithm>
#include <vector>

namespace pm {

namespace {

// Whether `a` lies before `b`.
bool before(const DateTime& a, const DateTime& b) { return a.date < b.date || (a.date == b.date && a.time < b.time); }

// Whether the task's scheduled next run has come at `now`.
bool scheduledRunCame(const TASRecord& task, const DateTime& now) {
    if (task.RUNNEXTDATE == 0) return false;
    return task.RUNNEXTDATE < now.date || (task.RUNNEXTDATE == now.date && task.RUNNEXTTIME <= now.time);
}

LONG nextWeekday(const TASRecord& task, LONG today) {
    const int w = dayOfWeek(today);
    if (w < 0) return 0;
    for (int ahead = 1; ahead <= 7; ++ahead)
        if (task.DAYS[(w + ahead) % 7]) return today + ahead;
    return 0;
}

// The day number of `day` in year/month, a day past the month's end rolled
// into the following month.
LONG rolledDay(int year, int month, int day) {
    if (month > 12) {
        month -= 12;
        ++year;
    }
    const LONG first = dayNumber(year, month, 1);
    return first == 0 ? 0 : first + day - 1;
}

LONG nextMonthDay(const TASRecord& task, LONG today) {
    std::vector<int> days;
    for (BYTE d : task.MONTHDAYS)
        if (d >= 1 && d <= 31) days.push_back(d);
    if (days.empty()) return 0;
    std::sort(days.begin(), days.end());
    const CalendarDate date = calendarDate(today);
    if (date.year == 0) return 0;
    for (int d : days)
        if (d > date.day) return rolledDay(date.year, date.month, d);
    return rolledDay(date.year, date.month + 1, days.front());
}

}  // namespace

BYTE combineResults(BYTE sofar, BYTE next) {
    if (sofar == ResultNotSet) return next;
    if (sofar == ResultCompleted && next == ResultNotCompleted) return ResultNotCompleted;
    return sofar;
}

std::string taskResultText(BYTE result) {
    switch (result) {
        case ResultNotSet: return "Not run";
        case ResultCompleted: return "OK";
        default: return "Error";
    }
}

bool runNowRequested(const TASRecord& task) { return task.RUNNOWDATE != 0 || task.RUNNOWTIME != 0; }

bool taskRepeats(const TASRecord& task) {
    for (BYTE d : task.DAYS)
        if (d) return true;
    for (BYTE d : task.MONTHDAYS)
        if (d >= 1 && d <= 31) return true;
    return false;
}

bool taskIsDue(const TASRecord& task, const DateTime& now) {
    const bool runNowRecent = task.RUNNOWDATE == now.date || task.RUNNOWDATE == now.date - 1;
    if (runNowRecent) return task.RUNNOWTIME != 0;
    return scheduledRunCame(task, now);
}

LONG nextRepeatDate(const TASRecord& task, LONG today) {
    const LONG weekly = nextWeekday(task, today);
    const LONG monthly = nextMonthDay(task, today);
    if (weekly == 0) return monthly;
    if (monthly == 0) return weekly;
    return std::min(weekly, monthly);
}

void scheduleAfterRun(TASRecord& task, const DateTime& started, const DateTime& now) {
    const bool wasRunNow = runNowRequested(task);
    const bool came = scheduledRunCame(task, now);
    task.RUNNOWDATE = 0;
    task.RUNNOWTIME = 0;
    if (taskRepeats(task) && (came || !wasRunNow)) {
        task.RUNNEXTDATE = nextRepeatDate(task, now.date);
        task.LASTRUNDATE = now.date;
        task.LASTRUNTIME = now.time;
    } else {
        task.LASTRUNDATE = started.date;
        task.LASTRUNTIME = started.time;
        // A one-off run that came is used up; left as it was, the task
        // would be due again at every later check.
        if (!taskRepeats(task) && came) task.RUNNEXTDATE = 0;
    }
    if (task.RUNNEXTDATE == 0) {
        task.RUNNEXTTIME = 0;
        task.ACTIVE = 0;
    }
}

bool schedulerMayStart(const SchedulerGate& gate, const DateTime& now) {
    if (gate.tasksDeactivated || gate.taskRunning || gate.busy) return false;
    if (before(now, gate.postponedUntil)) return false;
    if (gate.restrictFrom != 0 && gate.restrictTo > gate.restrictFrom && now.time > gate.restrictFrom &&
        now.time < gate.restrictTo)
        return false;
    return true;
}

DateTime postponedUntil(const DateTime& now, int hours) {
    return addHundredths(now, static_cast<long long>(hours) * 360'000);
}

}  // namespace pm
