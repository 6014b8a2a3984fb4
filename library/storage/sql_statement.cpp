#include "storage/sql_statement.h"

#include "storage/sql_connection.h"

namespace pm::sql {

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        finalize();
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

int Statement::prepare(const std::string& sql) {
    finalize();
    sqlite3* db = Connection::instance().db();
    if (!db) return SQLITE_MISUSE;
    return sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
}

void Statement::finalize() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

void StatementSet::finalizeAll() {
    for (Statement& s : statements_) s.finalize();
}

void StatementSet::forgetAll() {
    for (Statement& s : statements_) s.forget();
}

std::string lastErrorText() {
    sqlite3* db = Connection::instance().db();
    return db ? sqlite3_errmsg(db) : "no connection";
}

int runToEnd(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

}  // namespace pm::sql
