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

StorageStatus SqlBackend::create() {
    return withStore(true, [&] {
        Connection& c = Connection::instance();
        std::string error;
        const int rc = inSavepoint("pm_create", error, [&] {
            int rc = c.exec("DROP TABLE IF EXISTS " + tableName(), &error);
            if (rc == SQLITE_OK) rc = c.exec(createTableSql(def(), schema_, schemaName()), &error);
            for (const KeyDef& key : def().keys) {
                if (rc != SQLITE_OK) break;
                if (!key.onDemand) rc = c.exec(createIndexSql(def(), key, schemaName()), &error);
            }
            return rc;
        });
        ++writeGeneration_;
        if (rc == SQLITE_OK) {
            keysDropped_ = keysBuildFailed_ = false;
            noteKeysChanged();
        }
        return fail(rc, error);
    });
}

bool SqlBackend::exists() {
    if (isOpen()) return true;
    bool found = false;
    withStore(false, [&] { return fail(tableExists(schemaName(), def().label, found)); });
    return found;
}

int SqlBackend::dropTables(std::string& error) {
    return Connection::instance().exec("DROP TABLE IF EXISTS " + tableName(), &error);
}

StorageStatus SqlBackend::empty() {
    if (!isOpen()) return notOpen();
    std::string error;
    const int rc = Connection::instance().exec("DELETE FROM " + tableName(), &error);
    ++writeGeneration_;
    return fail(rc, error);
}

StorageStatus SqlBackend::buildKeys() {
    return withStore(false, [&] {
        std::vector<const KeyDef*> all;
        for (const KeyDef& key : def().keys) all.push_back(&key);
        const StorageStatus st = createKeys(all, true);
        if (st == StorageStatus::Ok && isOpen()) keysDropped_ = keysBuildFailed_ = false;
        return st;
    });
}

StorageStatus SqlBackend::completeKeys() {
    if (!isOpen()) return buildKeys();
    if (StorageStatus st = syncKeys(); st != StorageStatus::Ok) return st;
    if (keysDropped_) return ensureKeys();
    // Every stored key is kept up to date by the store: only keys built on
    // demand may be missing.
    std::vector<const KeyDef*> missing;
    for (const KeyDef& key : def().keys) {
        bool present = false;
        if (int rc = indexExists(schemaName(), def().label, indexName(def(), key), present); rc != SQLITE_OK)
            return fail(rc);
        if (!present) missing.push_back(&key);
    }
    return missing.empty() ? StorageStatus::Ok : createKeys(missing, false);
}

StorageStatus SqlBackend::createKeys(const std::vector<const KeyDef*>& keys, bool dropFirst) {
    finalizeStatements();
    Connection& c = Connection::instance();
    std::string error;
    const int rc = inSavepoint("pm_keys", error, [&] {
        int rc = SQLITE_OK;
        for (const KeyDef* key : keys) {
            if (rc == SQLITE_OK && dropFirst) rc = c.exec(dropIndexSql(def(), *key, schemaName()), &error);
            if (rc == SQLITE_OK) rc = c.exec(createIndexSql(def(), *key, schemaName()), &error);
        }
        return rc;
    });
    ++writeGeneration_;
    if (rc == SQLITE_OK && isOpen()) noteKeysChanged();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return report(StorageStatus::DuplicateKey, error);
    return fail(rc, error);
}

StorageStatus SqlBackend::checkLayout() {
    return withStore(false, [&] {
        std::vector<StoredColumn> columns;
        if (int rc = tableColumns(schemaName(), def().label, columns); rc != SQLITE_OK) return fail(rc);
        if (columns.empty()) return report(StorageStatus::FileNotFound, {});
        if (!sameColumns(schema_, columns)) return report(StorageStatus::LayoutDiffers, {});
        return StorageStatus::Ok;
    });
}

StorageStatus SqlBackend::extendLayout() {
    return withStore(false, [&] {
        std::vector<StoredColumn> columns;
        if (int rc = tableColumns(schemaName(), def().label, columns); rc != SQLITE_OK) return fail(rc);
        if (columns.empty()) return report(StorageStatus::FileNotFound, {});
        if (sameColumns(schema_, columns)) return StorageStatus::Ok;
        if (!leadingColumns(schema_, columns)) return report(StorageStatus::LayoutDiffers, {});
        finalizeStatements();
        Connection& c = Connection::instance();
        std::string error;
        const int rc = inSavepoint("pm_extend", error, [&] {
            int rc = SQLITE_OK;
            for (const std::string& sql : addColumnsSql(def(), schema_, columns.size(), schemaName()))
                if (rc == SQLITE_OK) rc = c.exec(sql, &error);
            return rc;
        });
        ++writeGeneration_;
        if (rc == SQLITE_OK) return StorageStatus::Ok;
        // Another process may have added the columns first.
        if (tableColumns(schemaName(), def().label, columns) == SQLITE_OK && sameColumns(schema_, columns))
            return StorageStatus::Ok;
        return fail(rc, error);
    });
}

std::int64_t SqlBackend::storedRecords() {
    if (isOpen()) return records();
    std::int64_t n = -1;
    withStore(false, [&] {
        bool found = false;
        Statement stmt;
        if (tableExists(schemaName(), def().label, found) == SQLITE_OK && found &&
            stmt.prepare("SELECT count(*) FROM " + tableName()) == SQLITE_OK && sqlite3_step(stmt.get()) == SQLITE_ROW)
            n = sqlite3_column_int64(stmt.get(), 0);
        return StorageStatus::Ok;
    });
    return n;
}

// --- the keys ---------------------------------------------------------------

// A catalog that cannot be read is reported as such: the caller's recovery
// would otherwise create (and so empty) a table that exists, or drop one
// whose layout only looked different.
StorageStatus SqlBackend::findTable() {
    std::vector<StoredColumn> columns;
    if (int rc = tableColumns(schemaName(), def().label, columns); rc != SQLITE_OK) return fail(rc);
    if (columns.empty()) return report(StorageStatus::FileNotFound, "File not found: " + table_.displayName());
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
    finalizeStatements();
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
