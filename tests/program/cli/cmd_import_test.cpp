// pmoor32 import: the command over the block format.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/globals.h"
#include "import/driver/format_table.h"
#include "support/block_format.h"
#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

using Result = CommandResult;

Result pmoor32(std::vector<std::string> args) { return runCommand(std::move(args)); }

class ImportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pmoor32({"--root", root.path(), "init"}).code, 0);
        std::filesystem::create_directories(root / "in/sub");
        writeTextFile(root / "in/a.va", blockText({forumMessage("Photo Forum", 1), forumMessage("Photo Forum", 2)}));
        writeTextFile(root / "in/sub/b.va", blockText({forumMessage("Travel Forum", 3)}));
    }
    Result import(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path(), "import"});
        return pmoor32(args);
    }

    TempDir root;
    BlockFormatScope formats;
};

TEST_F(ImportCommand, ImportsSelectedFilesAndPrintsTheCounters) {
    Result r = import({"--format", "virtualaccess", root / "in/a.va", root / "in/sub/b.va"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t3\nskipped\t0\n");
    Result list = pmoor32({"--root", root.path(), "db", "list"});
    EXPECT_NE(list.out.find("\tPhoto Forum\tforum\tF1\t2\t0\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\tTravel Forum\tforum\tF2\t1\t0\n"), std::string::npos) << list.out;

    // Again without --reimport: nothing new, still a completed run.
    r = import({"--format", "VirtualAccess", root / "in/a.va"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "imported\t0\nskipped\t2\n");
    r = import({"--format", "VirtualAccess", "--reimport", root / "in/a.va"});
    EXPECT_EQ(r.out, "imported\t2\nskipped\t0\n");
}

TEST_F(ImportCommand, DirectoryMethodsUseTheMasks) {
    Result r = import({"--format", "VirtualAccess", "--method", "tree", "--mask", "*.VA", root / "in"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t3\nskipped\t0\n");
    r = import({"--format", "VirtualAccess", "--method", "dir", "--mask", "*.none", root / "in"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No messages found in selected file(s)!"), std::string::npos) << r.err;
}

TEST_F(ImportCommand, MissingFilesAreReportedOnStderr) {
    Result r = import({"--format", "VirtualAccess", root / "in/gone.va", root / "in/a.va"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("Import Error : The file " + root / "in/gone.va" + " does not exist and will be skipped!"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "imported\t2\nskipped\t0\n");
}

TEST_F(ImportCommand, RefusalsAndBadUsage) {
    {
        // Every format has its parser; one taken away is refused.
        const FormatParserOverride unbuilt(17, {});
        Result r = import({"--format", "WinCIM", root / "in/a.va"});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("The format WinCIM cannot be imported by this version!"), std::string::npos) << r.err;
    }
    EXPECT_EQ(import({"--format", "NoSuchFormat", root / "in/a.va"}).code, 2);
    EXPECT_EQ(import({"--format", "VirtualAccess"}).code, 2);
    EXPECT_EQ(import({"--format", "VirtualAccess", "--method", "dir", root / "in", root / "in/sub"}).code, 2);
    EXPECT_EQ(import({"--format", "VirtualAccess", "--method", "sideways", root / "in"}).code, 2);
    EXPECT_EQ(import({"--format", "Eudora", root / "in/a.va"}).code, 2);  // mail needs --mailbox
    EXPECT_EQ(import({"--format", "VirtualAccess", "--target", "Nowhere", root / "in/a.va"}).code, 2);
}

}  // namespace
}  // namespace pm::test
