// list, thread, mark and show --json on the sample databases: the views'
// order and narrowing, the tree, status marks as the browse shows them,
// and JSON that parses whatever the texts hold.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/date_pictures.h"
#include "common/fixed_text.h"
#include "common/globals.h"
#include "storage/table.h"
#include "support/command_runner.h"
#include "support/json_reader.h"
#include "support/sample_databases.h"
#include "support/store_query.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/config/installation.h"
#include "tables/records/all_tables.h"

namespace pm::test {
namespace {

class BrowseCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run({"init"}).code, 0);
        ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
        makeSampleForum();
        makeSampleMail();
        makeSampleNewsgroup();
        closeAllTables();
        closeStorage();
        Mem = MemGlobals{};
    }

    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }

    // The first field of each line.
    static std::vector<std::string> numbers(const std::string& out) {
        std::vector<std::string> n;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) n.push_back(line.substr(0, line.find('\t')));
        return n;
    }

    TempDir root;
};

using Lines = std::vector<std::string>;

// `bytes` as SQL hex digits.
std::string hexOf(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

TEST_F(BrowseCommands, ListsEachViewInItsOrder) {
    const struct {
        std::vector<std::string> args;
        Lines expected;
    } cases[] = {
        {{"list", "Test Forum"}, {"120", "111", "110", "105", "103", "102", "101", "100"}},
        {{"list", "Test Forum", "--by", "thread"}, {"110", "111", "100", "101", "102", "103", "105", "120"}},
        {{"list", "Test Forum", "--by", "date", "--limit", "3"}, {"111", "110", "105"}},
        {{"list", "Test Forum", "--section", "2"}, {"110", "111", "120"}},
        {{"list", "Inbox"}, {"1003", "1002", "1001", "1004"}},
        {{"list", "Inbox", "--by", "subject"}, {"1001", "1003", "1004", "1002"}},
        {{"list", "comp.lang.test", "--by", "thread"}, {"11", "12", "13", "14"}},
    };
    for (const auto& c : cases) {
        CommandResult r = run(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(numbers(r.out), c.expected) << c.args.back();
    }
    // The fields of one line; the heading is the thread's 100 bytes.
    CommandResult one = run({"list", "Test Forum", "--limit", "1", "--by", "thread"});
    const std::string heading = std::string(LongSubject).substr(0, utf8FitLength(LongSubject, 100));
    EXPECT_EQ(one.out, "110\t" + formatDate(73005, "@D10-") + "\t\tZoë Adams <33333,3>\tAll\t" + heading + "\tNormal\n");
    CommandResult mail = run({"list", "Inbox", "--limit", "1"});
    EXPECT_EQ(mail.out.substr(0, mail.out.find("\tJ'")),
              "1003\t" + formatDate(73101, "@D10-") + "\t09:15\tÉmile Zola <emile@zola.fr>\tInbox <me@home.org>");

    EXPECT_EQ(run({"list", "Test Forum", "--by", "subject"}).code, 2);
    EXPECT_EQ(run({"list", "Inbox", "--by", "thread"}).code, 2);
    EXPECT_EQ(run({"list", "Test Forum", "--by", "section"}).code, 2);  // needs --section
    EXPECT_EQ(run({"list", "Test Forum", "--section", "7"}).code, 1);   // no such section: nothing listed
}

TEST_F(BrowseCommands, NarrowsToAThreadAPersonAndAStatus) {
    CommandResult marked = run({"mark", "Test Forum", "101", "--delete", "--thread"});
    ASSERT_EQ(marked.code, 0) << marked.err;
    CommandResult deleted = run({"list", "Test Forum", "--status", "delete"});
    EXPECT_EQ(numbers(deleted.out), (Lines{"105", "103", "102", "101", "100"}));
    ASSERT_EQ(run({"mark", "Test Forum", "101", "103", "--keep"}).code, 0);
    deleted = run({"list", "Test Forum", "--status", "delete"});
    EXPECT_EQ(numbers(deleted.out), (Lines{"105", "102", "100"}));
    CommandResult kept = run({"list", "Test Forum", "--status", "keep", "--json"});
    Json k = parseJson(kept.out);
    ASSERT_EQ(k.size(), 2u);
    EXPECT_EQ(k[0]["number"].number, 103);
    EXPECT_EQ(k[0]["status"].text, "Keep");
    EXPECT_EQ(run({"list", "Test Forum", "--status", "purple"}).code, 2);

    CommandResult missing = run({"mark", "Test Forum", "100", "4711", "--normal"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("holds no message 4711"), std::string::npos);
    EXPECT_EQ(run({"mark", "Test Forum", "100"}).code, 2);
    EXPECT_EQ(run({"mark", "Inbox", "1001", "--delete", "--thread"}).code, 2);

    // The database mark colours every message without a nearer one.
    ASSERT_EQ(run({"mark", "Inbox", "--database", "--delete"}).code, 0);
    ASSERT_EQ(run({"mark", "Inbox", "1003", "--keep"}).code, 0);
    CommandResult mail = run({"list", "Inbox", "--status", "delete"});
    EXPECT_EQ(numbers(mail.out), (Lines{"1002", "1001", "1004"}));
}

TEST_F(BrowseCommands, NarrowsToAPersonAndAThreadById) {
    // The ids as the store gave them.
    ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
    OP_CLOSE(OpenShared, {Forums.number()});
    Forums.clear();
    FOR.DESCRIPTION = "Test Forum";
    ASSERT_EQ(Forums.get(FOR_AlphaKey), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {Forums.number()});
    ASSERT_TRUE(activateDatabase(FOR.ID));
    OP_CLOSE(OpenShared, {Person.number(), MsgNmbr.number()});
    const std::string smith = std::to_string(personNamed("Smith"));
    const std::string hello = std::to_string(threadOf(101));
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};

    EXPECT_EQ(numbers(run({"list", "Test Forum", "--person", smith}).out), (Lines{"120", "105", "103", "100"}));
    EXPECT_EQ(numbers(run({"list", "Test Forum", "--by", "to", "--person", smith}).out), (Lines{"101"}));
    EXPECT_EQ(numbers(run({"list", "Test Forum", "--thread", hello}).out), (Lines{"100", "101", "102", "103", "105"}));
    EXPECT_EQ(run({"list", "Test Forum", "--person", "4711"}).code, 1);  // nobody: nothing listed
    EXPECT_EQ(run({"list", "Test Forum", "--by", "date", "--person", smith}).code, 2);
}

TEST_F(BrowseCommands, ThreadPrintsTheTreeIndentedByDepth) {
    CommandResult tree = run({"thread", "Test Forum", "102"});
    ASSERT_EQ(tree.code, 0) << tree.err;
    EXPECT_EQ(tree.out,
              "John Smith 100\n"
              "  Ärger Müller 101\n"
              "    Zoë Adams 102\n"
              "  John Smith 103\n"
              "John Smith 105\n");
    Json j = parseJson(run({"thread", "Test Forum", "102", "--json"}).out);
    ASSERT_EQ(j.size(), 5u);
    EXPECT_EQ(j[2]["number"].number, 102);
    EXPECT_EQ(j[2]["depth"].number, 2);
    EXPECT_TRUE(j[2]["selected"].boolean);
    EXPECT_EQ(run({"thread", "Test Forum", "4711"}).code, 1);
    EXPECT_EQ(run({"thread", "Inbox", "1001"}).code, 1);
    EXPECT_EQ(run({"thread", "Test Forum", "x"}).code, 2);
}

TEST_F(BrowseCommands, JsonIsValidWhateverTheTextsHold) {
    // A subject and a text with quotes, backslashes, control characters
    // and bytes that are not UTF-8 (which the program itself never stores:
    // they are put into the store file from outside).
    ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
    OP_CLOSE(OpenShared, {Forums.number()});
    Forums.clear();
    Forums.set(FOR_AlphaKey);
    ULONG inbox = 0;
    std::string inboxStore;
    while (Forums.next() == StorageStatus::Ok)
        if (FOR.DESCRIPTION.str() == "Inbox") {
            inbox = FOR.ID;
            inboxStore = Mem.FileDir + "/F" + std::to_string(FOR.DIRNUMBER) + "/postmoor.db";
        }
    OP_CLOSE(ReleaseTable, {Forums.number()});
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
    ASSERT_NE(inbox, 0u);
    ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
    ASSERT_TRUE(activateDatabase(inbox));
    OP_CLOSE(OpenShared, {Mail.number(), MsgText.number()});
    Mail.clear();
    MAI.MAILID = 1001;
    ASSERT_EQ(Mail.get(MAI_IdKey), StorageStatus::Ok);
    const std::string subject = "Say \"hi\" \\ \x01 \t \xC3\x28 \xFF end";
    MAI.SUBJECT = subject;
    ASSERT_EQ(Mail.put(), StorageStatus::Ok);
    MsgText.clear();
    TXT.MSGNUMBER = 1001;
    ASSERT_EQ(MsgText.get(TXT_IdKey), StorageStatus::Ok);
    const std::string text = "line\r\n\x1b[1mbold\x7f \xE2\x82 \xF0\x9F\x98\x80 done";
    TXT.MsgText = text;
    ASSERT_EQ(MsgText.put(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {Mail.number(), MsgText.number()});
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
    ASSERT_TRUE(storeExecute(inboxStore, "UPDATE Mail SET SUBJECT = CAST(X'" + hexOf(subject) +
                                             "' AS TEXT) WHERE MAILID = 1001; UPDATE MsgText SET MsgText = CAST(X'" +
                                             hexOf(text) + "' AS TEXT) WHERE MSGNUMBER = 1001"));

    CommandResult list = run({"list", "Inbox", "--json"});
    ASSERT_EQ(list.code, 0) << list.err;
    Json all = parseJson(list.out);
    ASSERT_EQ(all.size(), 4u);
    const Json& hi = all[2];
    EXPECT_EQ(hi["number"].number, 1001);
    EXPECT_EQ(hi["subject"].text, "Say \"hi\" \\ \x01 \t \xEF\xBF\xBD( \xEF\xBF\xBD end");
    EXPECT_EQ(hi["time"].text, "10:01");
    EXPECT_EQ(all[0]["subject"].text.substr(0, 9), "J'accuse ");
    EXPECT_EQ(all[0]["sender"].text, "Émile Zola <emile@zola.fr>");

    // TSV keeps one message a line.
    CommandResult tsv = run({"list", "Inbox"});
    EXPECT_EQ(numbers(tsv.out).size(), 4u);

    CommandResult shown = run({"show", "Inbox", "1001", "--json"});
    ASSERT_EQ(shown.code, 0) << shown.err;
    Json m = parseJson(shown.out);
    EXPECT_EQ(m["text"].text, "line\n\x1b[1mbold\x7f \xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80 done");
    EXPECT_TRUE(m["reply_to"].isNull());

    Json forum = parseJson(run({"show", "Test Forum", "101", "--json"}).out);
    EXPECT_EQ(forum["subject"].text, "Hello");
    EXPECT_EQ(forum["sender"].text, "Ärger Müller <22222,1>");
    EXPECT_EQ(forum["section"].text, "General");
    EXPECT_EQ(forum["reply_to"].number, 100);
    EXPECT_TRUE(forum["time"].isNull());
    EXPECT_EQ(forum["date"].text, formatDate(73001, "@D10-"));
}


TEST_F(BrowseCommands, TopicsAreKeptPerDatabaseAndNarrowTheList) {
    // The last sample made (the newsgroup) is the active database; the
    // forum's topics are worked on beside it.
    CommandResult added = run({"topics", "Test Forum", "add", "Good advice"});
    ASSERT_EQ(added.code, 0) << added.err;
    const std::string id = added.out.substr(0, added.out.find('\t'));
    EXPECT_EQ(added.out, id + "\tGood advice\n");
    EXPECT_EQ(run({"topics", "Test Forum", "add", "GOOD ADVICE"}).code, 1);

    CommandResult attached = run({"topics", "Test Forum", "attach", id, "101", "111", "4711"});
    EXPECT_EQ(attached.code, 1);  // 4711 is no message: named, the others still attached
    EXPECT_EQ(attached.out, "attached\t2\nunchanged\t0\n");
    EXPECT_NE(attached.err.find("holds no message 4711"), std::string::npos) << attached.err;
    EXPECT_EQ(run({"topics", "Test Forum", "attach", "good advice", "101"}).out, "attached\t0\nunchanged\t1\n");
    EXPECT_EQ(run({"topics", "Test Forum", "list"}).out, id + "\tGood advice\t2\n");
    EXPECT_EQ(run({"topics", "comp.lang.test", "list"}).out, "");

    CommandResult detached = run({"topics", "Test Forum", "detach", id, "101"});
    EXPECT_EQ(detached.out, "detached\t1\nunchanged\t0\n");
    Json listed = parseJson(run({"topics", "Test Forum", "list", "--json"}).out);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]["count"].number, 1);
    EXPECT_EQ(run({"topics", "Test Forum", "rename", id, "Kept"}).out, id + "\tKept\n");

    // A topic that messages carry is deleted with its attachments.
    CommandResult deleted = run({"topics", "Test Forum", "delete", "kept"});
    EXPECT_EQ(deleted.out, "deleted\t" + id + "\tKept\t1\n");
    EXPECT_EQ(run({"topics", "Test Forum", "list"}).out, "");
    EXPECT_EQ(run({"topics", "Test Forum", "detach", id, "111"}).code, 2);  // no such topic
    EXPECT_EQ(run({"topics", "Test Forum", "frobnicate"}).code, 2);
    const std::string forumStore = root.path() + "/F1/postmoor.db";  // the first database made
    ASSERT_EQ(storeValue(forumStore, "SELECT count(*) FROM MsgNmbr WHERE MSGNUMBER = 120"), "1");
    EXPECT_EQ(storeValue(forumStore, "SELECT count(*) FROM SIndex"), "0");
    EXPECT_EQ(storeValue(forumStore, "SELECT count(*) FROM Codes"), "0");
}

TEST_F(BrowseCommands, FindPrintsTheMessagesInTheBrowseOrder) {
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--in", "subject"}).out, "105\n103\n102\n101\n100\n");
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--in", "subject", "--backward"}).out,
              "100\n101\n102\n103\n105\n");
    EXPECT_EQ(run({"find", "Test Forum", "ripple"}).out, "120\n");
    CommandResult none = run({"find", "Test Forum", "ripple", "--in", "subject"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--case"}).code, 1);
    EXPECT_EQ(run({"find", "Test Forum", "Hello", "--case", "--in", "subject"}).out, "105\n103\n102\n101\n100\n");
    EXPECT_EQ(run({"find", "Inbox", "regards", "--in", "text"}).out, "1003\n1002\n1001\n1004\n");
    EXPECT_EQ(run({"find", "Inbox", "x", "--in", "sideways"}).code, 2);
}

TEST_F(BrowseCommands, FindReadsTheViewItIsGivenAsListShowsIt) {
    // The view's order, not the number order.
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--in", "subject", "--by", "thread"}).out, "100\n101\n102\n103\n105\n");
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--in", "subject", "--by", "thread", "--backward"}).out,
              "105\n103\n102\n101\n100\n");
    EXPECT_EQ(run({"find", "Inbox", "regards", "--in", "text", "--by", "subject"}).out, "1001\n1003\n1004\n1002\n");
    // Narrowed: only the section's messages are read.
    EXPECT_EQ(run({"find", "Test Forum", "ripple", "--section", "2"}).out, "120\n");
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--by", "section", "--section", "2"}).code, 1);
    // --word stays the whole-word switch beside a view.
    EXPECT_EQ(run({"find", "Test Forum", "hell", "--in", "subject", "--word", "--by", "thread"}).code, 1);
    // The same refusals as list.
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--by", "subject"}).code, 2);
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--by", "section"}).code, 2);
    EXPECT_EQ(run({"find", "Test Forum", "hello", "--by", "word"}).code, 2);
    EXPECT_EQ(run({"find", "Inbox", "regards", "--thread", "3"}).code, 2);
}

TEST_F(BrowseCommands, TwoProcessesAttachingOneTopicNeitherLoseNorDoubleAnAttachment) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    const std::string added = run({"topics", "Test Forum", "add", "Shared"}).out;
    const std::string id = added.substr(0, added.find('\t'));
    const std::string pm = std::string(POSTMOOR_BIN_DIR) + "/pmoor32 --root '" + root.path() + "' topics 'Test Forum' ";
    // Both start at once on overlapping sets; each commit sees the other's.
    CommandResult both = runShell("(" + pm + "attach " + id + " 100 101 102 103 105 & " + pm + "attach " + id +
                                      " 103 105 110 111 120 & wait)",
                                  root.path() + ".err");
    EXPECT_EQ(both.err, "");
    EXPECT_EQ(run({"topics", "Test Forum", "list"}).out, id + "\tShared\t8\n");
    const std::string forumStore = root.path() + "/F1/postmoor.db";
    EXPECT_EQ(storeValue(forumStore, "SELECT count(*) FROM SIndex"), "8");
    EXPECT_EQ(storeValue(forumStore, "SELECT COUNT FROM Codes"), "8");
}

}  // namespace
}  // namespace pm::test
