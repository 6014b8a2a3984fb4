#pragma once
// The frame's side of scheduled tasks: the check for a due task in the
// frame's idle time (every 15 seconds), and the chain of frame events that
// follows it: EventOpenTaskCountdown opens the start countdown
// ("StartTask"); a start there posts EventContinueTasks, which closes the
// open windows and runs the task (the task run job: its import steps and
// maintenance jobs, unattended) in the progress window "TaskRun"; its end
// posts EventTasksEnded.
#include <QObject>
#include <QTimer>
#include <map>

#include "common/dates.h"

#include "common/types.h"

namespace pm::frame {

class MainFrame;

class TaskScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckIntervalSeconds = 15;

    explicit TaskScheduler(MainFrame& frame);

    // The scheduler of `frame`, made on first use.
    static TaskScheduler& of(MainFrame& frame);

    // Starts the idle-time check.
    void install();
    bool installed() const { return timer_.isActive(); }
    int intervalSeconds() const { return timer_.interval() / 1000; }

    // One check: when the scheduler may start a task now and one is due,
    // Mem.DoTask becomes TaskDue and the countdown is asked for. True then.
    bool check();

    // The task the countdown is for (0 when none).
    ULONG dueTask() const { return dueTask_; }
    // The countdown's start: the task runs once EventContinueTasks arrives.
    void startRequested(ULONG taskId);
    // Service 208: runs the started task in its progress window; false when
    // no task was started or the window could not open.
    bool runStartedTask();

    // How long a task whose run found another process running tasks (a
    // scheduled `task run-due`) is passed over, so its countdown does not
    // come back every check meanwhile.
    static constexpr LONG BusyPassOverHundredths = 5 * 60 * 100;

private:
    MainFrame& frame_;
    QTimer timer_;
    ULONG dueTask_ = 0;
    ULONG startedTask_ = 0;
    std::map<ULONG, DateTime> passOverUntil_;  // task -> no countdown before this moment
};

}  // namespace pm::frame
