#include "support/store_query.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace pm::test {

namespace {

// The program's text columns name its own collation; byte order will do here.
int byteOrder(void*, int n1, const void* a, int n2, const void* b) {
    const int c = std::memcmp(a, b, static_cast<std::size_t>(std::min(n1, n2)));
    return c != 0 ? c : n1 - n2;
}

}  // namespace

std::string storeQuery(const std::string& store, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_create_collation(db, "PMCASE", SQLITE_UTF8, nullptr, byteOrder) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
            sqlite3_column_text(st, 0))
            value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return value;
}

}  // namespace pm::test
