#include "storage/sql_connection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "storage/sql_catalog.h"
#include "storage/sql_collation.h"
#include "storage/sql_lock_rows.h"
#include "storage/sql_memory.h"
#include "storage/sql_journal_vfs.h"
#include "storage/sql_statement.h"

namespace pm::sql {

namespace fs = std::filesystem;

namespace {

// An absolute path without empty, "." or ".." parts and no trailing
// separator: its own canonical form.
bool alreadyCanonical(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    if (path.size() == 1) return true;
    if (path.back() == '/') return false;
    std::size_t start = 1;
    for (;;) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::size_t length = end - start;
        if (length == 0) return false;
        if (path[start] == '.' && (length == 1 || (length == 2 && path[start + 1] == '.'))) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

}  // namespace

std::string canonicalDirectory(const std::string& directory) {
    // Most calls are given a path canonical already (the stores' own).
    if (alreadyCanonical(directory)) return directory;
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(directory), ec);
    if (ec) p = fs::path(directory);
    p = p.lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string ident(const std::string& identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

namespace {

// The host part of a run store's name: only characters safe in a file name.
std::string hostTag() {
    char host[256] = {0};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = 0;
    std::string tag;
    for (const char* p = host; *p; ++p) {
        const char c = *p;
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
        tag += safe ? c : '_';
    }
    return tag.empty() ? "host" : tag;
}

bool processAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

// Named once per process, like the owner of lock rows: a child forked by a
// test keeps its parent's name.
std::string runStoreName() {
    static const std::string name = "run-" + hostTag() + "-" + std::to_string(getpid()) + ".db";
    return name;
}

int removeStaleRunStores(const std::string& directory) {
    // Only stores of this machine can be judged: a process id means nothing
    // on another host sharing the directory.
    const std::string prefix = "run-" + hostTag() + "-";
    const std::string own = runStoreName();
    const long self = std::atol(own.c_str() + prefix.size());
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        std::string rest = name.substr(prefix.size());
        const std::size_t dot = rest.find(".db");
        if (dot == std::string::npos || dot == 0) continue;
        const std::string suffix = rest.substr(dot);
        if (suffix != ".db" && suffix != ".db-journal") continue;
        const std::string digits = rest.substr(0, dot);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const long pid = std::atol(digits.c_str());
        // A store under our own id was left by an earlier process: ours is
        // not open yet when the scratch directory is set.
        if (pid != self && processAlive(pid)) continue;
        if (pid == self && Connection::instance().find(canonicalDirectory(directory))) continue;
        std::error_code removeError;
        if (fs::remove(entry.path(), removeError)) ++removed;
    }
    return removed;
}

Connection& Connection::instance() {
    // Never destroyed: tables that are globals may still close after main returns.
    static Connection* connection = new Connection;
    return *connection;
}

Connection::Connection() {
    // Before SQLite starts (later calls change nothing): no one asks SQLite
    // how much memory it holds, and no connection is used by two threads at
    // once, so neither the count nor a lock per connection is worth taking
    // on every call. Its small blocks come from the pool of sql_memory.h.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    usePooledMemory();
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    runStoreName();
    char host[256] = {0};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = 0;
    owner_ = std::string(host) + ":" + std::to_string(getpid());
}

StorageStatus Connection::failureStatus(int rc) {
    const StorageStatus st = statusOf(rc);
    return st == StorageStatus::Ok ? StorageStatus::Other : st;
}

StorageStatus Connection::statusOf(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW: return StorageStatus::Ok;
        case SQLITE_CONSTRAINT: return StorageStatus::DuplicateKey;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return StorageStatus::IsLocked;
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_AUTH: return StorageStatus::AccessDenied;
        case SQLITE_CANTOPEN: return StorageStatus::AccessDenied;
        case SQLITE_NOTFOUND: return StorageStatus::NotFound;
        default: return StorageStatus::Other;
    }
}

int Connection::exec(const std::string& sql, std::string* errorText) {
    char* message = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK && errorText) *errorText = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    return rc;
}

int Connection::execKept(const std::string& sql, std::string* errorText) {
    Statement stmt;
    int rc = stmt.prepare(sql);
    if (rc == SQLITE_OK) rc = runToEnd(stmt.get());
    if (rc != SQLITE_OK && errorText) *errorText = sqlite3_errmsg(db_);
    return rc;
}

int Connection::configure(const std::string& schema, bool scratch, std::string& errorText) {
    const std::string s = ident(schema) + ".";
    // Commits over several stores are atomic only with the rollback journal:
    // a store that another program keeps in another mode (WAL) cannot change
    // while that program has it open, and must not take part then.
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, ("PRAGMA " + s + "journal_mode=DELETE").c_str(), -1, &stmt, nullptr);
    std::string mode;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            mode = text ? text : "";
            rc = SQLITE_OK;
        }
    }
    if (rc != SQLITE_OK) errorText = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) return rc;
    if (mode != "delete") {
        errorText = "The store keeps the journal mode " + mode + " while another program uses it";
        return SQLITE_BUSY;
    }
    rc = exec("PRAGMA " + s + "cache_size=-" + std::to_string(scratch ? scratchCacheKibibytes_ : cacheKibibytes_),
              &errorText);
    if (rc == SQLITE_OK) rc = exec("PRAGMA " + s + (scratch ? "synchronous=OFF" : "synchronous=NORMAL"), &errorText);
    return rc;
}

