#include "storage/sql_catalog.h"

#include "storage/sql_connection.h"
#include "storage/sql_statement.h"

namespace pm::sql {
namespace {

std::string master(const std::string& schema) { return ident(schema) + ".sqlite_master"; }

// Runs a query that yields one count; `count` is set on SQLITE_OK.
int countOf(Statement& stmt, int& count) {
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_ERROR : rc;
    count = sqlite3_column_int(stmt.get(), 0);
    return SQLITE_OK;
}

}  // namespace

int tableExists(const std::string& schema, const std::string& table, bool& exists) {
    Statement stmt;
    if (int rc = stmt.prepare("SELECT count(*) FROM " + master(schema) + " WHERE type = 'table' AND name = ?1");
        rc != SQLITE_OK)
        return rc;
    sqlite3_bind_text(stmt.get(), 1, table.c_str(), -1, SQLITE_STATIC);
    int count = 0;
    const int rc = countOf(stmt, count);
    exists = count > 0;
    return rc;
}

int tableColumns(const std::string& schema, const std::string& table, std::vector<StoredColumn>& columns) {
    columns.clear();
    Statement stmt;
    if (int rc = stmt.prepare("SELECT name, type FROM pragma_table_info(?1, ?2) ORDER BY cid"); rc != SQLITE_OK)
        return rc;
    sqlite3_bind_text(stmt.get(), 1, table.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt.get(), 2, schema.c_str(), -1, SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        auto name = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        auto type = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1));
        columns.emplace_back(name ? name : "", type ? type : "");
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int indexExists(const std::string& schema, const std::string& table, const std::string& index, bool& exists) {
    Statement stmt;
    if (int rc = stmt.prepare("SELECT count(*) FROM " + master(schema) +
                              " WHERE type = 'index' AND tbl_name = ?1 AND name = ?2");
        rc != SQLITE_OK)
        return rc;
    sqlite3_bind_text(stmt.get(), 1, table.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt.get(), 2, index.c_str(), -1, SQLITE_STATIC);
    int count = 0;
    const int rc = countOf(stmt, count);
    exists = count > 0;
    return rc;
}

int dataTableCount(const std::string& schema, int& count) {
    Statement stmt;
    if (int rc = stmt.prepare("SELECT count(*) FROM " + master(schema) + " WHERE type = 'table' AND name <> ?1");
        rc != SQLITE_OK)
        return rc;
    sqlite3_bind_text(stmt.get(), 1, kLocksTable, -1, SQLITE_STATIC);
    return countOf(stmt, count);
}

int integrityCheck(const std::string& schema, std::string& problems) {
    problems.clear();
    Statement stmt;
    if (int rc = stmt.prepare("PRAGMA " + ident(schema) + ".integrity_check"); rc != SQLITE_OK) return rc;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        const std::string line = text ? text : "";
        if (line != "ok") problems += line + "\n";
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace pm::sql
