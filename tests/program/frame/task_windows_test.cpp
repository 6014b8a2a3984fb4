// Scheduled tasks in the frame, on a test clock: the idle-time check finds
// a due task, the countdown starts it (or postpones, skips, deactivates),
// the run imports its steps and runs the maintenance jobs, and the log
// window shows every item with its result; the task list and editor.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

#include "common/dates.h"
#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame/task_scheduler.h"
#include "frame_test_support.h"
#include "import/definitions/import_definitions.h"
#include "support/mailbox_file.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/services/library_services.h"
#include "tasks/task_log.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_editor.h"
#include "tasks/windows/task_log_window.h"
#include "tasks/windows/task_start_dialog.h"
#include "tasks/windows/tasks_window.h"

namespace pm::test {

namespace {

using frame::CommandId;
using frame::MainFrame;
using frame::TaskScheduler;

constexpr int TaskMailboxFormat = 35;
const LONG Monday = dayNumber(2026, 12, 7);

ULONG addDefinition(const Installation& inst, ULONG mailbox, const std::string& file, const std::string& tag) {
    writeMailbox(inst.path(file), 4, tag);
    ImportRequest r;
    setRequestFormat(r, TaskMailboxFormat);
    r.importPath = inst.root();
    r.selectionMethod = SelectFiles;
    r.selectedFiles = {file};
    r.importMail = 1;
    r.mailbox = static_cast<LONG>(mailbox);
    ImportDefinition d = definitionFromRequest(r, "Mail from " + file);
    if (saveImportDefinition(d) != SaveOutcome::Saved) return 0;
    return d.record.ID;
}

// A task due a minute before `at`, repeating on Mondays.
ULONG addDueTask(const std::vector<ULONG>& steps, const DateTime& at) {
    TaskDefinition t;
    t.record.DESCRIPTION = "Mail twice";
    t.record.RUNNEXTDATE = at.date;
    t.record.RUNNEXTTIME = at.time - 6000;
    t.record.DAYS[1] = 1;
    t.record.DODUPELIM = 1;
    t.record.DOPURGE = 1;
    t.record.DOCOUNT = 1;
    t.record.DOINDEX = 1;
    t.record.ACTIVE = 1;
    t.steps = steps;
    if (saveTask(t) != SaveOutcome::Saved) return 0;
    return t.record.ID;
}

TaskStartDialog* countdown(MainFrame& frame) {
    settle();
    return qobject_cast<TaskStartDialog*>(frame.windows().widgetOf("StartTask"));
}

}  // namespace

class TaskWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void dueTaskRunsFromTheIdleCheckAndTheLogShowsEveryItem();
    void postponeSkipAndDeactivateFromTheCountdown();
    void countdownEndsWithoutAStartWhileSomethingIsBusy();
    void frameClosesAfterTheRunWhenTheSettingAsks();
    void taskEditorStoresScheduleJobsAndSteps();
    void aFailedStepShowsItsReasonInTheLog();
};

