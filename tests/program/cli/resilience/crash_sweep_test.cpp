// kill -9 after every commit point (import, indexing, purge and merge): the
// built program is killed at its 1st,
// 2nd, 3rd ... commit (a test hook sends SIGKILL just before the commit
// lands), then run again without the hook. The installation must then be
// what one uninterrupted run makes - messages, persons, carbon copies,
// threads and sections with their counts, the catalog count, the word
// index - and the re-run's printed counts must say what it did.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "installation_content.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using test::CommandResult;

constexpr int kMails = 150;
constexpr int kArticles = 90;

class CrashSweep : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        test::writeMailbox(work / "in.mbox", kMails, "m", true);
        test::writeNewsSpool(work / "in.news", kArticles, "grp");
        const std::string root = work / "template";
        ASSERT_EQ(test::runProgram(root, "init").code, 0);
        ASSERT_EQ(test::runProgram(root, "db create mail Box --address me@home.example").code, 0);
    }

    std::string fresh(const std::string& name) {
        const std::string root = work / name;
        fs::remove_all(root);
        fs::copy(work / "template", root, fs::copy_options::recursive);
        return root;
    }

    std::string importMail() const {
        return "import --format 'generic mail type 2' --mailbox Box '" + (work / "in.mbox") + "'";
    }
    std::string importNews() const { return "import --format 'unix news' '" + (work / "in.news") + "'"; }

    // Kills `arguments` at each commit in turn on a fresh copy prepared by
    // `prepare`, runs it again, and compares with `reference` by `view`.
    template <class Prepare, class View, class Rerun>
    void sweep(const std::string& arguments, Prepare prepare, View view, const std::string& reference, Rerun checkRerun) {
        int killed = 0;
        for (int commit = 1;; ++commit) {
            SCOPED_TRACE("killed at commit " + std::to_string(commit));
            const std::string root = fresh("swept");
            prepare(root);
            // A killed process (not a machine) loses nothing the operating
            // system has: the syncs are left out to save time.
            const CommandResult first = test::runProgram(
                root, arguments, "POSTMOOR_TEST_NO_SYNC=1 POSTMOOR_TEST_KILL_AT_COMMIT=" + std::to_string(commit));
            if (first.code == 0) break;  // it made fewer commits: the sweep is through
            // The shell in between reports the signal as 128 + 9.
            ASSERT_TRUE(first.code == -1 || first.code == 137) << first.code << first.err;
            ++killed;
            test::expectStoresWhole(root);
            const CommandResult again = test::runProgram(root, arguments, "POSTMOOR_TEST_NO_SYNC=1");
            ASSERT_EQ(again.code, 0) << again.err;
            checkRerun(root, again);
            EXPECT_EQ(view(root), reference);
            if (HasFailure()) break;
        }
        EXPECT_GT(killed, 5);
    }

    test::TempDir work;
};

TEST_F(CrashSweep, ImportKilledAtEachCommitThenRunAgainEqualsOneRun) {
    // The references: the mail imported, then the news beside it.
    const std::string reference = fresh("reference");
    const CommandResult mail = test::runProgram(reference, importMail());
    ASSERT_EQ(mail.out, "imported\t" + std::to_string(kMails) + "\nskipped\t0\n") << mail.err;
    const std::string mailOnly = test::importedContent(reference);
    fs::copy(reference, work / "with-mail", fs::copy_options::recursive);
    const CommandResult news = test::runProgram(reference, importNews());
    ASSERT_EQ(news.code, 0) << news.err;
    const int articles = test::printedCount(news.out, "imported") + test::printedCount(news.out, "skipped");
    const std::string both = test::importedContent(reference);

    // Whatever the killed run stored is left out again; the rest is imported.
    sweep(importMail(), [](const std::string&) {}, test::importedContent, mailOnly,
          [](const std::string&, const CommandResult& again) {
              EXPECT_EQ(test::printedCount(again.out, "imported") + test::printedCount(again.out, "skipped"), kMails) << again.out;
          });
    sweep(importNews(), [&](const std::string& root) {
        fs::remove_all(root);
        fs::copy(work / "with-mail", root, fs::copy_options::recursive);
    }, test::importedContent, both, [&](const std::string&, const CommandResult& again) {
        EXPECT_EQ(test::printedCount(again.out, "imported") + test::printedCount(again.out, "skipped"), articles) << again.out;
    });
}

