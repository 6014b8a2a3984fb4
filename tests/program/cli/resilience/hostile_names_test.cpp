// Names and paths that would mislead: a name with TAB or line ends cannot
// split the tab-separated output (refused on the command line, escaped when
// it is stored anyway), and an import names what a path really is when it
// is no file to read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "cli/command_context.h"
#include "installation_content.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/store_query.h"
#include "support/test_root.h"
#include "support/unprivileged.h"

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

// The superuser reads everything: when the tests run as root, the imports
// run as user nobody, in an installation handed to it.
TEST_F(HostileNames, UnreadableFilesAndFoldersAreNamedAndTheRestImported) {
    std::string why;
    const std::optional<std::string> as = test::unprivilegedPrefix(std::string(POSTMOOR_BIN_DIR) + "/pmoor32", why);
    if (!as) GTEST_SKIP() << why;
    fs::create_directories(work / "in/closed");
    test::writeMailbox(work / "in/good.mbox", 3, "good");
    test::writeMailbox(work / "in/locked.mbox", 2, "locked");
    test::writeMailbox(work / "in/closed/hidden.mbox", 2, "hidden");
    test::handToUnprivileged(work.path());
    fs::permissions(work / "in/locked.mbox", fs::perms::none);
    fs::permissions(work / "in/closed", fs::perms::none);
    const std::string import = "import --format 'generic mail type 2' --mailbox Box ";

    const test::CommandResult files =
        test::runProgram(work / "root", import + "'" + (work / "in/locked.mbox") + "' '" + (work / "in/good.mbox") + "'", *as);
    EXPECT_EQ(files.out, "imported\t3\nskipped\t0\n") << files.err;
    EXPECT_NE(files.err.find((work / "in/locked.mbox") + " cannot be opened"), std::string::npos) << files.err;
    EXPECT_NE(files.err.find("Permission denied"), std::string::npos) << files.err;

    const test::CommandResult tree =
        test::runProgram(work / "root", import + "--reimport --method tree --mask '*.mbox' '" + (work / "in") + "'", *as);
    EXPECT_NE(tree.err.find("The directory " + (work / "in/closed") + " cannot be read (Permission denied) and will be skipped!"),
              std::string::npos)
        << tree.err;
    EXPECT_NE(tree.err.find((work / "in/locked.mbox") + " cannot be opened"), std::string::npos) << tree.err;
    fs::permissions(work / "in/locked.mbox", fs::perms::owner_all);
    fs::permissions(work / "in/closed", fs::perms::owner_all);
    EXPECT_EQ(test::storeValue(test::storeOf(work / "root", "F1"), "SELECT count(*) FROM Mail"), "3");
}

TEST_F(HostileNames, BytesThatAreNotUtf8AreStoredAsWindows1252Text) {
    // Raw 8-bit header fields without a charset (old newsreaders wrote
    // Windows-1252): the newsgroup, section, Message-ID, names and subjects
    // become UTF-8; text that is UTF-8 already stays as it is.
    const std::string article =
        "From jm@y.example Mon Jan  5 10:00:00 2004\n"
        "Newsgroups: alt.caf\xE9\n"
        "From: J\xF6rg M\xFCller <jm@y.example>\n"
        "Subject: Gr\xFC\xDF" "e \x80 \xFF\n"
        "Message-ID: <id\xE9\xFF@y.example>\n"
        "Date: Mon, 5 Jan 2004 10:00:00 +0000\n"
        "\n"
        "Body \xE4 \x93quoted\x94\n"
        "\n"
        "From ok@y.example Mon Jan  5 11:00:00 2004\n"
        "Newsgroups: alt.caf\xC3\xA9\n"
        "From: Ren\xC3\xA9 <ok@y.example>\n"
        "Subject: d\xC3\xA9j\xC3\xA0 vu\n"
        "Message-ID: <ok@y.example>\n"
        "Date: Mon, 5 Jan 2004 11:00:00 +0000\n"
        "\n"
        "Body\n";
    std::ofstream(work / "raw.news", std::ios::binary) << article;
    std::ofstream(work / "raw.mbox", std::ios::binary)
        << "From jm@y.example Mon Jan  5 10:00:00 2004\n"
           "From: J\xF6rg <jm@y.example>\n"
           "To: me@home.example\n"
           "Subject: Gr\xFC\xDF" "e\n"
           "Message-ID: <m\xE9@y.example>\n"
           "Date: Mon, 5 Jan 2004 10:00:00 +0000\n"
           "\n"
           "Text \xE4\n";
    const test::CommandResult news = run("import --format 'unix news' '" + (work / "raw.news") + "'");
    EXPECT_EQ(news.out, "imported\t2\nskipped\t0\n") << news.err;
    const test::CommandResult mail = run("import --format 'generic mail type 2' --mailbox Box '" + (work / "raw.mbox") + "'");
    EXPECT_EQ(mail.out, "imported\t1\nskipped\t0\n") << mail.err;

    EXPECT_EQ(test::textsNotUtf8(work / "root"), std::vector<std::string>{});
    // Both spellings of the group are one group now.
    const std::string list = run("db list").out;
    EXPECT_NE(list.find("alt.caf\xC3\xA9\t"), std::string::npos) << list;
    EXPECT_EQ(list.find("alt.caf\xC3\xA9\t", list.find("alt.caf\xC3\xA9\t") + 1), std::string::npos) << list;
    const std::string articles = run("list 'alt.caf\xC3\xA9'").out;
    EXPECT_NE(articles.find("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xC3\xBF"), std::string::npos) << articles;
    EXPECT_NE(articles.find("d\xC3\xA9j\xC3\xA0 vu"), std::string::npos) << articles;
    const std::string mails = run("list Box").out;
    EXPECT_NE(mails.find("Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos) << mails;

    // A second import of the same files finds every message again.
    EXPECT_EQ(run("import --format 'unix news' '" + (work / "raw.news") + "'").out, "imported\t0\nskipped\t2\n");
    EXPECT_EQ(run("import --format 'generic mail type 2' --mailbox Box '" + (work / "raw.mbox") + "'").out,
              "imported\t0\nskipped\t1\n");
}

}  // namespace
}  // namespace pm
