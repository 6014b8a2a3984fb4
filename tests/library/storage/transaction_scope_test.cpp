// A transaction locks the stores of the tables it names, not every store
// the process has open: another process can go on writing elsewhere.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/read_once_cache.h"
#include "storage/sql_connection.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct CountRecord {
    ULONG ID;
};
#pragma pack(pop)

const TableDef& countDef() {
    static const TableDef def = makeTableDef(3, "Counts", "CNT", Location::Db, StorageClass::Keyed, 4, true,
                                             {PM_FIELD(CountRecord, ID, ULong)}, {},
                                             {{"IdKey", Primary, {asc("ID")}}});
    return def;
}

// Whether another process can begin a write on `store` at once.
bool otherProcessCanWrite(const std::string& store) {
    pid_t pid = fork();
    if (pid == 0) {
        alarm(30);
        sqlite3* db = nullptr;
        if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) _exit(2);
        sqlite3_busy_timeout(db, 0);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        _exit(rc == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A table in each of two directories, F1 and F2, not made yet.
struct TransactionScope : ::testing::Test {
    test::TempDir root;
    CountRecord a{}, b{};
    Table first{countDef(), &a}, second{countDef(), &b};

    void SetUp() override {
        for (const char* dir : {"F1", "F2"}) std::filesystem::create_directory(root / dir);
        first.setFileName(root / "F1/IDX003.TPS");
        second.setFileName(root / "F2/IDX003.TPS");
    }
};

TEST_F(TransactionScope, OnlyTheStoresOfTheNamedTablesAreLocked) {
    ASSERT_EQ(first.create(), StorageStatus::Ok);
    ASSERT_EQ(second.create(), StorageStatus::Ok);
    ASSERT_EQ(first.open(), StorageStatus::Ok);
    ASSERT_EQ(second.open(), StorageStatus::Ok);

    ASSERT_EQ(beginTransaction({&first}), StorageStatus::Ok);
    EXPECT_FALSE(otherProcessCanWrite(root / "F1/postmoor.db"));
    EXPECT_TRUE(otherProcessCanWrite(root / "F2/postmoor.db"));
    // A store written later joins the transaction and commits with it.
    a.ID = 1;
    ASSERT_EQ(first.add(), StorageStatus::Ok);
    b.ID = 1;
    ASSERT_EQ(second.add(), StorageStatus::Ok);
    rollbackTransaction();
    EXPECT_EQ(first.records(), 0);
    EXPECT_EQ(second.records(), 0);
    EXPECT_TRUE(otherProcessCanWrite(root / "F1/postmoor.db"));
}

// The page cache of every attached store in KiB, as SQLite holds it; -1
// when the stores differ.
int attachedCacheKibibytes() {
    sqlite3* db = sql::Connection::instance().db();
    sqlite3_stmt* list = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &list, nullptr) != SQLITE_OK) return -1;
    int found = 0;
    while (sqlite3_step(list) == SQLITE_ROW) {
        const std::string schema = reinterpret_cast<const char*>(sqlite3_column_text(list, 1));
        if (schema == "temp") continue;
        sqlite3_stmt* size = nullptr;
        int kib = -1;
        if (sqlite3_prepare_v2(db, ("PRAGMA \"" + schema + "\".cache_size").c_str(), -1, &size, nullptr) == SQLITE_OK &&
            sqlite3_step(size) == SQLITE_ROW)
            kib = -sqlite3_column_int(size, 0);  // negative: KiB
        sqlite3_finalize(size);
        if (found != 0 && kib != found) found = -1;
        if (found == 0) found = kib;
    }
    sqlite3_finalize(list);
    return found;
}

TEST_F(TransactionScope, CacheScopesNestAndARunsRoomyCacheWins) {
    ASSERT_EQ(first.create(), StorageStatus::Ok);
    ASSERT_EQ(first.open(), StorageStatus::Ok);
    const int outside = attachedCacheKibibytes();
    ASSERT_GT(outside, 256);
    {
        ReadOnceCacheScope readOnce;
        EXPECT_EQ(attachedCacheKibibytes(), 256);
        {
            PageCacheScope run;
            EXPECT_EQ(attachedCacheKibibytes(), 65536);
            ReadOnceCacheScope inner;
            EXPECT_EQ(attachedCacheKibibytes(), 65536);
        }
        // A store attached under the scope gets its cache too.
        ASSERT_EQ(second.create(), StorageStatus::Ok);
        ASSERT_EQ(second.open(), StorageStatus::Ok);
        EXPECT_EQ(attachedCacheKibibytes(), 256);
    }
    EXPECT_EQ(attachedCacheKibibytes(), outside);
    {
        // The largest cache asked for applies, whichever scope ends first.
        auto small = std::make_unique<PageCacheScope>();
        {
            PageCacheScope large(2 * RoomyPageCacheKibibytes);
            EXPECT_EQ(attachedCacheKibibytes(), 2 * RoomyPageCacheKibibytes);
            small.reset();
            EXPECT_EQ(attachedCacheKibibytes(), 2 * RoomyPageCacheKibibytes);
            PageCacheScope again;
            EXPECT_EQ(attachedCacheKibibytes(), 2 * RoomyPageCacheKibibytes);
        }
        EXPECT_EQ(attachedCacheKibibytes(), outside);
    }
}

}  // namespace
}  // namespace pm
