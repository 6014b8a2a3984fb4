// export and print in command mode, and the round trips that prove the
// layouts: a database written out in a layout and read back by the
// importer of that layout into a fresh installation holds the same
// messages, apart from what the layout cannot carry:
//   - every layout: blanks at the end of text lines (the importers trim
//     them); carbon copies and the reply links of mail; mail numbers; a
//     leading "Re: " of a mail subject (the importers store subjects
//     without it);
//   - TAPCIS and OzWin II: seconds of the mail time (hh:mm only), and
//     characters outside the code page (850, Windows-1252), which become
//     their near substitutes;
//   - news: the receiver (the headers carry none; the reader takes "All"
//     or the parent's sender);
//   - TAPCIS: a reply to a message numbered above it (or more than 30,000
//     below it) is read as a message of its own whose subject begins with
//     the parent's number and "-" (the reader takes no such reference);
//   - Unix RFC822 mail: a text line beginning "From " comes back as
//     ">From " unless the file holds ">>From " (the mboxrd mark).
// On the small sample databases and on the real mailboxes of the shared
// corpora (skipped when they are absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "browse/browse_tables.h"
#include "common/globals.h"
#include "common/text.h"
#include "sets/output_layouts.h"
#include "storage/table.h"
#include "support/command_runner.h"
#include "support/corpora.h"
#include "support/sample_databases.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/config/installation.h"
#include "tables/records/all_tables.h"

namespace pm::test {
namespace {

using Messages = std::vector<std::string>;

CommandResult run(const TempDir& root, std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root.path()});
    return runCommand(std::move(args));
}

void forgetInstallation() {
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
}

std::string withoutTrailingBlanks(const std::string& text) {
    std::string out, line;
    for (char c : text + "\n") {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out += line + "\n";
            line.clear();
        } else {
            line += c;
        }
    }
    while (out.size() > 1 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n') out.pop_back();
    return out;
}

// How a layout writes the text and reads it back.
struct Carried {
    OutputCodePage codePage = OutputCodePage::Utf8;
    bool minutes = false;  // the time as hh:mm
    bool forwardReplies = false;  // TAPCIS: replies to a higher number lose the link
};

std::string carried(const std::string& text, const Carried& c) {
    if (c.codePage == OutputCodePage::Utf8) return text;
    return toUtf8From(encodeOutput(text, c.codePage),
                      c.codePage == OutputCodePage::Cp850 ? "ibm-850" : "windows-1252");
}

// Every message of database `name` at `root` as one comparable line.
Messages snapshot(const TempDir& root, const std::string& name, const Carried& c = {}) {
    Messages out;
    EXPECT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
    OP_CLOSE(OpenShared, {Forums.number()});
    Forums.clear();
    FOR.DESCRIPTION = name;
    const bool found = Forums.get(FOR_AlphaKey) == StorageStatus::Ok;
    const ULONG id = FOR.ID;
    OP_CLOSE(ReleaseTable, {Forums.number()});
    EXPECT_TRUE(found) << name;
    if (!found || !activateDatabase(id)) {
        forgetInstallation();
        return out;
    }
    {
        BrowseTables tables(Mem.ForumType);
        const bool mail = Mem.ForumType == TypeMail;
        Table& t = mail ? Mail : MsgNmbr;
        t.clear();
        t.set(mail ? MAI_DateKey : MSG_IdKey);
        std::vector<ULONG> numbers;
        while (t.next() == StorageStatus::Ok) numbers.push_back(mail ? MAI.MAILID : MSG.MSGNUMBER);
        for (ULONG n : numbers) {
            OutputMessage m;
            EXPECT_TRUE(readOutputMessage(n, m));
            const LONG time = c.minutes ? m.time / 6000 * 6000 : m.time;
            if (m.type == TypeMail && m.subject.rfind("Re: ", 0) == 0) m.subject.erase(0, 4);
            if (c.forwardReplies && m.parent != 0 && (m.parent > m.number || m.number - m.parent > 30000)) {
                m.subject = std::to_string(m.parent) + "-" + m.subject;
                m.parent = 0;
            }
            std::string line = std::to_string(m.date) + "|" + std::to_string(time) + "|" +
                               carried(outputPersonText(m.sender, m.type), c) + "|" +
                               (m.type == TypeNewsgroup ? std::string() : carried(outputPersonText(m.receiver, m.type), c)) +
                               "|" + carried(m.subject, c) + "|" +
                               m.sectionName + "|" + m.messageId + "|" + m.parentId + "|" +
                               carried(withoutTrailingBlanks(m.text), c);
            // Forum messages keep their numbers and reply links.
            if (m.type == TypeForum) line = std::to_string(m.number) + ">" + std::to_string(m.parent) + "|" + line;
            out.push_back(line);
        }
    }
    forgetInstallation();
    std::sort(out.begin(), out.end());
    return out;
}

class ExportCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Texts as stored: the round trips compare them line by line.
        for (const TempDir* r : {&source, &target}) {
            ASSERT_EQ(run(*r, {"init"}).code, 0);
            ASSERT_EQ(run(*r, {"config", "set", "output-59", "2"}).code, 0);
        }
    }

    void makeSamples() {
        ASSERT_NE(runStartupSettings(source.path(), nullptr), StartupOutcome::Aborted);
        makeSampleForum();
        makeSampleMail();
        makeSampleNewsgroup();
        forgetInstallation();
    }

    // Exports `db` of the source in `layout` and imports the file into the
    // target with `format` (mail into a mailbox of the same name).
    // Forum messages go into the target's forum of the same name.
    void roundTrip(const std::string& db, const std::string& layout, const std::string& format, bool mail,
                   const std::vector<std::string>& exportOptions = {}, const TempDir* into = nullptr) {
        const TempDir& target = into ? *into : this->target;
        const std::string file = source / (layout + ".out");
        std::vector<std::string> args = {"export", db, "--layout", layout};
        args.insert(args.end(), exportOptions.begin(), exportOptions.end());
        args.push_back(file);
        const CommandResult written = run(source, args);
        ASSERT_EQ(written.code, 0) << written.err;
        if (mail && run(target, {"db", "list"}).out.find("\t" + db + "\t") == std::string::npos) {
            ASSERT_EQ(run(target, {"db", "create", "mail", db, "--address", "me@home.org"}).code, 0);
        }
        std::vector<std::string> import = {"import", "--format", format};
        if (mail) import.insert(import.end(), {"--mailbox", db});
        if (!mail && format != "Unix News") {
            ASSERT_EQ(run(target, {"db", "create", "forum", db}).code, 0);
            import.insert(import.end(), {"--target", db});
        }
        import.push_back(file);
        const CommandResult read = run(target, import);
        ASSERT_EQ(read.code, 0) << read.err;
    }

    TempDir source, target;
};

TEST_F(ExportCommands, MailRoundTripsThroughEachLayout) {
    makeSamples();
    const Messages before = snapshot(source, "Inbox");
    ASSERT_EQ(before.size(), 4u);
    roundTrip("Inbox", "unix-rfc822", "Generic Mail Type 2", true);
    EXPECT_EQ(snapshot(target, "Inbox"), before);

    // Eudora: received and sent mail in two files, both read back.
    TempDir eudora;
    ASSERT_EQ(run(eudora, {"init"}).code, 0);
    const CommandResult two = run(source, {"export", "Inbox", "--layout", "eudora", "--sent", source / "Out.mbx",
                                           source / "In.mbx"});
    ASSERT_EQ(two.code, 0) << two.err;
    EXPECT_EQ(readFile(source / "Out.mbx").find("Subject: Hello World\r\n"), std::string::npos);
    EXPECT_NE(readFile(source / "Out.mbx").find("Subject: Re: Hello World\r\n"), std::string::npos);
    ASSERT_EQ(run(eudora, {"db", "create", "mail", "Inbox", "--address", "me@home.org"}).code, 0);
    ASSERT_EQ(run(eudora, {"import", "--format", "Eudora", "--mailbox", "Inbox", source / "In.mbx", source / "Out.mbx"})
                  .code,
              0);
    EXPECT_EQ(snapshot(eudora, "Inbox"), before);

    for (const auto& [layout, format, codePage] :
         {std::tuple{"tapcis", "TAPCIS 6.x", OutputCodePage::Cp850},
          std::tuple{"ozwin2", "OzWin II", OutputCodePage::Windows1252}}) {
        TempDir capture;
        ASSERT_EQ(run(capture, {"init"}).code, 0);
        const std::string file = source / (std::string(layout) + ".txt");
        ASSERT_EQ(run(source, {"export", "Inbox", "--layout", layout, file}).code, 0);
        ASSERT_EQ(run(capture, {"db", "create", "mail", "Inbox", "--address", "me@home.org"}).code, 0);
        const CommandResult read = run(capture, {"import", "--format", format, "--mailbox", "Inbox", file});
        ASSERT_EQ(read.code, 0) << read.err;
        const Carried c{codePage, true};
        EXPECT_EQ(snapshot(capture, "Inbox", c), snapshot(source, "Inbox", c)) << layout;
    }
}

TEST_F(ExportCommands, ForumAndNewsgroupRoundTrip) {
    makeSamples();
    const Carried cp850{OutputCodePage::Cp850, false, true}, ansi{OutputCodePage::Windows1252, false};
    roundTrip("Test Forum", "tapcis", "TAPCIS 6.x", false, {"--by", "date"});
    EXPECT_EQ(snapshot(target, "Test Forum", cp850), snapshot(source, "Test Forum", cp850));
    TempDir ozwin;
    ASSERT_EQ(run(ozwin, {"init"}).code, 0);
    roundTrip("Test Forum", "ozwin2", "OzWin II", false, {"--by", "date"}, &ozwin);
    EXPECT_EQ(snapshot(ozwin, "Test Forum", ansi), snapshot(source, "Test Forum", ansi));
    roundTrip("comp.lang.test", "unix-rfc822", "Unix News", false);
    EXPECT_EQ(snapshot(target, "comp.lang.test"), snapshot(source, "comp.lang.test"));
}

