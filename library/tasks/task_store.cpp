#include "tasks/task_store.h"

#include <algorithm>
#include <cstring>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/config/settings.h"
#include "tables/identifiers/next_number.h"
#include "tables/services/library_services.h"
#include "tasks/task_schedule.h"

namespace pm {

namespace {

// Settings items of the scheduler.
constexpr int kItemRestrictFrom = 46;
constexpr int kItemRestrictTo = 47;
constexpr int kItemTasksOff = 48;

DateTime postponement{1, 1};

TaskCheck refusal(TaskProblem problem, std::string caption, std::string text) {
    return {problem, std::move(caption), std::move(text)};
}

// The steps of task `id` in key order (TIM must be open).
std::vector<ULONG> stepsOf(ULONG id) {
    std::vector<ULONG> steps;
    TIMFile.clear();
    TIM.TASKID = id;
    TIMFile.setAt(TIM_TASKKEY);
    while (TIMFile.next() == StorageStatus::Ok && TIM.TASKID == id) steps.push_back(TIM.BATCHID);
    return steps;
}

bool deleteSteps(ULONG id) {
    TIMFile.clear();
    TIM.TASKID = id;
    TIMFile.setAt(TIM_TASKKEY);
    while (TIMFile.next() == StorageStatus::Ok && TIM.TASKID == id)
        if (!UppDat(TIMFile, DeleteRecordOp, RollBackAndReport)) return false;
    return true;
}

bool addSteps(ULONG id, const std::vector<ULONG>& steps) {
    for (ULONG batch : steps) {
        TIMFile.clear();
        TIM.TASKID = id;
        TIM.BATCHID = batch;
        if (!UppDat(TIMFile, AddRecord, RollBackAndReport)) return false;
    }
    return true;
}

SaveOutcome conflict(bool deleted) {
    rollbackTransaction();
    if (deleted) message(TASFile.displayName(), "The record has been deleted by another user!");
    else message("Warning!", "The record has just been changed by another user!\r\nTry again!", Icon::Exclamation);
    return SaveOutcome::Conflict;
}

bool definitionExists(ULONG id) {
    BATFile.clear();
    BAT.ID = id;
    return BATFile.get(BAT_IDKEY) == StorageStatus::Ok;
}

SaveOutcome writeTask(TaskDefinition& task, const TaskDefinition* keptCopy, bool isNew) {
    if (!beginTransactionChecked({&TASFile, &TIMFile})) return SaveOutcome::Failed;
    if (isNew) {
        TAS = task.record;
        if (!UppDat(TASFile, AddRecord, RollBackAndReport)) return SaveOutcome::Failed;
    } else {
        TASFile.clear();
        TAS.ID = task.record.ID;
        if (TASFile.get(TAS_IDKEY) != StorageStatus::Ok) return conflict(true);
        if (keptCopy && (std::memcmp(&TAS, &keptCopy->record, sizeof(TASRecord)) != 0 ||
                         stepsOf(TAS.ID) != keptCopy->steps))
            return conflict(false);
        TASFile.clear();
        TAS.ID = task.record.ID;
        if (TASFile.get(TAS_IDKEY) != StorageStatus::Ok) return conflict(true);
        TAS = task.record;
        if (!UppDat(TASFile, UpdateRecord, RollBackAndReport)) return SaveOutcome::Failed;
        if (!deleteSteps(task.record.ID)) return SaveOutcome::Failed;
    }
    if (!addSteps(task.record.ID, task.steps)) return SaveOutcome::Failed;
    return commitTransactionChecked(TASFile) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace

TASRecord blankTaskRecord() {
    TASRecord r;
    std::memset(&r, 0, sizeof r);
    r.DESCRIPTION.clear();
    return r;
}

TaskCheck checkTask(const TaskDefinition& task) {
    const TASRecord& r = task.record;
    if (r.DESCRIPTION.empty()) return refusal(TaskProblem::NoDescription, "Warning!", "The task needs a description");
    if (r.RUNNEXTDATE != 0 && r.RUNNEXTTIME == 0)
        return refusal(TaskProblem::NoTime, "Warning!", "A next run date needs a next run time");
    for (BYTE d : r.MONTHDAYS)
        if (d > 31)
            return refusal(TaskProblem::BadMonthDay, "Warning!", "Day " + std::to_string(d) + " is not a day of the month");
    std::vector<ULONG> sorted = task.steps;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        return refusal(TaskProblem::RepeatedStep, "Warning!", "An import definition can be a step of a task only once");
    TableScope scope({&BATFile});
    for (ULONG id : sorted)
        if (!definitionExists(id))
            return refusal(TaskProblem::NoSuchDefinition, "Warning!",
                           "Import definition " + std::to_string(id) + " does not exist");
    return {};
}

std::vector<TASRecord> listTasks() {
    std::vector<TASRecord> list;
    TableScope scope({&TASFile});
    TASFile.set(TAS_IDKEY);
    while (TASFile.next() == StorageStatus::Ok) list.push_back(TAS);
    return list;
}

std::optional<TaskDefinition> readTask(ULONG id) {
    TableScope scope({&TASFile, &TIMFile});
    TASFile.clear();
    TAS.ID = id;
    if (TASFile.get(TAS_IDKEY) != StorageStatus::Ok) return std::nullopt;
    TaskDefinition task;
    task.record = TAS;
    task.steps = stepsOf(id);
    return task;
}

SaveOutcome saveTask(TaskDefinition& task, const TaskDefinition* keptCopy) {
    if (const TaskCheck check = checkTask(task); !check.ok()) {
        message(check.caption, check.text, Icon::Exclamation);
        return SaveOutcome::Refused;
    }
    std::sort(task.steps.begin(), task.steps.end());
    const bool isNew = task.record.ID == 0;
    TableScope scope({&Control, &TASFile, &TIMFile});
    if (isNew) {
        // The counter commits on its own: inside a transaction it could not
        // wait for another process.
        const ULONG id = NextNr();
        if (id == 0) return SaveOutcome::Failed;
        task.record.ID = id;
    }
    const SaveOutcome outcome = writeTask(task, keptCopy, isNew);
    if (outcome != SaveOutcome::Saved && isNew) task.record.ID = 0;
    return outcome;
}

bool deleteTask(ULONG id) {
    TableScope scope({&TASFile, &TIMFile});
    if (!beginTransactionChecked({&TASFile, &TIMFile})) return false;
    TASFile.clear();
    TAS.ID = id;
    if (TASFile.get(TAS_IDKEY) != StorageStatus::Ok) {
        rollbackTransaction();
        return false;
    }
    if (!deleteSteps(id)) return false;
    if (!UppDat(TASFile, DeleteRecordOp, RollBackAndReport)) return false;
    return commitTransactionChecked(TASFile);
}

bool writeTaskSchedule(const TASRecord& task) {
    TableScope scope({&TASFile});
    TASFile.clear();
    TAS.ID = task.ID;
    if (!HoldRec(TASFile, &TAS_IDKEY)) return false;
    TAS.RUNNOWDATE = task.RUNNOWDATE;
    TAS.RUNNOWTIME = task.RUNNOWTIME;
    TAS.RUNNEXTDATE = task.RUNNEXTDATE;
    TAS.RUNNEXTTIME = task.RUNNEXTTIME;
    TAS.LASTRUNDATE = task.LASTRUNDATE;
    TAS.LASTRUNTIME = task.LASTRUNTIME;
    TAS.RESULTCODE = task.RESULTCODE;
    TAS.ACTIVE = task.ACTIVE;
    const bool ok = UppDat(TASFile, UpdateRecord, ReportOnly);
    TASFile.release();
    return ok;
}

bool skipTaskRun(ULONG id, const DateTime& now) {
    std::optional<TaskDefinition> task = readTask(id);
    if (!task) return false;
    scheduleAfterRun(task->record, now, now);
    return writeTaskSchedule(task->record);
}

bool setTaskActive(ULONG id, bool active) {
    std::optional<TaskDefinition> task = readTask(id);
    if (!task) return false;
    task->record.ACTIVE = active ? 1 : 0;
    return writeTaskSchedule(task->record);
}

std::optional<TASRecord> findDueTask(const DateTime& now, const std::set<ULONG>& passOver) {
    TableScope scope({&TASFile, &TIMFile});
    std::vector<TASRecord> candidates;
    TASFile.setPhysical();
    while (TASFile.next() == StorageStatus::Ok)
        if (TAS.ACTIVE != 0 && taskIsDue(TAS, now) && !passOver.count(TAS.ID)) candidates.push_back(TAS);
    // Each task is tested for steps of its own: a task without steps has
    // nothing to run and is never due.
    for (const TASRecord& task : candidates)
        if (!stepsOf(task.ID).empty()) return task;
    return std::nullopt;
}

bool tasksDeactivated() { return configValue(kItemTasksOff) != 0; }

bool setTasksDeactivated(bool deactivated) { return setConfigValue(kItemTasksOff, deactivated ? 1 : 0); }

ULONG addWizardTask(ULONG definitionId, const std::string& description) {
    TaskDefinition task;
    task.record.DESCRIPTION = description;
    task.record.DODUPELIM = 1;
    task.record.DOPURGE = 1;
    task.record.DOINDEX = 1;
    task.record.ACTIVE = 0;
    task.steps = {definitionId};
    return saveTask(task) == SaveOutcome::Saved ? task.record.ID : 0;
}

bool taskBusy() { return busyCounter() > 0; }

DateTime taskPostponement() { return postponement; }
void setTaskPostponement(const DateTime& until) { postponement = until; }
void clearTaskPostponement() { postponement = {1, 1}; }

bool schedulerMayStartNow(const DateTime& now) {
    SchedulerGate gate;
    gate.tasksDeactivated = tasksDeactivated();
    gate.taskRunning = Mem.DoTask != TaskIdle;
    gate.busy = taskBusy();
    gate.postponedUntil = postponement;
    gate.restrictFrom = configValue(kItemRestrictFrom);
    gate.restrictTo = configValue(kItemRestrictTo);
    return schedulerMayStart(gate, now);
}

}  // namespace pm
