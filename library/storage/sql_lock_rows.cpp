#include "storage/sql_lock_rows.h"

#include <csignal>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "storage/sql_catalog.h"
#include "storage/sql_connection.h"
#include "storage/sql_statement.h"

namespace pm::sql {
namespace {

std::string locksOf(const std::string& schema) { return ident(schema) + "." + kLocksTable; }

StorageStatus failed(int rc, std::string& error) {
    error = lastErrorText();
    return Connection::failureStatus(rc);
}

bool ownerAlive(const std::string& owner) {
    const std::string mine = Connection::instance().ownerId();
    const auto colon = owner.rfind(':'), myColon = mine.rfind(':');
    if (colon == std::string::npos || myColon == std::string::npos) return true;
    if (owner.substr(0, colon) != mine.substr(0, myColon)) return true;  // another machine
    const int pid = std::atoi(owner.c_str() + colon + 1);
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

int insertRow(const std::string& schema, const std::string& label, std::int64_t rec, const std::string& owner,
              bool& inserted) {
    Statement stmt;
    int rc = stmt.prepare("INSERT OR IGNORE INTO " + locksOf(schema) + " (tbl, rec, owner) VALUES (?1, ?2, ?3)");
    if (rc != SQLITE_OK) return rc;
    sqlite3_bind_text(stmt.get(), 1, label.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int64(stmt.get(), 2, rec);
    sqlite3_bind_text(stmt.get(), 3, owner.c_str(), -1, SQLITE_STATIC);
    rc = runToEnd(stmt.get());
    inserted = rc == SQLITE_OK && sqlite3_changes(Connection::instance().db()) == 1;
    return rc;
}

int deleteRow(const std::string& schema, const std::string& label, std::int64_t rec, const std::string& owner) {
    Statement stmt;
    int rc = stmt.prepare("DELETE FROM " + locksOf(schema) + " WHERE tbl = ?1 AND rec = ?2 AND owner = ?3");
    if (rc != SQLITE_OK) return rc;
    sqlite3_bind_text(stmt.get(), 1, label.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int64(stmt.get(), 2, rec);
    sqlite3_bind_text(stmt.get(), 3, owner.c_str(), -1, SQLITE_STATIC);
    return runToEnd(stmt.get());
}


// The lock rows written during the running transaction, to be written again
// when it is rolled back.
class LockJournal final : public TransactionListener {
public:
    struct Change {
        std::string schema, label, owner;
        std::int64_t rec;
        bool taken;
    };

    static LockJournal& instance() {
        // Never destroyed, like the connection it listens to.
        static LockJournal* journal = [] {
            auto* j = new LockJournal;
            Connection::instance().addListener(j);
            return j;
        }();
        return *journal;
    }

    void note(Change change) {
        if (Connection::instance().inTransaction()) changes_.push_back(std::move(change));
    }

    void afterCommit() override { changes_.clear(); }

    // Nobody waits for the outcome here: a row that cannot be written again
    // is found stale or foreign by the next lock of that record.
    void afterRollback() override {
        std::vector<Change> changes;
        changes.swap(changes_);
        if (!Connection::instance().db()) return;
        for (const Change& c : changes) {
            if (c.taken) {
                bool inserted = false;
                if (ensureLockRowsTable(c.schema, nullptr) == SQLITE_OK) insertRow(c.schema, c.label, c.rec, c.owner, inserted);
            } else {
                deleteRow(c.schema, c.label, c.rec, c.owner);
            }
        }
    }

private:
    std::vector<Change> changes_;
};

}  // namespace

int ensureLockRowsTable(const std::string& schema, std::string* error) {
    return Connection::instance().exec("CREATE TABLE IF NOT EXISTS " + locksOf(schema) +
                                           " (tbl TEXT NOT NULL, rec INTEGER NOT NULL, owner TEXT NOT NULL, "
                                           "PRIMARY KEY (tbl, rec))",
                                       error);
}

namespace {

// Every record read asks for its owner, so the question is prepared once per
// store while the connection lasts (schema names are not used twice on one
// connection). Never destroyed: the connection finalizes the statements
// when it closes, and a new connection starts the cache afresh.
sqlite3_stmt* ownerQuery(const std::string& schema, int& rc) {
    struct Cache {
        std::uint64_t connection = 0;
        std::map<std::string, Statement> bySchema;
    };
    static Cache* cache = new Cache;
    const std::uint64_t connection = Connection::instance().connectionGeneration();
    if (cache->connection != connection) {
        for (auto& [name, stmt] : cache->bySchema) stmt.forget();
        cache->bySchema.clear();
        cache->connection = connection;
    }
    Statement& stmt = cache->bySchema[schema];
    rc = SQLITE_OK;
    if (!stmt.ready()) rc = stmt.prepare("SELECT owner FROM " + locksOf(schema) + " WHERE tbl = ?1 AND rec = ?2");
    return rc == SQLITE_OK ? stmt.get() : nullptr;
}

}  // namespace

StorageStatus LockRows::owner(const std::string& schema, std::int64_t rec, std::string& owner, std::string& error) {
    owner.clear();
    bool present = false;
    if (int rc = tableExists(schema, kLocksTable, present); rc != SQLITE_OK) return failed(rc, error);
    if (!present) return StorageStatus::Ok;
    int rc = SQLITE_OK;
    sqlite3_stmt* stmt = ownerQuery(schema, rc);
    if (!stmt) return failed(rc, error);
    {
        const ResetOnExit reset(stmt);
        sqlite3_bind_text(stmt, 1, label_.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(stmt, 2, rec);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            owner = text ? text : "";
        } else if (rc != SQLITE_DONE) {
            return failed(rc, error);
        }
    }
    if (!owner.empty() && !ownerAlive(owner)) {
        if (StorageStatus st = dropOf(schema, rec, owner, error); st != StorageStatus::Ok) return st;
        owner.clear();
    }
    return StorageStatus::Ok;
}

StorageStatus LockRows::foreign(const std::string& schema, std::int64_t rec, bool& foreign, std::string& error) {
    std::string who;
    StorageStatus st = owner(schema, rec, who, error);
    foreign = st == StorageStatus::Ok && !who.empty() && who != Connection::instance().ownerId();
    return st;
}

StorageStatus LockRows::take(const std::string& schema, std::int64_t rec, int waitSeconds, std::string& error) {
    if (int rc = ensureLockRowsTable(schema, &error); rc != SQLITE_OK) return Connection::failureStatus(rc);
    const std::string mine = Connection::instance().ownerId();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    for (;;) {
        bool inserted = false;
        if (int rc = insertRow(schema, label_, rec, mine, inserted); rc != SQLITE_OK) return failed(rc, error);
        if (inserted) {
            LockJournal::instance().note({schema, label_, mine, rec, true});
            return StorageStatus::Ok;
        }
        std::string who;
        if (StorageStatus st = owner(schema, rec, who, error); st != StorageStatus::Ok) return st;
        if (who == mine) return StorageStatus::Ok;
        if (who.empty()) continue;  // a stale row was just removed
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "Locked by another user (" + who + ")";
            return StorageStatus::IsLocked;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

StorageStatus LockRows::drop(const std::string& schema, std::int64_t rec, std::string& error) {
    return dropOf(schema, rec, Connection::instance().ownerId(), error);
}

StorageStatus LockRows::dropOf(const std::string& schema, std::int64_t rec, const std::string& owner,
                               std::string& error) {
    if (int rc = deleteRow(schema, label_, rec, owner); rc != SQLITE_OK) {
        // No lock table, no row to give back.
        bool present = true;
        if (tableExists(schema, kLocksTable, present) == SQLITE_OK && !present) return StorageStatus::Ok;
        return failed(rc, error);
    }
    if (sqlite3_changes(Connection::instance().db()) > 0)
        LockJournal::instance().note({schema, label_, owner, rec, false});
    return StorageStatus::Ok;
}

StorageStatus LockRows::dropAll(const std::string& schema, std::string& error) {
    bool present = false;
    if (int rc = tableExists(schema, kLocksTable, present); rc != SQLITE_OK) return failed(rc, error);
    if (!present) return StorageStatus::Ok;
    Statement stmt;
    int rc = stmt.prepare("DELETE FROM " + locksOf(schema) + " WHERE tbl = ?1");
    if (rc != SQLITE_OK) return failed(rc, error);
    sqlite3_bind_text(stmt.get(), 1, label_.c_str(), -1, SQLITE_STATIC);
    rc = runToEnd(stmt.get());
    return rc == SQLITE_OK ? StorageStatus::Ok : failed(rc, error);
}

}  // namespace pm::sql
