// pmoor32 merge: every message of the source once in the target, whatever
// the target held before and however often the merge was interrupted or
// killed; two kinds of database are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/sample_messages.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

class MergeCommand : public ::testing::Test {
protected:
    CommandResult pmoor32(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    void SetUp() override { ASSERT_EQ(pmoor32({"init"}).code, 0); }

    void mailbox(const std::string& name, int first, int count) {
        ASSERT_EQ(pmoor32({"db", "create", "mail", name, "--address", "me@home.example"}).code, 0);
        const std::string file = root / (name + ".mbox");
        writeMailbox(file, first, count);
        ASSERT_EQ(pmoor32({"import", "--format", "Generic Mail Type 2", "--mailbox", name, file}).code, 0);
    }
    std::string store(const std::string& dir) const { return root / (dir + "/postmoor.db"); }
    std::string value(const std::string& dir, const std::string& sql) const { return storeValue(store(dir), sql); }
    std::string catalogCount(const std::string& name) const {
        return storeValue(root / "CFG/postmoor.db", "SELECT MSGCOUNT FROM Forums WHERE DESCRIPTION = '" + name + "'");
    }
    // Every count the store keeps agrees with the messages of a mail box.
    void expectMailCountsHold(const std::string& dir, const std::string& name) {
        const std::string mails = value(dir, "SELECT count(*) FROM Mail");
        EXPECT_EQ(value(dir, "SELECT count(*) FROM MsgText"), mails);
        EXPECT_EQ(value(dir, "SELECT sum(FROMCOUNT) FROM Person"), mails);
        EXPECT_EQ(value(dir, "SELECT sum(TOCOUNT) FROM Person"), mails);
        EXPECT_EQ(catalogCount(name), mails);
    }

    TempDir root;
};

TEST_F(MergeCommand, MailPresentInBothBoxesIsStoredOnceWithItsReceiversAndStatus) {
    mailbox("Home", 1, 30);
    mailbox("Archive", 21, 30);  // mails 21-30 are in both
    ASSERT_TRUE(storeExecute(store("F1"), "UPDATE Mail SET DUMMY = 1 WHERE SUBJECT = 'Note 3'"));
    // Further receivers, as the navigator formats leave them.
    ASSERT_TRUE(storeExecute(store("F1"), "INSERT INTO CCR SELECT MAILID, 'Other One', 'other@example.com', 'CC' "
                                          "FROM Mail WHERE SUBJECT IN ('Note 4', 'Note 8', 'Note 12');"
                                          "INSERT INTO CCR SELECT MAILID, 'Me', 'me@home.example', 'CC' "
                                          "FROM Mail WHERE SUBJECT = 'Note 4';"
                                          "UPDATE Mail SET CCR = 1 WHERE SUBJECT IN ('Note 4', 'Note 8', 'Note 12')"));
    CommandResult r = pmoor32({"merge", "Home", "Archive"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "converted\t30\nmerged\t20\nskipped\t10\n");
    EXPECT_EQ(value("F2", "SELECT count(*) || '/' || count(DISTINCT SUBJECT) FROM Mail"), "50/50");
    expectMailCountsHold("F2", "Archive");
    // The owner of both boxes stays one person; the further receivers came
    // along, the owner's own address left out.
    EXPECT_EQ(value("F2", "SELECT count(DISTINCT TOID) FROM Mail"), "1");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM CCR JOIN Mail USING (MAILID) WHERE SUBJECT IN "
                          "('Note 4', 'Note 8', 'Note 12')"),
              "3");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM Mail WHERE CCR = 1"), value("F2", "SELECT count(DISTINCT MAILID) FROM CCR"));
    EXPECT_EQ(value("F2", "SELECT DUMMY FROM Mail WHERE SUBJECT = 'Note 3'"), "1");
    // The source is left as it was.
    EXPECT_EQ(value("F1", "SELECT count(*) FROM Mail"), "30");

    r = pmoor32({"merge", "Home", "Archive"});
    EXPECT_EQ(r.out, "converted\t30\nmerged\t0\nskipped\t30\n");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM Mail"), "50");
}

