// Keyed tables over SQLite: reads by key or position, and the writes.
#include <algorithm>
#include <cstring>

#include "storage/sql_backend.h"
#include "storage/text_column.h"

namespace pm::sql {

StorageStatus SqlBackend::get(const KeyDef& keyIn) {
    if (!isOpen()) return notOpen();
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(getStatement(key), [&] { return keyGetSql(schema_, tableName(), key, true); }, s);
        rc != SQLITE_OK)
        return fail(rc);
    for (std::size_t i = 0; i < key.parts.size(); ++i)
        codec_.bindField(s, static_cast<int>(i + 1), key.parts[i].field, recordBytes());
    return readOne(s);
}

StorageStatus SqlBackend::getAt(RecordPosition pos) {
    if (!isOpen()) return notOpen();
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(kGetAt, [&] { return selectSql(schema_, tableName(), true) + " WHERE rowid = ?1"; }, s);
        rc != SQLITE_OK)
        return fail(rc);
    sqlite3_bind_int64(s, 1, pos);
    return readOne(s);
}

StorageStatus SqlBackend::getText(const KeyDef& keyIn, const std::string& column, std::string& value) {
    if (!isOpen()) return notOpen();
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    const TextColumn c = findTextColumn(def(), column);
    if (!c.found()) return report(StorageStatus::Other, "No text column " + column + " in " + table_.displayName());
    auto it = textStatements_.find({key.index, column});
    if (it == textStatements_.end()) {
        // The key's get, narrowed to the one column: the other columns and
        // the record's other memos are never decoded or copied.
        std::string sql = keyGetSql(schema_, tableName(), key, false);
        sql.replace(0, sql.find(" FROM "), "SELECT " + ident(column));
        Statement stmt;
        if (int rc = stmt.prepare(sql); rc != SQLITE_OK) return fail(rc);
        it = textStatements_.emplace(std::make_pair(key.index, column), std::move(stmt)).first;
    }
    sqlite3_stmt* s = it->second.get();
    ResetOnExit reset(s);
    for (std::size_t i = 0; i < key.parts.size(); ++i)
        codec_.bindField(s, static_cast<int>(i + 1), key.parts[i].field, recordBytes());
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return notFound();
    if (rc != SQLITE_ROW) return fail(rc);
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    std::string_view stored(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
    if (c.field >= 0) stored = fieldTextAsBuffered(stored, def().fields[static_cast<std::size_t>(c.field)]);
    value.assign(stored);
    return StorageStatus::Ok;
}

StorageStatus SqlBackend::readOne(sqlite3_stmt* s) {
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
        Row row;
        codec_.decodeRow(s, recordBytes(), row);
        sqlite3_reset(s);
        deliver(row);
        return StorageStatus::Ok;
    }
    sqlite3_reset(s);
    if (rc == SQLITE_DONE) return notFound();
    return fail(rc);
}

void SqlBackend::deliver(const Row& row) {
    std::memcpy(recordBytes(), row.bytes.data(), def().recordSize);
    const auto& memos = table_.memoStrings();
    for (std::size_t m = 0; m < memos.size(); ++m) {
        if (row.withMemos && m < row.memos.size()) *memos[m] = row.memos[m];
        else memos[m]->clear();
    }
    table_.setPosition(row.rowid);
}

StorageStatus SqlBackend::checkMemos() {
    const int m = codec_.oversizedMemo(table_.memoStrings());
    if (m < 0) return StorageStatus::Ok;
    const MemoDef& memo = def().memos[static_cast<std::size_t>(m)];
    return report(StorageStatus::Other, "The memo " + memo.name + " exceeds " + std::to_string(memo.maxBytes) + " bytes");
}

