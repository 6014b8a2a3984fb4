// pmoor32 purge and count on an imported, word-indexed mailbox: the printed
// counters, the counts against a fresh count, and a purge killed (SIGKILL)
// at several points and run again ending with the same stores as a purge
// that ran through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/command_runner.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

using RunResult = test::CommandResult;

using test::pmoor;

std::string query(const std::string& store, const std::string& sql) { return test::storeValue(store, sql); }

constexpr int kMails = 240;

class PurgeCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        std::ofstream out(work.path() + "/in.mbox");
        const char* words[] = {"harbour", "lantern", "meadow", "copper", "willow", "granite", "orchard", "falcon"};
        for (int i = 1; i <= kMails; ++i) {
            // Every tenth mail comes again 20 seconds later: the same minute.
            const int copies = i % 10 == 0 ? 2 : 1;
            for (int c = 0; c < copies; ++c) {
                out << "From sender" << i % 12 << "@example.com Mon Mar  3 10:15:00 1997\n"
                    << "Message-ID: <m" << i << "." << c << "@example.com>\n"
                    << "Date: Mon, 3 Mar 1997 10:" << 10 + i % 40 << ":" << (c == 0 ? "05" : "25") << " +0100\n"
                    << "From: Sender " << i % 12 << " <sender" << i % 12 << "@example.com>\n"
                    << "To: Me <me@home.example>\nSubject: Note " << i << "\n\n";
                for (int k = 0; k < 8; ++k) out << words[(i * 7 + k) % 8] << ' ';
                out << "token" << i << "\n\n";
            }
        }
    }
    // An installation with the mailbox imported, indexed, partly marked.
    void prepare(const std::string& root) {
        ASSERT_EQ(pmoor(root, "init").code, 0);
        ASSERT_EQ(pmoor(root, "config set 27 1").code, 0);  // small slices: many commits
        ASSERT_EQ(pmoor(root, "db create mail Box --address me@home.example").code, 0);
        ASSERT_EQ(pmoor(root, "import --format 'generic mail type 2' --mailbox Box '" + work.path() + "/in.mbox'").code, 0);
        ASSERT_EQ(pmoor(root, "index Box").code, 0);
        const std::string some = stored(root, "SELECT group_concat(MAILID, ' ') FROM (SELECT MAILID FROM Mail "
                                              "WHERE SUBJECT LIKE 'Note %3' ORDER BY MAILID)");
        ASSERT_EQ(pmoor(root, "mark Box " + some + " --delete").code, 0);
        const std::string partner = stored(root, "SELECT min(MAILID) FROM Mail WHERE SUBJECT = 'Note 5'");
        ASSERT_EQ(pmoor(root, "mark Box " + partner + " --partner --delete").code, 0);
        const std::string keep = stored(root, "SELECT min(MAILID) FROM Mail WHERE SUBJECT = 'Note 17'");
        ASSERT_EQ(pmoor(root, "mark Box " + keep + " --keep").code, 0);
    }
    static std::string stored(const std::string& root, const std::string& sql) {
        return query(root + "/F1/postmoor.db", sql);
    }
    // What a purge leaves, as one text to compare.
    static std::string dump(const std::string& root) {
        auto all = [&](const std::string& select) {
            return stored(root, "SELECT group_concat(row, ';') FROM (" + select + ")") + "\n";
        };
        return all("SELECT MAILID || ':' || DUMMY || ':' || TIME || ':' || FROMID AS row FROM Mail ORDER BY MAILID") +
               all("SELECT PERSONID || ':' || FROMCOUNT || ':' || TOCOUNT AS row FROM Person ORDER BY PERSONID") +
               all("SELECT MSGNUMBER AS row FROM MsgText ORDER BY MSGNUMBER") +
               all("SELECT PERSONSTRING || ':' || PERSONID AS row FROM PLINK ORDER BY PERSONSTRING") +
               all("SELECT THEWORD || ':' || WORDCOUNT AS row FROM WordList ORDER BY THEWORD") +
               all("SELECT count(*) || ' ' || sum(ENTRIES) AS row FROM MasIdx") +
               query(root + "/CFG/postmoor.db", "SELECT MSGCOUNT FROM Forums");
    }

    test::TempDir work;
};

TEST_F(PurgeCommands, PurgeAndCountPrintTheirCountersAndLeaveFreshCounts) {
    const std::string root = work.path() + "/root";
    prepare(root);
    const std::string before = stored(root, "SELECT count(*) FROM Mail");
    RunResult r = pmoor(root, "purge Box");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string after = stored(root, "SELECT count(*) FROM Mail");
    EXPECT_EQ(r.out.substr(0, r.out.find("persons_deleted")),
              "messages_before\t" + before + "\ndeleted\t" + std::to_string(std::stoi(before) - std::stoi(after)) +
                  "\nmessages_after\t" + after + "\n");
    // Gone: the Delete marks, the partner's mails but the Keep one, the second copies.
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail WHERE DUMMY = 2 OR SUBJECT LIKE 'Note %3'"), "0");
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail WHERE SUBJECT = 'Note 17'"), "1");
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Mail GROUP BY SUBJECT ORDER BY count(*) DESC LIMIT 1"), "1");
    // Fresh counts: persons by id, the catalog, words by their occurrences.
    EXPECT_EQ(stored(root, "SELECT count(*) FROM Person p WHERE FROMCOUNT <> (SELECT count(*) FROM Mail WHERE "
                           "FROMID = p.PERSONID) OR TOCOUNT <> (SELECT count(*) FROM Mail WHERE TOID = p.PERSONID)"),
              "0");
    EXPECT_EQ(query(root + "/CFG/postmoor.db", "SELECT MSGCOUNT FROM Forums"), after);
    EXPECT_EQ(stored(root, "SELECT count(*) FROM MsgText"), after);
    EXPECT_EQ(stored(root, "SELECT count(*) FROM WordList WHERE THEWORD LIKE 'token3'"), "0");
    EXPECT_EQ(stored(root, "SELECT count(*) FROM WordList WHERE THEWORD LIKE 'token4'"), "1");
    EXPECT_EQ(stored(root, "SELECT WORDCOUNT FROM WordList WHERE THEWORD LIKE 'token17'"), "1");

    r = pmoor(root, "count Box");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "messages\t" + after);
    EXPECT_NE(r.out.find("mail_partners\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\npersons\t" + stored(root, "SELECT count(*) FROM Person") + "\n"), std::string::npos) << r.out;

    EXPECT_EQ(pmoor(root, "purge Box --aged 0").code, 2);
    EXPECT_EQ(pmoor(root, "count").code, 2);
}

