// Keyed tables over SQLite: the sequence along a key or the record order,
// read ahead in pages that grow while a scan goes on.
#include <climits>
#include <cstring>

#include "storage/sql_backend.h"

namespace pm::sql {

void SqlBackend::setPhysical(RecordPosition from) {
    cursor_ = {};
    cursor_.mode = Cursor::Physical;
    cursor_.startPosition = from;
    cursor_.startMode = from > 0 ? FromPosition : FromStart;
}

void SqlBackend::setKey(const KeyDef& key, int mode, RecordPosition pos) {
    cursor_ = {};
    cursor_.mode = Cursor::Keyed;
    cursor_.key = &def().keys.at(static_cast<std::size_t>(key.index));
    cursor_.startMode = mode;
    cursor_.startPosition = pos;
    if (mode == FromValues) cursor_.startValues.assign(reinterpret_cast<const char*>(recordBytes()), def().recordSize);
}

StorageStatus SqlBackend::step(int direction) {
    if (!isOpen()) return notOpen();
    if (cursor_.mode == Cursor::Idle) return notFound();
    if (StorageStatus st = ensureKeys(true); st != StorageStatus::Ok) return st;
    if (cursor_.pageDirection != direction || cursor_.pageGeneration != writeGeneration_ ||
        cursor_.pageRollback != Connection::instance().rollbackGeneration()) {
        cursor_.page.clear();
        cursor_.pageIsLast = false;
        cursor_.pageLimit = 0;
    }
    if (cursor_.page.empty()) {
        if (cursor_.pageIsLast) return notFound();
        StorageStatus st = fetch(direction);
        if (st != StorageStatus::Ok) return st;
        if (cursor_.page.empty()) {
            cursor_.pageIsLast = true;
            return notFound();
        }
    }
    cursor_.anchor = std::move(cursor_.page.front());
    cursor_.page.pop_front();
    cursor_.started = true;
    deliver(cursor_.anchor);
    return StorageStatus::Ok;
}

// Reads the next page in `direction` into cursor_.page.
StorageStatus SqlBackend::fetch(int direction) {
    const bool memos = withMemos();
    std::size_t limit = cursor_.pageLimit == 0 ? 4 : cursor_.pageLimit * 2;
    const std::size_t cap = memos ? 32 : 256;
    if (limit > cap) limit = cap;
    cursor_.pageLimit = limit;
    cursor_.pageDirection = direction;
    cursor_.pageGeneration = writeGeneration_;
    cursor_.pageRollback = Connection::instance().rollbackGeneration();

    // What the page continues from: the anchor (strictly after), or the
    // start chosen by set*().
    const unsigned char* values = nullptr;
    RecordPosition after = direction > 0 ? INT64_MIN : INT64_MAX;
    bool whole = false;
    std::string startRecord;
    if (cursor_.started) {
        values = reinterpret_cast<const unsigned char*>(cursor_.anchor.bytes.data());
        after = cursor_.anchor.rowid;
    } else if (cursor_.startMode == FromStart) {
        whole = true;
    } else if (cursor_.startMode == FromValues) {
        values = reinterpret_cast<const unsigned char*>(cursor_.startValues.data());
    } else {  // FromPosition: inclusive of that record
        after = direction > 0 ? cursor_.startPosition - 1 : cursor_.startPosition + 1;
        if (cursor_.mode == Cursor::Keyed) {
            // The record's key values, read without disturbing the buffer.
            std::string saved(reinterpret_cast<char*>(recordBytes()), def().recordSize);
            std::vector<std::string> savedMemos;
            for (auto* m : table_.memoStrings()) savedMemos.push_back(*m);
            const RecordPosition savedPos = table_.position();
            StorageStatus st = getAt(cursor_.startPosition);
            startRecord.assign(reinterpret_cast<char*>(recordBytes()), def().recordSize);
            std::memcpy(recordBytes(), saved.data(), def().recordSize);
            for (std::size_t i = 0; i < savedMemos.size(); ++i) *table_.memoStrings()[i] = savedMemos[i];
            table_.setPosition(savedPos);
            if (st == StorageStatus::NotFound) {
                cursor_.pageIsLast = true;
                return StorageStatus::Ok;
            }
            if (st != StorageStatus::Ok) return st;
            values = reinterpret_cast<const unsigned char*>(startRecord.data());
        }
    }

    if (cursor_.mode == Cursor::Physical) {
        sqlite3_stmt* s = nullptr;
        if (int rc = statements_.get(physicalStatement(direction, memos),
                                     [&] { return physicalSeekSql(schema_, tableName(), direction, memos); }, s);
            rc != SQLITE_OK)
            return fail(rc);
        sqlite3_bind_int64(s, 1, after);
        sqlite3_bind_int64(s, 2, static_cast<std::int64_t>(limit));
        return collect(s);
    }
    return seekFromValues(direction, values, after, whole, memos, limit);
}

// Runs the seeks of keySeekSql() from the deepest level up until the page
// holds `limit` rows.
StorageStatus SqlBackend::seekFromValues(int direction, const unsigned char* values, RecordPosition after,
                                         bool whole, bool memos, std::size_t limit) {
    const KeyDef& key = *cursor_.key;
    const std::size_t n = key.parts.size();
    auto run = [&](std::size_t level) -> StorageStatus {
        sqlite3_stmt* s = nullptr;
        if (int rc = statements_.get(seekStatement(key, direction, level, memos),
                                     [&] { return keySeekSql(schema_, tableName(), key, direction, level, memos); }, s);
            rc != SQLITE_OK)
            return fail(rc);
        int param = 1;
        if (level <= n) {
            const std::size_t equal = level == 0 ? n : n - level;
            for (std::size_t i = 0; i < equal; ++i) codec_.bindField(s, param++, key.parts[i].field, values);
            if (level == 0) sqlite3_bind_int64(s, param++, after);
            else codec_.bindField(s, param++, key.parts[n - level].field, values);
        }
        sqlite3_bind_int64(s, param, static_cast<std::int64_t>(limit - cursor_.page.size()));
        return collect(s);
    };
    if (whole) return run(n + 1);
    for (std::size_t level = 0; level <= n && cursor_.page.size() < limit; ++level) {
        if (StorageStatus st = run(level); st != StorageStatus::Ok) return st;
    }
    return StorageStatus::Ok;
}

StorageStatus SqlBackend::collect(sqlite3_stmt* s) {
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        cursor_.page.emplace_back();
        codec_.decodeRow(s, recordBytes(), cursor_.page.back());
    }
    sqlite3_reset(s);
    return rc == SQLITE_DONE ? StorageStatus::Ok : fail(rc);
}

}  // namespace pm::sql
