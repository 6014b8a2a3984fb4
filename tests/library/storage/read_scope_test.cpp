// A read scope over two stores beside a writer that commits across the
// same two: neither side waits for the other for ever, and the reader reads
// what stands, with or without its read transaction.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "common/types.h"
#include "storage/sql_catalog.h"
#include "storage/sql_connection.h"
#include "storage/table.h"
#include "support/other_process.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct TallyRecord {
    ULONG ID;
    ULONG VALUE;
};
#pragma pack(pop)

const TableDef& tallyDef() {
    static const TableDef def = makeTableDef(0, "Tally", "TAL", Location::Db, StorageClass::Keyed, sizeof(TallyRecord),
                                             true, {PM_FIELD(TallyRecord, ID, ULong), PM_FIELD(TallyRecord, VALUE, ULong)},
                                             {}, {{"IdKey", Primary, {asc("ID")}}});
    return def;
}

using test::childExitCode;
using test::kPendingByte;
using test::startChild;
using test::writerCommitting;

struct ReadScopeStores : ::testing::Test {
    test::TempDir root;
    TallyRecord A{}, B{};
    Table first{tallyDef(), &A}, second{tallyDef(), &B};

    void SetUp() override {
        for (const char* dir : {"A", "B"}) std::filesystem::create_directory(root / dir);
        first.setFileName(root / "A/TALLY.TPS");
        second.setFileName(root / "B/TALLY.TPS");
        for (auto [table, record] : {std::pair{&first, &A}, std::pair{&second, &B}}) {
            ASSERT_EQ(table->create(), StorageStatus::Ok);
            ASSERT_EQ(table->open(), StorageStatus::Ok);
            record->ID = 1;
            record->VALUE = 0;
            ASSERT_EQ(table->add(), StorageStatus::Ok);
        }
        closeStorage();
    }

    void TearDown() override {
        closeStorage();
        sql::Connection::instance().setReadLockWait(sql::kLockWaitMilliseconds);
    }

    std::string store(const char* dir) { return root / (std::string(dir) + "/postmoor.db"); }

    // The tally of `table` as read now (-1 when it cannot be read).
    static long long tally(Table& table, TallyRecord& record) {
        record.ID = 1;
        return table.get(tallyDef().keys[0]) == StorageStatus::Ok ? record.VALUE : -1;
    }

    std::string schemaOf(const char* dir) {
        const sql::Store* s = sql::Connection::instance().find(sql::canonicalDirectory(root / dir));
        return s ? s->schema : std::string();
    }

    // Runs `sql` on a connection of its own with no lock wait.
    int runElsewhere(const char* dir, const std::string& sql) {
        sqlite3* other = nullptr;
        int rc = sqlite3_open(store(dir).c_str(), &other);
        if (rc == SQLITE_OK) rc = sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(other);
        return rc;
    }
};

// The writer, in another process, holds both stores for writing and
// commits B (its main store) before A. The reader has read A in its scope
// when the commit starts and reads B after: it had locked B with A, so it
// reads both as they were before the commit, and the commit lands when the
// scope ends. Locking B only when first read, each would wait for the other.
TEST_F(ReadScopeStores, AWriterCommittingAcrossTheScopesStoresIsNotDeadlocked) {
    const std::string a = store("A"), b = store("B");
    test::WriterInWaiting writer(b, "ATTACH DATABASE '" + a + "' AS a; BEGIN IMMEDIATE;"
                                    "UPDATE main.\"Tally\" SET \"VALUE\" = 1; UPDATE a.\"Tally\" SET \"VALUE\" = 1");
    ASSERT_TRUE(writer.wrote());

    ASSERT_EQ(first.open(), StorageStatus::Ok);
    ASSERT_EQ(second.open(), StorageStatus::Ok);
    {
        const ReadScope reads;
        EXPECT_EQ(tally(first, A), 0);
        writer.commit();
        ASSERT_TRUE(writerCommitting(b));
        EXPECT_EQ(tally(second, B), 0) << second.lastError().text;
    }
    EXPECT_EQ(writer.exitCode(), 0);
    EXPECT_EQ(tally(first, A), 1);
    EXPECT_EQ(tally(second, B), 1);
}

