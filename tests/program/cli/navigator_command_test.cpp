// pmoor32 import of the CompuServe navigator stores and of Outlook Mail,
// and pmoor32 outlook-folders, end to end from the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/block_format.h"
#include "support/command_runner.h"
#include "support/corpora.h"
#include "support/navigator_samples.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

using Result = CommandResult;

class NavigatorCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pmoor32({"init"}).code, 0);
        ASSERT_EQ(pmoor32({"db", "create", "mail", "My Mail", "--address", "me@home.example"}).code, 0);
        ASSERT_EQ(pmoor32({"db", "create", "forum", "Software"}).code, 0);
    }

    Result pmoor32(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }

    std::string file(const std::string& name) { return samples / name; }

    TempDir root, samples;
};

TEST_F(NavigatorCommand, EveryNavigatorStoreImportsFromTheCommandLine) {
    SampleForumMessage forum;
    SampleMail mail;
    writeTextFile(file("F.MSG"), messageFileBytes(forum));
    writeTextFile(file("M.MSG"), messageFileBytes(mail));
    forum.number = 500;
    writeTextFile(file("FCABINET.DAT"), cabinetBytes({cabinetRecordBytes(forum), cabinetRecordBytes(mail)}));
    writeDbf(file("HRECV.DBF"), navCisTable({navCisForumRow("photoforum", 601, "Tripods", "x"),
                                             navCisMailRow("NavCIS mail", "9:05", "y")}));
    writeDbf(file("RECV.DBF"), navCisTable({navCisForumRow("photoforum", 701, "Flash", "x")}));
    writeDbf(file("MESSAGE.DBF"), ouiTable({ouiRow("PHOTOFORUM", 801, "OUI forum", "Ann 70000,1", "x"),
                                            ouiRow("", 0, "OUI mail", "Ann ann@example.com", "y")}));
    writeDbf(file("CISFORUM.DBF"), cisCommForumTable({cisCommForumRow(901, "CISCOMM forum", "x")}));
    writeDbf(file("CISMAIL.DBF"), cisCommMailTable({cisCommMailRow("CISCOMM mail", "ann@example.com", false, "y")}));

    struct Case {
        std::vector<std::string> args;
        const char* counters;
    };
    const Case cases[] = {
        {{"--format", "WinCIM", "--mailbox", "My Mail", file("F.MSG"), file("M.MSG")}, "imported\t2\nskipped\t0\n"},
        // The same message files again: the forum message is known, the mail is the same mail.
        {{"--format", "DOSCIM", "--mailbox", "My Mail", file("F.MSG"), file("M.MSG")}, "imported\t0\nskipped\t2\n"},
        {{"--format", "CSNav", "--mailbox", "My Mail", "--reimport", file("F.MSG")}, "imported\t1\nskipped\t0\n"},
        {{"--format", "CompuServe 3.x", "--mailbox", "My Mail", file("FCABINET.DAT")}, "imported\t1\nskipped\t1\n"},
        {{"--format", "NavCIS 1.7x-", "--mailbox", "My Mail", file("HRECV.DBF")}, "imported\t2\nskipped\t0\n"},
        {{"--format", "NavCIS 1.6x", file("RECV.DBF")}, "imported\t1\nskipped\t0\n"},
        {{"--format", "OUI", "--mailbox", "My Mail", file("MESSAGE.DBF")}, "imported\t2\nskipped\t0\n"},
        {{"--format", "CISCOMM", "--target", "Software", file("CISFORUM.DBF")}, "imported\t1\nskipped\t0\n"},
        {{"--format", "CISCOMM", "--mailbox", "My Mail", file("CISMAIL.DBF")}, "imported\t1\nskipped\t0\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"import"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(c.args[1]);
        const Result r = pmoor32(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.counters);
    }
    const std::string list = pmoor32({"db", "list"}).out;
    EXPECT_NE(list.find("\tPHOTOFORUM\tforum\tF3\t5\t"), std::string::npos) << list;
    EXPECT_NE(list.find("\tMy Mail\tmail\tF1\t4\t"), std::string::npos) << list;
}

TEST_F(NavigatorCommand, OutlookFoldersAndTheirImport) {
    const std::string store = corpusFile("pst/iped/test_sample.pst");
    if (store.empty()) GTEST_SKIP() << "sample not present";

    const Result folders = runCommand({"outlook-folders", store});
    EXPECT_EQ(folders.code, 0) << folders.err;
    EXPECT_EQ(folders.out,
              "Itens Excluídos\t4\tthisisatest/Itens Excluídos\n"
              "Caixa de Entrada\t3\tthisisatest/Caixa de Entrada\n"
              "Itens Enviados\t1\tthisisatest/Itens Enviados\n");

    Result r = pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", "--folder", "Caixa de Entrada",
                        "--folder", "Itens Enviados", store});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t4\nskipped\t0\n");
    // Without --folder every mail folder is read; what was stored is found again.
    r = pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", store});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t1\nskipped\t7\n");

    r = pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", "--folder", "Nowhere", store});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Selected Outlook folders no longer exist."), std::string::npos) << r.err;
}

TEST_F(NavigatorCommand, OutlookUsageAndUnreadableFiles) {
    writeTextFile(file("broken.pst"), std::string(2048, '\x01'));
    Result r = runCommand({"outlook-folders", file("broken.pst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("is not an Outlook folder file"), std::string::npos) << r.err;
    EXPECT_EQ(runCommand({"outlook-folders"}).code, 2);

    r = pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", file("broken.pst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Outlook cannot be run"), std::string::npos) << r.err;
    r = pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", file("missing.pst")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Fatal error. Outlook cannot be initialized."), std::string::npos) << r.err;
    EXPECT_EQ(pmoor32({"import", "--format", "WinCIM", "--folder", "Inbox", file("F.MSG")}).code, 2);
    EXPECT_EQ(pmoor32({"import", "--format", "Outlook Mail", "--mailbox", "My Mail", "--method", "dir", samples.path()})
                  .code,
              2);
}

}  // namespace
}  // namespace pm::test
