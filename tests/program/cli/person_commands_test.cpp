// persons, person merge|rename|swap-alias and dedupe-persons on the sample
// databases: the lines and JSON printed, the writes behind them, and the
// usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "support/command_runner.h"
#include "support/json_reader.h"
#include "support/process_group.h"
#include "support/sample_databases.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "storage/named_lock.h"
#include "tables/records/all_tables.h"

namespace pm::test {
namespace {

class PersonCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run({"init"}).code, 0);
        ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
        makeSampleForum();
        OP_CLOSE(OpenShared, {Person.number()});
        smith = personNamed("Smith");
        adams = personNamed("Adams");
        OP_CLOSE(ReleaseTable, {Person.number()});
        makeSampleMail();
        owner = Mem.PersonID;
        OP_CLOSE(OpenShared, {Person.number()});
        fred = personNamed("Foreign");
        OP_CLOSE(ReleaseTable, {Person.number()});
        closeAllTables();
        closeStorage();
        Mem = MemGlobals{};
    }
    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    // The line of person `id` in the output of `persons`.
    static std::string lineOf(const std::string& out, ULONG id) {
        const std::string start = std::to_string(id) + "\t";
        const std::size_t at = out.rfind("\n" + start) != std::string::npos ? out.rfind("\n" + start) + 1
                                                                             : (out.compare(0, start.size(), start) == 0 ? 0 : std::string::npos);
        if (at == std::string::npos) return "";
        return out.substr(at, out.find('\n', at) - at);
    }

    TempDir root;
    ULONG smith = 0, adams = 0, owner = 0, fred = 0;
};

TEST_F(PersonCommands, PersonsListsEveryPersonWithCountsAndAliases) {
    CommandResult r = run({"persons", "Test Forum"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(lineOf(r.out, smith), std::to_string(smith) + "\tSmith, John\t12345,678\t4\t1\t");
    r = run({"persons", "Test Forum", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"name\": \"Smith, John\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"aliases\": []"), std::string::npos) << r.out;
}

TEST_F(PersonCommands, MergeRenameAndSwapAlias) {
    CommandResult r = run({"person", "Test Forum", "merge", std::to_string(smith), std::to_string(adams)});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "merged\t" + std::to_string(adams) + "\t" + std::to_string(smith) + "\n");
    r = run({"persons", "Test Forum"});
    EXPECT_EQ(lineOf(r.out, adams), "");
    // Smith now sent 100, 103, 105, 120, 102, 110 and received 101, 103, 111.
    EXPECT_EQ(lineOf(r.out, smith), std::to_string(smith) + "\tSmith, John\t12345,678\t6\t3\tZOË ADAMS 33333,3");

    r = run({"person", "Test Forum", "swap-alias", std::to_string(smith), "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::to_string(smith) + "\tZOË ADAMS 33333,3\tJOHN SMITH 12345,678\n");

    r = run({"person", "Test Forum", "rename", std::to_string(smith), "Johnny Smythe"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::to_string(smith) + "\tSmythe, Johnny\n");
    r = run({"list", "Test Forum", "--by", "from", "--person", std::to_string(smith)});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6) << r.out;

    EXPECT_EQ(run({"person", "Test Forum", "swap-alias", std::to_string(smith), "9"}).code, 2);
    EXPECT_EQ(run({"person", "Test Forum", "merge", std::to_string(smith)}).code, 2);
    EXPECT_EQ(run({"person", "Test Forum", "split", "1", "2"}).code, 2);
}

TEST_F(PersonCommands, TheMailboxOwnerIsNeverMergedAway) {
    CommandResult r = run({"person", "Inbox", "merge", std::to_string(fred), std::to_string(owner)});
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("You are not allowed to change the mail default address!"), std::string::npos) << r.err;
}

TEST_F(PersonCommands, DedupePersonsPrintsItsCounters) {
    const CommandResult r = run({"dedupe-persons", "Test Forum"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "persons_before\t4");
    EXPECT_NE(r.out.find("duplicates_merged\t0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("persons_remaining\t4\n"), std::string::npos) << r.out;
    EXPECT_EQ(run({"dedupe-persons"}).code, 2);
}

// Both merges write persons and headers across many transactions: while
// another process holds the installation's writing turn they wait, and are
// refused with the reason once the wait is over, having merged nothing.
TEST_F(PersonCommands, MergesAreRefusedWhileAnotherProcessHoldsTheWritingTurn) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    {
        NamedLock held(root.path() + "/CFG", "import");
        ASSERT_EQ(held.tryTake(), StorageStatus::Ok);
        ProcessGroup group(root.path());
        group.add("dedupe-persons 'Test Forum'");
        group.add("person 'Test Forum' merge " + std::to_string(smith) + " " + std::to_string(adams));
        const std::vector<CommandResult> results = group.runAll();
        const char* names[] = {"Duplicate merging", "Person merge"};
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].code, 1) << results[i].out << results[i].err;
            EXPECT_NE(results[i].err.find("Another import, merge, purge or rebuild is running ("), std::string::npos)
                << results[i].err;
            EXPECT_NE(results[i].err.find(std::string(names[i]) + " will not proceed!"), std::string::npos)
                << results[i].err;
        }
        EXPECT_EQ(results[1].out, "");
        EXPECT_NE(lineOf(run({"persons", "Test Forum"}).out, adams), "");
    }
    const CommandResult r = runProgram(root.path(), "person 'Test Forum' merge " + std::to_string(smith) + " " +
                                                        std::to_string(adams));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(lineOf(run({"persons", "Test Forum"}).out, adams), "");
}

}  // namespace
}  // namespace pm::test
