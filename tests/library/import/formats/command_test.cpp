// pmoor32 import with every mail and news format name, end to end from the
// command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats_fixture.h"
#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

using Result = CommandResult;

Result pmoor32(std::vector<std::string> args) { return runCommand(std::move(args)); }

struct CommandCase {
    const char* format;
    const char* file;
    const char* counters;
};

TEST(ImportCommand, EveryMailAndNewsFormatImportsFromTheCommandLine) {
    const CommandCase cases[] = {
        {"Eudora", "eudora/In.mbx", "imported\t2\nskipped\t0\n"},
        {"IE Mail", "ie-mail/Inbox.mbx", "imported\t4\nskipped\t0\n"},
        {"IE News", "ie-news/comp.lang.c.nch", "imported\t3\nskipped\t1\n"},
        {"VirtualAccess", "virtual-access/Messages", "imported\t5\nskipped\t1\n"},
        {"Agent News", "agent-news/comp.lang.c.txt", "imported\t3\nskipped\t0\n"},
        {"Pegasus", "pegasus/Folder.pmm", "imported\t3\nskipped\t0\n"},
        {"Netscape News", "netscape-news/comp.lang.c.snm", "imported\t2\nskipped\t0\n"},
        {"Netscape Mail", "netscape-mail/Inbox", "imported\t3\nskipped\t0\n"},
        {"Outlook Express 4 Mail", "ie-mail/Inbox.mbx", "imported\t4\nskipped\t0\n"},
        {"Outlook Express 4 News", "ie-news/comp.lang.c.nch", "imported\t3\nskipped\t1\n"},
        {"Generic Mail Type 1", "generic-mail-1/Mail.txt", "imported\t4\nskipped\t0\n"},
        {"Becky Mail", "generic-mail-1/Mail.txt", "imported\t4\nskipped\t0\n"},
        {"Unix News", "unix-news/comp.lang.c.txt", "imported\t3\nskipped\t0\n"},
        {"Gravity", "gravity/comp.lang.c.txt", "imported\t3\nskipped\t0\n"},
        {"Agent Mail", "generic-mail-1/Mail.txt", "imported\t4\nskipped\t0\n"},
        {"Outlook Express 5 Mail", "oe5-dbx/Inbox.dbx", "imported\t3\nskipped\t1\n"},
        {"Outlook Express 5 News", "oe5-dbx/comp.lang.c.dbx", "imported\t3\nskipped\t0\n"},
        {"Generic Mail Type 2", "generic-mail-2/inbox.mbox", "imported\t3\nskipped\t0\n"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.format);
        TempDir root;
        ASSERT_EQ(pmoor32({"--root", root.path(), "init"}).code, 0);
        ASSERT_EQ(pmoor32({"--root", root.path(), "db", "create", "mail", "MyMail", "--address", "me@home.example"})
                      .code,
                  0);
        const Result r =
            pmoor32({"--root", root.path(), "import", "--format", c.format, "--mailbox", "MyMail", sampleFile(c.file)});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.counters);
    }
}

}  // namespace
}  // namespace pm::test
