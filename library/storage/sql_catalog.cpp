#include "storage/sql_catalog.h"

#include <map>
#include <set>

#include "storage/sql_connection.h"
#include "storage/sql_statement.h"

namespace pm::sql {
namespace {

std::string master(const std::string& schema) { return ident(schema) + ".sqlite_master"; }

// Opening a table checks its columns and keys in the catalog: a few queries
// each, each taking the store's read lock, and a command opens a dozen
// tables (some twice). What a store's catalog held is kept per store under
// the store's schema version, which every committed change of the catalog
// raises: one look at the version answers while it stands. Only committed
// catalogs are kept (outside transactions), so a change rolled back is
// never taken for the catalog of that version. Inside one read transaction
// (a ReadScope, which writes nothing) the catalog cannot move: the version
// is looked at once per store for the whole scope.
struct Catalog {
    long long version = -1;
    std::uint64_t readSerial = 0;  // the read transaction that last looked at the version
    std::set<std::string> tables;
    std::map<std::string, std::string> tableSql;                     // CREATE TABLE texts
    std::set<std::pair<std::string, std::string>> indexes;          // (table, index)
    std::map<std::string, std::vector<StoredColumn>> columns;        // by table, read when first asked
};

std::map<std::string, Catalog> catalogs;  // by schema name

// Outside transactions, and in a read transaction that wrote nothing to
// `schema` (a write there would be a catalog no one committed yet).
bool catalogsUsable(const std::string& schema) {
    Connection& connection = Connection::instance();
    sqlite3* db = connection.db();
    if (!db) return false;
    if (sqlite3_get_autocommit(db) != 0) return true;
    return connection.readSerial() != 0 && sqlite3_txn_state(db, schema.c_str()) != SQLITE_TXN_WRITE;
}

// The catalog of `schema` as it stands (`out`), read again when its version moved.
int currentCatalog(const std::string& schema, Catalog*& out) {
    const std::uint64_t readSerial = Connection::instance().readSerial();
    if (readSerial != 0) {
        const auto known = catalogs.find(schema);
        if (known != catalogs.end() && known->second.readSerial == readSerial) {
            out = &known->second;
            return SQLITE_OK;
        }
    }
    // The read transaction looked at the version when it locked the store.
    long long v = -1;
    int rc = SQLITE_OK;
    if (!Connection::instance().versionInRead(schema, v)) {
        Statement version;
        if (rc = version.prepare("PRAGMA " + ident(schema) + ".schema_version"); rc != SQLITE_OK) return rc;
        rc = sqlite3_step(version.get());
        if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_ERROR : rc;
        v = sqlite3_column_int64(version.get(), 0);
    }
    Catalog& known = catalogs[schema];
    out = &known;
    if (known.version == v) {
        known.readSerial = readSerial;
        return SQLITE_OK;
    }
    // Read after the version: what is read is at least that new, so a later
    // version always reads again.
    Catalog fresh;
    Statement rows;
    if (rc = rows.prepare("SELECT type, name, tbl_name, sql FROM " + master(schema) +
                          " WHERE type IN ('table', 'index')");
        rc != SQLITE_OK)
        return rc;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
        auto text = [&](int i) {
            auto t = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), i));
            return std::string(t ? t : "");
        };
        if (text(0) == "table") {
            fresh.tables.insert(text(1));
            fresh.tableSql[text(1)] = text(3);
        } else {
            fresh.indexes.insert({text(2), text(1)});
        }
    }
    if (rc != SQLITE_DONE) return rc;
    fresh.version = v;
    fresh.readSerial = readSerial;
    known = std::move(fresh);
    return SQLITE_OK;
}

int readColumns(const std::string& schema, const std::string& table, std::vector<StoredColumn>& columns) {
    columns.clear();
    // The columns of a query over all of them, with their declared types, as
    // the catalog holds them: one statement compiled and never run (the
    // table-info pragma compiles a second statement of its own and runs).
    // Compiled afresh, never a kept statement: one compiled before a change
    // of the catalog still names the columns it had then.
    sqlite3_stmt* all = nullptr;
    const std::string sql = "SELECT * FROM " + ident(schema) + "." + ident(table);
    if (sqlite3_prepare_v2(Connection::instance().db(), sql.c_str(), -1, &all, nullptr) == SQLITE_OK && all) {
        const int count = sqlite3_column_count(all);
        for (int i = 0; i < count; ++i) {
            const char* name = sqlite3_column_name(all, i);
            const char* type = sqlite3_column_decltype(all, i);
            columns.emplace_back(name ? name : "", type ? type : "");
        }
        sqlite3_finalize(all);
        return SQLITE_OK;
    }
    sqlite3_finalize(all);
    // No such table (the pragma answers with no columns), or another failure
    // the pragma reports.
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

// Runs a query that yields one count; `count` is set on SQLITE_OK.
int countOf(Statement& stmt, int& count) {
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_ERROR : rc;
    count = sqlite3_column_int(stmt.get(), 0);
    return SQLITE_OK;
}

}  // namespace

void forgetCatalogs() { catalogs.clear(); }

int tableExists(const std::string& schema, const std::string& table, bool& exists) {
    if (catalogsUsable(schema)) {
        Catalog* c = nullptr;
        const int rc = currentCatalog(schema, c);
        exists = rc == SQLITE_OK && c->tables.count(table) > 0;
        return rc;
    }
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
    if (!catalogsUsable(schema)) return readColumns(schema, table, columns);
    columns.clear();
    Catalog* c = nullptr;
    if (int rc = currentCatalog(schema, c); rc != SQLITE_OK) return rc;
    if (c->tables.count(table) == 0) return SQLITE_OK;
    const auto known = c->columns.find(table);
    if (known != c->columns.end()) {
        columns = known->second;
        return SQLITE_OK;
    }
    // The catalog's own text of the table tells its columns as of the
    // version read; only an unusual text needs a statement compiled.
    const auto text = c->tableSql.find(table);
    const int rc = text != c->tableSql.end() && columnsFromCreateSql(text->second, columns)
                       ? SQLITE_OK
                       : readColumns(schema, table, columns);
    if (rc == SQLITE_OK) c->columns[table] = columns;
    return rc;
}

int indexExists(const std::string& schema, const std::string& table, const std::string& index, bool& exists) {
    if (catalogsUsable(schema)) {
        Catalog* c = nullptr;
        const int rc = currentCatalog(schema, c);
        exists = rc == SQLITE_OK && c->indexes.count({table, index}) > 0;
        return rc;
    }
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

int dataTableCount(const std::string& schema, int& count, const std::vector<std::string>& besides) {
    std::string sql = "SELECT count(*) FROM " + master(schema) + " WHERE type = 'table' AND name <> ?1";
    for (std::size_t i = 0; i < besides.size(); ++i) sql += " AND name <> ?" + std::to_string(i + 2);
    Statement stmt;
    if (int rc = stmt.prepare(sql); rc != SQLITE_OK) return rc;
    sqlite3_bind_text(stmt.get(), 1, kLocksTable, -1, SQLITE_STATIC);
    for (std::size_t i = 0; i < besides.size(); ++i)
        sqlite3_bind_text(stmt.get(), static_cast<int>(i + 2), besides[i].c_str(), -1, SQLITE_STATIC);
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