TEST_F(MergeCommand, AMailIsTheSameDespiteTheLetterCaseOfItsSubjectItsSecondsAndAShortTextTail) {
    mailbox("Home", 1, 5);
    mailbox("Archive", 1, 5);
    ASSERT_TRUE(storeExecute(store("F1"),
                             "UPDATE Mail SET SUBJECT = upper(SUBJECT) WHERE SUBJECT = 'Note 2';"
                             "UPDATE Mail SET TIME = TIME + 3000 WHERE SUBJECT = 'Note 5';"
                             "UPDATE MsgText SET MsgText = MsgText || 'Sent from my desk' WHERE MSGNUMBER = "
                             "(SELECT MAILID FROM Mail WHERE SUBJECT = 'Note 3');"
                             "UPDATE MsgText SET MsgText = MsgText || 'Sent from my desk, one more time' WHERE "
                             "MSGNUMBER = (SELECT MAILID FROM Mail WHERE SUBJECT = 'Note 4');"
                             "UPDATE Mail SET TIME = TIME + 6000 WHERE SUBJECT = 'Note 1'"));
    const CommandResult r = pmoor32({"merge", "Home", "Archive"});
    EXPECT_EQ(r.code, 0) << r.err;
    // Another minute and a text longer by 20 characters or more make
    // another mail; the rest is there already.
    EXPECT_EQ(r.out, "converted\t5\nmerged\t2\nskipped\t3\n");
    EXPECT_EQ(value("F2", "SELECT group_concat(SUBJECT, ',') FROM (SELECT SUBJECT FROM Mail GROUP BY SUBJECT "
                          "HAVING count(*) = 2 ORDER BY SUBJECT)"),
              "Note 1,Note 4");
    expectMailCountsHold("F2", "Archive");
}

TEST_F(MergeCommand, AForumTargetKeepsItsOwnCopiesOfTheSameMessages) {
    const std::string capture = std::string(POSTMOOR_TEST_DATA) + "/capture/tapcis6/forum.msg";
    for (const char* name : {"Source", "Target"}) {
        ASSERT_EQ(pmoor32({"db", "create", "forum", name}).code, 0);
        ASSERT_EQ(pmoor32({"import", "--format", "TAPCIS 6.x", "--target", name, capture}).code, 0);
    }
    // Two of the target's copies are changed, and one of its messages is gone.
    ASSERT_TRUE(storeExecute(store("F2"), "UPDATE MsgText SET MsgText = 'target copy' WHERE MSGNUMBER IN "
                                          "(SELECT MSGNUMBER FROM MsgText ORDER BY MSGNUMBER LIMIT 2)"));
    const std::string gone = value("F2", "SELECT max(MSGNUMBER) FROM MsgNmbr");
    ASSERT_TRUE(storeExecute(store("F2"), "DELETE FROM MsgNmbr WHERE MSGNUMBER = " + gone +
                                              "; DELETE FROM MsgText WHERE MSGNUMBER = " + gone));
    const CommandResult r = pmoor32({"merge", "Source", "Target"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "converted\t4\nmerged\t1\nskipped\t3\n");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgText WHERE MsgText = 'target copy'"), "2");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgNmbr"), "4");
    EXPECT_EQ(catalogCount("Target"), "4");
    EXPECT_EQ(value("F2", "SELECT THREADNUMBER IN (SELECT THREADNUMBER FROM Threads) FROM MsgNmbr WHERE MSGNUMBER = " +
                              gone),
              "1");
}

TEST_F(MergeCommand, NewsgroupArticlesKeepTheirThreadsAndAreFoundByMessageId) {
    writeNewsFile(root / "a.txt", "comp.a", 1, 12);
    writeNewsFile(root / "b.txt", "comp.b", 1, 6);
    ASSERT_EQ(pmoor32({"import", "--format", "Unix News", root / "a.txt", root / "b.txt"}).code, 0);
    CommandResult r = pmoor32({"merge", "comp.a", "comp.b"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "converted\t12\nmerged\t12\nskipped\t0\n");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgNmbr"), "18");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgString"), "18");
    // A reply sits in its parent's thread, filed under its own group's section.
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgNmbr r JOIN MsgNmbr p ON r.REFNUMBER = p.MSGNUMBER "
                          "WHERE r.THREADNUMBER = p.THREADNUMBER"),
              "6");
    EXPECT_EQ(value("F2", "SELECT count(*) FROM MsgNmbr WHERE SECSYSID NOT IN (SELECT SECSYSID FROM Sections)"), "0");
    EXPECT_EQ(value("F2", "SELECT sum(MSGCOUNT) FROM Threads"), "18");
    EXPECT_EQ(catalogCount("comp.b"), "18");
    // The target's word index is told to look at every message again.
    EXPECT_EQ(storeValue(root / "CFG/postmoor.db",
                         "SELECT WORDLISTINDEXNEEDSUPDATE || LASTMSGID FROM Forums WHERE DESCRIPTION = 'comp.b'"),
              "10");

    r = pmoor32({"merge", "comp.a", "comp.b"});
    EXPECT_EQ(r.out, "converted\t12\nmerged\t0\nskipped\t12\n");
}

