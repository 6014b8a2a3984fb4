// Mail runs that store each message as soon as it is read, beside the same
// runs storing after the last file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/globals.h"
#include "formats_fixture.h"
#include "storage/sql_connection.h"
#include "support/block_format.h"
#include "support/catalog_inspection.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/mail_database.h"
#include "tables/identifiers/import_reservation.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm::test {
namespace {

constexpr int kForumsTable = 2, kPersonTable = 5, kMailTable = 13;

// An mbox of `count` mails from seven senders, the first mail written again
// at the end; mail `poison` (1-based) is subjected "Poison".
std::string mbox(int count, int poison = 0) {
    std::vector<std::string> mails;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i), s = std::to_string(i % 7);
        mails.push_back("From s" + s + "@example.com Mon Mar  3 10:15:00 1997\n" +
                        "Message-ID: <m" + n + "@example.com>\n" + "Date: Mon, " + std::to_string(1 + i % 27) +
                        " Mar 1997 10:" + std::to_string(10 + i % 50) + ":00 +0100\n" + "From: Sender" + s +
                        " Person <s" + s + "@example.com>\n" + "To: Me <me@home.example>\n" +
                        "Subject: " + (i == poison ? std::string("Poison") : "Mail " + n) + "\n\n" +
                        "Text of mail " + n + "\n\n");
    }
    mails.push_back(mails.front());
    std::string text;
    for (const std::string& m : mails) text += m;
    return text;
}

// What a mailbox holds, persons by name and address: identifiers differ
// between runs that take them in another order.
std::vector<std::string> described(const DatabaseContents& db) {
    std::vector<std::string> out;
    for (const StoredMessage& m : db.messages)
        out.push_back(std::to_string(m.date) + "|" + std::to_string(m.time) + "|" + m.subject + "|" + m.senderName +
                      "|" + m.senderAddress + "|" + m.receiverName + "|" + m.receiverAddress + "|" + m.text);
    std::sort(out.begin(), out.end());
    return out;
}

// The highest `column` of `table` in any attached store that holds it.
long long highest(sqlite3* db, const std::string& table, const std::string& column, const std::string& where = {}) {
    std::vector<std::string> schemas;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW) schemas.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 1)));
    sqlite3_finalize(list);
    long long top = 0;
    for (const std::string& schema : schemas) {
        const std::string sql = "SELECT MAX(" + column + ") FROM \"" + schema + "\".\"" + table + "\"" + where;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) continue;  // no such table there
        if (sqlite3_step(st) == SQLITE_ROW) top = std::max(top, sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
    }
    return top;
}

// After every commit of the process: the counter in Control record 1 lies
// above every mail and person identifier stored.
class CounterWatch final : public sql::TransactionListener {
public:
    CounterWatch() { sql::Connection::instance().addListener(this); }
    ~CounterWatch() override { sql::Connection::instance().removeListener(this); }
    void afterCommit() override {
        sqlite3* db = sql::Connection::instance().db();
        const long long counter = highest(db, "Control", "NEXTNUMBER", " WHERE ID = 1");
        const long long stored = std::max(highest(db, "Mail", "MAILID"), highest(db, "Person", "PERSONID"));
        ++commits;
        if (stored > 0 && stored >= counter) {
            ++behind;
            ADD_FAILURE() << "counter " << counter << " stored " << stored;
        }
    }
    int commits = 0, behind = 0;
};

class StreamedImport : public FormatImportTest {
protected:
    ImportRequest into(ULONG database, const std::string& file) {
        ImportRequest r = requestFor("Generic Mail Type 2", {file});
        r.mailbox = static_cast<LONG>(database);
        EXPECT_EQ(completeImportRequest(r), RequestProblem::None);
        return r;
    }
    std::string source(const std::string& text) {
        const std::string path = root.path() + "/in.mbox";
        writeTextFile(path, text);
        return path;
    }
    ULONG catalogCount(const std::string& name) {
        const ULONG id = catalogEntry(name).id;
        OP_CLOSE(OpenShared, {kForumsTable});
        Forums.clear();
        FOR.ID = id;
        const ULONG count = Forums.get(FOR_ForumKey) == StorageStatus::Ok ? FOR.MSGCOUNT : 0;
        OP_CLOSE(ReleaseTable, {kForumsTable});
        return count;
    }
    // Per person (last name and address): messages sent and received, as counted.
    std::map<std::string, std::pair<ULONG, ULONG>> personCounts(const std::string& name) {
        std::map<std::string, std::pair<ULONG, ULONG>> out;
        if (!activateDatabase(catalogEntry(name).id)) return out;
        OP_CLOSE(OpenShared, {kPersonTable});
        Person.setPhysical();
        while (Person.next() == StorageStatus::Ok)
            out[PER.LASTNAME.str() + "|" + PER.ADDRESS.str()] = {PER.FROMCOUNT, PER.TOCOUNT};
        OP_CLOSE(ReleaseTable, {kPersonTable});
        return out;
    }
    ULONG sentTotal(const std::string& name) {
        ULONG total = 0;
        for (const auto& [who, counts] : personCounts(name)) total += counts.first;
        return total;
    }
    long long mails(const std::string& name) {
        if (!activateDatabase(catalogEntry(name).id)) return -1;
        OP_CLOSE(OpenShared, {kMailTable});
        const long long n = Mail.records();
        OP_CLOSE(ReleaseTable, {kMailTable});
        return n;
    }
    bool controlFree() {
        ImportReservation next;
        return next.begin();
    }
    CounterWatch watch;
};

