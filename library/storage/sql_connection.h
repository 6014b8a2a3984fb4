#pragma once
// The process's one SQLite connection (internal to the storage layer).
//
// Every directory that holds tables has one store file, postmoor.db. The
// first store used becomes the connection's main database (normally the
// configuration store); the others are attached on demand and detached again
// when no table of theirs is open and a slot is needed. One connection means
// one transaction spans every store, committed atomically - with one
// exception: SQLite does not count a store with synchronous=OFF (the
// scratch store) when it decides whether a commit needs its super-journal,
// so a transaction that writes the scratch store and just one other store
// commits the two one after the other. Each stays whole on its own.
// Files are reached through the VFS of sql_journal_vfs.h.
//
// Test hook: POSTMOOR_TEST_KILL_AT_COMMIT=N in the environment kills the
// process (SIGKILL) at its Nth commit, just before it lands.
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "storage/storage_status.h"

namespace pm::sql {

inline constexpr const char* kStoreFileName = "postmoor.db";
// A store's page cache when no long run asks for more: pages read once (a
// phrase check reads thousands of texts) then recycle 2 MB instead of
// filling fresh memory.
inline constexpr int kReadCacheKibibytes = 2048;
// The lock wait of every statement outside beginTransaction's own wait.
inline constexpr int kLockWaitMilliseconds = 5000;

// The store file of this process in the scratch directory: the work data of
// its runs (import work files, search hits) is never shared with another
// process. "run-HOST-PID.db".
std::string runStoreName();
// Removes the run stores in `directory` left by processes of this machine
// that have ended (and one of this process's id, a leftover of an earlier
// process). Returns how many were removed.
int removeStaleRunStores(const std::string& directory);

struct Store {
    std::string directory;  // canonical directory path
    std::string schema;     // "main" or "s<N>"
    int users = 0;          // open tables and running operations
    bool scratch = false;   // synchronous=OFF (temporary directory)
    // The schema version read when the read transaction `versionRead`
    // locked the store (0: none did).
    long long version = -1;
    std::uint64_t versionRead = 0;
};

// A part of the storage layer that keeps state beside the stores and must
// follow the end of each transaction.
class TransactionListener {
public:
    virtual ~TransactionListener() = default;
    // Inside the transaction, before it commits: the last writes it must
    // carry. A failure rolls the transaction back and fails the commit.
    virtual StorageStatus beforeCommit(std::string& errorText) {
        (void)errorText;
        return StorageStatus::Ok;
    }
    virtual void afterCommit() {}
    // After the stores were rolled back.
    virtual void afterRollback() {}
};

class Connection {
public:
    static Connection& instance();

    // Attaches the store of `directory` (creating the store file only when
    // `create`), counting one user. FileNotFound when the store file is
    // missing and !create, PathNotFound when the directory is missing.
    StorageStatus acquire(const std::string& directory, bool create, Store*& store,
                          std::string& errorText);
    void release(Store* store);

    // The store for `directory` if it is attached, else nullptr.
    Store* find(const std::string& directory);
    // Detaches the store of `directory` (closing nothing: its tables must be
    // closed). Used before a directory is deleted.
    void detach(const std::string& directory);

    sqlite3* db() { return db_; }
    bool inTransaction() const { return inTransaction_; }
    // SQLite rolled the running transaction back by itself after an error
    // (disk full, I/O error): until rollback() every write fails, for none
    // may commit on its own, and commit() fails.
    bool transactionAborted() const { return aborted_; }
    // Begins a transaction. With `schemas` given, only those stores are
    // locked for writing at once (waiting up to `waitSeconds`); the others
    // join when first written. Without, every attached store is locked.
    StorageStatus begin(int waitSeconds, std::string& errorText, const std::vector<std::string>& schemas = {});
    StorageStatus commit(std::string& errorText);
    void rollback();
    // A read transaction (see ReadScope in table.h): true when this call
    // asked for it (false inside a transaction or another read). Asked for
    // before any store is open, it begins when the first one opens; an
    // attach or a detach ends it for its own time and begins it again
    // after. Ended by endRead(), and first by begin() and shutdown().
    //
    // It never waits for one store while it holds another's read lock: a
    // writer committing across both may hold the one and wait for the
    // other, and the two would wait for each other until one failed. So it
    // locks every attached store at once when it begins (the scratch store,
    // which no other process uses, excepted); a store found busy makes it
    // let go of all and try again a little later, and past the read lock
    // wait the reads go on without a read transaction (readSerial() 0),
    // each statement locking for itself. While it runs a statement that
    // meets a lock fails at once rather than wait (see dropRead()).
    bool beginRead();
    void endRead();
    // Ends the running read transaction, keeping it asked for, so that a
    // statement of it that met another's lock can run again holding no
    // lock (with the usual wait); resumeRead() then takes it again. False
    // when no read transaction runs.
    bool dropRead();
    void resumeRead();
    // How long a read transaction tries to lock its stores (tests shorten it).
    void setReadLockWait(int milliseconds) { readLockWaitMilliseconds_ = milliseconds; }
    // The schema version of `schema` as the running read transaction locked
    // it; false when it did not (no read transaction, or a store it skipped).
    bool versionInRead(const std::string& schema, long long& version) const;
    // Counts the read transactions begun; 0 while none runs. Two equal
    // nonzero values mean one read transaction: no one changed the stores
    // it has read in between.
    std::uint64_t readSerial() const { return reading_ ? readSerial_ : 0; }
    // Counts the transactions begun: two calls that see the same number
    // while inTransaction() are inside one transaction.
    std::uint64_t transactionSerial() const { return transactionSerial_; }
    // Incremented on rollback: cached pages of every cursor are stale.
    std::uint64_t rollbackGeneration() const { return rollbackGeneration_; }
    // Incremented when the connection closes: every prepared statement is gone.
    std::uint64_t connectionGeneration() const { return connectionGeneration_; }

