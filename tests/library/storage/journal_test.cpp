// The rollback journal's writes gather in a buffer before they reach the
// file: whatever reads the journal back, and every page written to the
// store before the commit, must find them there.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

#pragma pack(push, 1)
struct RowRecord {
    ULONG ID;
    FixedText<40> NAME;
};
#pragma pack(pop)

const TableDef& rowDef() {
    static const TableDef def =
        makeTableDef(0, "Row", "ROW", Location::Db, StorageClass::Keyed, sizeof(RowRecord), true,
                     {PM_FIELD(RowRecord, ID, ULong), PM_FIELD(RowRecord, NAME, String)}, {},
                     {{"IdKey", Primary, {asc("ID")}}, {"NameKey", Dup, {asc("NAME"), asc("ID")}}});
    return def;
}

constexpr ULONG kRows = 3000;

std::string originalName(ULONG id) { return "original name of row " + std::to_string(id); }

struct Journal : ::testing::Test {
    test::TempDir root;
    RowRecord ROW{};
    Table rows{rowDef(), &ROW};

    // A committed table of kRows rows in `dir`.
    void fill(const std::string& dir) {
        std::filesystem::create_directory(dir);
        rows.setFileName(dir + "/ROWS.TPS");
        ASSERT_EQ(rows.create(), StorageStatus::Ok);
        ASSERT_EQ(rows.open(), StorageStatus::Ok);
        ASSERT_EQ(beginTransaction({&rows}), StorageStatus::Ok);
        for (ULONG id = 1; id <= kRows; ++id) {
            ROW.ID = id;
            ROW.NAME = originalName(id);
            ASSERT_EQ(rows.add(), StorageStatus::Ok);
        }
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    }

    std::string schemaOf(const std::string& dir) {
        sql::Store* store = sql::Connection::instance().find(sql::canonicalDirectory(dir));
        return store ? store->schema : "";
    }

    // Every row as fill() wrote it, and a sound store.
    void expectOriginal(const std::string& dir) {
        std::string problems;
        ASSERT_EQ(sql::integrityCheck(schemaOf(dir), problems), SQLITE_OK);
        EXPECT_EQ(problems, "");
        ULONG expected = 1;
        rows.set(*rowDef().key("IdKey"));
        while (rows.next() == StorageStatus::Ok) {
            ASSERT_EQ(ROW.ID, expected);
            ASSERT_EQ(ROW.NAME.str(), originalName(expected));
            ++expected;
        }
        EXPECT_EQ(expected, kRows + 1);
    }
};

TEST_F(Journal, ASavepointRolledBackRestoresWhatTheJournalStillBuffers) {
    fill(root / "F1");
    const std::string table = sql::ident(schemaOf(root / "F1")) + ".\"Row\"";
    sql::Connection& c = sql::Connection::instance();
    ASSERT_EQ(beginTransaction({&rows}), StorageStatus::Ok);
    // The pages first change after the savepoint: their old contents are
    // read back from the journal, the last of them still in the buffer.
    ASSERT_EQ(c.exec("SAVEPOINT changes"), SQLITE_OK);
    ASSERT_EQ(c.exec("UPDATE " + table + " SET NAME = 'changed ' || ID"), SQLITE_OK);
    ASSERT_EQ(c.exec("ROLLBACK TO changes"), SQLITE_OK);
    ASSERT_EQ(c.exec("RELEASE changes"), SQLITE_OK);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectOriginal(root / "F1");
}

// A writer whose page cache overflows writes changed pages into the store
// before it commits. When it dies then, its journal must restore them - in
// the scratch store too, where no sync puts the journal on disk first.
TEST_F(Journal, AWriterThatDiesAfterWritingPagesEarlyLeavesTheStoreAsItWas) {
    for (const std::string& dir : {root / "F1", root / "TEMP"}) {
        if (dir == root / "TEMP") setScratchDirectory(dir);
        fill(dir);
        closeStorage();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(30);
            sql::Connection& c = sql::Connection::instance();
            if (rows.open() != StorageStatus::Ok || beginTransaction({&rows}) != StorageStatus::Ok) _exit(2);
            const std::string s = sql::ident(schemaOf(dir));
            if (c.exec("PRAGMA " + s + ".cache_size=10") != SQLITE_OK) _exit(3);
            if (c.exec("UPDATE " + s + ".\"Row\" SET NAME = 'changed ' || ID") != SQLITE_OK) _exit(4);
            _exit(0);  // dies in the transaction, without closing anything
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
        ASSERT_TRUE(std::filesystem::exists(storeFilePath(dir) + "-journal"));
        ASSERT_EQ(rows.open(), StorageStatus::Ok);
        expectOriginal(dir);
        closeStorage();
    }
}

}  // namespace
}  // namespace pm
