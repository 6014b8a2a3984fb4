#include <string>

#include "storage/sql_connection.h"
#include "storage/sql_statement.h"
#include "storage/table.h"

namespace pm {

namespace {

// The value of a one-number pragma of `schema`, or -1 when it can not be read.
long long pragmaNumber(const std::string& schema, const char* pragma) {
    sql::Statement stmt;
    if (stmt.prepare("PRAGMA " + sql::ident(schema) + "." + pragma) != SQLITE_OK) return -1;
    if (sqlite3_step(stmt.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int64(stmt.get(), 0);
}

// Free pages worth giving back: a quarter of the file and at least 1 MB.
bool worthShrinking(long long freePages, long long pages, long long pageSize) {
    return freePages > 0 && freePages * 4 >= pages && freePages * pageSize >= (1 << 20);
}

}  // namespace

StorageStatus shrinkStore(const std::string& directory, std::string* errorText) {
    sql::Connection& connection = sql::Connection::instance();
    // VACUUM cannot run inside a transaction, a read scope's included.
    if (connection.inTransaction() || (connection.db() && !sqlite3_get_autocommit(connection.db())))
        return StorageStatus::Ok;
    sql::Store* store = nullptr;
    std::string error;
    StorageStatus st = connection.acquire(directory, false, store, error);
    if (st == StorageStatus::FileNotFound || st == StorageStatus::PathNotFound) return StorageStatus::Ok;
    if (st != StorageStatus::Ok) {
        if (errorText) *errorText = error;
        return st;
    }
    const long long pages = pragmaNumber(store->schema, "page_count");
    const long long freePages = pragmaNumber(store->schema, "freelist_count");
    const long long pageSize = pragmaNumber(store->schema, "page_size");
    if (pages > 0 && worthShrinking(freePages, pages, pageSize)) {
        // Rewrites the store with its live pages only; waits for no one (a
        // store another process is using is left as it is, and shrunk after a
        // later run).
        const int rc = connection.exec("VACUUM " + sql::ident(store->schema), &error);
        if (rc != SQLITE_OK) {
            st = sql::Connection::failureStatus(rc);
            if (errorText) *errorText = error;
        }
    }
    connection.release(store);
    return st;
}

}  // namespace pm
