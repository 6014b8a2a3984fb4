// Keyed tables over SQLite: file operations and the state of the keys.
#include "storage/sql_backend.h"

#include "storage/sql_catalog.h"

namespace pm {

std::unique_ptr<TableBackend> makeSqlBackend(Table& table) { return std::make_unique<sql::SqlBackend>(table); }

namespace sql {

SqlBackend::SqlBackend(Table& table)
    : StoreBackend(table), schema_(buildSchema(table.def())), codec_(table.def(), schema_) {
    std::size_t count = kFixedStatements;
    for (const KeyDef& key : table.def().keys) {
        keyBase_.push_back(count);
        // The get, then the seeks: two directions, levels 0..parts+1, with
        // and without memos.
        count += 1 + 2 * (key.parts.size() + 2) * 2;
    }
    statements_.resize(count);
}

std::size_t SqlBackend::physicalStatement(int direction, bool memos) const {
    return kPhysical + (direction > 0 ? 0 : 2) + (memos ? 1 : 0);
}

std::size_t SqlBackend::seekStatement(const KeyDef& key, int direction, std::size_t level, bool memos) const {
    const std::size_t levels = key.parts.size() + 2;
    return getStatement(key) + 1 + ((direction > 0 ? 0 : levels) + level) * 2 + (memos ? 1 : 0);
}

StorageStatus SqlBackend::open(ShareMode mode) {
    if (isOpen()) return StorageStatus::Ok;
    StorageStatus st = attach(false);
    if (st != StorageStatus::Ok) return st;
    st = verify();
    if (st == StorageStatus::Ok) st = claim(mode);
    if (st != StorageStatus::Ok) {
        detachStore();
        return st;
    }
    open_ = true;
    cursor_ = {};
    return StorageStatus::Ok;
}

void SqlBackend::close() {
    if (!open_) return;
    open_ = false;
    cursor_ = {};
    if (connectionLost()) {
        // The connection was closed under us: its statements and locks are gone.
        forgetStatements();
        forgetLocks();
        store_ = nullptr;
        return;
    }
    giveBackLocks();
    statements_.finalizeAll();
    detachStore();
}

StorageStatus SqlBackend::create() {
    const bool wasOpen = isOpen();
    StorageStatus st = wasOpen ? StorageStatus::Ok : attach(true);
    if (st != StorageStatus::Ok) return st;
    Connection& c = Connection::instance();
    std::string error;
    int rc = c.exec("SAVEPOINT pm_create", &error);
    if (rc == SQLITE_OK) rc = c.exec("DROP TABLE IF EXISTS " + tableName(), &error);
    if (rc == SQLITE_OK) rc = c.exec(createTableSql(def(), schema_, schemaName()), &error);
    for (const KeyDef& key : def().keys) {
        if (rc != SQLITE_OK) break;
        if (!key.onDemand) rc = c.exec(createIndexSql(def(), key, schemaName()), &error);
    }
    if (rc == SQLITE_OK) {
        rc = c.exec("RELEASE pm_create", &error);
    } else {
        c.exec("ROLLBACK TO pm_create");
        c.exec("RELEASE pm_create");
    }
    ++writeGeneration_;
    if (rc == SQLITE_OK) {
        keysDropped_ = keysBuildFailed_ = false;
        noteKeysChanged();
    }
    if (!wasOpen) detachStore();
    return fail(rc, error);
}

bool SqlBackend::exists() {
    if (isOpen()) return true;
    if (attach(false) != StorageStatus::Ok) return false;
    bool found = false;
    const int rc = tableExists(schemaName(), def().label, found);
    detachStore();
    return rc == SQLITE_OK && found;
}

StorageStatus SqlBackend::remove() {
    if (isOpen()) close();
    StorageStatus st = attach(false);
    if (st == StorageStatus::FileNotFound || st == StorageStatus::PathNotFound) return StorageStatus::Ok;
    if (st != StorageStatus::Ok) return st;
    std::string error;
    const int rc = Connection::instance().exec("DROP TABLE IF EXISTS " + tableName(), &error);
    st = fail(rc, error);
    if (st == StorageStatus::Ok) st = removeLockRows();
    detachStore();
    return st;
}

StorageStatus SqlBackend::empty() {
    if (!isOpen()) return notOpen();
    std::string error;
    const int rc = Connection::instance().exec("DELETE FROM " + tableName(), &error);
    ++writeGeneration_;
    return fail(rc, error);
}

StorageStatus SqlBackend::pack() {
    if (!isOpen()) return notOpen();
    if (Connection::instance().inTransaction()) return StorageStatus::Ok;
    std::string error;
    return fail(Connection::instance().exec("VACUUM " + ident(schemaName()), &error), error);
}

StorageStatus SqlBackend::buildKeys() {
    const bool wasOpen = isOpen();
    StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
    if (st != StorageStatus::Ok) return st;
    statements_.finalizeAll();
    Connection& c = Connection::instance();
    std::string error;
    int rc = c.exec("SAVEPOINT pm_keys", &error);
    for (const KeyDef& key : def().keys) {
        if (rc != SQLITE_OK) break;
        rc = c.exec(dropIndexSql(def(), key, schemaName()), &error);
        if (rc == SQLITE_OK) rc = c.exec(createIndexSql(def(), key, schemaName()), &error);
    }
    if (rc == SQLITE_OK) {
        rc = c.exec("RELEASE pm_keys", &error);
    } else {
        c.exec("ROLLBACK TO pm_keys");
        c.exec("RELEASE pm_keys");
    }
    ++writeGeneration_;
    if (rc == SQLITE_OK && wasOpen) {
        keysDropped_ = keysBuildFailed_ = false;
        noteKeysChanged();
    }
    if (!wasOpen) detachStore();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return report(StorageStatus::DuplicateKey, error);
    return fail(rc, error);
}

StorageStatus SqlBackend::checkLayout() {
    const bool wasOpen = isOpen();
    StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
    if (st != StorageStatus::Ok) return st;
    std::vector<StoredColumn> columns;
    const int rc = tableColumns(schemaName(), def().label, columns);
    if (!wasOpen) detachStore();
    if (rc != SQLITE_OK) return fail(rc);
    if (columns.empty()) return report(StorageStatus::FileNotFound, {});
    if (!sameColumns(schema_, columns)) return report(StorageStatus::LayoutDiffers, {});
    return StorageStatus::Ok;
}

std::int64_t SqlBackend::storedRecords() {
    if (isOpen()) return records();
    if (attach(false) != StorageStatus::Ok) return -1;
    std::int64_t n = -1;
    bool found = false;
    if (tableExists(schemaName(), def().label, found) == SQLITE_OK && found) {
        Statement stmt;
        if (stmt.prepare("SELECT count(*) FROM " + tableName()) == SQLITE_OK &&
            sqlite3_step(stmt.get()) == SQLITE_ROW)
            n = sqlite3_column_int64(stmt.get(), 0);
    }
    detachStore();
    return n;
}

// --- the keys ---------------------------------------------------------------

// A catalog that cannot be read is reported as such: the caller's recovery
// would otherwise create (and so empty) a table that exists, or drop one
// whose layout only looked different.
StorageStatus SqlBackend::verify() {
    std::vector<StoredColumn> columns;
    if (int rc = tableColumns(schemaName(), def().label, columns); rc != SQLITE_OK) return fail(rc);
    if (columns.empty()) return report(StorageStatus::FileNotFound, "File not found: " + table_.fileName());
    if (!sameColumns(schema_, columns)) return report(StorageStatus::LayoutDiffers, {});
    bool present = false;
    if (int rc = keysPresent(present); rc != SQLITE_OK) return fail(rc);
    if (!present) return report(StorageStatus::BadKeys, {});
    keysDropped_ = keysBuildFailed_ = keysChangedInTransaction_ = false;
    return StorageStatus::Ok;
}

int SqlBackend::keysPresent(bool& present) {
    present = true;
    for (const KeyDef& key : def().keys) {
        if (key.onDemand) continue;
        if (int rc = indexExists(schemaName(), def().label, indexName(def(), key), present); rc != SQLITE_OK)
            return rc;
        if (!present) break;
    }
    return SQLITE_OK;
}

// Appends skip key maintenance: the keys go now and come back with
// buildKeys().
StorageStatus SqlBackend::dropKeys() {
    statements_.finalizeAll();
    std::string error;
    for (const KeyDef& key : def().keys) {
        if (int rc = Connection::instance().exec(dropIndexSql(def(), key, schemaName()), &error); rc != SQLITE_OK)
            return fail(rc, error);
    }
    keysDropped_ = true;
    noteKeysChanged();
    return StorageStatus::Ok;
}

// Rebuilds keys left out by appends. Reading does not depend on them: when
// they cannot be built (duplicates in a unique key) a read goes on without
// them, in the same order, only slower; the failure was reported to whoever
// asked for the build.
StorageStatus SqlBackend::ensureKeys(bool forReading) {
    if (StorageStatus st = syncKeys(); st != StorageStatus::Ok) return st;
    if (!keysDropped_) return StorageStatus::Ok;
    if (forReading && keysBuildFailed_) return StorageStatus::Ok;
    StorageStatus st = buildKeys();
    if (st == StorageStatus::Ok) keysDropped_ = false;
    else keysBuildFailed_ = true;
    if (forReading && st != StorageStatus::Ok) return StorageStatus::Ok;
    return st;
}

void SqlBackend::noteKeysChanged() {
    if (!Connection::instance().inTransaction()) return;
    keysChangedInTransaction_ = true;
    keysRollback_ = Connection::instance().rollbackGeneration();
}

// Keys dropped or built inside a transaction come back or go again with its
// rollback; believing otherwise would add records without their keys, and
// unique keys would no longer refuse duplicates.
StorageStatus SqlBackend::syncKeys() {
    if (!keysChangedInTransaction_ || keysRollback_ == Connection::instance().rollbackGeneration())
        return StorageStatus::Ok;
    bool present = false;
    if (int rc = keysPresent(present); rc != SQLITE_OK) return fail(rc);
    keysDropped_ = !present;
    keysBuildFailed_ = false;
    keysChangedInTransaction_ = false;
    return StorageStatus::Ok;
}

}  // namespace sql
}  // namespace pm
