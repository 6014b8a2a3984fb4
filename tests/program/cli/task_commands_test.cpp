// Import definitions and scheduled tasks from command mode: formats and the
// closest names, a task due a minute ago run by run-due with its jobs and
// log, a failing step that deactivates its task while the next task runs,
// a second run-due that finds nothing, and one that meets another process's
// task lock.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "storage/named_lock.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

std::string firstField(const std::string& line) { return line.substr(0, line.find('\t')); }

// Local time `minutes` from now as --at takes it.
std::string minutesFromNow(int minutes) {
    const std::time_t t = std::time(nullptr) + minutes * 60;
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M", &local);
    return text;
}

int lineCount(const std::string& text, const std::string& start) {
    int n = 0;
    for (std::size_t p = 0; p < text.size();) {
        const std::size_t end = text.find('\n', p);
        if (text.compare(p, start.size(), start) == 0) ++n;
        if (end == std::string::npos) break;
        p = end + 1;
    }
    return n;
}

class TaskCommands : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.path() + "/inst";
        ASSERT_EQ(run({"init"}).code, 0);
        ASSERT_EQ(run({"db", "create", "mail", "Box", "--address", "me@home.example"}).code, 0);
        std::filesystem::create_directories(dir.path() + "/in");
        writeMailbox(dir.path() + "/in/inbox.mbox", 6, "task");
    }

    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root});
        return runCommand(std::move(args));
    }

    // Creates a definition; its id.
    std::string procedure(const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"procedure", "create", name, "--format", "Generic Mail Type 2", "--mailbox", "Box"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult r = run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        return firstField(r.out);
    }

    std::string task(const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"task", "create", name};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult r = run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        return firstField(r.out);
    }

    std::string cfg() const { return root + "/CFG/postmoor.db"; }
    std::string mails() const { return storeValue(root + "/F1/postmoor.db", "SELECT count(*) FROM Mail"); }

    TempDir dir;
    std::string root;
};

