// Keyed tables over SQLite: counting and jumping within a range of a key.
// Every statement names the key's index (INDEXED BY), so SQLite counts and
// skips along that index alone and never picks another key whose order
// would make it read the whole table.

#include "storage/sql_backend.h"

namespace pm::sql {

namespace {

// "c0 = ?1 AND c1 = ?2 ..." for the first `parts` components; "" for none.
std::string equalComponents(const std::vector<std::string>& cols, std::size_t parts, int& param) {
    std::string where;
    for (std::size_t i = 0; i < parts; ++i) {
        if (!where.empty()) where += " AND ";
        where += ident(cols[i]) + " = ?" + std::to_string(param++);
    }
    return where;
}

// The key's order ("c0 ASC, c1 DESC, rowid ASC"), reversed when `backward`.
std::string keyOrder(const KeyDef& key, const std::vector<std::string>& cols, bool backward) {
    std::string order;
    for (std::size_t i = 0; i < key.parts.size(); ++i) {
        const bool ascending = (key.parts[i].direction == Direction::Ascending) != backward;
        order += ident(cols[i]) + (ascending ? " ASC, " : " DESC, ");
    }
    return order + (backward ? "rowid DESC" : "rowid ASC");
}

}  // namespace

sqlite3_stmt* SqlBackend::rangeStatement(const std::string& sql) {
    auto it = rangeStatements_.find(sql);
    if (it == rangeStatements_.end()) {
        Statement stmt;
        if (int rc = stmt.prepare(sql); rc != SQLITE_OK) {
            fail(rc);
            return nullptr;
        }
        it = rangeStatements_.emplace(sql, std::move(stmt)).first;
    }
    return it->second.get();
}

int SqlBackend::bindComponents(sqlite3_stmt* s, int param, const KeyDef& key, std::size_t parts,
                               const unsigned char* values) {
    for (std::size_t i = 0; i < parts; ++i) codec_.bindField(s, param++, key.parts[i].field, values);
    return param;
}

std::int64_t SqlBackend::rangeCount(const KeyDef& keyIn, std::size_t equalParts) {
    if (!isOpen()) return notOpen(), -1;
    if (equalParts == 0) return records();
    if (ensureKeys(true) != StorageStatus::Ok) return -1;
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    const auto& cols = schema_.keyColumns[static_cast<std::size_t>(key.index)];
    int param = 1;
    const std::string where = equalComponents(cols, equalParts, param);
    sqlite3_stmt* s = rangeStatement("SELECT count(*) FROM " + tableName() + " INDEXED BY " +
                                     ident(indexName(def(), key)) + " WHERE " + where);
    if (!s) return -1;
    ResetOnExit reset(s);
    bindComponents(s, 1, key, equalParts, recordBytes());
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) return sqlite3_column_int64(s, 0);
    fail(rc);
    return -1;
}

StorageStatus SqlBackend::rangePosition(const KeyDef& keyIn, std::size_t equalParts, std::int64_t ordinal,
                                        bool fromEnd, RecordPosition& pos) {
    if (!isOpen()) return notOpen();
    if (ordinal < 0) return notFound();
    if (StorageStatus st = ensureKeys(true); st != StorageStatus::Ok) return st;
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    const auto& cols = schema_.keyColumns[static_cast<std::size_t>(key.index)];
    int param = 1;
    const std::string where = equalComponents(cols, equalParts, param);
    std::string sql = "SELECT rowid FROM " + tableName() + " INDEXED BY " + ident(indexName(def(), key));
    if (!where.empty()) sql += " WHERE " + where;
    sql += " ORDER BY " + keyOrder(key, cols, fromEnd) + " LIMIT 1 OFFSET ?" + std::to_string(param);
    sqlite3_stmt* s = rangeStatement(sql);
    if (!s) return StorageStatus::Other;
    ResetOnExit reset(s);
    sqlite3_bind_int64(s, bindComponents(s, 1, key, equalParts, recordBytes()), ordinal);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
        pos = sqlite3_column_int64(s, 0);
        return StorageStatus::Ok;
    }
    return rc == SQLITE_DONE ? notFound() : fail(rc);
}

// The records before the one at `pos` are those that agree with it in every
// component and lie before it by position, and for each later component c
// (back to the first one after the range's own) those that agree in the
// components before c and lie before it in c. Each part is one count on a
// stretch of the index.
std::int64_t SqlBackend::rangeOrdinal(const KeyDef& keyIn, std::size_t equalParts, RecordPosition pos) {
    if (!isOpen()) return notOpen(), -1;
    if (ensureKeys(true) != StorageStatus::Ok) return -1;
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    const auto& cols = schema_.keyColumns[static_cast<std::size_t>(key.index)];
    const std::size_t n = key.parts.size();

    const std::string prefix(reinterpret_cast<const char*>(recordBytes()), def().recordSize);
    if (StorageStatus st = getAt(pos); st != StorageStatus::Ok) return -1;
    const std::string record(reinterpret_cast<const char*>(recordBytes()), def().recordSize);

    const std::string from = "SELECT count(*) FROM " + tableName() + " INDEXED BY " + ident(indexName(def(), key));
    int param = 1;
    // In the range at all: the record agrees with the prefix.
    std::string sql = "SELECT (SELECT count(*) FROM " + tableName() + " WHERE rowid = ?" + std::to_string(param++);
    const std::string inRange = equalComponents(cols, equalParts, param);
    if (!inRange.empty()) sql += " AND " + inRange;
    sql += "), (" + from + " WHERE ";
    std::string level0 = equalComponents(cols, n, param);
    sql += level0 + (level0.empty() ? "" : " AND ") + "rowid < ?" + std::to_string(param++) + ")";
    for (std::size_t level = 1; level <= n - equalParts; ++level) {
        const std::size_t part = n - level;
        std::string where = equalComponents(cols, part, param);
        const bool ascending = key.parts[part].direction == Direction::Ascending;
        where += (where.empty() ? "" : " AND ") + ident(cols[part]) + (ascending ? " < ?" : " > ?") +
                 std::to_string(param++);
        sql += " + (" + from + " WHERE " + where + ")";
    }
    sqlite3_stmt* s = rangeStatement(sql);
    if (!s) return -1;
    ResetOnExit reset(s);
    const auto* prefixValues = reinterpret_cast<const unsigned char*>(prefix.data());
    const auto* values = reinterpret_cast<const unsigned char*>(record.data());
    int p = 1;
    sqlite3_bind_int64(s, p++, pos);
    p = bindComponents(s, p, key, equalParts, prefixValues);
    p = bindComponents(s, p, key, n, values);
    sqlite3_bind_int64(s, p++, pos);
    for (std::size_t level = 1; level <= n - equalParts; ++level) {
        const std::size_t part = n - level;
        p = bindComponents(s, p, key, part, values);
        codec_.bindField(s, p++, key.parts[part].field, values);
    }
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) {
        fail(rc);
        return -1;
    }
    if (sqlite3_column_int64(s, 0) == 0) return -1;
    return sqlite3_column_int64(s, 1);
}

}  // namespace pm::sql
