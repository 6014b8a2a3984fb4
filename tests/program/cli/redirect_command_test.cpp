// pmoor32 redirect and db create --target: newsgroups redirected into a
// target database and back, the messages always in the database the
// settings say, exactly once - also when the run is killed on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/process_group.h"
#include "support/sample_messages.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

class RedirectCommand : public ::testing::Test {
protected:
    CommandResult pmoor32(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    void SetUp() override {
        ASSERT_EQ(pmoor32({"init"}).code, 0);
        importNews("comp.x", 1, 20);  // F1
        importNews("comp.y", 1, 10);  // F2
        ASSERT_EQ(pmoor32({"db", "create", "newsgroup", "Common", "--target"}).code, 0);  // F3
    }
    void importNews(const std::string& group, int first, int count, const std::string& how = "in-process") {
        const std::string file = root / (group + std::to_string(first) + ".txt");
        writeNewsFile(file, group, first, count);
        if (how == "in-process")
            ASSERT_EQ(pmoor32({"import", "--format", "Unix News", file}).code, 0);
        else
            ASSERT_EQ(runProgram(root.path(), "import --format 'Unix News' '" + file + "'").code, 0);
    }
    std::string store(const std::string& dir) const { return root / (dir + "/postmoor.db"); }
    // The Message-IDs of the articles a database holds, sorted.
    std::vector<std::string> articles(const std::string& dir) const {
        std::istringstream rows(storeRows(store(dir), "SELECT IDSTRING FROM MsgString JOIN MsgNmbr USING (MSGNUMBER) "
                                                      "ORDER BY IDSTRING"));
        std::vector<std::string> ids;
        for (std::string line; std::getline(rows, line);) ids.push_back(line);
        return ids;
    }
    std::size_t count(const std::string& dir) const { return articles(dir).size(); }
    std::string catalog(const std::string& column, const std::string& name) const {
        return storeValue(root / "CFG/postmoor.db",
                          "SELECT " + column + " FROM Forums WHERE DESCRIPTION = '" + name + "'");
    }
    // Counts, threads and persons of a newsgroup database agree with its articles.
    void expectWhole(const std::string& dir, const std::string& name) {
        const std::string n = std::to_string(count(dir));
        EXPECT_EQ(storeValue(store(dir), "SELECT count(*) FROM MsgNmbr"), n);
        EXPECT_EQ(storeValue(store(dir), "SELECT count(*) FROM MsgText"), n);
        EXPECT_EQ(catalog("MSGCOUNT", name), n);
        EXPECT_EQ(storeValue(store(dir), "SELECT coalesce(sum(FROMCOUNT), 0) FROM Person"), n);
        EXPECT_EQ(storeValue(store(dir), "SELECT coalesce(sum(MSGCOUNT), 0) FROM Threads"), n);
        EXPECT_EQ(storeValue(store(dir), "SELECT count(*) FROM MsgNmbr WHERE THREADNUMBER NOT IN "
                                         "(SELECT THREADNUMBER FROM Threads)"),
                  "0");
    }

    TempDir root;
};

TEST_F(RedirectCommand, ANewsgroupMovesIntoItsTargetAndBackWhenTheRedirectionIsRemoved) {
    const std::vector<std::string> own = articles("F1");
    ASSERT_EQ(own.size(), 20u);
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    EXPECT_EQ(pmoor32({"redirect"}).out, "comp.x\tCommon\t-\ncomp.y\t-\t-\n");
    CommandResult r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "converted\t20\nmoved\t20\nskipped\t0\ndeleted\t20\nnot moved\t0\n");
    EXPECT_EQ(articles("F3"), own);
    EXPECT_EQ(count("F1"), 0u);
    EXPECT_EQ(count("F2"), 10u);
    expectWhole("F3", "Common");
    expectWhole("F1", "comp.x");
    EXPECT_EQ(pmoor32({"redirect"}).out, "comp.x\tCommon\tCommon\ncomp.y\t-\t-\n");

    // New articles of the group now go to the target directly.
    importNews("comp.x", 21, 5);
    EXPECT_EQ(count("F3"), 25u);
    EXPECT_EQ(count("F1"), 0u);