void TaskWindowsTest::dueTaskRunsFromTheIdleCheckAndTheLogShowsEveryItem() {
    Installation inst;
    TestClock clock({Monday, timeOf(12, 0, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    BYTE indexed = 0;
    // Indexed by the task: the database is set up for automatic indexing.
    QVERIFY(toggleAutoIndexing(home, indexed));
    if (indexed == 0) QVERIFY(toggleAutoIndexing(home, indexed));
    QCOMPARE(int(indexed), 1);
    const ULONG first = addDefinition(inst, home, "one.mbox", "one");
    const ULONG second = addDefinition(inst, home, "two.mbox", "two");
    const ULONG task = addDueTask({first, second}, clock.now());
    QVERIFY(task != 0);

    MainFrame frame(inst.settings, false);
    frame.start();
    TaskScheduler& scheduler = TaskScheduler::of(frame);
    QVERIFY(scheduler.installed());
    QCOMPARE(scheduler.intervalSeconds(), 15);
    QVERIFY(scheduler.check());
    QCOMPARE(int(Mem.DoTask), int(TaskDue));
    TaskStartDialog* dialog = countdown(frame);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral(" Task processing starts in 60 seconds"));
    // The countdown runs out with "run now": the task starts at the tick after.
    for (int i = 0; i < 12; ++i) dialog->tick();
    QCOMPARE(dialog->windowTitle(), QStringLiteral(" Task processing starting up!"));
    screenshot(dialog, QStringLiteral("task_start_starting"));
    dialog->tick();
    settle();
    QVERIFY(frame.windows().TmGetId("TaskRun"));
    QTRY_VERIFY_WITH_TIMEOUT(!frame.windows().TmGetId("TaskRun"), 30000);
    settle();
    QCOMPARE(int(Mem.DoTask), int(TaskIdle));
    QVERIFY(frame.isVisible());  // the exit setting is off

    // Both steps and every job ran, each logged with its result.
    const std::vector<TLORecord> runs = readTaskLog(task);
    QCOMPARE(runs.size(), std::size_t{1});
    QCOMPARE(int(runs.front().RESULTCODE), int(ResultCompleted));
    std::vector<ULONG> types;
    for (const TLIRecord& item : readTaskLogItems(runs.front().TASKLOGID)) {
        types.push_back(item.TYPE);
        QCOMPARE(int(item.RESULTCODE), int(ResultCompleted));
    }
    // The purge counts too: no count of its own. (The test clock stands
    // still, so the items' start moments, which order them, nearly agree.)
    std::sort(types.begin(), types.end());
    QCOMPARE(types, (std::vector<ULONG>{LogItemImport, LogItemImport, LogItemPurge, LogItemIndex, LogItemDuplicates}));
    // A Monday task is next due the Monday after.
    QCOMPARE(readTask(task)->record.RUNNEXTDATE, Monday + 7);
    QVERIFY(!scheduler.check());

    frame.runCommand(CommandId::ShowTaskLog);
    auto* log = qobject_cast<TaskLogWindow*>(frame.windows().widgetOf("ShowLog"));
    QVERIFY(log);
    QVERIFY(log->showTask(task));
    QCOMPARE(log->runs()->topLevelItemCount(), 1);
    QCOMPARE(log->runs()->topLevelItem(0)->text(4), QStringLiteral("OK"));
    QCOMPARE(log->items()->topLevelItemCount(), 5);
    QStringList procedures;
    for (int i = 0; i < 5; ++i) procedures << log->items()->topLevelItem(i)->text(1);
    QVERIFY(procedures.contains(QStringLiteral("Mail from one.mbox")));
    QVERIFY(procedures.contains(QStringLiteral("Mail from two.mbox")));
    for (int i = 0; i < 5; ++i) QCOMPARE(log->items()->topLevelItem(i)->text(4), QStringLiteral("OK"));
    screenshot(log, QStringLiteral("task_log"));
}

void TaskWindowsTest::postponeSkipAndDeactivateFromTheCountdown() {
    Installation inst;
    TestClock clock({Monday, timeOf(23, 0, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    const ULONG task = addDueTask({addDefinition(inst, home, "one.mbox", "one")}, clock.now());
    MainFrame frame(inst.settings, false);
    frame.start();
    TaskScheduler& scheduler = TaskScheduler::of(frame);

    // Postponed by 2 hours at 23:00: nothing starts before 01:00.
    QVERIFY(scheduler.check());
    TaskStartDialog* dialog = countdown(frame);
    QVERIFY(dialog);
    dialog->choose(TaskStartDialog::Postpone, 2);
    screenshot(dialog, QStringLiteral("task_start"));
    dialog->ok();
    settle();
    QVERIFY(!frame.windows().TmGetId("StartTask"));
    QCOMPARE(int(Mem.DoTask), int(TaskIdle));
    QCOMPARE(taskPostponement(), (DateTime{Monday + 1, timeOf(1, 0, 0)}));
    clock.set(Monday + 1, timeOf(0, 59, 0));
    QVERIFY(!scheduler.check());
    clock.set(Monday + 1, timeOf(1, 0, 0));
    QVERIFY(scheduler.check());

    // Skipped: the next run moves on to the next Monday without a run.
    dialog = countdown(frame);
    QVERIFY(dialog);
    dialog->choose(TaskStartDialog::Skip);
    dialog->ok();
    settle();
    QCOMPARE(readTask(task)->record.RUNNEXTDATE, Monday + 7);
    QVERIFY(readTaskLog(task).empty());
    QVERIFY(!scheduler.check());

    // Due again: deactivated from the countdown.
    clock.set(Monday + 7, timeOf(23, 0, 0));
    QVERIFY(scheduler.check());
    dialog = countdown(frame);
    dialog->choose(TaskStartDialog::Deactivate);
    dialog->ok();
    settle();
    QCOMPARE(int(readTask(task)->record.ACTIVE), 0);
    QVERIFY(!scheduler.check());
    clearTaskPostponement();
}

void TaskWindowsTest::countdownEndsWithoutAStartWhileSomethingIsBusy() {
    Installation inst;
    TestClock clock({Monday, timeOf(12, 0, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    addDueTask({addDefinition(inst, home, "one.mbox", "one")}, clock.now());
    MainFrame frame(inst.settings, false);
    frame.start();
    TaskScheduler& scheduler = TaskScheduler::of(frame);
    QVERIFY(scheduler.check());
    TaskStartDialog* dialog = countdown(frame);
    QVERIFY(dialog);
    raiseBusyCounter();  // as the mail database form does
    dialog->ok();  // run now, refused while busy
    QVERIFY(inst.ui.sawText("Another Task is already active!"));
    for (int i = 0; i < 12; ++i) dialog->tick();
    settle();
    QVERIFY(!frame.windows().TmGetId("StartTask"));
    QVERIFY(!frame.windows().TmGetId("TaskRun"));
    QCOMPARE(int(Mem.DoTask), int(TaskIdle));
    QVERIFY(!scheduler.check());  // busy
    lowerBusyCounter();
    QVERIFY(scheduler.check());   // found due again
    countdown(frame)->ok();
    settle();
    QTRY_VERIFY_WITH_TIMEOUT(!frame.windows().TmGetId("TaskRun"), 30000);
}

void TaskWindowsTest::frameClosesAfterTheRunWhenTheSettingAsks() {
    Installation inst;
    TestClock clock({Monday, timeOf(12, 0, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    const ULONG task = addDueTask({addDefinition(inst, home, "one.mbox", "one")}, clock.now());
    inst.settings.setValue(frame::ItemExitAfterTasks, 1);
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(frame.isVisible());
    QVERIFY(TaskScheduler::of(frame).check());
    TaskStartDialog* dialog = countdown(frame);
    QVERIFY(dialog);
    dialog->ok();
    settle();
    QVERIFY(frame.windows().TmGetId("TaskRun"));
    QTRY_VERIFY_WITH_TIMEOUT(!frame.isVisible(), 30000);
    QCOMPARE(int(Mem.DoTask), int(TaskIdle));
    // The run finished and was logged before the frame went.
    const std::vector<TLORecord> runs = readTaskLog(task);
    QCOMPARE(runs.size(), std::size_t{1});
    QCOMPARE(int(runs.front().RESULTCODE), int(ResultCompleted));
}

void TaskWindowsTest::taskEditorStoresScheduleJobsAndSteps() {
    Installation inst;
    TestClock clock({Monday, timeOf(9, 30, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    const ULONG definition = addDefinition(inst, home, "one.mbox", "one");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::ScheduleTasks);
    auto* window = qobject_cast<TasksWindow*>(frame.windows().widgetOf("BrowseTasks"));
    QVERIFY(window);
    QCOMPARE(window->findChild<QGroupBox*>()->title(), QStringLiteral("Scheduled Tasks [0]"));

    TaskEditor* editor = window->openEditor(InsertRecord);
    QCOMPARE(editor->windowTitle(), QStringLiteral(" Add New Task"));
    QCOMPARE(editor->acceptButton()->text(), QStringLiteral(" Accept new Task"));
    editor->description()->setText(QStringLiteral("Twice a month"));
    editor->nextDate()->setText(QStringLiteral("2026-12-10"));
    // A date without a time is not accepted; the time field is selected.
    QVERIFY(!editor->acceptTask());
    QVERIFY(editor->nextTime()->hasFocus() || QApplication::focusWidget() == nullptr);
    editor->nextTime()->setText(QStringLiteral("06:30"));
    editor->monthDay(0)->setValue(10);
    editor->monthDay(1)->setValue(25);
    editor->count()->setChecked(true);
    editor->runNow()->setChecked(true);
    QVERIFY(editor->chooseStep(definition, true));
    screenshot(editor, QStringLiteral("task_editor"));
    QVERIFY(editor->acceptTask());
    settle();
    QCOMPARE(window->list()->topLevelItemCount(), 1);
    const ULONG id = window->highlighted();
    const TaskDefinition stored = *readTask(id);
    QCOMPARE(stored.record.RUNNEXTDATE, dayNumber(2026, 12, 10));
    QCOMPARE(stored.record.RUNNEXTTIME, timeOf(6, 30, 0));
    QCOMPARE(int(stored.record.MONTHDAYS[1]), 25);
    QCOMPARE(int(stored.record.DOCOUNT), 1);
    QCOMPARE(int(stored.record.ACTIVE), 1);
    QCOMPARE(stored.record.RUNNOWDATE, Monday);
    QCOMPARE(stored.steps, std::vector<ULONG>{definition});
    QCOMPARE(window->list()->topLevelItem(0)->text(1), QStringLiteral("now"));
    screenshot(window, QStringLiteral("scheduled_tasks"));

    // "Deactivate all tasks" from the editor keeps the check from starting it.
    editor = window->openEditor(ChangeRecord);
    QCOMPARE(editor->nextTime()->text(), QStringLiteral("06:30"));
    editor->deactivateAll()->setChecked(true);
    QVERIFY(editor->acceptTask());
    settle();
    QVERIFY(tasksDeactivated());
    QVERIFY(window->deactivateAll()->isChecked());
    QVERIFY(!TaskScheduler::of(frame).check());
    window->deactivateAll()->setChecked(false);
    QVERIFY(!tasksDeactivated());

    editor = window->openEditor(DeleteRecord);
    QCOMPARE(editor->acceptButton()->text(), QStringLiteral(" Confirm deletion of Task"));
    QVERIFY(editor->acceptTask());
    settle();
    QCOMPARE(window->list()->topLevelItemCount(), 0);
}

void TaskWindowsTest::aFailedStepShowsItsReasonInTheLog() {
    Installation inst;
    TestClock clock({Monday, timeOf(12, 0, 0)});
    ScopedClock useClock(clock);
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    const ULONG step = addDefinition(inst, home, "one.mbox", "one");
    ImportDefinition gone = *readImportDefinition(step);
    gone.record.MAILBOX = 999999;
    QCOMPARE(int(saveImportDefinition(gone)), int(SaveOutcome::Saved));
    const ULONG task = addDueTask({step}, clock.now());
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(TaskScheduler::of(frame).check());
    TaskStartDialog* dialog = countdown(frame);
    QVERIFY(dialog);
    dialog->ok();
    QTRY_VERIFY_WITH_TIMEOUT(int(Mem.DoTask) == int(TaskIdle), 30000);
    settle();

    frame.runCommand(CommandId::ShowTaskLog);
    auto* log = qobject_cast<TaskLogWindow*>(frame.windows().widgetOf("ShowLog"));
    QVERIFY(log);
    QVERIFY(log->showTask(task));
    QCOMPARE(log->items()->topLevelItemCount(), 1);
    const QTreeWidgetItem* item = log->items()->topLevelItem(0);
    QCOMPARE(item->text(4), QStringLiteral("Error"));
    QCOMPARE(item->text(5), QStringLiteral("import definition %1: the mailbox does not exist").arg(step));
    screenshot(log, QStringLiteral("task_log_reason"));
}

static RegisterTest<TaskWindowsTest> registeredTaskWindowsTest;

}  // namespace pm::test

#include "task_windows_test.moc"