StorageStatus SqlBackend::add(bool append) {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (StorageStatus st = syncKeys(); st != StorageStatus::Ok) return st;
    if (append && !keysDropped_) {
        if (StorageStatus st = dropKeys(); st != StorageStatus::Ok) return st;
    } else if (!append && keysDropped_) {
        StorageStatus st = buildKeys();
        if (st != StorageStatus::Ok) return st;
        keysDropped_ = false;
    }
    if (StorageStatus st = checkMemos(); st != StorageStatus::Ok) return st;
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(kInsert, [&] { return insertSql(schema_, tableName()); }, s); rc != SQLITE_OK)
        return fail(rc);
    codec_.bindRecord(s, recordBytes(), table_.memoStrings());
    const int rc = runToEnd(s);
    ++writeGeneration_;
    if (rc != SQLITE_OK) return fail(rc);
    table_.setPosition(sqlite3_last_insert_rowid(Connection::instance().db()));
    return StorageStatus::Ok;
}

StorageStatus SqlBackend::addToNumber(const KeyDef& keyIn, int field, std::int64_t delta) {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
    const auto column = std::find_if(schema_.columns.begin(), schema_.columns.end(),
                                     [&](const Column& c) { return c.field == field && c.element == 0; });
    if (!key.unique || column == schema_.columns.end() || column->type != "INTEGER")
        return report(StorageStatus::Other, "No single number to add to in " + table_.displayName());
    if (StorageStatus st = ensureKeys(); st != StorageStatus::Ok) return st;
    auto it = numberStatements_.find({key.index, field});
    if (it == numberStatements_.end()) {
        const auto& cols = schema_.keyColumns[static_cast<std::size_t>(key.index)];
        std::string sqlText = "UPDATE " + tableName() + " SET " + ident(column->name) + " = " + ident(column->name) + " + ?1 WHERE ";
        for (std::size_t i = 0; i < key.parts.size(); ++i)
            sqlText += (i ? " AND " : "") + ident(cols[i]) + " = ?" + std::to_string(i + 2);
        Statement stmt;
        if (int rc = stmt.prepare(sqlText); rc != SQLITE_OK) return fail(rc);
        it = numberStatements_.emplace(std::make_pair(key.index, field), std::move(stmt)).first;
    }
    sqlite3_stmt* s = it->second.get();
    sqlite3_bind_int64(s, 1, delta);
    for (std::size_t i = 0; i < key.parts.size(); ++i)
        codec_.bindField(s, static_cast<int>(i + 2), key.parts[i].field, recordBytes());
    const int rc = runToEnd(s);
    ++writeGeneration_;
    if (rc != SQLITE_OK) return fail(rc);
    if (sqlite3_changes(Connection::instance().db()) == 0) return notFound();
    return StorageStatus::Ok;
}

StorageStatus SqlBackend::put() {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (StorageStatus st = ensureKeys(); st != StorageStatus::Ok) return st;
    if (StorageStatus st = checkMemos(); st != StorageStatus::Ok) return st;
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(kUpdate, [&] { return updateSql(schema_, tableName()); }, s); rc != SQLITE_OK)
        return fail(rc);
    codec_.bindRecord(s, recordBytes(), table_.memoStrings());
    sqlite3_bind_int64(s, static_cast<int>(schema_.columns.size() + 1), table_.position());
    return changeAtPosition(s);
}

StorageStatus SqlBackend::erase() {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(kDelete, [&] { return "DELETE FROM " + tableName() + " WHERE rowid = ?1"; }, s);
        rc != SQLITE_OK)
        return fail(rc);
    sqlite3_bind_int64(s, 1, table_.position());
    return changeAtPosition(s);
}

// Runs the bound UPDATE or DELETE of the record at the table's position.
StorageStatus SqlBackend::changeAtPosition(sqlite3_stmt* s) {
    const int rc = runToEnd(s);
    ++writeGeneration_;
    if (rc != SQLITE_OK) return fail(rc);
    if (sqlite3_changes(Connection::instance().db()) == 0) return notFound();
    return StorageStatus::Ok;
}

std::int64_t SqlBackend::records() {
    if (!isOpen()) return 0;
    sqlite3_stmt* s = nullptr;
    if (int rc = statements_.get(kCount, [&] { return "SELECT count(*) FROM " + tableName(); }, s); rc != SQLITE_OK) {
        fail(rc);
        return 0;
    }
    ResetOnExit reset(s);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) return sqlite3_column_int64(s, 0);
    fail(rc);
    return 0;
}

}  // namespace pm::sql