TEST_F(ExportCommands, RealMailboxesRoundTrip) {
    const std::vector<std::string> files = {corpusFile("mbox/bogofilter/good.mbx"),
                                            corpusFile("mbox/mail-mboxparser/testbox")};
    std::vector<std::string> present;
    for (const std::string& f : files)
        if (!f.empty()) present.push_back(f);
    if (present.empty()) GTEST_SKIP() << "the shared corpora are not here";
    ASSERT_EQ(run(source, {"db", "create", "mail", "Real", "--address", "me@home.org"}).code, 0);
    std::vector<std::string> import = {"import", "--format", "Generic Mail Type 2", "--mailbox", "Real"};
    import.insert(import.end(), present.begin(), present.end());
    ASSERT_EQ(run(source, import).code, 0);
    const Messages before = snapshot(source, "Real");
    ASSERT_GT(before.size(), 10u);
    roundTrip("Real", "unix-rfc822", "Generic Mail Type 2", true);
    EXPECT_EQ(snapshot(target, "Real"), before);
}

TEST_F(ExportCommands, UsageAndRefusals) {
    makeSamples();
    EXPECT_EQ(run(source, {"export", "Inbox", "--layout", "ozwin3", source / "x"}).code, 2);
    EXPECT_EQ(run(source, {"export", "comp.lang.test", "--layout", "eudora", source / "x"}).code, 2);
    EXPECT_EQ(run(source, {"export", "Test Forum", "--layout", "tapcis", "--by", "thread", source / "x"}).code, 2);
    EXPECT_EQ(run(source, {"export", "Inbox", "--layout", "tapcis", "--by", "section", "--of", "1", source / "x"}).code,
              2);
    EXPECT_EQ(run(source, {"export", "Test Forum", "--layout", "tapcis", "--from-date", "2000-11-10", source / "x"}).code,
              2);
    // A message that does not exist is reported; nothing is written.
    const CommandResult missing =
        run(source, {"export", "Test Forum", "--layout", "tapcis", "--of", "4711", source / "none.txt"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("4711"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(source / "none.txt"));
    // The plain copy of one message, and a thread inside a date range.
    const CommandResult plain = run(source, {"export", "Test Forum", "--layout", "plain", "--of", "103", source / "c.txt"});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(readFile(source / "c.txt").rfind(std::string(64, '-') + "\r\n         Message retrieved", 0), 0u);
    const CommandResult range = run(source, {"export", "Test Forum", "--layout", "ozwin2", "--of", "101", "--from-date",
                                             "2000-11-10", "--to-date", "2000-11-11", source / "r.txt"});
    EXPECT_EQ(range.out, "messages\t3\npassed-over\t2\n");
}

TEST_F(ExportCommands, PrintsATwentyMessageThreadToPdf) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    std::string mbox;
    for (int i = 1; i <= 20; ++i)
        mbox += "From someone@example.org Mon Mar  3 10:" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
                ":00 1997\nFrom: Writer " + std::to_string(i) + " <w" + std::to_string(i) +
                "@example.org>\nTo: me@example.com\nSubject: Plans for the long weekend\nDate: Mon, 3 Mar 1997 10:" +
                (i < 10 ? "0" : "") + std::to_string(i) + ":00 +0000\n\nMessage number " + std::to_string(i) +
                " of the thread.\n\n";
    std::ofstream(source / "thread.mbox") << mbox;
    ASSERT_EQ(run(source, {"db", "create", "mail", "Plans", "--address", "me@example.com"}).code, 0);
    ASSERT_EQ(run(source, {"import", "--format", "Generic Mail Type 2", "--mailbox", "Plans", source / "thread.mbox"}).code,
              0);
    const std::string first = run(source, {"list", "Plans", "--limit", "1"}).out;
    const std::string pdf = source / "thread.pdf";
    // Its own process, without a display: the printing libraries load there.
    const CommandResult printed = runProgram(source.path(), "print Plans --by thread --of " +
                                                                first.substr(0, first.find('\t')) + " --pdf " + pdf,
                                             "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    ASSERT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(printed.out, "messages\t20\npassed-over\t0\n");
    ASSERT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(std::system(("pdftotext " + pdf + " " + pdf + ".txt").c_str()), 0);
    const std::string text = readFile(pdf + ".txt");
    std::size_t subjects = 0;
    for (std::size_t at = text.find("Subject: Plans for the long weekend"); at != std::string::npos;
         at = text.find("Subject: Plans for the long weekend", at + 1))
        ++subjects;
    EXPECT_EQ(subjects, 20u);
    for (int i = 1; i <= 20; ++i)
        EXPECT_NE(text.find("Message number " + std::to_string(i) + " of the thread."), std::string::npos) << i;
    EXPECT_NE(text.find("Mail from the Postmoor Message Archiver Database"), std::string::npos);
    EXPECT_NE(text.find("Page 2"), std::string::npos);
}

}  // namespace
}  // namespace pm::test
