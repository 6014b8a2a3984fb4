// The task run as one job under a test clock: two import steps and the
// maintenance jobs with their log items, a step that fails part-way, a stop
// request, and the due search.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/dates.h"
#include "common/globals.h"
#include "import/definitions/import_definitions.h"
#include "support/installation_fixture.h"
#include "support/mailbox_file.h"
#include "tables/catalog/mail_database.h"
#include "tables/services/library_services.h"
#include "taskrun/task_run.h"
#include "tasks/task_log.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"

namespace pm::test {
namespace {

class TaskRuns : public InstallationTest {
protected:
    void SetUp() override {
        InstallationTest::SetUp();
        mailbox = createMailDatabase("Box", "me@home.example", {});
        ASSERT_NE(mailbox, 0u);
        std::filesystem::create_directories(root.path() + "/in");
        writeMailbox(root.path() + "/in/a.mbox", 5, "a");
        writeMailbox(root.path() + "/in/b.mbox", 4, "b");
    }

    ULONG definition(const std::string& file) {
        ImportDefinition d;
        d.record.DESCRIPTION = file;
        d.record.FILETYPE = 35;
        d.record.IMPPATH = root.path() + "/in";
        d.record.SELMETHOD = SelectFiles;
        d.record.MAILBOX = mailbox;
        d.record.MAILMSG = 1;
        d.fileEntries = {file};
        EXPECT_EQ(saveImportDefinition(d), SaveOutcome::Saved);
        return d.record.ID;
    }

    // An active task due at 10:00 today by the test clock, repeating on
    // Tuesdays (8 December 2026 is one).
    ULONG task(std::vector<ULONG> steps, bool purge, bool count) {
        TaskDefinition t;
        t.record.DESCRIPTION = "nightly";
        t.record.ACTIVE = 1;
        t.record.RUNNEXTDATE = today;
        t.record.RUNNEXTTIME = timeOf(10, 0, 0);
        t.record.DAYS[2] = 1;
        t.record.DODUPELIM = 1;
        t.record.DOPURGE = purge;
        t.record.DOCOUNT = count;
        t.record.DOINDEX = 1;
        t.steps = std::move(steps);
        EXPECT_EQ(saveTask(t), SaveOutcome::Saved);
        return t.record.ID;
    }

    std::vector<ULONG> itemTypes(ULONG logId) {
        std::vector<ULONG> types;
        for (const TLIRecord& i : readTaskLogItems(logId)) types.push_back(i.TYPE);
        return types;
    }

    const LONG today = dayNumber(2026, 12, 8);
    TestClock clock{{today, timeOf(10, 5, 0)}};
    ScopedClock useClock{clock};
    ULONG mailbox = 0;
};

TEST_F(TaskRuns, TwoStepsThenEveryJobWithItsLogItem) {
    const ULONG a = definition("a.mbox"), b = definition("b.mbox");
    const ULONG id = task({b, a}, false, true);
    ASSERT_TRUE(findDueTask(clock.now()));

    TaskRun run(id);
    EXPECT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(run.outcome(), TaskRunOutcome::Completed);
    EXPECT_EQ(Mem.DoTask, TaskIdle);
    ASSERT_EQ(run.reports().size(), 5u);
    EXPECT_EQ(run.reports()[0].imported + run.reports()[1].imported, 9);
    // Steps in key order, then dedupe, count (no purge) and index of the one database.
    EXPECT_EQ(itemTypes(run.logId()), (std::vector<ULONG>{LogItemImport, LogItemImport, LogItemDuplicates, LogItemCount,
                                                          LogItemIndex}));
    for (const TLIRecord& item : readTaskLogItems(run.logId())) {
        EXPECT_EQ(item.RESULTCODE, ResultCompleted) << item.TYPE;
        EXPECT_NE(item.DATEFINISHED, 0);
    }
    EXPECT_EQ(readTaskLogItems(run.logId())[0].BATCHID, std::min(a, b));
    const std::vector<TLORecord> log = readTaskLog(id);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].RESULTCODE, ResultCompleted);