TEST_F(StreamedImport, StoresWhatTheTwoPhaseRunStoresAndASecondRunNothing) {
    createMailDatabase("Second Inbox", "me@home.example", {"me@work.example"});
    const ULONG second = catalogEntry("Second Inbox").id;
    const std::string file = source(mbox(40));

    ImportOptions twoPhase;
    twoPhase.quota = 3;
    twoPhase.showCompletionTime = 0;
    twoPhase.twoPhase = true;
    ImportRun old(into(mailbox, file), twoPhase);
    ASSERT_EQ(old.runToEnd(), ImportOutcome::Completed);
    EXPECT_FALSE(old.streams());

    ImportOptions options;
    options.quota = 3;
    options.showCompletionTime = 0;
    ImportRun streamed(into(second, file), options);
    ASSERT_EQ(streamed.runToEnd(), ImportOutcome::Completed);
    EXPECT_TRUE(streamed.streams());

    EXPECT_EQ(streamed.progress().imported, 40);
    EXPECT_EQ(streamed.progress().skipped, 1);  // the first mail, read again
    EXPECT_EQ(streamed.progress().imported, old.progress().imported);
    EXPECT_EQ(streamed.progress().skipped, old.progress().skipped);
    EXPECT_EQ(streamed.progress().headerRecords, 40);
    EXPECT_EQ(described(contents("Second Inbox")), described(contents("Inbox")));
    EXPECT_EQ(personCounts("Second Inbox"), personCounts("Inbox"));
    EXPECT_EQ(catalogCount("Second Inbox"), 40u);

    ImportRun again(into(second, file), options);
    EXPECT_EQ(again.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(again.progress().imported, 0);
    EXPECT_EQ(mails("Second Inbox"), 40);
    EXPECT_EQ(personCounts("Second Inbox"), personCounts("Inbox"));

    EXPECT_GT(watch.commits, 0);
    EXPECT_EQ(watch.behind, 0);
    EXPECT_TRUE(controlFree());
    EXPECT_TRUE(ui.empty()) << ui.last().caption << ": " << ui.last().text;
}

TEST_F(StreamedImport, AStopOnceStoringHasBegunKeepsWhatWasStoredWithItsCounts) {
    const std::string file = source(mbox(30));
    ImportOptions options;
    options.quota = 2;
    ImportRun run(into(mailbox, file), options);
    while (!run.progress().phaseB) {
        ASSERT_EQ(run.progress().imported, 0);
        ASSERT_EQ(run.step(), JobStatus::Running);
    }
    while (run.progress().imported < 6) ASSERT_EQ(run.step(), JobStatus::Running);
    EXPECT_EQ(run.state(), ImportState::Parse);  // still reading
    ui.answer(ButtonNo);
    EXPECT_FALSE(run.requestStop(StopRequest::Ask));
    EXPECT_EQ(ui.last().caption, "Import process interrupted");
    ui.answer(ButtonYes);
    EXPECT_TRUE(run.requestStop(StopRequest::Ask));
    EXPECT_EQ(run.outcome(), ImportOutcome::Cancelled);

    const long long stored = run.progress().imported;
    EXPECT_GE(stored, 6);
    EXPECT_LT(stored, 30);
    EXPECT_EQ(mails("Inbox"), stored);
    EXPECT_EQ(catalogCount("Inbox"), static_cast<ULONG>(stored));
    EXPECT_EQ(sentTotal("Inbox"), static_cast<ULONG>(stored));
    EXPECT_TRUE(controlFree());

    ImportRun rest(into(mailbox, file), options);
    EXPECT_EQ(rest.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(rest.progress().imported, 30 - stored);
    EXPECT_EQ(mails("Inbox"), 30);
    EXPECT_EQ(catalogCount("Inbox"), 30u);
    EXPECT_EQ(sentTotal("Inbox"), 30u);
    EXPECT_EQ(watch.behind, 0);
}

TEST_F(StreamedImport, AFailedWriteRollsBackAndEndsTheRun) {
    const std::string file = source(mbox(12, 9));
    // The mail database refuses the poisoned mail as a write error.
    ASSERT_EQ(mails("Inbox"), 0);  // the table exists
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Mem.FileDir + "/" + Mem.Dirnamn + "/postmoor.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER poison BEFORE INSERT ON Mail WHEN NEW.SUBJECT LIKE 'Poison%' "
                           "BEGIN SELECT RAISE(ABORT, 'poisoned'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);

    ImportOptions options;
    options.quota = 2;
    ImportRun run(into(mailbox, file), options);
    EXPECT_EQ(run.runToEnd(), ImportOutcome::Failed);
    EXPECT_TRUE(run.streams());
    EXPECT_TRUE(ui.sawText("poisoned"));
    EXPECT_FALSE(inTransaction());
    // What the run reports is what stayed: nothing of the open transaction.
    EXPECT_EQ(mails("Inbox"), run.progress().imported);
    EXPECT_EQ(catalogCount("Inbox"), static_cast<ULONG>(run.progress().imported));
    EXPECT_TRUE(controlFree());
    EXPECT_EQ(watch.behind, 0);
}

}  // namespace
}  // namespace pm::test