TEST_F(TaskCommands, FormatsNameTheMboxReaderAndImportSuggestsClosestNames) {
    const CommandResult formats = run({"formats"});
    ASSERT_EQ(formats.code, 0);
    EXPECT_EQ(lineCount(formats.out, ""), 35);
    EXPECT_NE(formats.out.find("35\tGeneric Mail Type 2\t*.*\ta Unix mbox"), std::string::npos);

    const CommandResult unknown = run({"import", "--format", "mbox", "--mailbox", "Box", dir.path() + "/in/inbox.mbox"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("no format \"mbox\"; the closest:\n  Generic Mail Type 2"), std::string::npos) << unknown.err;
    const CommandResult typo = run({"procedure", "create", "x", "--format", "Eudorra", "--mailbox", "Box", "f"});
    EXPECT_EQ(typo.code, 2);
    EXPECT_NE(typo.err.find("\n  Eudora"), std::string::npos) << typo.err;
}

TEST_F(TaskCommands, RunDueImportsRunsTheJobsAndLogsThenFindsNothing) {
    const std::string def = procedure("Inbox", {"--method", "dir", "--mask", "*.mbox", dir.path() + "/in"});
    const CommandResult shown = run({"procedure", "show", def});
    EXPECT_NE(shown.out.find("method\tdir\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("entry\t*.mbox\n"), std::string::npos);

    const std::string id = task("Nightly", {"--procedure", def, "--dedupe", "--purge", "--index", "--at", minutesFromNow(-1),
                                            "--weekdays", "Su,Mo,Tu,We,Th,Fr,Sa"});
    const CommandResult due = run({"task", "run-due"});
    ASSERT_EQ(due.code, 0) << due.out << due.err;
    EXPECT_NE(due.out.find("task\t" + id + "\tcompleted\tNightly"), std::string::npos) << due.out;
    EXPECT_NE(due.out.find("\tImport\tprocedure " + def + "\tOK\timported 6"), std::string::npos) << due.out;
    for (const char* job : {"Duplicate persons", "Purge", "Word index"})
        EXPECT_NE(due.out.find(std::string("\t") + job + "\tdatabase "), std::string::npos) << job;
    EXPECT_EQ(mails(), "6");
    EXPECT_NE(storeValue(root + "/F1/postmoor.db", "SELECT count(*) FROM MasIdx"), "0");

    // Every weekday: next due tomorrow at the same time, still active.
    const CommandResult shownTask = run({"task", "show", id});
    EXPECT_NE(shownTask.out.find("active\t1\n"), std::string::npos) << shownTask.out;
    EXPECT_NE(shownTask.out.find("result\tOK\n"), std::string::npos);
    EXPECT_EQ(storeValue(cfg(), "SELECT RUNNEXTDATE - LASTRUNDATE FROM TAS WHERE ID = " + id), "1");

    const CommandResult log = run({"task", "log", "--task", id});
    EXPECT_EQ(lineCount(log.out, "run\t"), 1);
    EXPECT_EQ(lineCount(log.out, "item\t"), 4) << log.out;
    EXPECT_EQ(log.out.find("\tError"), std::string::npos) << log.out;

    const CommandResult again = run({"task", "run-due"});
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(lineCount(run({"task", "log"}).out, "run\t"), 1);
    EXPECT_EQ(mails(), "6");
}

TEST_F(TaskCommands, AFailingStepStopsItsTaskAndTheNextTaskStillRuns) {
    const std::string gone = procedure("Gone", {dir.path() + "/in/inbox.mbox"});
    const std::string good = procedure("Good", {dir.path() + "/in/inbox.mbox"});
    // The mailbox the first definition names no longer exists.
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE BAT SET MAILBOX = 999 WHERE ID = " + gone));
    const std::string broken = task("Broken", {"--procedure", gone, "--count", "--at", minutesFromNow(-2)});
    const std::string fine = task("Fine", {"--procedure", good, "--count", "--at", minutesFromNow(-1)});

    const CommandResult due = run({"task", "run-due"});
    EXPECT_EQ(due.code, 1);
    EXPECT_NE(due.out.find("task\t" + broken + "\tfailed\tBroken"), std::string::npos) << due.out;
    EXPECT_NE(due.out.find("\tImport\tprocedure " + gone + "\tError\timport definition " + gone +
                           ": the mailbox does not exist"),
              std::string::npos)
        << due.out;
    EXPECT_NE(due.err.find("the mailbox does not exist"), std::string::npos);
    EXPECT_NE(due.out.find("task\t" + fine + "\tcompleted\tFine"), std::string::npos);
    EXPECT_EQ(mails(), "6");

    EXPECT_EQ(storeValue(cfg(), "SELECT ACTIVE || ' ' || RESULTCODE FROM TAS WHERE ID = " + broken), "0 2");
    EXPECT_EQ(storeValue(cfg(), "SELECT RESULTCODE FROM TIM WHERE TASKID = " + broken), "2");
    EXPECT_EQ(storeValue(cfg(), "SELECT count(*) FROM TLO WHERE RESULTCODE = 2 AND TASKID = " + broken), "1");
    // The one-off task ran and is deactivated without a next run.
    EXPECT_EQ(storeValue(cfg(), "SELECT ACTIVE || ' ' || RUNNEXTDATE FROM TAS WHERE ID = " + fine), "0 0");
    EXPECT_EQ(run({"task", "run-due"}).out, "");
    // The reason stays in the log after the run's own output is gone.
    const CommandResult log = run({"task", "log", "--task", broken});
    EXPECT_NE(log.out.find("\tError\timport definition " + gone + ": the mailbox does not exist\n"), std::string::npos)
        << log.out;
    const CommandResult json = run({"task", "log", "--task", broken, "--json"});
    EXPECT_NE(json.out.find("\"message\": \"import definition " + gone), std::string::npos) << json.out;
}

TEST_F(TaskCommands, ALogOfTheFirstLayoutKeepsItsItemsAndGainsTheirMessages) {
    const std::string gone = procedure("Gone", {dir.path() + "/in/inbox.mbox"});
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE BAT SET MAILBOX = 999 WHERE ID = " + gone));
    const std::string id = task("Broken", {"--procedure", gone});
    ASSERT_EQ(run({"task", "run", id}).code, 1);
    // The item table as the first release wrote it: no message column.
    const char* const columns = "TASKLOGID, TYPE, BATCHID, DATESTARTED, DATEFINISHED, TIMESTARTED, TIMEFINISHED, RESULTCODE";
    ASSERT_TRUE(storeExecute(cfg(), std::string("CREATE TABLE OldTLI AS SELECT ") + columns + " FROM TLI; DROP TABLE TLI;"
                                    "CREATE TABLE TLI (TASKLOGID INTEGER NOT NULL DEFAULT 0, TYPE INTEGER NOT NULL DEFAULT 0,"
                                    " BATCHID INTEGER NOT NULL DEFAULT 0, DATESTARTED INTEGER NOT NULL DEFAULT 0,"
                                    " DATEFINISHED INTEGER NOT NULL DEFAULT 0, TIMESTARTED INTEGER NOT NULL DEFAULT 0,"
                                    " TIMEFINISHED INTEGER NOT NULL DEFAULT 0, RESULTCODE INTEGER NOT NULL DEFAULT 0);"
                                    "INSERT INTO TLI SELECT * FROM OldTLI; DROP TABLE OldTLI;"
                                    "CREATE UNIQUE INDEX TLI_IDKEY ON TLI (TASKLOGID, TYPE, DATESTARTED, TIMESTARTED);"));
    ASSERT_EQ(storeValue(cfg(), "SELECT count(*) FROM pragma_table_info('TLI') WHERE name = 'MESSAGE'"), "0");

    // Read as it is: the old item, its message blank.
    const CommandResult log = run({"task", "log", "--task", id});
    EXPECT_EQ(log.code, 0) << log.err;
    EXPECT_EQ(log.err, "");
    EXPECT_NE(log.out.find("\tImport\t" + gone + "\t"), std::string::npos) << log.out;
    EXPECT_NE(log.out.find("\tError\t\n"), std::string::npos) << log.out;
    EXPECT_EQ(storeValue(cfg(), "SELECT count(*) FROM TLI WHERE MESSAGE = ''"), "1");

    // A new run keeps its reason beside the old item.
    ASSERT_EQ(run({"task", "run", id}).code, 1);
    EXPECT_EQ(storeValue(cfg(), "SELECT count(*) FROM TLI"), "2");
    EXPECT_EQ(storeValue(cfg(), "SELECT MESSAGE FROM TLI WHERE TASKLOGID = 2"),
              "import definition " + gone + ": the mailbox does not exist");
    EXPECT_EQ(storeValue(cfg(), "SELECT MESSAGE FROM TLI WHERE TASKLOGID = 1"), "");
}

TEST_F(TaskCommands, RunDueLeavesTasksToTheProcessHoldingTheTaskLock) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    const std::string def = procedure("Inbox", {dir.path() + "/in/inbox.mbox"});
    const std::string id = task("Soon", {"--procedure", def, "--at", minutesFromNow(-1)});
    // "Deactivate all tasks" holds run-due back as it holds the scheduler.
    ASSERT_EQ(run({"config", "set", "tasks-off", "1"}).code, 0);
    const CommandResult off = run({"task", "run-due"});
    EXPECT_EQ(off.code, 0);
    EXPECT_EQ(off.out, "");
    EXPECT_NE(off.err.find("scheduled tasks are deactivated"), std::string::npos) << off.err;
    ASSERT_EQ(run({"config", "set", "tasks-off", "0"}).code, 0);
    {
        NamedLock held(root + "/CFG", "tasks");
        ASSERT_EQ(held.tryTake(), StorageStatus::Ok);
        const CommandResult other = runProgram(root, "task run-due");
        EXPECT_EQ(other.code, 0);
        EXPECT_EQ(other.out, "");
        EXPECT_NE(other.err.find("another process is running a task"), std::string::npos) << other.err;
        EXPECT_EQ(storeValue(cfg(), "SELECT LASTRUNDATE || ' ' || ACTIVE FROM TAS WHERE ID = " + id), "0 1");
    }
    const CommandResult due = runProgram(root, "task run-due");
    EXPECT_EQ(due.code, 0) << due.err;
    EXPECT_NE(due.out.find("task\t" + id + "\tcompleted"), std::string::npos) << due.out << due.err;
    EXPECT_EQ(mails(), "6");
}

TEST_F(TaskCommands, DeactivateAllHoldsEveryScheduledRunBackUntilActivateAll) {
    const std::string def = procedure("Inbox", {dir.path() + "/in/inbox.mbox"});
    const std::string id = task("Soon", {"--procedure", def, "--at", minutesFromNow(-1)});
    const CommandResult off = run({"task", "deactivate-all"});
    EXPECT_EQ(off.code, 0) << off.err;
    EXPECT_EQ(off.out, "tasks\tdeactivated\n");
    // The setting the desktop's "Deactivate all tasks" switches show.
    EXPECT_EQ(run({"config", "get", "tasks-off"}).out, "1\n");
    const CommandResult held = run({"task", "run-due"});
    EXPECT_EQ(held.out, "");
    EXPECT_NE(held.err.find("scheduled tasks are deactivated"), std::string::npos) << held.err;
    EXPECT_NE(mails(), "6");
    EXPECT_EQ(run({"task", "deactivate-all", "now"}).code, 2);

    const CommandResult on = run({"task", "activate-all"});
    EXPECT_EQ(on.code, 0) << on.err;
    EXPECT_EQ(on.out, "tasks\tactive\n");
    const CommandResult due = run({"task", "run-due"});
    EXPECT_EQ(due.code, 0) << due.err;
    EXPECT_NE(due.out.find("task\t" + id + "\tcompleted"), std::string::npos) << due.out;
    EXPECT_EQ(mails(), "6");
}

TEST_F(TaskCommands, DefinitionsAndTasksAreCheckedAndDeletedTogether) {
    EXPECT_EQ(run({"procedure", "create", "Files", "--format", "Generic Mail Type 2", "--mailbox", "Box", "--mask", "*.x",
                   dir.path() + "/in/inbox.mbox"})
                  .code,
              2);
    const std::string def = procedure("Inbox", {dir.path() + "/in/inbox.mbox"});
    EXPECT_EQ(run({"task", "create", "T", "--procedure", "424242"}).code, 1);
    EXPECT_EQ(run({"task", "create", "T", "--procedure", def, "--weekdays", "Mo"}).code, 2);  // no --at
    EXPECT_EQ(run({"task", "create", "T", "--procedure", def, "--at", "2026-02-30T10:00"}).code, 2);
    EXPECT_EQ(run({"task", "create", "T", "--procedure", def, "--at", "2026-12-01T10:00", "--monthdays", "0"}).code, 2);
    const std::string id = task("T", {"--procedure", def, "--at", "2026-12-01T10:00", "--monthdays", "31,15"});
    EXPECT_NE(run({"task", "list"}).out.find(id + "\tT\t1\t2026-12-01T10:00\tmonthdays 15,31\t-"), std::string::npos);
    EXPECT_NE(run({"task", "list", "--json"}).out.find("{\"id\": " + id + ", \"name\": \"T\", \"active\": true,"),
              std::string::npos);

    const CommandResult deleted = run({"procedure", "delete", def});
    EXPECT_EQ(deleted.code, 0);
    EXPECT_NE(deleted.out.find("task_steps_removed\t1"), std::string::npos);
    EXPECT_NE(run({"task", "show", id}).out.find("procedures\t-\n"), std::string::npos);
    EXPECT_EQ(run({"task", "run", id}).code, 1);
    EXPECT_EQ(run({"task", "delete", id}).code, 0);
    EXPECT_EQ(run({"task", "list"}).out, "");
}

}  // namespace
}  // namespace pm::test
