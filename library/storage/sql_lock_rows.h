#pragma once
// Locks between users of a store, kept as rows of its _pm_locks table
// (internal): one row per lock with the table's label, the locked record's
// position (or one of the whole-file rows below) and the owner, "host:pid".
// A row whose owner process has ended on this machine is stale and removed
// when found.
//
// The rows are written on the one connection, so inside a transaction they
// would share its fate. Locks are not data: after a rollback the rows taken
// and given back during the transaction are written again as they were
// meant, in the open.
#include <cstdint>
#include <string>

#include "storage/storage_status.h"

namespace pm::sql {

// Row numbers of the whole-file locks (record positions are positive).
inline constexpr std::int64_t kFileLockRow = -1;
inline constexpr std::int64_t kExclusiveRow = -2;

// Creates the _pm_locks table of `schema` when missing; a SQLite result code.
int ensureLockRowsTable(const std::string& schema, std::string* error);

class LockRows {
public:
    explicit LockRows(std::string label) : label_(std::move(label)) {}

    // The owner of row `rec` of `schema` ("host:pid"), empty when free.
    StorageStatus holder(const std::string& schema, std::int64_t rec, std::string& owner, std::string& error) {
        return this->owner(schema, rec, owner, error);
    }
    // Sets `foreign` when another user owns row `rec` of `schema`.
    StorageStatus foreign(const std::string& schema, std::int64_t rec, bool& foreign, std::string& error);
    // Takes row `rec`, waiting up to `waitSeconds` while another user owns
    // it; IsLocked (the error names the owner) when it stays taken.
    StorageStatus take(const std::string& schema, std::int64_t rec, int waitSeconds, std::string& error);
    // Gives our row `rec` back.
    StorageStatus drop(const std::string& schema, std::int64_t rec, std::string& error);
    // Removes every row of the table (its file was deleted).
    StorageStatus dropAll(const std::string& schema, std::string& error);

private:
    // The owner of row `rec`, empty when free (a stale row is removed).
    StorageStatus owner(const std::string& schema, std::int64_t rec, std::string& owner, std::string& error);
    StorageStatus dropOf(const std::string& schema, std::int64_t rec, const std::string& owner, std::string& error);

    std::string label_;
};

}  // namespace pm::sql
