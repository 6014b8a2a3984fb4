// A table's columns read from the catalog's CREATE TABLE text must be the
// columns SQLite itself reports; a text the reader does not know must be
// left to SQLite rather than read wrongly.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "storage/sql_catalog.h"
#include "storage/sql_collation.h"
#include "storage/sql_connection.h"
#include "storage/sql_schema.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {
namespace {

using sql::StoredColumn;

// A memory database holding tables made by the given statements.
class CatalogTextDb {
public:
    CatalogTextDb() {
        sqlite3_open(":memory:", &db_);
        sql::registerCollations(db_);
    }
    ~CatalogTextDb() { sqlite3_close(db_); }
    CatalogTextDb(const CatalogTextDb&) = delete;
    CatalogTextDb& operator=(const CatalogTextDb&) = delete;

    bool run(const std::string& statement) {
        char* error = nullptr;
        const int rc = sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, &error);
        if (error) ADD_FAILURE() << statement << ": " << error;
        sqlite3_free(error);
        return rc == SQLITE_OK;
    }

    // The CREATE TABLE text the catalog keeps for `table`.
    std::string storedText(const std::string& table) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db_, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1", -1, &stmt,
                           nullptr);
        sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        std::string text;
        if (sqlite3_step(stmt) == SQLITE_ROW) text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        return text;
    }

    // The columns SQLite reports for a query over all of them.
    std::vector<StoredColumn> compiledColumns(const std::string& table) {
        std::vector<StoredColumn> columns;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db_, ("SELECT * FROM " + sql::ident(table)).c_str(), -1, &stmt, nullptr);
        for (int i = 0; stmt && i < sqlite3_column_count(stmt); ++i) {
            const char* type = sqlite3_column_decltype(stmt, i);
            columns.emplace_back(sqlite3_column_name(stmt, i), type ? type : "");
        }
        sqlite3_finalize(stmt);
        return columns;
    }

private:
    sqlite3* db_ = nullptr;
};

TEST(CatalogColumns, TheTablesThisSystemWritesAreReadAsSqliteReportsThem) {
    CatalogTextDb db;
    struct Made {
        std::string table;
        std::string create;
    };
    std::vector<Made> made;
    for (const TableDef* def : {&ForumsDef(), &MailDef(), &MsgTextDef()})
        made.push_back({def->label, sql::createTableSql(*def, sql::buildSchema(*def), "main")});
    // The posting tables' shapes: bare names, a key among the columns or
    // after them, a table option after the columns.
    made.push_back({"Postings", "CREATE TABLE \"Postings\" (\"SYSID\" INTEGER PRIMARY KEY, ENTRIES INTEGER NOT NULL, "
                                "\"WORDIDS\" BLOB NOT NULL)"});
    made.push_back({"Postings_by", "CREATE TABLE \"Postings_by\" (\"WORDID\" INTEGER NOT NULL, ENTRIES INTEGER NOT "
                                   "NULL, PRIMARY KEY (\"WORDID\", ENTRIES)) WITHOUT ROWID"});
    // Names with quotes, commas and parentheses; defaults with commas; no type.
    made.push_back({"Odd \"(name\"", "CREATE TABLE \"Odd \"\"(name\"\"\" (\"a,b\" TEXT NOT NULL DEFAULT 'x, y)', "
                                     "\"c\"\"d\" INTEGER DEFAULT (1 + 2), untyped, \"t2\" NOT NULL)"});
    for (const Made& m : made) {
        ASSERT_TRUE(db.run(m.create));
        std::vector<StoredColumn> read;
        EXPECT_TRUE(sql::columnsFromCreateSql(db.storedText(m.table), read)) << m.create;
        EXPECT_EQ(read, db.compiledColumns(m.table)) << m.create;
    }

    // Columns added later are appended to the stored text by SQLite.
    const TableDef& forums = ForumsDef();
    const sql::Schema full = sql::buildSchema(forums);
    sql::Schema older = full;
    older.columns.resize(full.columns.size() - 3);
    ASSERT_TRUE(db.run("DROP TABLE " + sql::ident(forums.label)));
    ASSERT_TRUE(db.run(sql::createTableSql(forums, older, "main")));
    for (const std::string& add : sql::addColumnsSql(forums, full, older.columns.size(), "main"))
        ASSERT_TRUE(db.run(add));
    std::vector<StoredColumn> read;
    EXPECT_TRUE(sql::columnsFromCreateSql(db.storedText(forums.label), read));
    EXPECT_EQ(read, db.compiledColumns(forums.label));
    EXPECT_EQ(read.size(), full.columns.size());
}

TEST(CatalogColumns, TextsItCannotReadAreLeftToSqlite) {
    CatalogTextDb db;
    const std::vector<std::pair<std::string, std::string>> unknown = {
        {"Sized", "CREATE TABLE Sized (a VARCHAR(10), b INTEGER)"},
        {"Worded", "CREATE TABLE Worded (a UNSIGNED BIG INT)"},
        {"Bracketed", "CREATE TABLE Bracketed ([a] INTEGER)"},
        {"Commented", "CREATE TABLE Commented (a INTEGER, -- the count\n b TEXT)"},
        {"Late", "CREATE TABLE Late (a INTEGER, UNIQUE (a), b TEXT)"},
    };
    for (const auto& [table, create] : unknown) {
        // SQLite refuses a column after a table constraint; the reader must too.
        if (table != "Late") {
            ASSERT_TRUE(db.run(create));
        }
        const std::string text = table == "Late" ? create : db.storedText(table);
        std::vector<StoredColumn> read;
        EXPECT_FALSE(sql::columnsFromCreateSql(text, read)) << create;
    }
    std::vector<StoredColumn> read;
    for (const char* broken : {"", "CREATE TABLE", "CREATE TABLE t (a INTEGER", "CREATE TABLE t (\"a INTEGER)",
                               "CREATE INDEX i ON t (a)", "CREATE TABLE t ()"}) {
        EXPECT_FALSE(sql::columnsFromCreateSql(broken, read)) << broken;
    }
}

}  // namespace
}  // namespace pm