    // Setting the same target again moves nothing.
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.out, "converted\t0\nmoved\t0\nskipped\t0\ndeleted\t0\nnot moved\t0\n");

    // Back home, all 25 of them, threads and counts included.
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "--none"}).code, 0);
    EXPECT_EQ(pmoor32({"redirect"}).out, "comp.x\t-\tCommon\ncomp.y\t-\t-\n");
    r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "converted\t25\nmoved\t25\nskipped\t0\ndeleted\t25\nnot moved\t0\n");
    EXPECT_EQ(count("F1"), 25u);
    EXPECT_EQ(count("F3"), 0u);
    expectWhole("F1", "comp.x");
    expectWhole("F3", "Common");
    EXPECT_EQ(pmoor32({"redirect"}).out, "comp.x\t-\t-\ncomp.y\t-\t-\n");
    importNews("comp.x", 26, 2);
    EXPECT_EQ(count("F1"), 27u);
}

TEST_F(RedirectCommand, TwoNewsgroupsShareATargetAndOneOfThemLeavesIt) {
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "comp.y", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "--apply"}).code, 0);
    importNews("comp.y", 11, 3);
    EXPECT_EQ(count("F3"), 33u);
    ASSERT_EQ(pmoor32({"redirect", "comp.y", "--none"}).code, 0);
    const CommandResult r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(count("F2"), 13u);
    EXPECT_EQ(count("F3"), 20u);
    expectWhole("F2", "comp.y");
    expectWhole("F3", "Common");
}

TEST_F(RedirectCommand, ArticlesThatLeaveTakeTheirWordIndexEntriesAndTopicsWithThem) {
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "comp.y", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "--apply"}).code, 0);
    ASSERT_EQ(pmoor32({"index", "Common"}).code, 0);
    // Every article of the target under one topic.
    ASSERT_TRUE(storeExecute(store("F3"),
                             "CREATE TABLE IF NOT EXISTS \"SIndex\" (\"ID\" INTEGER NOT NULL DEFAULT 0, "
                             "\"MSGNUMBER\" INTEGER NOT NULL DEFAULT 0);"
                             "CREATE UNIQUE INDEX IF NOT EXISTS \"SIndex_IdKey\" ON \"SIndex\" (\"ID\", "
                             "\"MSGNUMBER\" DESC);"
                             "CREATE INDEX IF NOT EXISTS \"SIndex_MsgKey\" ON \"SIndex\" (\"MSGNUMBER\");"
                             "INSERT INTO Codes (TYPE, \"INDEX\", ID, COUNT) VALUES (1, 'Everything', 9, 30);"
                             "INSERT INTO SIndex SELECT 9, MSGNUMBER FROM MsgNmbr"));
    const std::string words = "SELECT count(*) FROM WordList";
    const std::string wordsBefore = storeValue(store("F3"), words);

    ASSERT_EQ(pmoor32({"redirect", "comp.y", "--none"}).code, 0);
    const CommandResult r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(count("F3"), 20u);
    EXPECT_EQ(count("F2"), 10u);
    expectWhole("F3", "Common");
    // No entry of an article that left; each word counts the entries left,
    // and the words only comp.y used are gone from the list.
    EXPECT_EQ(storeValue(store("F3"), "SELECT count(*) FROM MasIdx WHERE SYSID NOT IN (SELECT MSGNUMBER FROM MsgNmbr)"),
              "0");
    EXPECT_EQ(storeValue(store("F3"), "SELECT count(*) FROM MasIdx"), "20");
    const std::string entries = storeValue(store("F3"), "SELECT sum(ENTRIES) FROM MasIdx");
    EXPECT_EQ(storeValue(store("F3"), "SELECT sum(WORDCOUNT) FROM WordList"), entries);
    EXPECT_EQ(storeValue(store("F3"), "SELECT RECORDS FROM MasIdx_info"), entries);
    EXPECT_EQ(storeValue(store("F3"), "SELECT count(*) FROM WordList WHERE WORDCOUNT <= 0"), "0");
    EXPECT_LT(std::stoi(storeValue(store("F3"), words)), std::stoi(wordsBefore));
    // The topic keeps the articles that stayed, and counts them.
    EXPECT_EQ(storeValue(store("F3"), "SELECT count(*) FROM SIndex WHERE MSGNUMBER NOT IN (SELECT MSGNUMBER FROM MsgNmbr)"),
              "0");
    EXPECT_EQ(storeValue(store("F3"), "SELECT COUNT FROM Codes WHERE ID = 9"), "20");
    EXPECT_NE(pmoor32({"search", "Common", "comp.x"}).out, "");
}

