#include "storage/named_lock.h"

#include "storage/sql_connection.h"
#include "storage/sql_lock_rows.h"

namespace pm {

namespace {

// The lock rows of a named lock use a label no table has.
std::string rowLabel(const std::string& name) { return "lock:" + name; }

}  // namespace

NamedLock::NamedLock(std::string directory, std::string name)
    : directory_(std::move(directory)), name_(std::move(name)) {}

NamedLock::~NamedLock() { release(); }

StorageStatus NamedLock::tryTake() {
    holder_.clear();
    error_.clear();
    if (held_) return StorageStatus::Ok;
    sql::Connection& connection = sql::Connection::instance();
    sql::Store* store = nullptr;
    StorageStatus st = connection.acquire(directory_, false, store, error_);
    if (st != StorageStatus::Ok) return st;
    sql::LockRows rows(rowLabel(name_));
    st = rows.take(store->schema, sql::kFileLockRow, 0, error_);
    if (st == StorageStatus::IsLocked) {
        std::string ignored;
        rows.holder(store->schema, sql::kFileLockRow, holder_, ignored);
    }
    held_ = st == StorageStatus::Ok;
    connection.release(store);
    return st;
}

void NamedLock::release() {
    if (!held_) return;
    held_ = false;
    sql::Connection& connection = sql::Connection::instance();
    sql::Store* store = nullptr;
    std::string error;
    // A row that cannot be given back is stale once this process has ended,
    // and the next user takes it over then.
    if (connection.acquire(directory_, false, store, error) != StorageStatus::Ok) return;
    sql::LockRows(rowLabel(name_)).drop(store->schema, sql::kFileLockRow, error);
    connection.release(store);
}

}  // namespace pm