TEST_F(MergeCommand, TopicsOfTheTargetAreClassifiedAgain) {
    mailbox("Home", 1, 3);
    mailbox("Archive", 4, 3);
    ASSERT_EQ(pmoor32({"merge", "Home", "Archive"}).code, 0);
    ASSERT_TRUE(storeExecute(store("F2"), "INSERT INTO Codes (TYPE, \"INDEX\", ID, COUNT, DATE, TIME, CHARCASE, "
                                          "WORDONLY) VALUES (1, 'invoices', 7, 2, 73000, 500, 0, 0)"));
    mailbox("More", 7, 2);
    ASSERT_EQ(pmoor32({"merge", "More", "Archive"}).code, 0);
    EXPECT_EQ(value("F2", "SELECT DATE || '/' || TIME || '/' || COUNT FROM Codes"), "0/0/2");
}

TEST_F(MergeCommand, TwoKindsOfDatabaseAreRefused) {
    mailbox("Home", 1, 3);
    ASSERT_EQ(pmoor32({"db", "create", "forum", "Forum"}).code, 0);
    CommandResult r = pmoor32({"merge", "Home", "Forum"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Illegal selection!: You cannot merge different kinds of databases - they both will have to "
                         "be either Mail, Forum or Newsgroup!"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(value("F2", "SELECT count(*) FROM sqlite_master WHERE name = 'MsgNmbr'"), "0");
    r = pmoor32({"merge", "Home", "Home"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(pmoor32({"merge", "Home"}).code, 2);
    EXPECT_EQ(pmoor32({"merge", "Home", "Nowhere"}).code, 2);
}

// The built program, killed (SIGKILL) right after the n-th commit of the
// merge or stopped by Ctrl-C, then run again: the same target as one run.
class InterruptedMerge : public MergeCommand {
protected:
    static constexpr int kMails = 900;
    void SetUp() override {
        if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        MergeCommand::SetUp();
        mailbox("Home", 1, kMails);
        mailbox("Archive", kMails - 99, 200);  // 100 in both
    }
    CommandResult merge(const std::string& environment = "") {
        return runProgram(root.path(), "merge Home Archive", environment);
    }
    void expectWhole() {
        EXPECT_EQ(value("F2", "SELECT count(*) || '/' || count(DISTINCT SUBJECT) FROM Mail"),
                  std::to_string(kMails + 100) + "/" + std::to_string(kMails + 100));
        EXPECT_EQ(value("F2", "SELECT count(*) FROM Mail WHERE CCR = 1"),
                  value("F2", "SELECT count(DISTINCT MAILID) FROM CCR"));
        expectMailCountsHold("F2", "Archive");
    }
};

TEST_F(InterruptedMerge, KilledAfterAnyCommitTheNextRunCompletesIt) {
    for (int commit : {1, 3}) {
        SCOPED_TRACE(commit);
        const CommandResult killed = merge("POSTMOOR_TEST_KILL_AFTER_COMMITS=" + std::to_string(commit));
        EXPECT_TRUE(killed.code == -1 || killed.code == 128 + 9) << killed.code << killed.err;
        const int stored = std::stoi(value("F2", "SELECT count(*) FROM Mail"));
        EXPECT_GT(stored, 200);
        // Whole transactions only: their counts came with them.
        EXPECT_EQ(value("F2", "SELECT sum(FROMCOUNT) FROM Person"), std::to_string(stored));
    }
    const CommandResult r = merge();
    EXPECT_EQ(r.code, 0) << r.err;
    expectWhole();
}

TEST_F(InterruptedMerge, StoppedByCtrlCItKeepsWhatItStoredWithItsCounts) {
    CommandResult r = merge("POSTMOOR_TEST_INTERRUPT=Merged:300");
    EXPECT_EQ(r.code, 130) << r.err;
    EXPECT_NE(r.err.find("Interrupted"), std::string::npos);
    const int merged = std::stoi(r.out.substr(r.out.find("merged\t") + 7));
    EXPECT_GE(merged, 300);
    expectMailCountsHold("F2", "Archive");
    r = merge();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("merged")), "merged\t" + std::to_string(kMails - 100 - merged) + "\nskipped\t" +
                                                      std::to_string(100 + merged) + "\n");
    expectWhole();
}

}  // namespace
}  // namespace pm::test