TEST_F(RedirectCommand, ATargetThatIsItselfRedirectedGivesBackTheGroupsRedirectedToIt) {
    ASSERT_EQ(pmoor32({"db", "create", "newsgroup", "Archive", "--target"}).code, 0);  // F4
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "--apply"}).code, 0);
    importNews("Common", 1, 4);  // articles of the target's own group
    ASSERT_EQ(count("F3"), 24u);

    // As the import sees it, a redirection to a redirected database is
    // ignored: comp.x's articles belong in comp.x again, Common's in Archive.
    ASSERT_EQ(pmoor32({"redirect", "Common", "Archive"}).code, 0);
    const CommandResult r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(count("F1"), 20u);
    EXPECT_EQ(count("F3"), 0u);
    EXPECT_EQ(count("F4"), 4u);
    expectWhole("F1", "comp.x");
    expectWhole("F4", "Archive");
    importNews("comp.x", 21, 1);
    EXPECT_EQ(count("F1"), 21u);
}

TEST_F(RedirectCommand, ARedirectionToATargetThatWasDeletedIsClearedAndTheGroupKeepsItsArticles) {
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    ASSERT_TRUE(storeExecute(root / "CFG/postmoor.db", "DELETE FROM Forums WHERE DESCRIPTION = 'Common'"));
    const CommandResult r = pmoor32({"redirect", "--apply"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(count("F1"), 20u);
    EXPECT_EQ(catalog("REDIRNOW || '/' || REDIRBEFORE", "comp.x"), "0/0");
}

TEST_F(RedirectCommand, OnlyNewsgroupsGoAndOnlyToTargets) {
    ASSERT_EQ(pmoor32({"db", "create", "forum", "Forum"}).code, 0);
    CommandResult r = pmoor32({"redirect", "Forum", "Common"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Only newsgroup databases can be redirected!"), std::string::npos) << r.err;
    r = pmoor32({"redirect", "comp.x", "comp.y"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Newsgroups can only be redirected to a target newsgroup database!"), std::string::npos);
    EXPECT_EQ(pmoor32({"redirect", "Common", "Common"}).code, 1);
    EXPECT_EQ(pmoor32({"redirect", "comp.x"}).code, 2);
    EXPECT_EQ(pmoor32({"redirect", "comp.x", "Nowhere"}).code, 2);
    EXPECT_EQ(pmoor32({"redirect", "--apply", "comp.x"}).code, 2);
    EXPECT_EQ(pmoor32({"db", "create", "forum", "Other", "--target"}).code, 2);
    EXPECT_EQ(catalog("TARGETNG", "Common"), "1");
    EXPECT_EQ(storeValue(store("F3"), "SELECT TARGETNG FROM REF"), "1");
}

// The built program killed (SIGKILL) after its n-th commit, again and
// again, then left to finish: no article is ever lost, and in the end each
// is in the database the settings say, once.
class KilledRedirection : public RedirectCommand {
protected:
    static constexpr int kArticles = 600;
    void SetUp() override {
        if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        RedirectCommand::SetUp();
        importNews("comp.x", 21, kArticles - 20, "process");
        all = articles("F1");
        ASSERT_EQ(all.size(), static_cast<std::size_t>(kArticles));
    }
    void expectNoneLost() {
        std::multiset<std::string> held;
        for (const char* dir : {"F1", "F3"})
            for (const std::string& id : articles(dir)) held.insert(id);
        for (const std::string& id : all) EXPECT_GE(held.count(id), 1u) << id;
    }
    void killAndFinish(const std::vector<int>& commits) {
        for (int commit : commits) {
            SCOPED_TRACE("killed after commit " + std::to_string(commit));
            const CommandResult r = runProgram(root.path(), "redirect --apply",
                                               "POSTMOOR_TEST_KILL_AFTER_COMMITS=" + std::to_string(commit));
            EXPECT_TRUE(r.code == -1 || r.code == 128 + 9) << r.code << r.out << r.err;
            expectNoneLost();
        }
        const CommandResult r = runProgram(root.path(), "redirect --apply");
        EXPECT_EQ(r.code, 0) << r.err;
    }

    std::vector<std::string> all;
};

TEST_F(KilledRedirection, IntoTheTargetAndBackAgain) {
    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    killAndFinish({2, 5, 3, 4, 2});
    EXPECT_EQ(articles("F3"), all);
    EXPECT_EQ(count("F1"), 0u);
    expectWhole("F3", "Common");
    expectWhole("F1", "comp.x");

    ASSERT_EQ(pmoor32({"redirect", "comp.x", "--none"}).code, 0);
    killAndFinish({3, 6, 2, 4});
    EXPECT_EQ(articles("F1"), all);
    EXPECT_EQ(count("F3"), 0u);
    expectWhole("F1", "comp.x");
    expectWhole("F3", "Common");
}

// Two processes apply the redirections at once, started together and
// apart: the writing lock makes them take turns (the second waits, or is
// refused with the reason and then goes through). Each article ends in the
// database the settings say, once, with true counts.
TEST_F(KilledRedirection, TwoAppliedAtOnceTakeTurns) {
    const std::vector<std::string> own = articles("F2");
    // The number of an output line "NAME\tN".
    auto printed = [](const std::string& out, const std::string& name) {
        const std::size_t at = ("\n" + out).find("\n" + name + "\t");
        return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + name.size() + 1);
    };
    auto applyTwice = [&](int stagger) {
        SCOPED_TRACE("stagger " + std::to_string(stagger) + " ms");
        ProcessGroup group(root.path());
        group.add("redirect --apply");
        group.add("redirect --apply", stagger);
        int moved = 0;
        for (CommandResult r : group.runAll()) {
            if (r.code != 0) {
                EXPECT_EQ(r.code, 1) << r.out << r.err;
                EXPECT_NE(r.err.find("Another import, merge, purge or rebuild is running ("), std::string::npos) << r.err;
                r = runProgram(root.path(), "redirect --apply");
            }
            ASSERT_EQ(r.code, 0) << r.err;
            moved += printed(r.out, "moved");
            EXPECT_EQ(printed(r.out, "not moved"), 0) << r.out;
        }
        // What one moved, the other found moved: not moved twice.
        EXPECT_EQ(moved, kArticles + static_cast<int>(own.size()));
        for (const char* dir : {"CFG", "F1", "F2", "F3"})
            EXPECT_EQ(storeValue(root / (std::string(dir) + "/postmoor.db"), "PRAGMA integrity_check"), "ok") << dir;
    };

    ASSERT_EQ(pmoor32({"redirect", "comp.x", "Common"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "comp.y", "Common"}).code, 0);
    applyTwice(0);
    std::vector<std::string> both = all;
    both.insert(both.end(), own.begin(), own.end());
    std::sort(both.begin(), both.end());
    EXPECT_EQ(articles("F3"), both);
    EXPECT_EQ(count("F1") + count("F2"), 0u);
    expectWhole("F3", "Common");

    ASSERT_EQ(pmoor32({"redirect", "comp.x", "--none"}).code, 0);
    ASSERT_EQ(pmoor32({"redirect", "comp.y", "--none"}).code, 0);
    applyTwice(150);
    EXPECT_EQ(articles("F1"), all);
    EXPECT_EQ(articles("F2"), own);
    EXPECT_EQ(count("F3"), 0u);
    expectWhole("F1", "comp.x");
    expectWhole("F2", "comp.y");
    expectWhole("F3", "Common");
}

}  // namespace
}  // namespace pm::test