    const TASRecord stored = readTask(id)->record;
    EXPECT_EQ(stored.RUNNEXTDATE, today + 7);
    EXPECT_EQ(stored.ACTIVE, 1);
    EXPECT_FALSE(findDueTask(clock.now()));

    // Run by hand once more: the messages are there already.
    TaskRun again(id, {.onlyWhenDue = false});
    EXPECT_EQ(runToEnd(again), JobStatus::Done);
    EXPECT_EQ(again.reports()[0].imported, 0);
    EXPECT_EQ(again.logId(), run.logId() + 1);
}

TEST_F(TaskRuns, AStepThatCannotRunEndsTheTaskAndDeactivatesIt) {
    const ULONG a = definition("a.mbox"), b = definition("b.mbox");
    const ULONG id = task({a, b}, true, false);
    ASSERT_TRUE(deleteImportDefinition(b).deleted);
    // The step went with its definition; a definition deleted by another
    // process after the task was read fails its step instead.
    TaskDefinition t = *readTask(id);
    ASSERT_EQ(t.steps.size(), 1u);
    ImportDefinition broken = *readImportDefinition(a);
    broken.record.MAILBOX = 999999;
    ASSERT_EQ(saveImportDefinition(broken), SaveOutcome::Saved);

    TaskRun run(id);
    EXPECT_EQ(runToEnd(run), JobStatus::Failed);
    EXPECT_EQ(run.outcome(), TaskRunOutcome::Failed);
    EXPECT_EQ(Mem.DoTask, TaskIdle);
    ASSERT_EQ(run.reports().size(), 1u);
    EXPECT_EQ(run.reports()[0].message, "import definition " + std::to_string(a) + ": the mailbox does not exist");
    EXPECT_EQ(itemTypes(run.logId()), (std::vector<ULONG>{LogItemImport}));
    EXPECT_EQ(readTaskLogItems(run.logId())[0].MESSAGE.str(), run.reports()[0].message);
    EXPECT_EQ(readTaskLog(id)[0].RESULTCODE, ResultNotCompleted);
    const TASRecord stored = readTask(id)->record;
    EXPECT_EQ(stored.ACTIVE, 0);
    EXPECT_EQ(stored.RESULTCODE, ResultNotCompleted);
}

TEST_F(TaskRuns, AnImportThatFindsNothingKeepsTheMessageItWouldHaveShown) {
    const ULONG missing = definition("missing.mbox");
    const ULONG id = task({missing}, false, false);
    TaskRun run(id);
    EXPECT_EQ(runToEnd(run), JobStatus::Failed);
    ASSERT_EQ(run.reports().size(), 1u);
    EXPECT_NE(run.reports()[0].message.find("No messages found in selected file(s)!"), std::string::npos)
        << run.reports()[0].message;
    EXPECT_TRUE(ui.empty());  // no box while the task ran
    EXPECT_EQ(readTask(id)->record.ACTIVE, 0);
}

TEST_F(TaskRuns, AnItemSharedByJobsKeepsEveryReasonWithinItsField) {
    TaskLogWriter log(1);
    ASSERT_TRUE(log.start(clock.now()));
    ASSERT_TRUE(log.startItem(LogItemPurge, 0, clock.now()));
    EXPECT_TRUE(log.finishItem(LogItemPurge, ResultCompleted, clock.now()));
    EXPECT_TRUE(log.finishItem(LogItemPurge, ResultNotCompleted, clock.now(), "database 3: the job ended failed"));
    EXPECT_TRUE(log.finishItem(LogItemPurge, ResultNotCompleted, clock.now(), "database 4: " + std::string(300, 'x')));
    const TLIRecord item = readTaskLogItems(1).at(0);
    EXPECT_EQ(item.RESULTCODE, ResultNotCompleted);
    const std::string text = item.MESSAGE.str();
    EXPECT_EQ(text.size(), decltype(item.MESSAGE)::width);
    EXPECT_EQ(text.rfind("database 3: the job ended failed; database 4: xxx", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 3), "...");
}

