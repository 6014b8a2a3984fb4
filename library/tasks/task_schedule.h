#pragma once
// When tasks run: whether a task is due, when it runs next, and whether the
// scheduler may start one at all. Pure functions of a task record and a
// moment, so the scheduler check, the start dialog, `pmoor32 task run-due`
// and the tests all decide alike; the moment comes from the caller (the
// clock in use, common/dates.h).
#include <string>

#include "common/dates.h"
#include "common/types.h"
#include "tables/records/config_tables.h"

namespace pm {

// Result codes of steps, jobs, log items and runs (TIM, TLI, TLO, TAS).
enum TaskResult : BYTE {
    ResultNotSet = 0,
    ResultCompleted = 1,
    ResultNotCompleted = 2,
};

// Several results as one: the first that is set, except that a completed
// result followed by a failed one gives "not completed".
BYTE combineResults(BYTE sofar, BYTE next);

// "Not run", "OK" or "Error", as the task log shows a result.
std::string taskResultText(BYTE result);

// Whether the task asks for a run now (its run-now date or time is set).
bool runNowRequested(const TASRecord& task);
// Whether the task repeats on weekdays or on days of the month.
bool taskRepeats(const TASRecord& task);

// Whether `task` is due at `now` (its activity and steps are the caller's
// concern): a run-now request of today or yesterday with a time, or else a
// next run that has come (a date before today, or today with a time not
// after the clock). A task without a next-run date is never due by schedule.
bool taskIsDue(const TASRecord& task, const DateTime& now);

// The next date after `today` on which the repetition of `task` falls; 0
// when it does not repeat. Weekdays (DAYS, Sunday first): the nearest
// chosen weekday after today (today's own weekday gives today + 7). Month
// days: the first chosen day after today's day in this month, else the
// smallest in the next month; a day the month does not have rolls over
// into the next month (30 February is 2 March). With both, the earlier.
LONG nextRepeatDate(const TASRecord& task, LONG today);

// Sets the schedule of `task` after a run (or a skipped run) that started at
// `started`, at `now`. The run-now request is cleared. A repeating task
// whose scheduled run came gets the next repeat date (the next-run time
// stays) and the last run `now`. Otherwise the last run is `started`, a
// one-off scheduled run that came is used up (next-run date cleared), and a
// task left without a next-run date loses its time and is deactivated.
void scheduleAfterRun(TASRecord& task, const DateTime& started, const DateTime& now);

// What may keep the scheduler from starting a task.
struct SchedulerGate {
    bool tasksDeactivated = false;   // the setting "Deactivate all tasks"
    bool taskRunning = false;        // Mem.DoTask is not idle
    bool busy = false;               // a window holds the busy counter
    DateTime postponedUntil{1, 1};   // no start before this moment ({1, 1}: none)
    LONG restrictFrom = 0;           // no start strictly between these times,
    LONG restrictTo = 0;             //   when restrictFrom is set and restrictTo is after it
};

// Whether the scheduler may start a task at `now`.
bool schedulerMayStart(const SchedulerGate& gate, const DateTime& now);

// The moment a postponement by `hours` from `now` ends (carried into the
// next days past midnight).
DateTime postponedUntil(const DateTime& now, int hours);

}  // namespace pm