void Connection::setCacheKibibytes(int kibibytes, int scratchKibibytes) {
    cacheKibibytes_ = kibibytes;
    scratchCacheKibibytes_ = scratchKibibytes;
    // Only memory use changes; a store that refuses keeps its cache.
    for (const auto& [directory, store] : stores_)
        exec("PRAGMA " + ident(store.schema) + ".cache_size=-" +
             std::to_string(store.scratch ? scratchKibibytes : kibibytes));
}

void Connection::setScratchDirectory(const std::string& directory, bool ownedByProcess) {
    const std::string canonical = canonicalDirectory(directory);
    scratchOwned_ = ownedByProcess;
    if (canonical == scratchDirectory_) return;
    // The stores known under the old name rules are let go of first.
    if (!scratchDirectory_.empty()) detach(scratchDirectory_);
    detach(canonical);
    scratchDirectory_ = canonical;
    removeStaleRunStores(scratchDirectory_);
}

std::string Connection::storeFileOf(const std::string& directory) const {
    return directory + "/" + (directory == scratchDirectory_ ? runStoreName() : std::string(kStoreFileName));
}

void Connection::removeRunStore() {
    if (scratchDirectory_.empty()) return;
    detach(scratchDirectory_);
    if (find(scratchDirectory_)) return;  // still in use: kept
    const std::string file = storeFileOf(scratchDirectory_);
    std::error_code ec;
    fs::remove(file, ec);
    fs::remove(file + "-journal", ec);
    // A directory made for this process alone goes with it (when empty).
    if (scratchOwned_) fs::remove(scratchDirectory_, ec);
}

namespace {

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

StorageStatus Connection::openMain(const std::string& directory, std::string& errorText) {
    const std::string file = storeFileOf(directory);
    int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, journalVfsName());
    if (rc != SQLITE_OK) {
        errorText = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        return StorageStatus::AccessDenied;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kLockWaitMilliseconds);
    sqlite3_commit_hook(db_, &Connection::onCommit, this);
    sqlite3_rollback_hook(db_, &Connection::onRollback, this);
    registerCollations(db_);
    forgetCatalogs();
    Store& store = stores_[directory];
    store.directory = directory;
    store.schema = "main";
    store.scratch = directory == scratchDirectory_;
    // The first read of the store fails when the file is not a database.
    rc = exec("SELECT count(*) FROM main.sqlite_master", &errorText);
    if (rc == SQLITE_OK) rc = configure("main", store.scratch, errorText);
    if (rc != SQLITE_OK) {
        stores_.erase(directory);
        sqlite3_close(db_);
        db_ = nullptr;
        return failureStatus(rc);
    }
    return StorageStatus::Ok;
}

