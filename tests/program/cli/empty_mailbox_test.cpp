// An empty mailbox imports nothing, and that is no failure; files that are
// missing, or hold no message of the format, still fail.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

TEST(EmptyMailbox, ImportsNothingWithoutFailing) {
    TempDir root;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    };
    ASSERT_EQ(run({"init"}).code, 0);
    ASSERT_EQ(run({"db", "create", "mail", "Box", "--address", "me@example.com"}).code, 0);
    std::ofstream(root / "empty.mbox").flush();
    std::ofstream(root / "other.mbox").flush();
    std::ofstream(root / "notes.txt") << "Shopping: milk, bread\n";

    const std::vector<std::string> mbox = {"import", "--format", "Generic Mail Type 2", "--mailbox", "Box"};
    auto import = [&](std::vector<std::string> files) {
        std::vector<std::string> args = mbox;
        args.insert(args.end(), files.begin(), files.end());
        return run(args);
    };
    CommandResult r = import({root / "empty.mbox", root / "other.mbox"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t0\nskipped\t0\n");
    EXPECT_NE(r.err.find("no messages found (the files are empty)"), std::string::npos) << r.err;
    EXPECT_NE(run({"db", "list"}).out.find("\tBox\tmail\tF1\t0\t0\n"), std::string::npos);

    // A missing file is not an empty one; text without a message is no mailbox.
    r = import({root / "empty.mbox", root / "gone.mbox"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.err.find("the files are empty"), std::string::npos) << r.err;
    r = import({root / "notes.txt"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("no Generic Mail Type 2 messages found in the files"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pm::test
