#include "storage/sql_statement.h"

#include <cstdint>
#include <list>
#include <utility>

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

namespace {

// Statements their owners let go of, kept by SQL text for the next prepare
// of the same text: a table closed and opened again, or a question asked
// once per call, compiles its SQL once per connection rather than each time.
// A kept statement is reset and unbound, so it holds no lock and no value.
// The connection finalizes the kept ones with every other when it closes;
// the keeper then starts afresh. Never destroyed, like the connection.
class StatementKeeper {
public:
    static StatementKeeper& instance() {
        static StatementKeeper* keeper = new StatementKeeper;
        return *keeper;
    }

    // A kept statement of `sql`, taken out of the keeper; null when none.
    sqlite3_stmt* take(const std::string& sql) {
        if (!current()) return nullptr;
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->first == sql) {
                sqlite3_stmt* stmt = it->second;
                kept_.erase(it);
                return stmt;
            }
        }
        return nullptr;
    }

    // Keeps `stmt` (finalizing the longest kept one when full).
    void keep(sqlite3_stmt* stmt) {
        if (!current()) return;  // finalized by the connection as it closed
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        const char* sql = sqlite3_sql(stmt);
        if (!sql) {
            sqlite3_finalize(stmt);
            return;
        }
        kept_.emplace_front(sql, stmt);
        if (kept_.size() > kKept) {
            sqlite3_finalize(kept_.back().second);
            kept_.pop_back();
        }
    }

private:
    static constexpr std::size_t kKept = 48;

    // False (and nothing kept) when the connection that prepared them closed.
    bool current() {
        Connection& connection = Connection::instance();
        if (connection.connectionGeneration() != connection_ || !connection.db()) {
            kept_.clear();  // finalized by the connection as it closed
            connection_ = connection.db() ? connection.connectionGeneration() : 0;
        }
        return connection_ != 0;
    }

    std::uint64_t connection_ = 0;
    std::list<std::pair<std::string, sqlite3_stmt*>> kept_;  // most recently kept first
};

}  // namespace

int Statement::prepare(const std::string& sql) {
    finalize();
    sqlite3* db = Connection::instance().db();
    if (!db) return SQLITE_MISUSE;
    if ((stmt_ = StatementKeeper::instance().take(sql))) return SQLITE_OK;
    return sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
}

void Statement::finalize() {
    if (stmt_) StatementKeeper::instance().keep(stmt_);
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