Store* Connection::find(const std::string& directory) {
    auto it = stores_.find(directory);
    return it == stores_.end() ? nullptr : &it->second;
}

bool Connection::makeRoom() {
    int attached = 0;
    for (auto& [dir, store] : stores_)
        if (store.schema != "main") ++attached;
    // SQLite attaches at most 10 databases besides main.
    if (attached < 10) return true;
    if (inTransaction_) return false;
    for (auto it = stores_.begin(); it != stores_.end(); ++it) {
        if (it->second.schema != "main" && it->second.users == 0 &&
            exec("DETACH DATABASE " + ident(it->second.schema)) == SQLITE_OK) {
            stores_.erase(it);
            return true;
        }
    }
    return false;
}

StorageStatus Connection::acquire(const std::string& directoryIn, bool create, Store*& out,
                                  std::string& errorText) {
    const std::string directory = canonicalDirectory(directoryIn);
    out = nullptr;
    if (Store* s = find(directory)) {
        // A store kept attached while unused may have been deleted from
        // under us (its directory removed): let go of it and look again.
        if (s->users > 0 || inTransaction_ || fileExists(storeFileOf(directory))) {
            ++s->users;
            out = s;
            return StorageStatus::Ok;
        }
        detach(directory);
    }
    if (!isDirectory(directory)) {
        errorText = "Path not found: " + directory;
        return StorageStatus::PathNotFound;
    }
    const std::string file = storeFileOf(directory);
    if (!create && !fileExists(file)) {
        errorText = "File not found: " + file;
        return StorageStatus::FileNotFound;
    }
    if (create && !fileExists(file) && access(directory.c_str(), W_OK) != 0) {
        errorText = "Access denied: " + directory;
        return StorageStatus::AccessDenied;
    }
    if (!db_) {
        StorageStatus st = openMain(directory, errorText);
        if (st != StorageStatus::Ok) return st;
        resumeRead();  // asked for before the first store opened
        Store* s = find(directory);
        ++s->users;
        out = s;
        return StorageStatus::Ok;
    }
    const ReadSuspension suspended(*this);  // a store cannot be attached inside a transaction
    if (!makeRoom()) {
        errorText = "Too many database directories in use at once";
        return StorageStatus::Other;
    }
    if (inTransaction_) {
        errorText = "A new database directory cannot be opened inside a transaction";
        return StorageStatus::Other;
    }
    // The catalogs kept of the other stores stay good: their schema
    // versions still tell, and the new schema's name was never used on
    // this connection.
    std::string schema = "s" + std::to_string(nextSchema_++);
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "ATTACH DATABASE ?1 AS ?2", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, file.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, schema.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) errorText = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) return failureStatus(rc);
    const bool scratch = directory == scratchDirectory_;
    rc = exec("SELECT count(*) FROM " + ident(schema) + ".sqlite_master", &errorText);
    if (rc == SQLITE_OK) rc = configure(schema, scratch, errorText);
    if (rc != SQLITE_OK) {
        exec("DETACH DATABASE " + ident(schema));
        return failureStatus(rc);
    }
    Store& store = stores_[directory];
    store.directory = directory;
    store.schema = schema;
    store.scratch = scratch;
    ++store.users;
    out = &store;
    return StorageStatus::Ok;
}

void Connection::release(Store* store) {
    if (store && store->users > 0) --store->users;
}

void Connection::detach(const std::string& directoryIn) {
    const std::string directory = canonicalDirectory(directoryIn);
    auto it = stores_.find(directory);
    if (it == stores_.end() || inTransaction_) return;
    const ReadSuspension suspended(*this);
    if (it->second.schema == "main") {
        // The main store cannot be detached: close the whole connection; the
        // next use reopens it.
        bool othersInUse = false;
        for (auto& [dir, s] : stores_)
            if (dir != directory && s.users > 0) othersInUse = true;
        if (!othersInUse) shutdown();
        return;
    }
    // A store that cannot be detached stays known, so that it is not
    // attached a second time.
    if (exec("DETACH DATABASE " + ident(it->second.schema)) == SQLITE_OK) stores_.erase(it);
    forgetCatalogs();
}

