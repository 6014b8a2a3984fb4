// Statements let go of are kept for the next prepare of the same SQL: the
// one handed out again must behave as a freshly compiled one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/sql_connection.h"
#include "storage/sql_statement.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct KeptRowRecord {
    ULONG ID;
    FixedText<20> NAME;
};
#pragma pack(pop)

const TableDef& keptRowDef() {
    static const TableDef def =
        makeTableDef(0, "KeptRow", "KEPTROW", Location::Db, StorageClass::Keyed, sizeof(KeptRowRecord), true,
                     {PM_FIELD(KeptRowRecord, ID, ULong), PM_FIELD(KeptRowRecord, NAME, String)}, {},
                     {{"IdKey", Primary, {asc("ID")}}});
    return def;
}

struct KeptStatements : ::testing::Test {
    test::TempDir root;
    KeptRowRecord ROW{};
    Table rows{keptRowDef(), &ROW};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        rows.setFileName(root / "F1/KEPT.TPS");
        ASSERT_EQ(rows.create(), StorageStatus::Ok);
        ASSERT_EQ(rows.open(), StorageStatus::Ok);
    }

    std::string table() {
        sql::Store* store = sql::Connection::instance().find(sql::canonicalDirectory(root / "F1"));
        return sql::ident(store ? store->schema : "") + ".\"KeptRow\"";
    }

    // The column count of the first row of `sql`, compiled through Statement.
    int columnsOfFirstRow(const std::string& sql) {
        sql::Statement stmt;
        if (stmt.prepare(sql) != SQLITE_OK || sqlite3_step(stmt.get()) != SQLITE_ROW) return -1;
        return sqlite3_column_count(stmt.get());
    }
};

TEST_F(KeptStatements, ComeBackResetUnboundAndAfterCatalogChanges) {
    // Let go of in the middle of its rows, with a value bound.
    sql::Statement first;
    ASSERT_EQ(first.prepare("SELECT ?1 UNION ALL SELECT 2"), SQLITE_OK);
    sqlite3_bind_int(first.get(), 1, 41);
    ASSERT_EQ(sqlite3_step(first.get()), SQLITE_ROW);
    first.finalize();

    sql::Statement again;
    ASSERT_EQ(again.prepare("SELECT ?1 UNION ALL SELECT 2"), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(again.get()), SQLITE_ROW);  // from the first row on
    EXPECT_EQ(sqlite3_column_type(again.get(), 0), SQLITE_NULL);
    again.finalize();

    // A column added after the statement was kept is in its rows.
    ROW.ID = 1;
    ROW.NAME = "one";
    ASSERT_EQ(beginTransaction({&rows}), StorageStatus::Ok);
    ASSERT_EQ(rows.add(), StorageStatus::Ok);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    const std::string all = "SELECT * FROM " + table();
    const int before = columnsOfFirstRow(all);
    ASSERT_GT(before, 0);
    ASSERT_EQ(sql::Connection::instance().exec("ALTER TABLE " + table() + " ADD COLUMN EXTRA INTEGER"), SQLITE_OK);
    EXPECT_EQ(columnsOfFirstRow(all), before + 1);
}

TEST_F(KeptStatements, AClosedConnectionLeavesNoneToHandOut) {
    sql::Statement stmt;
    ASSERT_EQ(stmt.prepare("SELECT 7"), SQLITE_OK);
    stmt.finalize();
    // The connection finalizes what was kept as it closes; a new one compiles again.
    closeStorage();
    ASSERT_EQ(rows.open(), StorageStatus::Ok);
    ASSERT_EQ(stmt.prepare("SELECT 7"), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt.get()), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(stmt.get(), 0), 7);
    EXPECT_EQ(sqlite3_db_handle(stmt.get()), sql::Connection::instance().db());
}

}  // namespace
}  // namespace pm
