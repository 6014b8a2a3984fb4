// The built program in command mode: config get/set and nextid-check.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/command_runner.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

using test::pmoor;

class ConfigCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        ASSERT_EQ(pmoor(root.path(), "init").code, 0);
    }
    test::TempDir root;
};

TEST_F(ConfigCommand, ItemsRoundTripByNumber) {
    struct Row {
        const char* item;
        const char* before;
        const char* value;
        const char* after;
    };
    const Row rows[] = {
        {"3", "15", "25", "25"},
        {"10", "17", "6", "6"},
        {"14", "", "/import/from here", "/import/from here"},
        {"35", "Arial,8", "Courier New,11", "Courier New,11"},
        {"36", "Arial,8", "Tahoma", "Tahoma,8"},
        {"41", "12632256", "255", "255"},  // a tab sheet colour of the preferences
        {"50", "10000", "2500", "2500"},
        {"53", "1", "0", "0"},
        {"63", "3", "-4", "-4"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(pmoor(root.path(), std::string("config get ") + r.item).out, std::string(r.before) + "\n") << r.item;
        EXPECT_EQ(pmoor(root.path(), std::string("config set ") + r.item + " '" + r.value + "'").code, 0) << r.item;
        EXPECT_EQ(pmoor(root.path(), std::string("config get ") + r.item).out, std::string(r.after) + "\n") << r.item;
    }
}

TEST_F(ConfigCommand, ADirectoryItemIsCreatedAndMadeCurrent) {
    const std::string databases = root / "data/files";
    EXPECT_EQ(pmoor(root.path(), "config get 18").out, root.path() + "\n");
    EXPECT_EQ(pmoor(root.path(), "config set 18 '" + databases + "'").code, 0);
    EXPECT_TRUE(std::filesystem::is_directory(databases));
    EXPECT_EQ(pmoor(root.path(), "config get 18").out, databases + "\n");
    EXPECT_EQ(pmoor(root.path(), "db create forum Alpha").out, "250000\tAlpha\tF1\n");
    EXPECT_TRUE(std::filesystem::is_directory(databases + "/F1"));
}

TEST_F(ConfigCommand, BadItemsAndValuesAreUsageErrors) {
    const std::string tooLong = "config set 14 " + std::string(101, 'a');
    for (const std::string& arguments :
         {std::string("config get 7"), std::string("config get 1"), std::string("config get 64"),
          std::string("config set 99 1"), std::string("config get three"), std::string("config set 3 many"),
          std::string("config set 49 256"), std::string("config get"), std::string("config set 3"),
          std::string("config frob 3"), std::string("config set 35 ',9'"), tooLong})
        EXPECT_EQ(pmoor(root.path(), arguments).code, 2) << arguments;
    EXPECT_EQ(pmoor(root.path(), "config get 3").out, "15\n");
}

TEST_F(ConfigCommand, NextIdCheckPrintsTheNextIdentifier) {
    ASSERT_EQ(pmoor(root.path(), "db create forum Alpha").code, 0);
    ASSERT_EQ(pmoor(root.path(), "db create newsgroup comp.lang.c").code, 0);
    const test::CommandResult run = pmoor(root.path(), "nextid-check");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "250002\n");
    EXPECT_EQ(pmoor(root.path(), "nextid-check extra").code, 2);

    // While another process holds the writing turn the check waits, then is
    // refused having changed nothing.
    const std::string cfg = root / "CFG/postmoor.db";
    ASSERT_TRUE(test::storeExecute(cfg, "CREATE TABLE IF NOT EXISTS _pm_locks (tbl TEXT NOT NULL, rec INTEGER NOT "
                                        "NULL, owner TEXT NOT NULL, PRIMARY KEY (tbl, rec))"));
    ASSERT_TRUE(test::storeExecute(cfg, "INSERT INTO _pm_locks VALUES ('lock:import', -1, 'elsewhere:1')"));
    ASSERT_EQ(pmoor(root.path(), "db create forum Beta").code, 0);
    const test::CommandResult refused = pmoor(root.path(), "nextid-check");
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("Another import, merge, purge or rebuild is running (elsewhere:1)!"), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("Next ID check will not proceed!"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
}

}  // namespace
}  // namespace pm
