#include "frame/task_scheduler.h"

#include <QMdiSubWindow>
#include <set>

#include "common/dates.h"
#include "common/globals.h"
#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "tables/access/open_close.h"
#include "tables/services/library_services.h"
#include "taskrun/task_run.h"
#include "tasks/task_store.h"

namespace pm::frame {

namespace {
constexpr const char* RunWindowName = "TaskRun";
}

TaskScheduler::TaskScheduler(MainFrame& frame) : QObject(&frame), frame_(frame) {
    setObjectName(QStringLiteral("TaskScheduler"));
    timer_.setInterval(CheckIntervalSeconds * 1000);
    connect(&timer_, &QTimer::timeout, this, [this] { check(); });
}

TaskScheduler& TaskScheduler::of(MainFrame& frame) {
    if (auto* existing = frame.findChild<TaskScheduler*>(QStringLiteral("TaskScheduler"), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new TaskScheduler(frame);
}

void TaskScheduler::install() { timer_.start(); }

bool TaskScheduler::check() {
    const DateTime moment = now();
    // The busy counter (held by the editing windows) is part of the gate.
    if (!schedulerMayStartNow(moment)) return false;
    std::set<ULONG> passOver;
    for (auto it = passOverUntil_.begin(); it != passOverUntil_.end();) {
        if (elapsedHundredths(moment, it->second) > 0) {
            passOver.insert(it->first);
            ++it;
        } else {
            it = passOverUntil_.erase(it);
        }
    }
    std::optional<TASRecord> due = findDueTask(moment, passOver);
    if (!due) return false;
    dueTask_ = due->ID;
    Mem.DoTask = TaskDue;
    frame_.postFrameEvent(EventOpenTaskCountdown);
    return true;
}

void TaskScheduler::startRequested(ULONG taskId) {
    startedTask_ = taskId;
    dueTask_ = 0;
    frame_.postFrameEvent(EventContinueTasks);
}

bool TaskScheduler::runStartedTask() {
    const ULONG taskId = startedTask_;
    startedTask_ = 0;
    if (taskId == 0) return false;
    WindowManager& windows = frame_.windows();
    if (windows.TmGetId(QString::fromLatin1(RunWindowName))) return false;  // one run at a time
    // The task works on whole databases: nothing may hold their tables.
    windows.closeAll();
    closeAllTables();
    auto* window = new JobProgressWindow(std::make_unique<TaskRun>(taskId));
    window->setObjectName(QString::fromLatin1(RunWindowName));
    if (const WindowEntry* entry = windowEntry(RunWindowName); entry && entry->helpTopic)
        window->setProperty("helpTopic", QString::fromUtf8(entry->helpTopic));
    window->setCloseWhenFinished(false);
    MainFrame* frame = &frame_;
    connect(window, &JobProgressWindow::finished, window, [this, window, frame, taskId] {
        if (static_cast<const TaskRun&>(window->job()).outcome() == TaskRunOutcome::Busy) {
            DateTime until = now();
            until.time += BusyPassOverHundredths;
            if (until.time >= HundredthsPerDay) {
                until.time -= HundredthsPerDay;
                ++until.date;
            }
            passOverUntil_[taskId] = until;
        }
        frame->postFrameEvent(EventTasksEnded);
        closeHostWindow(window);
    }, Qt::QueuedConnection);
    QMdiSubWindow* sub = windows.TmCreate(QString::fromLatin1(RunWindowName), ImportGroup, window);
    sub->resize(window->sizeHint().expandedTo(QSize(480, 240)) + (sub->size() - window->size()));
    Mem.DoTask = TaskRunning;
    window->start();
    return true;
}

}  // namespace pm::frame
