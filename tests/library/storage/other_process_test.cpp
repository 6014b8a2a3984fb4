// Stores that another process holds: a store locked past the lock wait is
// reported as locked (never as a missing table, which recovery would then
// create over the existing one), and a store another program keeps in WAL
// mode is not used (commits over several stores would not be atomic).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/sql_catalog.h"
#include "storage/sql_connection.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

// Another process holding the POSIX locks SQLite takes on a database file:
// as a writer in the middle of its commit (nobody may start reading), or
// as a reader (nobody may take the file for itself).
class OtherProcessLock {
public:
    enum Kind { Committing, Reading };

    OtherProcessLock(const std::string& file, Kind kind) {
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            alarm(60);  // never outlive a test that went wrong
            // SQLite's lock bytes: pending, reserved, then the shared range.
            constexpr off_t kPending = 0x40000000, kSharedFirst = kPending + 2, kSharedSize = 510;
            struct flock lock {};
            lock.l_whence = SEEK_SET;
            lock.l_type = kind == Committing ? F_WRLCK : F_RDLCK;
            lock.l_start = kind == Committing ? kPending : kSharedFirst;
            lock.l_len = kind == Committing ? 2 + kSharedSize : kSharedSize;
            const int fd = ::open(file.c_str(), O_RDWR);
            const char held = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 1 : 0;
            if (write(ready[1], &held, 1) != 1) _exit(1);
            char c;
            (void)!read(release[0], &c, 1);  // until the test lets go
            _exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char held = 0;
        held_ = pid_ > 0 && read(ready[0], &held, 1) == 1 && held == 1;
        ::close(ready[0]);
    }