TEST_F(TaskRuns, AStoppedRunStaysDueAndANotDueRunWritesNothing) {
    const ULONG a = definition("a.mbox");
    const ULONG id = task({a}, true, false);

    clock.set(today, timeOf(9, 59, 0));
    TaskRun early(id);
    EXPECT_EQ(runToEnd(early), JobStatus::Done);
    EXPECT_EQ(early.outcome(), TaskRunOutcome::NotDue);
    EXPECT_TRUE(readTaskLog(id).empty());

    clock.set(today, timeOf(10, 0, 0));
    TaskRun run(id);
    while (run.state() != TaskRun::State::Import) ASSERT_EQ(run.step(), JobStatus::Running);
    EXPECT_EQ(Mem.DoTask, TaskRunning);
    EXPECT_TRUE(run.requestStop(StopRequest::Now));
    EXPECT_EQ(runToEnd(run), JobStatus::Stopped);
    EXPECT_EQ(Mem.DoTask, TaskIdle);
    const TASRecord stored = readTask(id)->record;
    EXPECT_EQ(stored.ACTIVE, 1);
    EXPECT_EQ(stored.RUNNEXTDATE, today);
    EXPECT_TRUE(findDueTask(clock.now()));
    EXPECT_EQ(readTaskLog(id)[0].RESULTCODE, ResultNotCompleted);
    EXPECT_EQ(readTaskLogItems(readTaskLog(id)[0].TASKLOGID)[0].MESSAGE.str(), run.reports()[0].message);
    EXPECT_FALSE(run.reports()[0].message.empty());
}

TEST_F(TaskRuns, DueSearchPassesOverTasksWithoutStepsAndInactiveOnes) {
    const ULONG a = definition("a.mbox");
    const ULONG empty = task({}, false, false);
    const ULONG inactive = task({a}, false, false);
    const TaskDefinition asRead = *readTask(inactive);
    TaskDefinition t = asRead;
    t.record.ACTIVE = 0;
    ASSERT_EQ(saveTask(t, &asRead), SaveOutcome::Saved);
    EXPECT_FALSE(findDueTask(clock.now()));
    const ULONG due = task({a}, false, false);
    ASSERT_TRUE(findDueTask(clock.now()));
    EXPECT_EQ(findDueTask(clock.now())->ID, due);
    EXPECT_FALSE(findDueTask(clock.now(), {due}));
    EXPECT_NE(empty, due);

    // Skipping a run moves a repeating task on a week; deactivating ends it.
    ASSERT_TRUE(skipTaskRun(due, clock.now()));
    EXPECT_EQ(readTask(due)->record.RUNNEXTDATE, today + 7);
    EXPECT_FALSE(findDueTask(clock.now()));
    ASSERT_TRUE(setTaskActive(inactive, true));
    EXPECT_EQ(findDueTask(clock.now())->ID, inactive);
    ASSERT_TRUE(setTaskActive(inactive, false));

    // The scheduler's gate in this process: postponement and busy counter.
    EXPECT_TRUE(schedulerMayStartNow(clock.now()));
    raiseBusyCounter();  // an editing window is open
    EXPECT_TRUE(taskBusy());
    EXPECT_FALSE(schedulerMayStartNow(clock.now()));
    lowerBusyCounter();
    EXPECT_FALSE(taskBusy());
    EXPECT_TRUE(schedulerMayStartNow(clock.now()));
    setTaskPostponement(postponedUntil(clock.now(), 1));
    EXPECT_FALSE(schedulerMayStartNow(clock.now()));
    clearTaskPostponement();
    ASSERT_TRUE(setTasksDeactivated(true));
    EXPECT_FALSE(schedulerMayStartNow(clock.now()));
    ASSERT_TRUE(setTasksDeactivated(false));
    EXPECT_TRUE(schedulerMayStartNow(clock.now()));
}

}  // namespace
}  // namespace pm::test
