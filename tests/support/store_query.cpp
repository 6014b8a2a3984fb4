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

std::vector<std::vector<std::string>> storeRows(const std::string& store, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_create_collation(db, "PMCASE", SQLITE_UTF8, nullptr, byteOrder) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                std::vector<std::string> row;
                for (int i = 0; i < sqlite3_column_count(st); ++i) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                    row.emplace_back(text ? text : "");
                }
                rows.push_back(std::move(row));
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

std::vector<std::string> storeColumn(const std::string& store, const std::string& sql) {
    std::vector<std::string> column;
    for (auto& row : storeRows(store, sql)) column.push_back(row.empty() ? "" : row.front());
    return column;
}

std::string storeValue(const std::string& store, const std::string& sql) {
    const auto rows = storeRows(store, sql);
    return rows.empty() || rows.front().empty() ? "" : rows.front().front();
}

}  // namespace pm::test
