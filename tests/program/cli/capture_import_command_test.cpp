// pmoor32 import of CompuServe capture files: forum messages into the
// forum given with --target or named in the file, mail into --mailbox.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/globals.h"
#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

using Result = CommandResult;

Result pmoor32(const TempDir& root, std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root.path()});
    return runCommand(std::move(args));
}

std::string sample(const std::string& relative) { return std::string(POSTMOOR_TEST_DATA) + "/capture/" + relative; }

class CaptureImportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pmoor32(root, {"init"}).code, 0);
        ASSERT_EQ(pmoor32(root, {"db", "create", "forum", "CPMSIG"}).code, 0);
        ASSERT_EQ(pmoor32(root, {"db", "create", "mail", "My Mail", "--address", "71111,222", "--alt", "72222,333"}).code,
                  0);
    }
    // The catalog line of a database without its identifier.
    std::string catalogLine(const std::string& name) {
        const std::string list = pmoor32(root, {"db", "list"}).out;
        const std::size_t at = list.find("\t" + name + "\t");
        if (at == std::string::npos) return "missing: " + list;
        return list.substr(at + 1, list.find('\n', at) - at - 1);
    }

    TempDir root;
};

TEST_F(CaptureImportCommand, ImportsForumMessagesAndMailOfTheCaptureFormats) {
    Result r = pmoor32(root, {"import", "--format", "TAPCIS 6.x", "--target", "CPMSIG", sample("tapcis6/forum.msg")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t4\nskipped\t0\n");
    EXPECT_EQ(catalogLine("CPMSIG"), "CPMSIG\tforum\tF1\t4\t0");

    // OzCIS names its forums itself.
    r = pmoor32(root, {"import", "--format", "ozcis", "--target", "CPMSIG", sample("ozcis/forum.msg")});
    EXPECT_EQ(r.out, "imported\t4\nskipped\t0\n") << r.err;
    EXPECT_EQ(catalogLine("IBMHW"), "IBMHW\tforum\tF3\t2\t0");
    EXPECT_EQ(catalogLine("CPMSIG"), "CPMSIG\tforum\tF1\t5\t0");

    r = pmoor32(root, {"import", "--format", "AUTOSIG", "--mailbox", "My Mail", sample("autosig/mail.ato")});
    EXPECT_EQ(r.out, "imported\t3\nskipped\t0\n") << r.err;
    r = pmoor32(root, {"import", "--format", "NavCIS Save format", "--mailbox", "My Mail", sample("navcis/mail.sav")});
    EXPECT_EQ(r.out, "imported\t2\nskipped\t0\n") << r.err;
    EXPECT_EQ(catalogLine("My Mail"), "My Mail\tmail\tF2\t5\t0");

    // Again: forum messages are in the register, mail is known to the store.
    r = pmoor32(root, {"import", "--format", "TAPCIS 6.x", "--target", "CPMSIG", sample("tapcis6/forum.msg")});
    EXPECT_EQ(r.out, "imported\t0\nskipped\t4\n");
}

TEST_F(CaptureImportCommand, FilesOfAnotherKindAreReportedAndSkipped) {
    Result r = pmoor32(root, {"import", "--format", "TAPCIS 5.x", "--target", "CPMSIG", sample("navcis/forum.sav"),
                              sample("tapcis5/forum.msg")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t2\nskipped\t0\n");
    EXPECT_NE(r.err.find("Not a Forum message or mail file!"), std::string::npos) << r.err;

    r = pmoor32(root, {"import", "--format", "GoldenCompass", "--target", "CPMSIG", sample("navcis/forum.sav")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No messages found in selected file(s)!"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pm::test