// Another process holding B past the read lock wait: the scope goes on
// without a read transaction, reading statement by statement, so a writer
// of A is not held up and is seen at once - its catalog changes too. A
// store attached later in the scope, once B is free, takes the read
// transaction again over every store.
TEST_F(ReadScopeStores, AScopeLockedOutGoesOnWithoutAReadTransactionAndTakesItAgain) {
    sql::Connection& connection = sql::Connection::instance();
    connection.setReadLockWait(30);
    ASSERT_EQ(first.open(), StorageStatus::Ok);
    ASSERT_EQ(second.open(), StorageStatus::Ok);
    ASSERT_EQ(runElsewhere("A", "CREATE TABLE Spare (x)"), SQLITE_OK);
    std::filesystem::create_directory(root / "C");
    TallyRecord C{};
    Table third{tallyDef(), &C};
    third.setFileName(root / "C/TALLY.TPS");
    ASSERT_EQ(third.create(), StorageStatus::Ok);
    releaseDirectory(root / "C");  // attached again inside the scope

    int release[2];
    ASSERT_EQ(pipe(release), 0);
    const std::string b = store("B");
    const pid_t holder = startChild([&] {
        ::close(release[1]);
        const int fd = ::open(b.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;  // pending, reserved and every reader's byte: a commit under way
        lock.l_whence = SEEK_SET;
        lock.l_start = kPendingByte;
        lock.l_len = 512;
        if (fd < 0 || fcntl(fd, F_SETLK, &lock) != 0) return 1;
        char c;
        (void)!read(release[0], &c, 1);
        return 0;
    });
    ::close(release[0]);
    ASSERT_TRUE(writerCommitting(b));
    {
        const ReadScope reads;
        EXPECT_EQ(connection.readSerial(), 0u);
        EXPECT_EQ(tally(first, A), 0);
        ASSERT_EQ(runElsewhere("A", "UPDATE \"Tally\" SET \"VALUE\" = 5; DROP TABLE Spare"), SQLITE_OK);
        EXPECT_EQ(tally(first, A), 5);
        bool spare = true;
        ASSERT_EQ(sql::tableExists(schemaOf("A"), "Spare", spare), SQLITE_OK);
        EXPECT_FALSE(spare);

        ::close(release[1]);
        EXPECT_EQ(childExitCode(holder), 0);
        ASSERT_EQ(third.open(), StorageStatus::Ok);
        const std::uint64_t serial = connection.readSerial();
        EXPECT_NE(serial, 0u);
        // Both stores are held for reading now: their writers wait.
        EXPECT_EQ(runElsewhere("A", "CREATE TABLE Spare (x)"), SQLITE_BUSY);
        EXPECT_EQ(runElsewhere("B", "UPDATE \"Tally\" SET \"VALUE\" = 9"), SQLITE_BUSY);
        EXPECT_EQ(tally(second, B), 0);
        ASSERT_EQ(sql::tableExists(schemaOf("A"), "Spare", spare), SQLITE_OK);
        EXPECT_FALSE(spare);
        EXPECT_EQ(connection.readSerial(), serial);
    }
    EXPECT_EQ(connection.readSerial(), 0u);
    EXPECT_EQ(runElsewhere("A", "CREATE TABLE Spare (x)"), SQLITE_OK);
    bool spare = false;
    ASSERT_EQ(sql::tableExists(schemaOf("A"), "Spare", spare), SQLITE_OK);
    EXPECT_TRUE(spare);
}

// A statement of a read scope that meets a writer's lock, here a write
// that slipped into the scope while the writer commits: waiting while the
// scope holds the store for reading would stop both. The scope lets go of
// its read transaction, the writer commits, the write runs after it, and
// the read transaction is taken again, anew: the catalog is looked at
// afresh and the reads see the writer's commit.
TEST_F(ReadScopeStores, AStatementMeetingAWriterInsideAScopeRunsAgainHoldingNothing) {
    sql::Connection& connection = sql::Connection::instance();
    ASSERT_EQ(first.open(), StorageStatus::Ok);
    ASSERT_EQ(second.open(), StorageStatus::Ok);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store("A").c_str(), &other), SQLITE_OK);
    sqlite3_busy_timeout(other, 20000);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE \"Tally\" SET \"VALUE\" = 3; CREATE TABLE Spare (x)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    int committed = -1;
    {
        const ReadScope reads;
        const std::uint64_t serial = connection.readSerial();
        ASSERT_NE(serial, 0u);
        EXPECT_EQ(tally(first, A), 0);
        bool spare = true;
        ASSERT_EQ(sql::tableExists(schemaOf("A"), "Spare", spare), SQLITE_OK);
        EXPECT_FALSE(spare);
        std::thread commit([&] { committed = sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr); });
        EXPECT_TRUE(writerCommitting(store("A")));
        A.VALUE = 4;
        EXPECT_EQ(first.put(), StorageStatus::Ok) << first.lastError().text;
        commit.join();
        EXPECT_NE(connection.readSerial(), serial);
        EXPECT_NE(connection.readSerial(), 0u);
        ASSERT_EQ(sql::tableExists(schemaOf("A"), "Spare", spare), SQLITE_OK);
        EXPECT_TRUE(spare);
        EXPECT_EQ(tally(first, A), 4);
        EXPECT_EQ(tally(second, B), 0);
    }
    EXPECT_EQ(committed, SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(tally(first, A), 4);
}

}  // namespace
}  // namespace pm
