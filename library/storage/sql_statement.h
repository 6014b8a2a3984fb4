#pragma once
// Prepared statements of the storage layer (internal).
//
// A Statement belongs to a table or a store and lives as long as its owner
// or the connection: when the connection closes it finalizes every
// statement itself, and the owner must forget() its own. A StatementSet
// holds the statements of one owner by number and prepares each on first
// use, so the SQL text is built once.
#include <sqlite3.h>

#include <string>
#include <vector>

namespace pm::sql {

class Statement {
public:
    Statement() = default;
    ~Statement() { finalize(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept;

    bool ready() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    // Prepares `sql` on the connection, replacing what was prepared;
    // returns the SQLite result code.
    int prepare(const std::string& sql);
    void finalize();
    // The connection was closed and finalized the statement already.
    void forget() { stmt_ = nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when it goes out of scope, so that no read stays open
// and its bound values may go.
class ResetOnExit {
public:
    explicit ResetOnExit(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~ResetOnExit() {
        if (stmt_) sqlite3_reset(stmt_);
    }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    sqlite3_stmt* stmt_;
};

class StatementSet {
public:
    explicit StatementSet(std::size_t count = 0) : statements_(count) {}
    void resize(std::size_t count) { statements_.resize(count); }

    // Statement `id`, prepared from sqlText() unless it is ready. Returns the
    // SQLite result code; `out` is set only on SQLITE_OK.
    template <class SqlText>
    int get(std::size_t id, SqlText&& sqlText, sqlite3_stmt*& out) {
        Statement& stmt = statements_.at(id);
        if (!stmt.ready()) {
            if (int rc = stmt.prepare(sqlText()); rc != SQLITE_OK) return rc;
        }
        out = stmt.get();
        return SQLITE_OK;
    }
    void finalizeAll();
    void forgetAll();

private:
    std::vector<Statement> statements_;
};

// Whether an SQLite result code reports success (OK, ROW or DONE).
inline bool succeeded(int rc) { return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE; }

// The connection's words for its last error ("no connection" when closed).
std::string lastErrorText();

// Steps a statement that returns no rows: SQLITE_OK when it ran.
int runToEnd(sqlite3_stmt* stmt);

}  // namespace pm::sql