StorageStatus Connection::begin(int waitSeconds, std::string& errorText, const std::vector<std::string>& schemas) {
    if (!db_) {
        errorText = "No database is open";
        return StorageStatus::NotOpen;
    }
    if (inTransaction_) {
        errorText = "A transaction is already running";
        return StorageStatus::Other;
    }
    endRead();
    // Locking only the stores the transaction is about keeps other users of
    // unrelated stores going, and a commit that wrote one store needs no
    // master journal across all of them.
    for (const std::string& schema : schemas) {
        if (ensureLockRowsTable(schema, &errorText) != SQLITE_OK)
            return failureStatus(sqlite3_errcode(db_));
    }
    // The transaction's own wait applies to taking its locks only.
    sqlite3_busy_timeout(db_, waitSeconds * 1000);
    int rc;
    if (schemas.empty()) {
        rc = execKept("BEGIN IMMEDIATE", &errorText);
    } else {
        rc = execKept("BEGIN", &errorText);
        // A write that changes nothing takes the store's write lock, before
        // anything is read, so the wait works as for BEGIN IMMEDIATE.
        for (std::size_t i = 0; rc == SQLITE_OK && i < schemas.size(); ++i)
            rc = exec("DELETE FROM " + ident(schemas[i]) + "." + ident(kLocksTable) + " WHERE 0", &errorText);
        if (rc != SQLITE_OK && !sqlite3_get_autocommit(db_)) exec("ROLLBACK");
    }
    sqlite3_busy_timeout(db_, kLockWaitMilliseconds);
    if (rc != SQLITE_OK) return failureStatus(rc);
    inTransaction_ = true;
    ++transactionSerial_;
    return StorageStatus::Ok;
}

StorageStatus Connection::commit(std::string& errorText) {
    if (!inTransaction_) return StorageStatus::Ok;
    for (TransactionListener* listener : std::vector<TransactionListener*>(listeners_)) {
        if (aborted_) break;
        if (StorageStatus st = listener->beforeCommit(errorText); st != StorageStatus::Ok) {
            rollback();
            return st;
        }
    }
    if (aborted_) {
        errorText = "The transaction was rolled back after an error";
        rollback();
        return StorageStatus::Other;
    }
    committing_ = true;
    int rc = execKept("COMMIT", &errorText);
    committing_ = false;
    if (rc != SQLITE_OK) {
        rollback();
        return failureStatus(rc);
    }
    inTransaction_ = false;
    for (TransactionListener* listener : std::vector<TransactionListener*>(listeners_)) listener->afterCommit();
    return StorageStatus::Ok;
}

bool Connection::beginRead() {
    if (inTransaction_ || readWanted_ || (db_ && !sqlite3_get_autocommit(db_))) return false;
    readWanted_ = true;
    resumeRead();
    return true;
}