    // Runs one statement without results; returns the SQLite result code.
    int exec(const std::string& sql, std::string* errorText = nullptr);
    // The same for a statement run again and again (BEGIN, COMMIT): its
    // compiled form is kept for the next call.
    int execKept(const std::string& sql, std::string* errorText = nullptr);

    // Listeners are told about every commit and rollback until removed.
    void addListener(TransactionListener* listener);
    void removeListener(TransactionListener* listener);

    // Marks a directory as the scratch store (synchronous=OFF, the file
    // of this process: runStoreName()). Stale run stores there are removed.
    // A directory `ownedByProcess` goes with the run store.
    void setScratchDirectory(const std::string& directory, bool ownedByProcess = false);
    // The store file of `directory` (canonical path): postmoor.db, or the
    // run store in the scratch directory.
    std::string storeFileOf(const std::string& directory) const;
    // Closes and deletes this process's run store (its work data is gone).
    void removeRunStore();
    // The page cache of each store, in KiB, and of the scratch store:
    // applied to the attached stores at once and to those attached later.
    void setCacheKibibytes(int kibibytes, int scratchKibibytes);
    int cacheKibibytes() const { return cacheKibibytes_; }
    int scratchCacheKibibytes() const { return scratchCacheKibibytes_; }
    // Closes the connection (every store). Tables must be closed.
    void shutdown();

    std::string ownerId() const { return owner_; }

    // Translates a SQLite result code into a status.
    static StorageStatus statusOf(int rc);
    // The status of a failed operation: never Ok, Other where nothing fits.
    static StorageStatus failureStatus(int rc);

private:
    Connection();
    StorageStatus openMain(const std::string& directory, std::string& errorText);
    int configure(const std::string& schema, bool scratch, std::string& errorText);
    bool makeRoom();
    void endRollback();
    // Ends the read transaction for an attach or detach, keeping it asked
    // for; resumeRead() begins it again.
    void suspendRead();
    // One try at locking every store for reading: the SQLite result code,
    // the read transaction left begun on SQLITE_OK only.
    int lockStoresForReading();
    // Ends resumeRead() for the scope of an attach or detach.
    struct ReadSuspension {
        explicit ReadSuspension(Connection& c) : connection(c) { c.suspendRead(); }
        ~ReadSuspension() { connection.resumeRead(); }
        ReadSuspension(const ReadSuspension&) = delete;
        ReadSuspension& operator=(const ReadSuspension&) = delete;
        Connection& connection;
    };
    static int onCommit(void* connection);
    static void onRollback(void* connection);

    sqlite3* db_ = nullptr;
    std::map<std::string, Store> stores_;
    int cacheKibibytes_ = kReadCacheKibibytes;
    int scratchCacheKibibytes_ = kReadCacheKibibytes;
    int nextSchema_ = 1;
    bool inTransaction_ = false;
    bool committing_ = false;
    bool rollingBack_ = false;
    bool aborted_ = false;
    bool reading_ = false;      // a read transaction runs
    bool readWanted_ = false;   // a ReadScope asked for one
    std::uint64_t readSerial_ = 0;
    int readLockWaitMilliseconds_ = kLockWaitMilliseconds;
    std::uint64_t rollbackGeneration_ = 0;
    std::uint64_t transactionSerial_ = 0;
    std::uint64_t connectionGeneration_ = 1;
    std::string scratchDirectory_;
    bool scratchOwned_ = false;
    std::string owner_;
    std::vector<TransactionListener*> listeners_;
};

// Runs `work` (returning an SQLite result code) inside the savepoint `name`:
// released when it succeeds, rolled back to where it began when it fails.
// Returns the first failure; `error` takes its text.
template <class Work>
int inSavepoint(const char* name, std::string& error, Work&& work) {
    Connection& c = Connection::instance();
    // Kept statements: a savepoint may wrap a single small write.
    int rc = c.execKept(std::string("SAVEPOINT ") + name, &error);
    if (rc != 0) return rc;
    rc = work();
    if (rc == 0) return c.execKept(std::string("RELEASE ") + name, &error);
    c.execKept(std::string("ROLLBACK TO ") + name);
    c.execKept(std::string("RELEASE ") + name);
    return rc;
}

// Canonical form of a directory path (absolute, no trailing separator).
std::string canonicalDirectory(const std::string& directory);

// Quotes an SQL identifier.
std::string ident(const std::string& identifier);

}  // namespace pm::sql
