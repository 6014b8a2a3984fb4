#pragma once
// Keyed tables over SQLite: one SQL table per table, one index per key
// (internal). The work is split by job: file operations and the state of
// the keys (sql_backend.cpp), reads by key or position and writes
// (sql_records.cpp), and the sequence along a key or the record order
// (sql_cursor.cpp).
//
// Cursor states:
//   idle      - no sequence chosen; next()/previous() return NotFound.
//   unstarted - set*() chose an order and a start; nothing read yet.
//   started   - `anchor` is the record last returned; the next read continues
//               strictly after (or before) it.
// A page of rows read ahead belongs to one direction and one write
// generation; a write to the table, a rollback or a change of direction
// drops it and the next read seeks again from the anchor.
#include <deque>
#include <map>
#include <vector>

#include "storage/sql_record_codec.h"
#include "storage/sql_schema.h"
#include "storage/sql_statement.h"
#include "storage/sql_store_backend.h"

namespace pm::sql {

class SqlBackend final : public StoreBackend {
public:
    explicit SqlBackend(Table& table);
    ~SqlBackend() override { close(); }

    // --- file operations (sql_backend.cpp) -----------------------------------
    StorageStatus create() override;
    bool exists() override;
    StorageStatus empty() override;
    StorageStatus buildKeys() override;
    StorageStatus completeKeys() override;
    StorageStatus checkLayout() override;
    StorageStatus extendLayout() override;
    std::int64_t storedRecords() override;

    // --- sequence (sql_cursor.cpp) -------------------------------------------
    void setPhysical(RecordPosition from) override;
    void setKey(const KeyDef& key, int mode, RecordPosition pos) override;
    StorageStatus next() override { return step(+1); }
    StorageStatus previous() override { return step(-1); }

    // --- records (sql_records.cpp) -------------------------------------------
    StorageStatus get(const KeyDef& key) override;
    StorageStatus getAt(RecordPosition pos) override;
    StorageStatus getText(const KeyDef& key, const std::string& column, std::string& value) override;
    StorageStatus add(bool append) override;
    StorageStatus addToNumber(const KeyDef& key, int field, std::int64_t delta) override;
    StorageStatus put() override;
    StorageStatus erase() override;
    std::int64_t records() override;

    // --- ranges of a key (sql_ranges.cpp) --------------------------------------
    std::int64_t rangeCount(const KeyDef& key, std::size_t equalParts) override;
    StorageStatus rangePosition(const KeyDef& key, std::size_t equalParts, std::int64_t ordinal, bool fromEnd,
                                RecordPosition& pos) override;
    std::int64_t rangeOrdinal(const KeyDef& key, std::size_t equalParts, RecordPosition pos) override;

private:
    struct Cursor {
        enum Mode { Idle, Physical, Keyed } mode = Idle;
        const KeyDef* key = nullptr;
        int startMode = FromStart;
        RecordPosition startPosition = 0;
        std::string startValues;
        bool started = false;
        Row anchor;
        std::deque<Row> page;
        int pageDirection = 0;
        bool pageIsLast = false;  // nothing lies beyond the page
        std::uint64_t pageGeneration = 0;
        std::uint64_t pageRollback = 0;
        std::size_t pageLimit = 0;
    };

    // Statement numbers: the fixed ones, then per key its get and its seeks
    // by direction, level and memos.
    enum : std::size_t { kGetAt, kInsert, kUpdate, kDelete, kCount, kPhysical, kFixedStatements = kPhysical + 4 };
    std::size_t physicalStatement(int direction, bool memos) const;
    std::size_t getStatement(const KeyDef& key) const { return keyBase_[static_cast<std::size_t>(key.index)]; }
    std::size_t seekStatement(const KeyDef& key, int direction, std::size_t level, bool memos) const;
    void finalizeStatements() override {
        statements_.finalizeAll();
        rangeStatements_.clear();
        textStatements_.clear();
        numberStatements_.clear();
    }
    void forgetStatements() override {
        statements_.forgetAll();
        for (auto& [sql, stmt] : rangeStatements_) stmt.forget();
        rangeStatements_.clear();
        for (auto& [column, stmt] : textStatements_) stmt.forget();
        textStatements_.clear();
        for (auto& [field, stmt] : numberStatements_) stmt.forget();
        numberStatements_.clear();
    }
    void resetCursor() override { cursor_ = {}; }

    // --- file and keys -----------------------------------------------------
    StorageStatus findTable() override;
    int dropTables(std::string& error) override;
    int keysPresent(bool& present);
    StorageStatus dropKeys();
    // Creates `keys` in one savepoint, each dropped first when `dropFirst`.
    StorageStatus createKeys(const std::vector<const KeyDef*>& keys, bool dropFirst);
    // Rebuilds keys left out by appends (see sql_backend.cpp).
    StorageStatus ensureKeys(bool forReading = false);
    // Learns the state of the keys again after a rollback undid key changes.
    StorageStatus syncKeys();
    void noteKeysChanged();

    // --- records -------------------------------------------------------------
    StorageStatus readOne(sqlite3_stmt* stmt);
    StorageStatus checkMemos();
    StorageStatus changeAtPosition(sqlite3_stmt* stmt);
    void deliver(const Row& row);

    // --- sequence ------------------------------------------------------------
    StorageStatus step(int direction);
    StorageStatus fetch(int direction);
    StorageStatus seekFromValues(int direction, const unsigned char* values, RecordPosition after, bool whole,
                                 bool memos, std::size_t limit);
    StorageStatus collect(sqlite3_stmt* stmt);
    bool withMemos() const { return !table_.skipMemos() && !def().memos.empty(); }

    // --- ranges ----------------------------------------------------------------
    // The statement of `sql`, prepared on first use; nullptr after reporting.
    sqlite3_stmt* rangeStatement(const std::string& sql);
    // Binds the first `parts` components of `key` from `values` from parameter `param` on.
    int bindComponents(sqlite3_stmt* s, int param, const KeyDef& key, std::size_t parts, const unsigned char* values);

    const TableDef& def() const { return table_.def(); }
    unsigned char* recordBytes() { return static_cast<unsigned char*>(table_.record()); }
    std::string tableName() const { return qualified(def().label); }

    Schema schema_;
    RecordCodec codec_;
    StatementSet statements_;
    std::vector<std::size_t> keyBase_;
    bool keysDropped_ = false;
    bool keysBuildFailed_ = false;
    // Keys were dropped or built inside a transaction that may be rolled back.
    bool keysChangedInTransaction_ = false;
    std::uint64_t keysRollback_ = 0;
    std::uint64_t writeGeneration_ = 0;
    Cursor cursor_;
    // The range statements by their SQL text (few per table and key).
    std::map<std::string, Statement> rangeStatements_;
    // getText's statements by key and column (few per table).
    std::map<std::pair<int, std::string>, Statement> textStatements_;
    // addToNumber's statements by key and field.
    std::map<std::pair<int, int>, Statement> numberStatements_;
};

}  // namespace pm::sql