void Connection::resumeRead() {
    if (!readWanted_ || reading_ || !db_ || inTransaction_ || !sqlite3_get_autocommit(db_)) return;
    // No busy wait inside the tries: a wait while holding one store's lock
    // is what could deadlock. Between tries nothing is held, so a writer
    // waiting for this reader can commit.
    sqlite3_busy_timeout(db_, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(readLockWaitMilliseconds_);
    int pause = 1;
    for (;;) {
        const int rc = lockStoresForReading();
        if (rc == SQLITE_OK) {
            // The busy wait stays off while the read runs (see dropRead()).
            reading_ = true;
            return;
        }
        if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
        if ((rc & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, 16);
    }
    // Locked out past the wait (or the store failed otherwise, which its
    // statements report): the reads go on statement by statement.
    sqlite3_busy_timeout(db_, kLockWaitMilliseconds);
}

int Connection::lockStoresForReading() {
    int rc = execKept("BEGIN");
    if (rc != SQLITE_OK) return rc;
    const std::uint64_t serial = readSerial_ + 1;
    // Reading the schema version takes the store's read lock, and the
    // catalog cache is spared its own look at it.
    for (auto& [directory, store] : stores_) {
        if (store.scratch) continue;
        Statement stmt;
        rc = stmt.prepare("PRAGMA " + ident(store.schema) + ".schema_version");
        if (rc == SQLITE_OK) rc = sqlite3_step(stmt.get());
        if (rc == SQLITE_ROW) {
            store.version = sqlite3_column_int64(stmt.get(), 0);
            store.versionRead = serial;
            rc = SQLITE_OK;
        }
        if (stmt.ready()) sqlite3_reset(stmt.get());
        if (rc != SQLITE_OK) return rc;
    }
    readSerial_ = serial;
    return SQLITE_OK;
}

bool Connection::versionInRead(const std::string& schema, long long& version) const {
    if (!reading_) return false;
    for (const auto& [directory, store] : stores_) {
        if (store.schema != schema) continue;
        if (store.versionRead != readSerial_) return false;
        version = store.version;
        return true;
    }
    return false;
}

void Connection::suspendRead() {
    if (!reading_) return;
    reading_ = false;
    if (!sqlite3_get_autocommit(db_) && execKept("COMMIT") != SQLITE_OK) exec("ROLLBACK");
    sqlite3_busy_timeout(db_, kLockWaitMilliseconds);
}

bool Connection::dropRead() {
    if (!reading_) return false;
    suspendRead();
    return true;
}

void Connection::endRead() {
    readWanted_ = false;
    suspendRead();
}

void Connection::rollback() {
    if (!inTransaction_) return;
    rollingBack_ = true;
    if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
    rollingBack_ = false;
    inTransaction_ = false;
    aborted_ = false;
    endRollback();
}

namespace {

// Test hook: POSTMOOR_TEST_KILL_AT_COMMIT=N ends the process with SIGKILL at
// its Nth commit (of a transaction or a single write), before that commit
// lands, so that tests can stop a run after each of its commit points in
// turn and check what a crash leaves.
void killAtCommitHook() {
    static const long long killAt = [] {
        const char* env = std::getenv("POSTMOOR_TEST_KILL_AT_COMMIT");
        return env ? std::atoll(env) : 0LL;
    }();
    static long long commits = 0;
    if (killAt > 0 && ++commits == killAt) ::kill(getpid(), SIGKILL);
}

}  // namespace

// While a transaction runs, only commit() commits: a statement that would
// commit on its own means SQLite ended the transaction after an error.
int Connection::onCommit(void* connection) {
    killAtCommitHook();
    auto* c = static_cast<Connection*>(connection);
    return c->inTransaction_ && !c->committing_ ? 1 : 0;
}

// A rollback nobody asked for: SQLite gave up the transaction after an
// error. Cursors must not use what they read in it; the rest of the
// rollback's work waits for rollback(), as no SQL may run here.
void Connection::onRollback(void* connection) {
    auto* c = static_cast<Connection*>(connection);
    if (c->inTransaction_ && !c->rollingBack_ && !c->aborted_) {
        c->aborted_ = true;
        ++c->rollbackGeneration_;
    }
}

void Connection::endRollback() {
    ++rollbackGeneration_;
    for (TransactionListener* listener : std::vector<TransactionListener*>(listeners_)) listener->afterRollback();
}

void Connection::addListener(TransactionListener* listener) { listeners_.push_back(listener); }

void Connection::removeListener(TransactionListener* listener) {
    std::erase(listeners_, listener);
}

void Connection::shutdown() {
    if (!db_) return;
    endRead();
    if (inTransaction_) rollback();
    sqlite3_stmt* stmt = nullptr;
    while ((stmt = sqlite3_next_stmt(db_, nullptr)) != nullptr) sqlite3_finalize(stmt);
    sqlite3_close(db_);
    db_ = nullptr;
    stores_.clear();
    forgetCatalogs();
    ++rollbackGeneration_;
    ++connectionGeneration_;
}

}  // namespace pm::sql