TEST_F(PurgeCommands, PurgeKilledAtAnyPointAndRunAgainEndsAsAnUninterruptedOne) {
    const std::string prepared = work.path() + "/prepared";
    prepare(prepared);
    const std::string reference = work.path() + "/reference";
    std::filesystem::copy(prepared, reference, std::filesystem::copy_options::recursive);
    ASSERT_EQ(pmoor(reference, "purge Box").code, 0);
    const std::string expected = dump(reference);

    // Phases: 2 duplicates, 3 partners, 4 deletions, 7 word list, 10 persons.
    for (const std::string at : {"phase:2", "phase:3", "deleted:30", "phase:5", "phase:8", "phase:10", "phase:11"}) {
        const std::string root = work.path() + "/killed";
        std::filesystem::remove_all(root);
        std::filesystem::copy(prepared, root, std::filesystem::copy_options::recursive);
        const RunResult killed = pmoor(root, "purge Box", at + ":KILL");
        EXPECT_EQ(killed.code, 137) << at << ": " << killed.err;
        const RunResult again = pmoor(root, "purge Box");
        EXPECT_EQ(again.code, 0) << at << ": " << again.err;
        EXPECT_EQ(dump(root), expected) << at;
    }
}

// Senders who write one address in two letter cases under two names are
// merged into one person; a merge killed in any phase and run again ends
// as one that ran through.
TEST_F(PurgeCommands, DedupeKilledAtAnyPointAndRunAgainEndsAsAnUninterruptedOne) {
    {
        std::ofstream out(work.path() + "/pairs.mbox");
        for (int i = 1; i <= 120; ++i) {
            const int s = i % 15;
            const bool upper = i % 2 == 0;
            out << "From x@example.com Mon Mar  3 10:15:00 1997\n"
                << "Message-ID: <p" << i << "@example.com>\nDate: Mon, 3 Mar 1997 1" << i % 10 << ":15:00 +0100\n"
                << "From: " << (upper ? "S. Number " : "Sender ") << s << " <" << (upper ? "SENDER" : "sender") << s
                << "@Example.COM>\nTo: Me <me@home.example>\nSubject: Pair " << i << "\n\nText " << i << "\n\n";
        }
    }
    const std::string prepared = work.path() + "/prepared";
    ASSERT_EQ(pmoor(prepared, "init").code, 0);
    ASSERT_EQ(pmoor(prepared, "config set 26 1").code, 0);  // small slices: many commits
    ASSERT_EQ(pmoor(prepared, "db create mail Box --address me@home.example").code, 0);
    ASSERT_EQ(pmoor(prepared, "import --format 'generic mail type 2' --mailbox Box '" + work.path() + "/pairs.mbox'").code, 0);
    const std::string persons = stored(prepared, "SELECT count(*) FROM Person");

    const std::string reference = work.path() + "/reference";
    std::filesystem::copy(prepared, reference, std::filesystem::copy_options::recursive);
    const RunResult whole = pmoor(reference, "dedupe-persons Box");
    ASSERT_EQ(whole.code, 0) << whole.err;
    EXPECT_NE(whole.out.find("persons_before\t" + persons + "\n"), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("duplicates_merged\t15\n"), std::string::npos) << whole.out;
    // One person an address, every mail still from one of them, aliases left.
    EXPECT_EQ(stored(reference, "SELECT count(*) FROM (SELECT upper(ADDRESS) FROM Person GROUP BY upper(ADDRESS) "
                                "HAVING count(*) > 1)"),
              "0");
    EXPECT_EQ(stored(reference, "SELECT count(*) FROM Mail WHERE FROMID NOT IN (SELECT PERSONID FROM Person)"), "0");
    EXPECT_EQ(stored(reference, "SELECT count(*) FROM PLINK"), "15");
    EXPECT_EQ(stored(reference, "SELECT sum(FROMCOUNT) FROM Person"), "120");
    const std::string expected = dump(reference);

    // Phases: 5 recoding, 6 deleting the merged, 7 recount.
    for (const std::string at : {"phase:2", "phase:5", "phase:6", "phase:7", "phase:8"}) {
        const std::string root = work.path() + "/killed";
        std::filesystem::remove_all(root);
        std::filesystem::copy(prepared, root, std::filesystem::copy_options::recursive);
        const RunResult killed = pmoor(root, "dedupe-persons Box", at + ":KILL");
        EXPECT_EQ(killed.code, 137) << at << ": " << killed.err;
        const RunResult again = pmoor(root, "dedupe-persons Box");
        EXPECT_EQ(again.code, 0) << at << ": " << again.err;
        EXPECT_EQ(dump(root), expected) << at;
    }
}

}  // namespace
}  // namespace pm
