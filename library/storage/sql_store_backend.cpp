#include "storage/sql_store_backend.h"

#include <unistd.h>

#include <filesystem>

namespace pm::sql {
namespace {

std::string directoryOf(const std::string& fileName) {
    return std::filesystem::path(fileName).parent_path().string();
}

}  // namespace

StorageStatus StoreBackend::attach(bool create) {
    if (table_.fileName().empty() || table_.fileName().find('\0') != std::string::npos)
        return report(StorageStatus::InvalidName, "The file name is blank");
    std::string error;
    Store* store = nullptr;
    StorageStatus st = Connection::instance().acquire(directoryOf(table_.fileName()), create, store, error);
    if (st != StorageStatus::Ok) return report(st, error);
    if (connectionLost()) {
        forgetStatements();
        forgetLocks();
        open_ = false;
        connectionGeneration_ = Connection::instance().connectionGeneration();
    }
    store_ = store;
    attached();
    return StorageStatus::Ok;
}

StorageStatus StoreBackend::open(ShareMode mode) {
    if (isOpen()) return StorageStatus::Ok;
    StorageStatus st = attach(false);
    if (st != StorageStatus::Ok) return st;
    st = findTable();
    if (st == StorageStatus::Ok) st = claim(mode);
    if (st != StorageStatus::Ok) {
        detachStore();
        return st;
    }
    open_ = true;
    resetCursor();
    return StorageStatus::Ok;
}

void StoreBackend::close() {
    if (!open_) return;
    open_ = false;
    resetCursor();
    if (connectionLost()) {
        // The connection was closed under us: its statements and locks are gone.
        forgetStatements();
        forgetLocks();
        store_ = nullptr;
        return;
    }
    giveBackLocks();
    finalizeStatements();
    detachStore();
}

void StoreBackend::detachStore() {
    if (store_) Connection::instance().release(store_);
    store_ = nullptr;
}

std::string StoreBackend::qualified(const std::string& table) const {
    return ident(store_->schema) + "." + ident(table);
}

std::string StoreBackend::storeFile() const {
    return Connection::instance().storeFileOf(canonicalDirectory(directoryOf(table_.fileName())));
}

StorageStatus StoreBackend::claim(ShareMode mode) {
    const bool readOnlyStore = sqlite3_db_readonly(Connection::instance().db(), schemaName().c_str()) == 1;
    if (mode != ShareMode::SharedReadOnly && (readOnlyStore || access(storeFile().c_str(), W_OK) != 0))
        return report(StorageStatus::AccessDenied, "The store is read-only: " + storeFile());
    // Nobody writes a store that cannot be written: no lock to honour (and
    // none that could be taken or cleared).
    if (readOnlyStore) return StorageStatus::Ok;
    std::string error;
    if (mode == ShareMode::Exclusive || mode == ShareMode::DenyWrite) {
        StorageStatus st = locks_.take(schemaName(), kExclusiveRow, 0, error);
        if (st != StorageStatus::Ok) return report(st, error);
        ownsExclusive_ = true;
        return StorageStatus::Ok;
    }
    bool foreign = false;
    if (StorageStatus st = locks_.foreign(schemaName(), kExclusiveRow, foreign, error); st != StorageStatus::Ok)
        return report(st, error);
    if (foreign) return report(StorageStatus::IsLocked, "The file is opened exclusively by another user");
    return StorageStatus::Ok;
}

void StoreBackend::giveBackLocks() {
    if (ownsExclusive_) dropLock(kExclusiveRow);
    if (ownsFileLock_) dropLock(kFileLockRow);
    if (holding_) dropLock(heldPosition_);
    forgetLocks();
}

StorageStatus StoreBackend::remove() {
    if (isOpen()) close();
    StorageStatus st = attach(false);
    if (st == StorageStatus::FileNotFound || st == StorageStatus::PathNotFound) return StorageStatus::Ok;
    if (st != StorageStatus::Ok) return st;
    std::string error;
    st = fail(dropTables(error), error);
    if (st == StorageStatus::Ok) st = removeLockRows();
    detachStore();
    return st;
}

StorageStatus StoreBackend::pack() {
    if (!isOpen()) return notOpen();
    if (Connection::instance().inTransaction()) return StorageStatus::Ok;
    finalizeStatements();
    std::string error;
    return fail(Connection::instance().exec("VACUUM " + ident(schemaName()), &error), error);
}

std::int64_t StoreBackend::othersVersion() {
    if (!isOpen()) return -1;
    // Asked once per transaction of a run: not worth a kept statement.
    Statement stmt;
    if (stmt.prepare("PRAGMA " + ident(schemaName()) + ".data_version") != SQLITE_OK) return -1;
    if (sqlite3_step(stmt.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int64(stmt.get(), 0);
}

StorageStatus StoreBackend::removeLockRows() {
    std::string error;
    StorageStatus st = locks_.dropAll(schemaName(), error);
    return st == StorageStatus::Ok ? st : report(st, error);
}

void StoreBackend::dropLock(std::int64_t rec) {
    std::string error;
    // The caller cannot be told (close, unlock, release); the row stays
    // ours and the next lock of that record finds it so.
    if (StorageStatus st = locks_.drop(schemaName(), rec, error); st != StorageStatus::Ok) report(st, error);
}

StorageStatus StoreBackend::lock(int waitSeconds) {
    if (!isOpen()) return notOpen();
    std::string error;
    StorageStatus st = locks_.take(schemaName(), kFileLockRow, waitSeconds, error);
    if (st != StorageStatus::Ok) return report(st, error);
    ownsFileLock_ = true;
    return StorageStatus::Ok;
}

void StoreBackend::unlock() {
    if (ownsFileLock_ && isOpen()) dropLock(kFileLockRow);
    ownsFileLock_ = false;
}

StorageStatus StoreBackend::hold(int waitSeconds) {
    if (!isOpen()) return notOpen();
    if (holding_) release();
    const RecordPosition pos = table_.position();
    std::string error;
    bool fileLocked = false;
    if (StorageStatus st = locks_.foreign(schemaName(), kFileLockRow, fileLocked, error); st != StorageStatus::Ok)
        return report(st, error);
    if (fileLocked) return report(StorageStatus::RecordNotAvailable, "The file is locked by another user");
    StorageStatus st = locks_.take(schemaName(), pos, waitSeconds, error);
    if (st == StorageStatus::IsLocked)
        return report(StorageStatus::RecordNotAvailable, "The record is held by another user");
    if (st != StorageStatus::Ok) return report(st, error);
    holding_ = true;
    heldPosition_ = pos;
    st = getAt(pos);
    if (st != StorageStatus::Ok) release();
    return st;
}

StorageStatus StoreBackend::checkLock() {
    if (!isOpen()) return notOpen();
    std::string error;
    std::string who;
    if (StorageStatus st = locks_.holder(schemaName(), kFileLockRow, who, error); st != StorageStatus::Ok)
        return report(st, error);
    if (!who.empty() && who != Connection::instance().ownerId())
        return report(StorageStatus::IsLocked, "Locked by another user (" + who + ")");
    return StorageStatus::Ok;
}

void StoreBackend::release() {
    if (holding_ && isOpen()) dropLock(heldPosition_);
    holding_ = false;
}

StorageStatus StoreBackend::fail(int rc, const std::string& text) {
    if (succeeded(rc)) return StorageStatus::Ok;
    StorageStatus st = Connection::failureStatus(rc);
    // Only unique keys make duplicates; other constraints are plain errors.
    if ((rc & 0xFF) == SQLITE_CONSTRAINT && rc != SQLITE_CONSTRAINT_UNIQUE && rc != SQLITE_CONSTRAINT_PRIMARYKEY)
        st = StorageStatus::Other;
    if (rc == SQLITE_CONSTRAINT_COMMITHOOK && Connection::instance().transactionAborted())
        return report(st, "The transaction was rolled back after an error");
    return report(st, text);
}

StorageStatus StoreBackend::report(StorageStatus status, std::string text) {
    table_.setError(status, std::move(text));
    return status;
}

StorageStatus StoreBackend::notOpen() {
    return report(StorageStatus::NotOpen, "The file " + table_.displayName() + " is not open");
}

StorageStatus StoreBackend::notFound() { return report(StorageStatus::NotFound, {}); }

StorageStatus StoreBackend::readOnly() { return report(StorageStatus::AccessDenied, "The file is open read-only"); }

}  // namespace pm::sql
