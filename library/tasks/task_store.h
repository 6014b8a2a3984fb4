#pragma once
// The store of scheduled tasks: a TAS record and its steps (TIM, one per
// import definition, run in the order of their key), kept together; the
// search for the task that is due; and the scheduler's state of this
// process (the busy counter and the postponement).
//
// A task and its steps change only together, in one transaction over TAS
// and TIM, so a run never meets a task with half its steps.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/types.h"
#include "import/definitions/import_definitions.h"
#include "tables/records/config_tables.h"

namespace pm {

// A TAS record with numbers 0 and texts blank.
TASRecord blankTaskRecord();

struct TaskDefinition {
    TASRecord record = blankTaskRecord();  // record.ID is 0 until it is saved
    std::vector<ULONG> steps;              // BAT:IDs; stored in the key's order (by identifier)
};

enum class TaskProblem {
    None,
    NoDescription,
    NoTime,          // a next-run date without a time
    BadMonthDay,     // a day of the month outside 1-31
    RepeatedStep,    // one definition twice in a task (the key holds each once)
    NoSuchDefinition,
};

struct TaskCheck {
    TaskProblem problem = TaskProblem::None;
    std::string caption;
    std::string text;
    bool ok() const { return problem == TaskProblem::None; }
};

// What the task editor refuses to save (definitions are looked up).
TaskCheck checkTask(const TaskDefinition& task);

// Every task in identifier order. Opens and releases the tables.
std::vector<TASRecord> listTasks();
// Task `id` with its steps; nothing when there is none.
std::optional<TaskDefinition> readTask(ULONG id);

// Saves `task` as saveImportDefinition saves a definition: a new one gets an
// identifier (written into record.ID); an existing one replaces the stored
// record and all its steps, unless `keptCopy` (the task as the editor read
// it) no longer matches the stored one (Conflict, nothing written). The
// check runs first. One transaction over TAS and TIM.
SaveOutcome saveTask(TaskDefinition& task, const TaskDefinition* keptCopy = nullptr);

// Deletes task `id` and its steps (its log stays). False when there is none
// or a write failed (reported).
bool deleteTask(ULONG id);

// Rewrites the schedule fields of the stored task (run-now, next and last
// run, active, result) from `task`, leaving its description, repetition,
// job switches and steps as they are now. False when it is gone or the
// write failed (reported).
bool writeTaskSchedule(const TASRecord& task);

// The start dialog's choices for a due task that is not run now: skip this
// run (the next run is computed as after a run started at `now`), or
// deactivate the task. False when it is gone or the write failed (reported).
bool skipTaskRun(ULONG id, const DateTime& now);
bool setTaskActive(ULONG id, bool active);

// The first task in file order that is active, has a step and is due at
// `now`, passing over the tasks in `passOver`; nothing when none is.
std::optional<TASRecord> findDueTask(const DateTime& now, const std::set<ULONG>& passOver = {});

// The setting "Deactivate all tasks".
bool tasksDeactivated();
bool setTasksDeactivated(bool deactivated);

// The task the import wizard adds for a run saved as definition
// `definitionId`: the same description, duplicate elimination, purge and
// indexing switched on, not active and without a schedule, with one step.
// Its identifier; 0 after a reported failure.
ULONG addWizardTask(ULONG definitionId, const std::string& description);

// --- this process's scheduler state ------------------------------------------

// Whether a window holds tasks back: the library's busy counter (raised by
// the editing windows while they are open) is above 0.
bool taskBusy();

// The postponement chosen in the start dialog: no task starts before it.
// {1, 1} when nothing is postponed.
DateTime taskPostponement();
void setTaskPostponement(const DateTime& until);
void clearTaskPostponement();

// Whether the scheduler may start a task at `now` in this process: no task
// running, nothing busy, not postponed, tasks not deactivated, outside the
// restriction period of the settings.
bool schedulerMayStartNow(const DateTime& now);

}  // namespace pm
