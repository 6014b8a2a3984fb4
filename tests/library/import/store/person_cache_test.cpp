// The store's memory of the persons it resolved: a person changed since,
// by another process or by this one, or gone with a rolled-back
// transaction, is read again, never taken from the memory.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "common/globals.h"
#include "storage/sql_collation.h"
#include "store_fixture.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::MessageBuilder;
using test::StoreTest;

constexpr LONG CachedPersonsDay = 73100;

class PersonCacheTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        openMailDatabase("Inbox", "me@home.org");
    }
    MessageBuilder fromFred(ULONG id) {
        return message().replyTo(id).mailType(MailReceived).date(CachedPersonsDay).time(6000 * static_cast<LONG>(id % 1000))
            .subject("Note " + std::to_string(id)).from("Fred Foreign", "fred@else.org").to("Me", "me@home.org")
            .text("Text " + std::to_string(id));
    }
    // The FROMALPHA the mail was stored with.
    std::string senderNameOf(ULONG id) { return mail(id) ? MAI.FROMALPHA.str() : "<none>"; }
    // Runs `sql` on the database's store through a connection of its own, as
    // another process would.
    void otherProcessRuns(const std::string& sql) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(storeFilePath(root / Mem.Dirnamn).c_str(), &other), SQLITE_OK);
        sql::registerCollations(other);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(other);
    }
    void beginAgain() { ASSERT_TRUE(MessageStore::beginTransactionFor(TypeMail)); }
};

TEST_F(PersonCacheTest, APersonRenamedByAnotherProcessIsReadAgain) {
    const StoreOutcome first = store(fromFred(1));
    ASSERT_EQ(first.result, StoreStored);
    ASSERT_EQ(store(fromFred(2)).senderId, first.senderId);
    EXPECT_EQ(ms.personCache().size(), 2u);  // Fred, and the owner's side as the first mail named it
    commit();

    otherProcessRuns("UPDATE \"Person\" SET \"LASTNAME\" = 'Renamed' WHERE \"PERSONID\" = " +
                     std::to_string(first.senderId));
    beginAgain();
    EXPECT_EQ(store(fromFred(3)).senderId, first.senderId);
    EXPECT_EQ(senderNameOf(2), "Foreign");
    EXPECT_EQ(senderNameOf(3), "Renamed");

    // Merged away by the other process: the alias leads to the person kept.
    commit();
    otherProcessRuns("INSERT INTO \"Person\" (\"PERSONID\", \"PERSONSTRING\", \"LASTNAME\") VALUES (777, 'KEPT', 'Kept');"
                     "INSERT INTO \"PLINK\" (\"PERSONSTRING\", \"PERSONID\") SELECT \"PERSONSTRING\", 777 FROM \"Person\""
                     " WHERE \"PERSONID\" = " + std::to_string(first.senderId) + ";"
                     "DELETE FROM \"Person\" WHERE \"PERSONID\" = " + std::to_string(first.senderId));
    beginAgain();
    EXPECT_EQ(store(fromFred(4)).senderId, 777u);
    EXPECT_EQ(senderNameOf(4), "Kept");
}

TEST_F(PersonCacheTest, APersonRenamedByThisProcessIsReadAgain) {
    const StoreOutcome first = store(fromFred(1));
    commit();
    beginAgain();
    ASSERT_TRUE(person(first.senderId));
    PER.LASTNAME = "Renamed";
    ASSERT_EQ(Person.put(), StorageStatus::Ok);
    EXPECT_EQ(store(fromFred(2)).senderId, first.senderId);
    EXPECT_EQ(senderNameOf(2), "Renamed");

    // The store's own count write-back leaves what it remembers in use.
    finishDatabase();
    ASSERT_TRUE(person(first.senderId));
    EXPECT_EQ(PER.FROMCOUNT, 2u);
    beginAgain();
    EXPECT_EQ(store(fromFred(3)).senderId, first.senderId);
    EXPECT_EQ(ms.personCache().size(), 1u);
}

TEST_F(PersonCacheTest, APersonAddedInARolledBackTransactionIsAddedAgain) {
    const StoreOutcome first = store(fromFred(1));
    rollbackTransaction();
    EXPECT_FALSE(person(first.senderId));
    beginAgain();
    const StoreOutcome again = store(fromFred(5));
    ASSERT_EQ(again.result, StoreStored);
    ASSERT_TRUE(person(again.senderId));
    EXPECT_EQ(PER.LASTNAME.str(), "Foreign");
    commit();
}

}  // namespace
}  // namespace pm
