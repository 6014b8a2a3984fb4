// Number arguments are read whole: junk after the digits, numbers beyond
// 2^32 (which used to wrap onto another message or database) and beyond
// 2^64 (which used to abort the program) are usage errors that change
// nothing; the same numbers written properly still work.
#include <gtest/gtest.h>

#include <string>

#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/test_root.h"

namespace pm {
namespace {

class BadNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        test::writeMailbox(work / "in.mbox", 5);
        ASSERT_EQ(run("init").code, 0);
        ASSERT_EQ(run("db create mail Box --address me@home.example").out, "250000\tBox\tF1\n");
        ASSERT_EQ(run(import("Box")).code, 0);
        ASSERT_EQ(run("index Box").code, 0);
    }
    test::CommandResult run(const std::string& arguments) { return test::runProgram(work / "root", arguments); }
    std::string import(const std::string& mailbox) const {
        return "import --format 'generic mail type 2' --mailbox " + mailbox + " '" + (work / "in.mbox") + "'";
    }
    test::TempDir work;
};

TEST_F(BadNumbers, AreUsageErrorsThatChangeNothing) {
    const std::string above64 = "18446744073709551617";
    const std::string wrapsToBox = "4295217296";  // 2^32 + 250000
    const char* const commands[] = {
        "show Box 4295217300",  // 2^32 + 250004
        "show Box 250004abc",
        "show Box -1",
        "show Box ' 250004'",
        "show Box 99999999999999999999999",
        "words Box --top 5abc",
        "words Box --top 4294967296",
        "thread Box 4295217300",
        "list Box --limit 5x",
        "search Box lantern --approx 2x",
        "config get 30x",
        "config set 30 5x",
        "config set 30 +5",
    };
    for (const char* c : commands) {
        const test::CommandResult r = run(c);
        EXPECT_EQ(r.code, 2) << c << ": " << r.err;
        EXPECT_NE(r.err.find("is not a number from"), std::string::npos) << c << ": " << r.err;
    }
    for (const std::string& c : {"show " + above64 + " 250004", "show " + wrapsToBox + " 250004", "words " + above64,
                                 "index " + above64, import(wrapsToBox), import(above64)}) {
        const test::CommandResult r = run(c);
        EXPECT_EQ(r.code, 2) << c << ": " << r.err;
        EXPECT_NE(r.err.find("no database"), std::string::npos) << c << ": " << r.err;
    }
    // Nothing was imported twice, and the numbers written properly work.
    EXPECT_EQ(run("db list").out.find("\t5\t") != std::string::npos, true) << run("db list").out;
    EXPECT_EQ(run("show Box 250004").code, 0);
    EXPECT_EQ(run("show 250000 250004").out, run("show Box 250004").out);
    EXPECT_EQ(run("words Box --top 2").code, 0);
    EXPECT_EQ(run("config set 30 5").code, 0);
}

}  // namespace
}  // namespace pm
