// Names and paths that would mislead: a name with TAB or line ends cannot
// split the tab-separated output (refused on the command line, escaped when
// it is stored anyway), and an import names what a path really is when it
// is no file to read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "cli/command_context.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/test_root.h"

namespace pm {
namespace {

namespace fs = std::filesystem;

TEST(OutputField, ControlCharactersCannotSplitAFieldOrALine) {
    EXPECT_EQ(cli::outputField("Plain name, caf\xc3\xa9"), "Plain name, caf\xc3\xa9");
    EXPECT_EQ(cli::outputField("A\tB\r\nC\x01\x7f"), "A\\tB\\r\\nC\\x01\\x7F");
}

class HostileNames : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        ASSERT_EQ(run("init").code, 0);
        ASSERT_EQ(run("db create mail Box --address me@home.example").code, 0);
    }
    test::CommandResult run(const std::string& arguments) { return test::runProgram(work / "root", arguments); }
    test::TempDir work;
};

TEST_F(HostileNames, NamesWithControlCharactersAreRefused) {
    const std::string before = run("db list").out;
    // (printf makes the control characters; the shell is a plain one.)
    for (const std::string& c : {std::string("db create forum \"$(printf 'Two\\tFields')\""),
                                 std::string("db create newsgroup \"$(printf 'Two\\nLines')\""),
                                 std::string("db create mail \"$(printf 'Bell\\a')\" --address x@example.com")}) {
        const test::CommandResult r = run(c);
        EXPECT_EQ(r.code, 2) << c;
        EXPECT_NE(r.err.find("must not hold TAB, line ends or other control characters"), std::string::npos) << r.err;
    }
    EXPECT_EQ(run("db list").out, before);
    const test::CommandResult bogus = run("db --bogus");
    EXPECT_EQ(bogus.code, 2);
    EXPECT_NE(bogus.err.find("db: unknown option \"--bogus\""), std::string::npos) << bogus.err;
}

TEST_F(HostileNames, AnImportSaysWhatAPathIsWhenItIsNoFile) {
    fs::create_directory(work / "folder");
    ASSERT_EQ(mkfifo((work / "pipe").c_str(), 0600), 0);
    fs::create_symlink(work / "loop", work / "loop");
    test::writeMailbox(work / "good.mbox", 3);
    const std::string paths = "'" + (work / "folder") + "' '" + (work / "pipe") + "' '" + (work / "loop") + "' '" +
                              (work / "gone.mbox") + "' '" + (work / "good.mbox") + "'";
    const test::CommandResult r = run("import --format 'generic mail type 2' --mailbox Box " + paths);
    EXPECT_EQ(r.out, "imported\t3\nskipped\t0\n") << r.err;
    EXPECT_NE(r.err.find((work / "folder") + " is a directory, not a file, and will be skipped!"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find((work / "pipe") + " is not a regular file (a pipe, device or socket) and will be skipped!"),
              std::string::npos);
    EXPECT_NE(r.err.find((work / "loop") + " is a loop of symbolic links and will be skipped!"), std::string::npos);
    EXPECT_NE(r.err.find("The file " + (work / "gone.mbox") + " does not exist and will be skipped!"),
              std::string::npos);
}

}  // namespace
}  // namespace pm
