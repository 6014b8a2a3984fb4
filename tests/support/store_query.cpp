#include "support/store_query.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "storage/sql_collation.h"

namespace pm::test {

namespace {

sqlite3* openStore(const std::string& store, bool write) {
    sqlite3* db = nullptr;
    const int flags = write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(store.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sql::registerCollations(db);
    sqlite3_busy_timeout(db, 5000);
    return db;
}

}  // namespace

std::string storeRows(const std::string& store, const std::string& sql) {
    sqlite3* db = openStore(store, false);
    if (!db) return {};
    std::string rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                if (i > 0) rows += '\t';
                if (const unsigned char* text = sqlite3_column_text(st, i)) rows += reinterpret_cast<const char*>(text);
            }
            rows += '\n';
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

std::vector<std::vector<std::string>> storeTable(const std::string& store, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = openStore(store, false);
    if (!db) return rows;
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
    sqlite3_close(db);
    return rows;
}

std::vector<std::string> storeColumn(const std::string& store, const std::string& sql) {
    std::vector<std::string> column;
    for (auto& row : storeTable(store, sql)) column.push_back(row.empty() ? "" : row.front());
    return column;
}

std::string storeValue(const std::string& store, const std::string& sql) {
    std::string rows = storeRows(store, sql);
    const std::size_t end = std::min(rows.find('\t'), rows.find('\n'));
    return end == std::string::npos ? rows : rows.substr(0, end);
}

bool storeExecute(const std::string& store, const std::string& sql) {
    sqlite3* db = openStore(store, true);
    if (!db) return false;
    const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace pm::test
