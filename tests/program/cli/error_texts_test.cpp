// Errors in command mode name what a person can find: the table and its
// store, not the file names the tables had on other systems.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

TEST(ErrorTexts, AFatalOpenErrorNamesTheTableAndItsStore) {
    TempDir root;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    };
    ASSERT_EQ(run({"init"}).code, 0);
    ASSERT_EQ(run({"db", "create", "forum", "Alpha"}).code, 0);
    ASSERT_EQ(run({"show", "Alpha", "1"}).code, 1);  // opens (and makes) the database's tables

    // The message table of F1 now has a column its declaration lacks.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((root / "F1/postmoor.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE MsgNmbr ADD COLUMN STRANGER INTEGER", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    const CommandResult r = run({"show", "Alpha", "1"});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("File Open Error - Invalid record declaration: The file MsgNmbr in F1/postmoor.db cannot be "
                         "opened"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find(".TPS"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pm::test