TEST_F(CrashSweep, IndexingKilledAtEachCommitThenRunAgainEqualsOneRun) {
    const std::string reference = fresh("reference");
    ASSERT_EQ(test::runProgram(reference, importMail()).code, 0);
    ASSERT_EQ(test::runProgram(reference, "index Box").code, 0);
    const std::string expected = test::wordIndexContent(reference);
    fs::copy(work / "template", work / "imported", fs::copy_options::recursive);
    ASSERT_EQ(test::runProgram(work / "imported", importMail()).code, 0);
    sweep("index Box", [&](const std::string& root) {
        fs::remove_all(root);
        fs::copy(work / "imported", root, fs::copy_options::recursive);
    }, test::wordIndexContent, expected, [](const std::string&, const CommandResult&) {});
}

TEST_F(CrashSweep, PurgeKilledAtEachCommitThenRunAgainEqualsOneRun) {
    // An indexed mailbox with every third mail marked Delete.
    const std::string prepared = fresh("marked");
    ASSERT_EQ(test::runProgram(prepared, importMail()).code, 0);
    ASSERT_EQ(test::runProgram(prepared, "index Box").code, 0);
    std::string marks;
    int line = 0;
    std::istringstream listing(test::runProgram(prepared, "list Box").out);
    for (std::string row; std::getline(listing, row);)
        if (line++ % 3 == 0) marks += " " + row.substr(0, row.find('\t'));
    ASSERT_EQ(test::runProgram(prepared, "mark Box" + marks + " --delete").code, 0);
    fs::copy(prepared, work / "reference", fs::copy_options::recursive);
    const CommandResult once = test::runProgram(work / "reference", "purge Box");
    ASSERT_EQ(once.code, 0) << once.err;
    ASSERT_EQ(test::storeValue(test::storeOf(work / "reference", "F1"), "SELECT count(*) FROM Mail"),
              std::to_string(kMails - (kMails + 2) / 3));
    auto view = [](const std::string& root) { return test::importedContent(root) + test::wordIndexContent(root); };
    const std::string expected = view(work / "reference");
    sweep("purge Box", [&](const std::string& root) {
        fs::remove_all(root);
        fs::copy(prepared, root, fs::copy_options::recursive);
    }, view, expected, [](const std::string&, const CommandResult&) {});
}

TEST_F(CrashSweep, MergeKilledAtEachCommitThenRunAgainEqualsOneRun) {
    // The mailbox merged into a second one that already holds a few of its mails.
    const std::string prepared = fresh("two boxes");
    ASSERT_EQ(test::runProgram(prepared, importMail()).code, 0);
    ASSERT_EQ(test::runProgram(prepared, "db create mail Other --address me@home.example").code, 0);
    test::writeMailbox(work / "few.mbox", 20, "m", true);
    ASSERT_EQ(test::runProgram(prepared, "import --format 'generic mail type 2' --mailbox Other '" +
                                             (work / "few.mbox") + "'").code, 0);
    fs::copy(prepared, work / "reference", fs::copy_options::recursive);
    const CommandResult once = test::runProgram(work / "reference", "merge Box Other");
    ASSERT_EQ(once.code, 0) << once.err;
    auto view = [](const std::string& root) { return test::catalogContent(root) + test::mailContent(root, "F2"); };
    const std::string expected = view(work / "reference");
    sweep("merge Box Other", [&](const std::string& root) {
        fs::remove_all(root);
        fs::copy(prepared, root, fs::copy_options::recursive);
    }, view, expected, [](const std::string&, const CommandResult& again) {
        EXPECT_EQ(test::printedCount(again.out, "converted"), kMails) << again.out;
    });
}

}  // namespace
}  // namespace pm
