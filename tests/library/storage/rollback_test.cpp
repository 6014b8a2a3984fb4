// What a rollback must undo and what it must not: keys built or dropped in
// the rolled-back transaction, lock rows (locks are not data), and pairs
// appended to a posting-list table in a transaction that committed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/sql_connection.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct ItemRecord {
    ULONG ID;
    FixedText<10> NAME;
};
struct LockRowRecord {
    FixedText<20> tbl;
    LONG rec;
    FixedText<60> owner;
};
struct PairRecord {
    ULONG A;
    ULONG B;
};
#pragma pack(pop)

const TableDef& itemDef() {
    static const TableDef def =
        makeTableDef(3, "Item", "ITM", Location::Db, StorageClass::Keyed, sizeof(ItemRecord), true,
                     {PM_FIELD(ItemRecord, ID, ULong), PM_FIELD(ItemRecord, NAME, String)}, {},
                     {{"IdKey", Primary, {asc("ID")}}, {"NameKey", Dup, {asc("NAME")}}});
    return def;
}

// The lock rows of a store, read as any SQLite client would.
const TableDef& lockRowDef() {
    static const TableDef def = makeTableDef(
        0, "_pm_locks", "LCK", Location::Db, StorageClass::Keyed, sizeof(LockRowRecord), false,
        {PM_FIELD(LockRowRecord, tbl, String), PM_FIELD(LockRowRecord, rec, Long), PM_FIELD(LockRowRecord, owner, String)},
        {}, {});
    return def;
}

const TableDef& pairDef() {
    static const TableDef def = [] {
        TableDef d = makeTableDef(29, "Pairs", "PAI", Location::Db, StorageClass::Simple, sizeof(PairRecord), false,
                                  {PM_FIELD(PairRecord, A, ULong), PM_FIELD(PairRecord, B, ULong)}, {},
                                  {{"by_A", Primary, {asc("A"), asc("B")}}, {"by_B", Dup, {asc("B")}}});
        d.layout = PhysicalLayout::PostingLists;
        return d;
    }();
    return def;
}

std::string hostName() {
    char host[256] = {0};
    gethostname(host, sizeof host - 1);
    return host;
}

struct Rollback : ::testing::Test {
    test::TempDir root;
    ItemRecord ITM{};
    Table items{itemDef(), &ITM};
    LockRowRecord LCK{};
    Table locks{lockRowDef(), &LCK};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        items.setFileName(root / "F1/IDX003.TPS");
        locks.setFileName(root / "F1/LOCKS.TPS");
        ASSERT_EQ(items.create(), StorageStatus::Ok);
        ASSERT_EQ(items.open(), StorageStatus::Ok);
    }

    StorageStatus write(ULONG id, const char* name, bool append = false) {
        items.clear();
        ITM.ID = id;
        ITM.NAME = name;
        return append ? items.append() : items.add();
    }

    // The owners of the lock rows of Item, in record order.
    std::vector<std::string> lockOwners() {
        std::vector<std::string> owners;
        if (locks.open() != StorageStatus::Ok) return owners;
        locks.setPhysical();
        while (locks.next() == StorageStatus::Ok)
            if (LCK.tbl == "Item") owners.push_back(LCK.owner.str());
        locks.close();
        return owners;
    }

    void addLockRow(LONG rec, const std::string& owner) {
        ASSERT_EQ(locks.open(), StorageStatus::Ok);
        locks.clear();
        LCK.tbl = "Item";
        LCK.rec = rec;
        LCK.owner = owner;
        ASSERT_EQ(locks.add(), StorageStatus::Ok) << locks.lastError().text;
        locks.close();
    }
};

TEST_F(Rollback, KeysBuiltInARolledBackTransactionAreBuiltAgainBeforeTheNextAdd) {
    for (ULONG id : {1u, 2u, 3u}) ASSERT_EQ(write(id, "appended", true), StorageStatus::Ok);
    // The add rebuilds the keys the appends dropped, inside the transaction.
    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    ASSERT_EQ(write(4, "gone"), StorageStatus::Ok);
    rollbackTransaction();
    // The rollback took the keys away again: the unique key must still
    // refuse a duplicate, and the key order must hold.
    EXPECT_EQ(write(2, "again"), StorageStatus::DuplicateKey);
    ASSERT_EQ(write(5, "kept"), StorageStatus::Ok);
    items.set(*itemDef().key("IdKey"));
    std::vector<ULONG> ids;
    while (items.previous() == StorageStatus::Ok) ids.push_back(ITM.ID);
    EXPECT_EQ(ids, (std::vector<ULONG>{5, 3, 2, 1}));
    items.close();
    EXPECT_EQ(items.open(), StorageStatus::Ok);  // the keys are all there
}

// A full disk (here: a page limit) makes SQLite roll the whole transaction
// back by itself. What follows must not commit record by record.
TEST_F(Rollback, AfterSQLiteGaveUpATransactionNothingCommitsOnItsOwn) {
    ASSERT_EQ(write(1, "kept"), StorageStatus::Ok);
    sql::Store* store = sql::Connection::instance().find(sql::canonicalDirectory(root / "F1"));
    ASSERT_NE(store, nullptr);
    const std::string pragma = "PRAGMA " + sql::ident(store->schema) + ".max_page_count=";
    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    ASSERT_EQ(sql::Connection::instance().exec(pragma + "1"), SQLITE_OK);  // no page more than now
    StorageStatus st = StorageStatus::Ok;
    for (ULONG id = 2; id < 10000 && st == StorageStatus::Ok; ++id) st = write(id, "filler");
    ASSERT_EQ(st, StorageStatus::Other);
    ASSERT_EQ(sql::Connection::instance().exec(pragma + "1073741823"), SQLITE_OK);
    EXPECT_TRUE(inTransaction());

    EXPECT_EQ(write(20000, "alone"), StorageStatus::Other);
    EXPECT_EQ(items.lastError().text, "The transaction was rolled back after an error");
    StorageError error;
    EXPECT_EQ(commitTransaction(&error), StorageStatus::Other);
    EXPECT_FALSE(inTransaction());
    EXPECT_EQ(items.records(), 1);
    // Afterwards, writes work as before.
    ASSERT_EQ(write(3, "after"), StorageStatus::Ok);
    EXPECT_EQ(items.records(), 2);
}

