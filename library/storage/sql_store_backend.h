#pragma once
// What the backends of tables in SQLite stores share (internal): the hold
// on the directory's store, the error reports, and the locks - file lock,
// record hold and exclusive open - kept as lock rows of the store.
#include <cstdint>
#include <string>

#include "storage/sql_connection.h"
#include "storage/sql_lock_rows.h"
#include "storage/sql_statement.h"
#include "storage/table_backend.h"

namespace pm::sql {

class StoreBackend : public TableBackend {
public:
    explicit StoreBackend(Table& table) : TableBackend(table), locks_(table.def().label) {}

    // Attaches the store, finds the table (findTable), then claims it for
    // `mode`: the read-only check and the exclusive-open row.
    StorageStatus open(ShareMode mode) override;
    // Gives back the lock rows and the statements, then the store.
    void close() override;
    bool isOpen() const override { return open_ && !connectionLost(); }
    // Drops the table's SQL tables and its lock rows; a missing store or
    // directory counts as deleted.
    StorageStatus remove() override;
    // Vacuums the whole store, unless a transaction runs.
    StorageStatus pack() override;

    // Takes the file's lock row, waiting up to `waitSeconds` for another
    // user's; IsLocked when it stays taken.
    StorageStatus lock(int waitSeconds) override;
    void unlock() override;
    // Takes the lock row of the record last read unless the file is locked
    // by another user (RecordNotAvailable either way), then re-reads the
    // record with getAt(); a failed read gives the row back.
    StorageStatus hold(int waitSeconds) override;
    void release() override;
    // IsLocked when the file's lock row belongs to another user.
    StorageStatus checkLock() override;
    // SQLite's data_version of the store.
    std::int64_t othersVersion() override;

protected:
    // --- the store ---------------------------------------------------------
    // Attaches the store of the table's directory (creating the store file
    // when `create`); InvalidName for a blank name. A connection closed
    // since the last attach makes the backend forget its statements first.
    StorageStatus attach(bool create);
    // Lets go of the store taken by attach().
    void detachStore();
    // Runs `work` with the store attached: the open table's, or one attached
    // for the call (its file created when `create`); an attach failure is
    // returned as it is.
    template <class Work>
    StorageStatus withStore(bool create, Work&& work) {
        if (isOpen()) return work();
        if (StorageStatus st = attach(create); st != StorageStatus::Ok) return st;
        const StorageStatus st = work();
        detachStore();
        return st;
    }
    // The connection was closed since attach(): its statements and lock rows
    // are gone.
    bool connectionLost() const {
        return connectionGeneration_ != Connection::instance().connectionGeneration();
    }
    // Ok when the store holds the table in its declared layout, else
    // FileNotFound, LayoutDiffers, BadKeys or the error met.
    virtual StorageStatus findTable() = 0;
    // Drops the SQL tables of the table (remove()).
    virtual int dropTables(std::string& error) = 0;
    // After attach(): the store's schema is known.
    virtual void attached() {}
    // Drops the prepared statements (on close, before DDL).
    virtual void finalizeStatements() = 0;
    // Drops the prepared statements that belonged to a closed connection.
    virtual void forgetStatements() = 0;
    // The sequence goes back to idle (on open and close).
    virtual void resetCursor() = 0;

    // The attached store's schema name ("main", "s1" ...).
    const std::string& schemaName() const { return store_->schema; }
    // `table` of this store, quoted: "s1"."MsgNmbr".
    std::string qualified(const std::string& table) const;

    // --- errors --------------------------------------------------------------
    // Ok for a succeeding result code, else the error reported with `text`
    // (the connection's own words when none is given).
    StorageStatus fail(int rc, const std::string& text);
    StorageStatus fail(int rc) { return fail(rc, lastErrorText()); }
    // Sets the table's error and returns `status`.
    StorageStatus report(StorageStatus status, std::string text);
    StorageStatus notOpen();
    StorageStatus notFound();
    // A write to a table opened SharedReadOnly.
    StorageStatus readOnly();

    Store* store_ = nullptr;  // while attached
    bool open_ = false;

private:
    std::string storeFile() const;
    // Removes every lock row of the table, whoever owns it (the table is gone).
    StorageStatus removeLockRows();
    StorageStatus claim(ShareMode mode);
    // Gives back every lock row this table owns.
    void giveBackLocks();
    // Forgets them: the connection that wrote them is closed.
    void forgetLocks() { ownsExclusive_ = ownsFileLock_ = holding_ = false; }
    void dropLock(std::int64_t rec);

    std::uint64_t connectionGeneration_ = 0;
    LockRows locks_;
    bool ownsExclusive_ = false;
    bool ownsFileLock_ = false;
    bool holding_ = false;
    RecordPosition heldPosition_ = 0;
};

}  // namespace pm::sql
