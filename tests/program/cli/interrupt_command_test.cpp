// Ctrl-C in the middle of `pmoor32 import` and `pmoor32 index`: the built
// program stops at a slice boundary, prints what it did, exits 130 and
// leaves the catalog's counts equal to what is stored; a re-run completes
// the work with nothing lost or doubled.
#include <gtest/gtest.h>

#include <string>

#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

using RunResult = test::CommandResult;

using test::pmoor;

constexpr int kMessages = 600;

class InterruptedCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        test::writeMailbox(mailbox(), kMessages);
    }
    std::string mailbox() const { return work.path() + "/in.mbox"; }

    void install(const std::string& root) {
        ASSERT_EQ(pmoor(root, "init").code, 0);
        ASSERT_EQ(pmoor(root, "db create mail Box --address me@home.example").code, 0);
    }
    RunResult import(const std::string& root, const std::string& interruptAt = "") {
        return pmoor(root, "import --format 'generic mail type 2' --mailbox Box '" + mailbox() + "'", interruptAt);
    }
    static std::string catalog(const std::string& root, const std::string& column) {
        return test::storeValue(root + "/CFG/postmoor.db", "SELECT " + column + " FROM Forums");
    }
    static std::string stored(const std::string& root, const std::string& sql) {
        return test::storeValue(root + "/F1/postmoor.db", sql);
    }
    // What an interrupted import printed as imported (fewer than all, none
    // skipped): the mailbox holds that many and the catalog counts them.
    static int storedAndCounted(const std::string& root, const RunResult& r) {
        const int imported = std::stoi(r.out.substr(r.out.find('\t') + 1));
        EXPECT_LT(imported, kMessages);
        EXPECT_EQ(r.out, "imported\t" + std::to_string(imported) + "\nskipped\t0\n");
        EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail"), std::to_string(imported));
        EXPECT_EQ(catalog(root, "MSGCOUNT"), std::to_string(imported));
        return imported;
    }
    // The word list and the occurrences, as one text to compare.
    static std::string wordIndex(const std::string& root) {
        return stored(root, "SELECT group_concat(THEWORD || ':' || WORDCOUNT, ' ') FROM "
                            "(SELECT THEWORD, WORDCOUNT FROM WordList ORDER BY THEWORD)") +
               " / " + stored(root, "SELECT count(*) || ' ' || sum(ENTRIES) FROM MasIdx");
    }

    test::TempDir work;
};

TEST_F(InterruptedCommands, ImportThenIndexInterruptedAndRunAgain) {
    const std::string root = work.path() + "/root";
    install(root);

    // Ctrl-C while storing: what was stored is counted, and printed.
    RunResult r = import(root, "Imported:200");
    EXPECT_EQ(r.code, 130) << r.err;
    EXPECT_NE(r.err.find("Interrupted: Stopping Message import"), std::string::npos) << r.err;
    const int imported = storedAndCounted(root, r);
    EXPECT_GE(imported, 200);
    EXPECT_EQ(stored(root, "SELECT sum(FROMCOUNT) FROM Person"), std::to_string(imported));

    // The re-run takes the rest and leaves out what is there.
    r = import(root);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t" + std::to_string(kMessages - imported) + "\nskipped\t" + std::to_string(imported) + "\n");
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail"), std::to_string(kMessages));
    EXPECT_EQ(stored(root, "SELECT count(DISTINCT SUBJECT) FROM Mail"), std::to_string(kMessages));
    EXPECT_EQ(catalog(root, "MSGCOUNT"), std::to_string(kMessages));
    EXPECT_EQ(stored(root, "SELECT sum(FROMCOUNT) FROM Person"), std::to_string(kMessages));

    // Ctrl-C while indexing: the checkpoint and the count are what the index holds.
    r = pmoor(root, "index Box", "messages:300");
    EXPECT_EQ(r.code, 130) << r.err;
    EXPECT_NE(r.out.find("Box: stopped (full run) - "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Interrupted: Stopping PRO Word Indexing [Box]"), std::string::npos) << r.err;
    const std::string indexed = catalog(root, "RECSLASTTIME");
    EXPECT_GE(std::stoi(indexed), 300);
    EXPECT_LT(std::stoi(indexed), kMessages);
    EXPECT_EQ(stored(root, "SELECT count(*) FROM MasIdx"), indexed);
    EXPECT_EQ(catalog(root, "LASTMSGID"), stored(root, "SELECT max(SYSID) FROM MasIdx"));

    r = pmoor(root, "index Box");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Box: indexed (partial run) - " + std::to_string(kMessages - std::stoi(indexed)) +
                         " messages indexed"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(catalog(root, "RECSLASTTIME"), std::to_string(kMessages));

    // The same as one run without interruptions.
    const std::string reference = work.path() + "/reference";
    install(reference);
    ASSERT_EQ(import(reference).code, 0);
    ASSERT_EQ(pmoor(reference, "index Box").code, 0);
    EXPECT_EQ(wordIndex(root), wordIndex(reference));
    EXPECT_EQ(stored(root, "SELECT group_concat(FROMCOUNT) FROM (SELECT FROMCOUNT FROM Person ORDER BY PERSONID)"),
              stored(reference, "SELECT group_concat(FROMCOUNT) FROM (SELECT FROMCOUNT FROM Person ORDER BY PERSONID)"));
}

// A mail run stores each message in the step that reads it: a signal while
// it reads keeps what was read so far, counted, and the re-run takes the rest.
TEST_F(InterruptedCommands, SigtermWhileReadingKeepsWhatWasStoredAndTheRerunTakesTheRest) {
    const std::string root = work.path() + "/root";
    install(root);
    RunResult r = import(root, "Work records:100:TERM");
    EXPECT_EQ(r.code, 130) << r.err;
    const int imported = storedAndCounted(root, r);
    EXPECT_GE(imported, 100);
    r = import(root);
    EXPECT_EQ(r.out, "imported\t" + std::to_string(kMessages - imported) + "\nskipped\t" + std::to_string(imported) + "\n");
    EXPECT_EQ(stored(root, "SELECT count(DISTINCT SUBJECT) FROM Mail"), std::to_string(kMessages));
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail"), std::to_string(kMessages));
}

}  // namespace
}  // namespace pm
