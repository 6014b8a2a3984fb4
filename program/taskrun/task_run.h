#pragma once
// One run of a scheduled task as a job (common/job.h): the task's import
// steps in order, then the maintenance jobs on every database that received
// messages, unattended (Mem.DoTask TaskRunning: no message box is shown; a
// condition that would ask ends the step instead), with the task log written
// as it goes.
//
// It lives in the program's engine, not in library/tasks/, because the
// duplicate-person merge, the purge and the count are the program's
// maintenance jobs; the task store, schedule and log it uses are the
// library's (tasks/).
//
// States (where they lead):
//
//   Start     nothing taken yet. Takes the installation's task lock (one
//             task run at a time in all processes: the desktop's scheduler
//             and any `pmoor32 task run-due`); while another process holds
//             it the run ends Busy at once, writing nothing. Reads the task
//             again under the lock: when it is gone, inactive, without
//             steps, or (for a scheduled run) no longer due - another
//             process ran it meanwhile - the run ends NotDue. Otherwise
//             clears its steps' results, takes a log identifier -> Step.
//   Step      the first step without a result. The first one adds the log
//             record; each adds its import item and builds the request from
//             its definition. A definition that is gone or cannot run (its
//             mailbox or target no longer exists, no file, unknown format)
//             ends the step with result 2 and the task fails -> Finish.
//             -> Import; no step left -> Schedule.
//   Import    the step's import run, one slice a step. Completed (or only
//             empty files: nothing was delivered) is result 1, anything
//             else 2 and the task fails -> Finish. The step's result and
//             seconds go to its TIM record and the log item. -> Step.
//   Schedule  every step completed: the next run is computed and stored
//             (a run by hand of a task that was not due only sets its last run),
//             and the maintenance jobs are queued for each database that
//             received messages: duplicate persons (when asked), purge
//             (when asked), count (when asked and no purge), word index
//             (when asked and the database is indexed). -> Job.
//   Job       one maintenance job on its database, a slice a step; a job
//             that fails is logged with result 2 and the next job runs.
//             Jobs of one type in a row share one log item. -> Job; none
//             left -> Finish.
//   Finish    a failed task is deactivated and its run-now request cleared;
//             the log record gets its finish and the combined result of its
//             items, the task its result; the database that was active is
//             active again, the lock is released and Mem.DoTask is idle.
//
// Once the run is final, Mem.DoTask is idle again.
//
// A stop request ends the slice's job (it stops as that job stops), logs it
// with result 2 and finishes the run without a new schedule and without
// deactivating the task, so it is due again: the imported-message register
// keeps a second run from storing a message twice.
#include <memory>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/job.h"
#include "common/types.h"
#include "tables/records/config_tables.h"

namespace pm {

class NamedLock;
class TaskLogWriter;
class ImportRun;

// How a task run ended.
enum class TaskRunOutcome {
    Running,
    Completed,  // every step and job completed
    Failed,     // a step failed (the task is deactivated) or a job did not complete
    Stopped,    // a stop request ended it
    NotDue,     // nothing to run: gone, inactive, without steps, or no longer due
    Busy,       // another process is running a task
};

const char* taskRunOutcomeName(TaskRunOutcome outcome);

// What one import step or maintenance job of the run did.
struct TaskStepReport {
    ULONG type = 0;        // TaskLogItemType
    ULONG batchId = 0;     // the import definition (import steps)
    ULONG databaseId = 0;  // the database (maintenance jobs)
    BYTE result = 0;       // TaskResult
    std::string message;   // why it did not complete; "" when it did
    long long imported = 0;  // import steps: messages stored
};

struct TaskRunOptions {
    // true: the run starts only when the task is active and due at its
    // start (the scheduler and run-due); false: it runs now whatever its
    // schedule and activity (a task started by hand).
    bool onlyWhenDue = true;
    // How long an import step waits for another process's import to end.
    int importLockWaitSeconds = 300;
};

class TaskRun final : public Job {
public:
    // A run of task `taskId`. Nothing is taken before the first step.
    explicit TaskRun(ULONG taskId, TaskRunOptions options = {});
    // Abandons a run still going as a stop would.
    ~TaskRun() override;
    TaskRun(const TaskRun&) = delete;
    TaskRun& operator=(const TaskRun&) = delete;

    JobStatus step() override;
    JobStatus status() const override;
    // The title "Task: " + description, the step or job running (with that
    // job's own lines), and the counters "steps", "steps_done", "jobs",
    // "jobs_done" and, while one runs, the inner job's counters.
    ProgressReport report() const override;
    // Passed to the step or job running; accepted when it accepts.
    bool requestStop(StopRequest how) override;

    TaskRunOutcome outcome() const { return outcome_; }
    // Every step and job run so far, in order.
    const std::vector<TaskStepReport>& reports() const { return reports_; }
    // The task as stored when the run ended (after its new schedule).
    const TASRecord& task() const { return task_; }
    // The log identifier of this run; 0 when nothing was logged.
    ULONG logId() const { return logId_; }
    // "host:pid" of the process that held the task lock (Busy).
    const std::string& lockHolder() const { return lockHolder_; }

    enum class State { Start, Step, Import, Schedule, Job, Finish, Finished };
    State state() const { return state_; }

private:
    struct MaintenanceJob {
        ULONG databaseId;
        BYTE databaseType;
        ULONG type;  // TaskLogItemType
    };

    void start();
    void nextStep();
    void stepImport();
    void schedule();
    void nextJob();
    void stepJob();
    void finish();
    void end(TaskRunOutcome outcome);
    void failStep(const std::string& why);
    void recordStepResult(BYTE result, long seconds, const std::string& why = {});
    void suppressed(const std::string& caption, const std::string& text);
    static void suppressedSink(const MessageRequest& request, void* context);

    ULONG taskId_;
    TaskRunOptions options_;
    State state_ = State::Start;
    TaskRunOutcome outcome_ = TaskRunOutcome::Running;
    JobStatus status_ = JobStatus::Running;
    TASRecord task_{};
    std::vector<ULONG> steps_;
    std::size_t stepIndex_ = 0;
    std::vector<ULONG> databases_;  // that received messages, in order
    std::vector<MaintenanceJob> jobs_;
    std::size_t jobIndex_ = 0;
    std::vector<TaskStepReport> reports_;
    std::unique_ptr<NamedLock> lock_;
    std::unique_ptr<TaskLogWriter> log_;
    std::unique_ptr<ImportRun> import_;
    std::unique_ptr<Job> job_;
    ULONG logId_ = 0;
    DateTime started_{};
    bool scheduled_ = false;  // the task was due at the start (else a run by hand)
    bool failed_ = false;
    bool jobFailed_ = false;
    bool stopping_ = false;
    std::string lastSuppressed_;
    std::string lockHolder_;
    ULONG previousDatabase_ = 0;
    SuppressedMessageSink previousSink_ = nullptr;
    void* previousContext_ = nullptr;
};

}  // namespace pm