TEST_F(Rollback, KeysDroppedInARolledBackTransactionComeBackWithIt) {
    ASSERT_EQ(write(1, "one"), StorageStatus::Ok);
    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    ASSERT_EQ(write(2, "appended", true), StorageStatus::Ok);
    rollbackTransaction();
    EXPECT_EQ(write(1, "twice"), StorageStatus::DuplicateKey);
    items.close();
    EXPECT_EQ(items.open(), StorageStatus::Ok);
    EXPECT_EQ(items.records(), 1);
}

TEST_F(Rollback, AHoldGivenBackInARolledBackTransactionStaysGivenBack) {
    ASSERT_EQ(write(1, "one"), StorageStatus::Ok);
    ASSERT_EQ(items.hold(1), StorageStatus::Ok);
    ASSERT_EQ(lockOwners().size(), 1u);
    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    items.release();
    rollbackTransaction();
    // Otherwise the row of this (living) process would keep every other
    // user from the record until the program ends.
    EXPECT_TRUE(lockOwners().empty());
}

TEST_F(Rollback, AHoldTakenInARolledBackTransactionIsStillHeld) {
    ASSERT_EQ(write(1, "one"), StorageStatus::Ok);
    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    ASSERT_EQ(items.hold(1), StorageStatus::Ok);
    ASSERT_EQ(items.lock(0), StorageStatus::Ok);
    rollbackTransaction();
    EXPECT_EQ(lockOwners().size(), 2u);  // the hold and the file lock
    items.release();
    items.unlock();
    EXPECT_TRUE(lockOwners().empty());
}

TEST_F(Rollback, LockRowsOfOtherUsersBlockAndStaleOnesAreCleared) {
    ASSERT_EQ(write(1, "one"), StorageStatus::Ok);
    ASSERT_EQ(items.hold(1), StorageStatus::Ok);
    const RecordPosition pos = items.position();
    items.release();

    // A user on another machine holds the record, then locks the file.
    addLockRow(static_cast<LONG>(pos), "elsewhere:1");
    EXPECT_EQ(items.hold(0), StorageStatus::RecordNotAvailable);
    addLockRow(-1, "elsewhere:1");
    EXPECT_EQ(items.lock(0), StorageStatus::IsLocked);
    EXPECT_NE(items.lastError().text.find("elsewhere:1"), std::string::npos);

    // Rows of a process of this machine that has ended are stale.
    ASSERT_EQ(locks.open(), StorageStatus::Ok);
    ASSERT_EQ(locks.empty(), StorageStatus::Ok);
    locks.close();
    addLockRow(static_cast<LONG>(pos), hostName() + ":999999999");
    EXPECT_EQ(items.hold(0), StorageStatus::Ok);
    items.release();
    EXPECT_TRUE(lockOwners().empty());
}

struct PostingRollback : ::testing::Test {
    test::TempDir root;
    PairRecord PAI{};
    Table pairs{pairDef(), &PAI};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        pairs.setFileName(root / "F1/IDX029.TPS");
        ASSERT_EQ(pairs.create(), StorageStatus::Ok);
        ASSERT_EQ(pairs.open(), StorageStatus::Ok);
    }
};

TEST_F(PostingRollback, PairsAppendedInACommittedTransactionSurviveALaterRollback) {

    ASSERT_EQ(beginTransaction({&pairs}), StorageStatus::Ok);
    for (ULONG b : {3u, 1u, 2u}) {
        PAI = {7, b};
        ASSERT_EQ(pairs.append(), StorageStatus::Ok);
    }
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    ASSERT_EQ(beginTransaction({&pairs}), StorageStatus::Ok);
    rollbackTransaction();

    EXPECT_EQ(pairs.records(), 3);
    PAI = {7, 2};
    EXPECT_EQ(pairs.get(*pairDef().key("by_A")), StorageStatus::Ok);
    closeStorage();
    ASSERT_EQ(pairs.open(), StorageStatus::Ok);
    EXPECT_EQ(pairs.records(), 3);
}

TEST_F(PostingRollback, ADuplicateAmongAppendedPairsFailsTheirCommit) {
    PAI = {1, 1};
    ASSERT_EQ(pairs.add(), StorageStatus::Ok);

    ASSERT_EQ(beginTransaction({&pairs}), StorageStatus::Ok);
    for (ULONG a : {2u, 1u}) {
        PAI = {a, 1};
        ASSERT_EQ(pairs.append(), StorageStatus::Ok);
    }
    StorageError error;
    EXPECT_EQ(commitTransaction(&error), StorageStatus::DuplicateKey);
    EXPECT_NE(error.text.find("Pairs in "), std::string::npos) << error.text;  // the table and its store
    EXPECT_NE(error.text.find("F1/postmoor.db"), std::string::npos) << error.text;
    EXPECT_FALSE(inTransaction());
    EXPECT_EQ(pairs.records(), 1);
}

}  // namespace
}  // namespace pm