    ~OtherProcessLock() {
        if (release_ >= 0) ::close(release_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }

    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

#pragma pack(push, 1)
struct NoteRecord {
    ULONG ID;
    FixedText<20> TEXT;
};
#pragma pack(pop)

const TableDef& noteDef(const char* label) {
    static TableDef defs[2] = {
        makeTableDef(0, "Note", "NOT", Location::Db, StorageClass::Keyed, sizeof(NoteRecord), true,
                     {PM_FIELD(NoteRecord, ID, ULong), PM_FIELD(NoteRecord, TEXT, String)}, {},
                     {{"IdKey", Primary, {asc("ID")}}}),
        makeTableDef(0, "Other", "OTH", Location::Db, StorageClass::Keyed, sizeof(NoteRecord), true,
                     {PM_FIELD(NoteRecord, ID, ULong), PM_FIELD(NoteRecord, TEXT, String)}, {},
                     {{"IdKey", Primary, {asc("ID")}}}),
    };
    return std::string(label) == "Note" ? defs[0] : defs[1];
}

struct OtherProcess : ::testing::Test {
    test::TempDir root;
    NoteRecord NOT{};
    Table notes{noteDef("Note"), &NOT};
    NoteRecord OTH{};
    Table others{noteDef("Other"), &OTH};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        notes.setFileName(root / "F1/NOTES.TPS");
        others.setFileName(root / "F1/OTHERS.TPS");
        ASSERT_EQ(notes.create(), StorageStatus::Ok);
        ASSERT_EQ(others.create(), StorageStatus::Ok);
        ASSERT_EQ(others.open(), StorageStatus::Ok);
        OTH.ID = 1;
        OTH.TEXT = "keep me";
        ASSERT_EQ(others.add(), StorageStatus::Ok);
        others.close();
        ASSERT_EQ(notes.open(), StorageStatus::Ok);  // keeps the store attached
    }

    std::string store() { return root / "F1/postmoor.db"; }
};

TEST_F(OtherProcess, AStoreBusyPastTheLockWaitIsLockedNotMissing) {
    // A transaction with a shorter wait of its own leaves the lock wait of
    // later work as it was.
    ASSERT_EQ(beginTransaction({&notes}, 1), StorageStatus::Ok);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    {
        OtherProcessLock committing(store(), OtherProcessLock::Committing);
        ASSERT_TRUE(committing.held());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(others.open(), StorageStatus::IsLocked) << others.lastError().text;
        const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(waited, 4.0);
        EXPECT_FALSE(others.isOpen());
    }
    ASSERT_EQ(others.open(), StorageStatus::Ok);
    EXPECT_EQ(others.records(), 1);
}

TEST_F(OtherProcess, AStoreKeptInWalModeByAnotherProgramIsNotUsed) {
    closeStorage();
    ASSERT_EQ(notes.open(), StorageStatus::Ok);  // the store is the connection's main database now
    ASSERT_EQ(sql::Connection::instance().exec("PRAGMA main.journal_mode=WAL"), SQLITE_OK);
    closeStorage();
    {
        OtherProcessLock reading(store(), OtherProcessLock::Reading);
        ASSERT_TRUE(reading.held());
        EXPECT_EQ(notes.open(), StorageStatus::IsLocked);
        EXPECT_FALSE(notes.isOpen());
    }
    // Alone with it, the store goes back to the rollback journal.
    ASSERT_EQ(notes.open(), StorageStatus::Ok);
    ASSERT_EQ(others.open(), StorageStatus::Ok);
    EXPECT_EQ(others.records(), 1);
}

// What the store's catalog holds is kept between opens; another program
// that changes the catalog (a table dropped, made again in another layout,
// a key gone) is seen at the next look all the same.
TEST_F(OtherProcess, CatalogChangesOfAnotherProgramAreSeen) {
    ASSERT_TRUE(others.exists());
    ASSERT_EQ(others.checkLayout(), StorageStatus::Ok);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store().c_str(), &other), SQLITE_OK);
    const auto run = [&](const char* sql) { return sqlite3_exec(other, sql, nullptr, nullptr, nullptr); };

    ASSERT_EQ(run("DROP TABLE \"Other\""), SQLITE_OK);
    EXPECT_FALSE(others.exists());
    ASSERT_EQ(run("CREATE TABLE \"Other\" (\"ID\" INTEGER)"), SQLITE_OK);
    EXPECT_TRUE(others.exists());
    EXPECT_EQ(others.checkLayout(), StorageStatus::LayoutDiffers);

    // A key dropped by the other program is missing from then on.
    const std::string schema = sql::Connection::instance().find(sql::canonicalDirectory(root / "F1"))->schema;
    bool keyed = false;
    ASSERT_EQ(sql::indexExists(schema, "Note", "Note_IdKey", keyed), SQLITE_OK);
    EXPECT_TRUE(keyed);
    notes.close();
    ASSERT_EQ(run("DROP INDEX \"Note_IdKey\""), SQLITE_OK);
    ASSERT_EQ(sql::indexExists(schema, "Note", "Note_IdKey", keyed), SQLITE_OK);
    EXPECT_FALSE(keyed);
    sqlite3_close(other);
}

// A read scope begun before any store is open starts with the first one and
// holds its read lock, across another directory attached, until it ends:
// another program's change of the catalog waits for the scope's end and is
// seen after it.
TEST_F(OtherProcess, AReadScopeBegunBeforeTheStoresOpenHoldsThemUntilItEnds) {
    closeStorage();
    std::filesystem::create_directory(root / "F2");
    NoteRecord far{};
    Table farNotes{noteDef("Note"), &far};
    farNotes.setFileName(root / "F2/NOTES.TPS");
    ASSERT_EQ(farNotes.create(), StorageStatus::Ok);
    closeStorage();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store().c_str(), &other), SQLITE_OK);
    const auto dropOther = [&] {
        if (sqlite3_exec(other, "BEGIN IMMEDIATE; DROP TABLE \"Other\"", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        if (sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    {
        const ReadScope reads;
        ASSERT_EQ(notes.open(), StorageStatus::Ok);
        EXPECT_TRUE(others.exists());
        EXPECT_FALSE(dropOther());
        ASSERT_EQ(farNotes.open(), StorageStatus::Ok);  // attached inside the scope
        EXPECT_TRUE(others.exists());
        EXPECT_FALSE(dropOther());
        EXPECT_TRUE(others.exists());
    }
    EXPECT_TRUE(dropOther());
    EXPECT_FALSE(others.exists());
    sqlite3_close(other);
}

}  // namespace
}  // namespace pm
