// Keyed tables over SQLite.
//
// Cursor states:
//   idle      - no sequence chosen; next()/previous() return NotFound.
//   unstarted - set*() chose an order and a start; nothing read yet.
//   started   - `anchor` is the record last returned; the next read continues
//               strictly after (or before) it.
// A page of rows read ahead belongs to one direction and one write
// generation; a write to the table, a rollback or a change of direction
// drops it and the next read seeks again from the anchor.
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <deque>
#include <filesystem>
#include <thread>

#include "common/fixed_text.h"
#include "storage/sql_connection.h"
#include "storage/sql_schema.h"
#include "storage/table_backend.h"

namespace pm {
namespace {

using sql::Connection;

struct Row {
    RecordPosition rowid = 0;
    std::string bytes;               // the fixed part of the record
    std::vector<std::string> memos;  // empty when memos were skipped
    bool withMemos = false;
};

class Statement {
public:
    Statement() = default;
    ~Statement() { reset(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void reset() {
        if (stmt_) sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    void forget() { stmt_ = nullptr; }  // the connection already finalized it
    bool ready() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    int prepare(sqlite3* db, const std::string& sql) {
        reset();
        return sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

class SqlBackend final : public TableBackend {
public:
    explicit SqlBackend(Table& table) : TableBackend(table), schema_(sql::buildSchema(table.def())) {
        const std::size_t keys = table.def().keys.size();
        // Per key: [direction][level]; level 0..parts, plus one "whole key" query.
        keyStatements_.resize(keys);
        for (std::size_t k = 0; k < keys; ++k) {
            std::size_t levels = table.def().keys[k].parts.size() + 2;
            for (auto& dir : keyStatements_[k]) dir = std::vector<Statement>(levels);
        }
        getStatements_ = std::vector<Statement>(keys);
    }
    ~SqlBackend() override { close(); }

    // --- file operations ----------------------------------------------------
    StorageStatus open(ShareMode mode) override {
        if (open_) return StorageStatus::Ok;
        StorageStatus st = attach(false);
        if (st != StorageStatus::Ok) return st;
        st = verify();
        if (st == StorageStatus::Ok && mode != ShareMode::SharedReadOnly && !writable()) {
            table_.setError(StorageStatus::AccessDenied, "The store is read-only: " + storeFile());
            st = StorageStatus::AccessDenied;
        }
        if (st == StorageStatus::Ok && (mode == ShareMode::Exclusive || mode == ShareMode::DenyWrite)) {
            st = takeLock(kExclusiveRow, 0);
            if (st == StorageStatus::Ok) ownsExclusive_ = true;
        } else if (st == StorageStatus::Ok && foreignLock(kExclusiveRow)) {
            table_.setError(StorageStatus::IsLocked, "The file is opened exclusively by another user");
            st = StorageStatus::IsLocked;
        }
        if (st != StorageStatus::Ok) {
            detachStore();
            return st;
        }
        open_ = true;
        cursor_ = {};
        return StorageStatus::Ok;
    }

    void close() override {
        if (!open_) return;
        if (connectionGeneration_ != Connection::instance().connectionGeneration()) {
            // The connection was closed under us: its statements and locks are gone.
            forgetAll();
            store_ = nullptr;
            ownsExclusive_ = ownsFileLock_ = holding_ = false;
            cursor_ = {};
            return;
        }
        if (ownsExclusive_) dropLock(kExclusiveRow);
        ownsExclusive_ = false;
        if (ownsFileLock_) dropLock(kFileLockRow);
        ownsFileLock_ = false;
        if (holding_) release();
        finalizeAll();
        open_ = false;
        cursor_ = {};
        detachStore();
    }

    bool isOpen() const override {
        return open_ && connectionGeneration_ == Connection::instance().connectionGeneration();
    }

    StorageStatus create() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(true);
        if (st != StorageStatus::Ok) return st;
        std::string error;
        int rc = exec("SAVEPOINT pm_create", error);
        if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + qualified(), error);
        if (rc == SQLITE_OK) rc = exec(sql::createTableSql(def(), schema_, store_->schema), error);
        for (const KeyDef& key : def().keys) {
            if (rc != SQLITE_OK) break;
            if (!key.onDemand) rc = exec(sql::createIndexSql(def(), key, store_->schema), error);
        }
        if (rc == SQLITE_OK) rc = exec("RELEASE pm_create", error);
        else {
            std::string ignored;
            exec("ROLLBACK TO pm_create", ignored);
            exec("RELEASE pm_create", ignored);
        }
        ++writeGeneration_;
        if (!wasOpen) detachStore();
        return fail(rc, error);
    }

    bool exists() override {
        if (isOpen()) return true;
        if (attach(false) != StorageStatus::Ok) return false;
        bool found = tableExists();
        detachStore();
        return found;
    }

    StorageStatus remove() override {
        if (isOpen()) close();
        StorageStatus st = attach(false);
        if (st == StorageStatus::FileNotFound || st == StorageStatus::PathNotFound)
            return StorageStatus::Ok;
        if (st != StorageStatus::Ok) return st;
        std::string error;
        int rc = exec("DROP TABLE IF EXISTS " + qualified(), error);
        if (rc == SQLITE_OK) exec("DELETE FROM " + locksTable() + " WHERE tbl = " + quotedLabel(), error);
        detachStore();
        return rc == SQLITE_OK ? StorageStatus::Ok : fail(rc, error);
    }

    StorageStatus empty() override {
        if (!isOpen()) return notOpen();
        std::string error;
        int rc = exec("DELETE FROM " + qualified(), error);
        ++writeGeneration_;
        return fail(rc, error);
    }

    StorageStatus pack() override {
        if (!isOpen()) return notOpen();
        if (Connection::instance().inTransaction()) return StorageStatus::Ok;
        std::string error;
        int rc = exec("VACUUM " + sql::ident(store_->schema), error);
        return fail(rc, error);
    }

    StorageStatus buildKeys() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
        if (st != StorageStatus::Ok) return st;
        finalizeAll();
        std::string error;
        int rc = exec("SAVEPOINT pm_keys", error);
        for (const KeyDef& key : def().keys) {
            if (rc != SQLITE_OK) break;
            rc = exec("DROP INDEX IF EXISTS " + sql::ident(store_->schema) + "." +
                          sql::ident(sql::indexName(def(), key)),
                      error);
            if (rc == SQLITE_OK) rc = exec(sql::createIndexSql(def(), key, store_->schema), error);
        }
        if (rc == SQLITE_OK) rc = exec("RELEASE pm_keys", error);
        else {
            std::string ignored;
            exec("ROLLBACK TO pm_keys", ignored);
            exec("RELEASE pm_keys", ignored);
        }
        ++writeGeneration_;
        if (!wasOpen) detachStore();
        if ((rc & 0xFF) == SQLITE_CONSTRAINT) {
            table_.setError(StorageStatus::DuplicateKey, error);
            return StorageStatus::DuplicateKey;
        }
        return fail(rc, error);
    }

    StorageStatus checkLayout() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
        if (st != StorageStatus::Ok) return st;
        if (!tableExists()) st = StorageStatus::FileNotFound;
        else st = layoutMatches() ? StorageStatus::Ok : StorageStatus::LayoutDiffers;
        if (!wasOpen) detachStore();
        if (st != StorageStatus::Ok) table_.setError(st, {});
        return st;
    }

    std::int64_t storedRecords() override {
        if (isOpen()) return records();
        if (attach(false) != StorageStatus::Ok) return -1;
        std::int64_t n = -1;
        if (tableExists()) {
            Statement stmt;
            prepare(stmt, "SELECT count(*) FROM " + qualified());
            if (stmt.ready() && sqlite3_step(stmt.get()) == SQLITE_ROW) n = sqlite3_column_int64(stmt.get(), 0);
        }
        detachStore();
        return n;
    }

    // --- sequence -------------------------------------------------------------
    void setPhysical(RecordPosition from) override {
        cursor_ = {};
        cursor_.mode = Cursor::Physical;
        cursor_.startPosition = from;
        cursor_.startMode = from > 0 ? FromPosition : FromStart;
    }

    void setKey(const KeyDef& key, int mode, RecordPosition pos) override {
        cursor_ = {};
        cursor_.mode = Cursor::Keyed;
        cursor_.key = &def().keys.at(static_cast<std::size_t>(key.index));
        cursor_.startMode = mode;
        cursor_.startPosition = pos;
        if (mode == FromValues) cursor_.startValues.assign(recordBytes(), recordBytes() + def().recordSize);
    }

    StorageStatus next() override { return step(+1); }
    StorageStatus previous() override { return step(-1); }

    StorageStatus get(const KeyDef& keyIn) override {
        if (!isOpen()) return notOpen();
        const KeyDef& key = def().keys.at(static_cast<std::size_t>(keyIn.index));
        Statement& stmt = getStatements_[static_cast<std::size_t>(key.index)];
        if (!stmt.ready()) {
            std::string where;
            for (std::size_t i = 0; i < key.parts.size(); ++i) {
                if (i) where += " AND ";
                where += sql::ident(schema_.keyColumns[static_cast<std::size_t>(key.index)][i]) + " = ?" +
                         std::to_string(i + 1);
            }
            if (int rc = prepare(stmt, selectSql(true) + " WHERE " + where + " ORDER BY rowid LIMIT 1"); rc != SQLITE_OK)
                return fail(rc, lastMessage());
        }
        sqlite3_stmt* s = stmt.get();
        for (std::size_t i = 0; i < key.parts.size(); ++i)
            bindField(s, static_cast<int>(i + 1), key.parts[i].field, recordBytes());
        return readOne(s);
    }

    StorageStatus getAt(RecordPosition pos) override {
        if (!isOpen()) return notOpen();
        if (!getAtStatement_.ready()) {
            if (int rc = prepare(getAtStatement_, selectSql(true) + " WHERE rowid = ?1"); rc != SQLITE_OK)
                return fail(rc, lastMessage());
        }
        sqlite3_bind_int64(getAtStatement_.get(), 1, pos);
        return readOne(getAtStatement_.get());
    }

    // --- writes ---------------------------------------------------------------
    StorageStatus add(bool append) override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        if (append && !keysDropped_) {
            // Appends skip key maintenance: the keys go now and come back
            // with buildKeys().
            std::string error;
            finalizeAll();
            for (const KeyDef& key : def().keys) {
                int rc = exec("DROP INDEX IF EXISTS " + sql::ident(store_->schema) + "." +
                                  sql::ident(sql::indexName(def(), key)),
                              error);
                if (rc != SQLITE_OK) return fail(rc, error);
            }
            keysDropped_ = true;
        } else if (!append && keysDropped_) {
            StorageStatus st = buildKeys();
            if (st != StorageStatus::Ok) return st;
            keysDropped_ = false;
        }
        if (StorageStatus st = checkMemos(); st != StorageStatus::Ok) return st;
        if (!insertStatement_.ready()) {
            std::string sql = "INSERT INTO " + qualified() + " (";
            std::string values;
            for (std::size_t i = 0; i < schema_.columns.size(); ++i) {
                if (i) { sql += ", "; values += ", "; }
                sql += sql::ident(schema_.columns[i].name);
                values += "?" + std::to_string(i + 1);
            }
            sql += ") VALUES (" + values + ")";
            if (int rc = prepare(insertStatement_, sql); rc != SQLITE_OK) return fail(rc, lastMessage());
        }
        sqlite3_stmt* s = insertStatement_.get();
        bindAll(s);
        int rc = sqlite3_step(s);
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        ++writeGeneration_;
        if (rc != SQLITE_DONE) return fail(rc, lastMessage());
        table_.setPosition(sqlite3_last_insert_rowid(db()));
        return StorageStatus::Ok;
    }

    StorageStatus put() override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        if (StorageStatus st = ensureKeys(); st != StorageStatus::Ok) return st;
        if (StorageStatus st = checkMemos(); st != StorageStatus::Ok) return st;
        if (!updateStatement_.ready()) {
            std::string sql = "UPDATE " + qualified() + " SET ";
            for (std::size_t i = 0; i < schema_.columns.size(); ++i) {
                if (i) sql += ", ";
                sql += sql::ident(schema_.columns[i].name) + " = ?" + std::to_string(i + 1);
            }
            sql += " WHERE rowid = ?" + std::to_string(schema_.columns.size() + 1);
            if (int rc = prepare(updateStatement_, sql); rc != SQLITE_OK) return fail(rc, lastMessage());
        }
        sqlite3_stmt* s = updateStatement_.get();
        bindAll(s);
        sqlite3_bind_int64(s, static_cast<int>(schema_.columns.size() + 1), table_.position());
        int rc = sqlite3_step(s);
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        ++writeGeneration_;
        if (rc != SQLITE_DONE) return fail(rc, lastMessage());
        if (sqlite3_changes(db()) == 0) return notFound();
        return StorageStatus::Ok;
    }

    StorageStatus erase() override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        if (!deleteStatement_.ready()) {
            if (int rc = prepare(deleteStatement_, "DELETE FROM " + qualified() + " WHERE rowid = ?1"); rc != SQLITE_OK)
                return fail(rc, lastMessage());
        }
        sqlite3_stmt* s = deleteStatement_.get();
        sqlite3_bind_int64(s, 1, table_.position());
        int rc = sqlite3_step(s);
        sqlite3_reset(s);
        ++writeGeneration_;
        if (rc != SQLITE_DONE) return fail(rc, lastMessage());
        if (sqlite3_changes(db()) == 0) return notFound();
        return StorageStatus::Ok;
    }

    std::int64_t records() override {
        if (!isOpen()) return 0;
        if (!countStatement_.ready() && prepare(countStatement_, "SELECT count(*) FROM " + qualified()) != SQLITE_OK)
            return 0;
        sqlite3_stmt* s = countStatement_.get();
        std::int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
        sqlite3_reset(s);
        return n;
    }

    // --- locks ----------------------------------------------------------------
    StorageStatus lock(int waitSeconds) override {
        if (!isOpen()) return notOpen();
        StorageStatus st = takeLock(kFileLockRow, waitSeconds);
        if (st == StorageStatus::Ok) ownsFileLock_ = true;
        return st;
    }

    void unlock() override {
        if (ownsFileLock_ && isOpen()) dropLock(kFileLockRow);
        ownsFileLock_ = false;
    }

    StorageStatus hold(int waitSeconds) override {
        if (!isOpen()) return notOpen();
        if (holding_) release();
        const RecordPosition pos = table_.position();
        if (foreignLock(kFileLockRow)) {
            table_.setError(StorageStatus::RecordNotAvailable, "The file is locked by another user");
            return StorageStatus::RecordNotAvailable;
        }
        StorageStatus st = takeLock(pos, waitSeconds);
        if (st == StorageStatus::IsLocked) {
            table_.setError(StorageStatus::RecordNotAvailable, "The record is held by another user");
            return StorageStatus::RecordNotAvailable;
        }
        if (st != StorageStatus::Ok) return st;
        holding_ = true;
        heldPosition_ = pos;
        st = getAt(pos);
        if (st != StorageStatus::Ok) release();
        return st;
    }

    void release() override {
        if (holding_ && isOpen()) dropLock(heldPosition_);
        holding_ = false;
    }

private:
    static constexpr RecordPosition kFileLockRow = -1;
    static constexpr RecordPosition kExclusiveRow = -2;

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

    const TableDef& def() const { return table_.def(); }
    unsigned char* recordBytes() { return static_cast<unsigned char*>(table_.record()); }
    sqlite3* db() { return Connection::instance().db(); }
    std::string lastMessage() { return db() ? sqlite3_errmsg(db()) : "no connection"; }

    std::string directory() const {
        return std::filesystem::path(table_.fileName()).parent_path().string();
    }
    std::string storeFile() const { return directory() + "/" + sql::kStoreFileName; }
    std::string qualified() const {
        return sql::ident(store_->schema) + "." + sql::ident(def().label);
    }
    std::string locksTable() const { return sql::ident(store_->schema) + "._pm_locks"; }
    std::string quotedLabel() const { return "'" + def().label + "'"; }

    bool writable() const { return access(storeFile().c_str(), W_OK) == 0; }

    StorageStatus notOpen() {
        table_.setError(StorageStatus::NotOpen, "The file " + table_.fileName() + " is not open");
        return StorageStatus::NotOpen;
    }
    StorageStatus notFound() {
        table_.setError(StorageStatus::NotFound, {});
        return StorageStatus::NotFound;
    }
    StorageStatus readOnly() {
        table_.setError(StorageStatus::AccessDenied, "The file is open read-only");
        return StorageStatus::AccessDenied;
    }

    StorageStatus fail(int rc, const std::string& text) {
        if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return StorageStatus::Ok;
        StorageStatus st = Connection::statusOf(rc);
        if (st == StorageStatus::Ok) st = StorageStatus::Other;
        if ((rc & 0xFF) == SQLITE_CONSTRAINT &&
            rc != SQLITE_CONSTRAINT_UNIQUE && rc != SQLITE_CONSTRAINT_PRIMARYKEY)
            st = StorageStatus::Other;
        table_.setError(st, text);
        return st;
    }

    int exec(const std::string& sqlText, std::string& error) {
        return Connection::instance().exec(sqlText, &error);
    }

    int prepare(Statement& stmt, const std::string& sqlText) {
        return stmt.prepare(db(), sqlText);
    }

    StorageStatus attach(bool create) {
        if (table_.fileName().empty() || table_.fileName().find('\0') != std::string::npos) {
            table_.setError(StorageStatus::InvalidName, "The file name is blank");
            return StorageStatus::InvalidName;
        }
        std::string error;
        sql::Store* store = nullptr;
        StorageStatus st = Connection::instance().acquire(directory(), create, store, error);
        if (st != StorageStatus::Ok) {
            table_.setError(st, error);
            return st;
        }
        store_ = store;
        if (connectionGeneration_ != Connection::instance().connectionGeneration()) {
            forgetAll();
            connectionGeneration_ = Connection::instance().connectionGeneration();
        }
        return StorageStatus::Ok;
    }

    void detachStore() {
        if (store_) Connection::instance().release(store_);
        store_ = nullptr;
    }

    bool tableExists() {
        Statement stmt;
        prepare(stmt, "SELECT 1 FROM " + sql::ident(store_->schema) +
                          ".sqlite_master WHERE type = 'table' AND name = ?1");
        if (!stmt.ready()) return false;
        sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
        return sqlite3_step(stmt.get()) == SQLITE_ROW;
    }

    bool layoutMatches() {
        Statement stmt;
        prepare(stmt, "SELECT name, type FROM pragma_table_info(?1, ?2) ORDER BY cid");
        if (!stmt.ready()) return false;
        sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt.get(), 2, store_->schema.c_str(), -1, SQLITE_STATIC);
        std::size_t i = 0;
        while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
            if (i >= schema_.columns.size()) return false;
            auto name = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
            auto type = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1));
            if (!name || !type || schema_.columns[i].name != name || schema_.columns[i].type != type)
                return false;
            ++i;
        }
        return i == schema_.columns.size();
    }

    bool keysPresent() {
        Statement stmt;
        prepare(stmt, "SELECT count(*) FROM " + sql::ident(store_->schema) +
                          ".sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND name = ?2");
        if (!stmt.ready()) return false;
        for (const KeyDef& key : def().keys) {
            if (key.onDemand) continue;
            const std::string name = sql::indexName(def(), key);
            sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt.get(), 2, name.c_str(), -1, SQLITE_TRANSIENT);
            bool found = sqlite3_step(stmt.get()) == SQLITE_ROW && sqlite3_column_int(stmt.get(), 0) > 0;
            sqlite3_reset(stmt.get());
            if (!found) return false;
        }
        return true;
    }

    StorageStatus verify() {
        if (!tableExists()) {
            table_.setError(StorageStatus::FileNotFound, "File not found: " + table_.fileName());
            return StorageStatus::FileNotFound;
        }
        if (!layoutMatches()) {
            table_.setError(StorageStatus::LayoutDiffers, {});
            return StorageStatus::LayoutDiffers;
        }
        if (!keysPresent()) {
            table_.setError(StorageStatus::BadKeys, {});
            return StorageStatus::BadKeys;
        }
        keysDropped_ = false;
        keysBuildFailed_ = false;
        return StorageStatus::Ok;
    }

    // Rebuilds keys left out by appends. Reading does not depend on them:
    // when they cannot be built (duplicates in a unique key) a read goes on
    // without them, in the same order, only slower; the failure was reported
    // to whoever asked for the build.
    StorageStatus ensureKeys(bool forReading = false) {
        if (!keysDropped_) return StorageStatus::Ok;
        if (forReading && keysBuildFailed_) return StorageStatus::Ok;
        StorageStatus st = buildKeys();
        if (st == StorageStatus::Ok) keysDropped_ = false;
        else keysBuildFailed_ = true;
        if (forReading && st != StorageStatus::Ok) return StorageStatus::Ok;
        return st;
    }

    void finalizeAll() {
        for (auto& key : keyStatements_)
            for (auto& dir : key)
                for (Statement& s : dir) s.reset();
        for (Statement& s : getStatements_) s.reset();
        physicalStatements_[0].reset();
        physicalStatements_[1].reset();
        getAtStatement_.reset();
        insertStatement_.reset();
        updateStatement_.reset();
        deleteStatement_.reset();
        countStatement_.reset();
    }

    void forgetAll() {
        for (auto& key : keyStatements_)
            for (auto& dir : key)
                for (Statement& s : dir) s.forget();
        for (Statement& s : getStatements_) s.forget();
        physicalStatements_[0].forget();
        physicalStatements_[1].forget();
        getAtStatement_.forget();
        insertStatement_.forget();
        updateStatement_.forget();
        deleteStatement_.forget();
        countStatement_.forget();
        open_ = false;
    }

    StorageStatus checkMemos() {
        for (std::size_t m = 0; m < def().memos.size(); ++m) {
            if (m < table_.memoStrings().size() &&
                table_.memoStrings()[m]->size() > def().memos[m].maxBytes) {
                table_.setError(StorageStatus::Other,
                                "The memo " + def().memos[m].name + " exceeds " +
                                    std::to_string(def().memos[m].maxBytes) + " bytes");
                return StorageStatus::Other;
            }
        }
        return StorageStatus::Ok;
    }

    // --- encoding ---------------------------------------------------------
    void bindField(sqlite3_stmt* s, int param, int fieldIndex, const unsigned char* record,
                   int element = 0) {
        const FieldDef& f = def().fields[static_cast<std::size_t>(fieldIndex)];
        const unsigned char* p = record + f.offset + static_cast<std::size_t>(element) * f.width;
        switch (f.type) {
            case FieldType::Byte: sqlite3_bind_int(s, param, *p); break;
            case FieldType::Long:
            case FieldType::DbDate: {
                std::int32_t v;
                std::memcpy(&v, p, 4);
                sqlite3_bind_int(s, param, v);
                break;
            }
            case FieldType::ULong: {
                std::uint32_t v;
                std::memcpy(&v, p, 4);
                sqlite3_bind_int64(s, param, v);
                break;
            }
            case FieldType::String: {
                std::string_view text = trimRight(std::string_view(reinterpret_cast<const char*>(p), f.width));
                sqlite3_bind_text(s, param, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
                break;
            }
            case FieldType::Bytes: sqlite3_bind_blob(s, param, p, static_cast<int>(f.width), SQLITE_TRANSIENT); break;
            case FieldType::Real: {
                double v;
                std::memcpy(&v, p, 8);
                sqlite3_bind_double(s, param, v);
                break;
            }
        }
    }

    void bindAll(sqlite3_stmt* s) {
        const unsigned char* record = recordBytes();
        for (std::size_t i = 0; i < schema_.columns.size(); ++i) {
            const sql::Column& c = schema_.columns[i];
            if (c.memo >= 0) {
                const std::string& text = *table_.memoStrings().at(static_cast<std::size_t>(c.memo));
                sqlite3_bind_text(s, static_cast<int>(i + 1), text.data(), static_cast<int>(text.size()),
                                  SQLITE_STATIC);
            } else {
                bindField(s, static_cast<int>(i + 1), c.field, record, c.element);
            }
        }
    }

    void decodeField(sqlite3_stmt* s, int column, const sql::Column& c, unsigned char* record) {
        const FieldDef& f = def().fields[static_cast<std::size_t>(c.field)];
        unsigned char* p = record + f.offset + static_cast<std::size_t>(c.element) * f.width;
        switch (f.type) {
            case FieldType::Byte: *p = static_cast<unsigned char>(sqlite3_column_int(s, column)); break;
            case FieldType::Long:
            case FieldType::DbDate: {
                std::int32_t v = sqlite3_column_int(s, column);
                std::memcpy(p, &v, 4);
                break;
            }
            case FieldType::ULong: {
                std::uint32_t v = static_cast<std::uint32_t>(sqlite3_column_int64(s, column));
                std::memcpy(p, &v, 4);
                break;
            }
            case FieldType::String: {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
                std::size_t n = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
                std::size_t fit = utf8FitLength(std::string_view(text ? text : "", n), f.width);
                if (fit) std::memcpy(p, text, fit);
                std::memset(p + fit, ' ', f.width - fit);
                break;
            }
            case FieldType::Bytes: {
                auto blob = static_cast<const unsigned char*>(sqlite3_column_blob(s, column));
                std::size_t n = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
                if (n > f.width) n = f.width;
                if (n) std::memcpy(p, blob, n);
                std::memset(p + n, 0, f.width - n);
                break;
            }
            case FieldType::Real: {
                double v = sqlite3_column_double(s, column);
                std::memcpy(p, &v, 8);
                break;
            }
        }
    }

    std::string selectSql(bool withMemos) const {
        std::string sql = "SELECT rowid";
        std::size_t n = withMemos ? schema_.columns.size() : schema_.fixedColumns;
        for (std::size_t i = 0; i < n; ++i) sql += ", " + sql::ident(schema_.columns[i].name);
        return sql + " FROM " + qualified();
    }

    // Reads the current row of `s` into `row`.
    void decodeRow(sqlite3_stmt* s, Row& row) {
        row.rowid = sqlite3_column_int64(s, 0);
        row.bytes.assign(def().recordSize, '\0');
        auto* record = reinterpret_cast<unsigned char*>(row.bytes.data());
        // Bytes outside the declared fields keep the buffer's contents.
        std::memcpy(record, recordBytes(), def().recordSize);
        for (std::size_t i = 0; i < schema_.fixedColumns; ++i)
            decodeField(s, static_cast<int>(i + 1), schema_.columns[i], record);
        row.withMemos = sqlite3_column_count(s) > static_cast<int>(schema_.fixedColumns + 1);
        row.memos.clear();
        if (row.withMemos) {
            for (std::size_t i = schema_.fixedColumns; i < schema_.columns.size(); ++i) {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, static_cast<int>(i + 1)));
                row.memos.emplace_back(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, static_cast<int>(i + 1))));
            }
        }
    }

    void deliver(const Row& row) {
        std::memcpy(recordBytes(), row.bytes.data(), def().recordSize);
        const auto& memos = table_.memoStrings();
        for (std::size_t m = 0; m < memos.size(); ++m) {
            if (row.withMemos && m < row.memos.size()) *memos[m] = row.memos[m];
            else memos[m]->clear();
        }
        table_.setPosition(row.rowid);
    }

    StorageStatus readOne(sqlite3_stmt* s) {
        int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            Row row;
            decodeRow(s, row);
            sqlite3_reset(s);
            deliver(row);
            return StorageStatus::Ok;
        }
        sqlite3_reset(s);
        if (rc == SQLITE_DONE) return notFound();
        return fail(rc, lastMessage());
    }

    // --- sequential reading ---------------------------------------------------
    bool withMemos() const { return !table_.skipMemos() && !def().memos.empty(); }

    StorageStatus step(int direction) {
        if (!isOpen()) return notOpen();
        if (cursor_.mode == Cursor::Idle) return notFound();
        if (StorageStatus st = ensureKeys(true); st != StorageStatus::Ok) return st;
        Connection& c = Connection::instance();
        if (cursor_.pageDirection != direction || cursor_.pageGeneration != writeGeneration_ ||
            cursor_.pageRollback != c.rollbackGeneration()) {
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
    StorageStatus fetch(int direction) {
        const bool memos = withMemos();
        std::size_t limit = cursor_.pageLimit == 0 ? 4 : cursor_.pageLimit * 2;
        std::size_t cap = memos ? 32 : 256;
        if (limit > cap) limit = cap;
        cursor_.pageLimit = limit;
        cursor_.pageDirection = direction;
        cursor_.pageGeneration = writeGeneration_;
        cursor_.pageRollback = Connection::instance().rollbackGeneration();
        const int dirIndex = direction > 0 ? 0 : 1;

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
                std::string saved(reinterpret_cast<char*>(recordBytes()), def().recordSize);
                std::vector<std::string> savedMemos;
                for (auto* m : table_.memoStrings()) savedMemos.push_back(*m);
                RecordPosition savedPos = table_.position();
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
            Statement& stmt = physicalStatements_[dirIndex];
            if (!stmt.ready() || physicalWithMemos_[dirIndex] != memos) {
                std::string sqlText = selectSql(memos) + (direction > 0 ? " WHERE rowid > ?1 ORDER BY rowid LIMIT ?2"
                                                                        : " WHERE rowid < ?1 ORDER BY rowid DESC LIMIT ?2");
                if (int rc = prepare(stmt, sqlText); rc != SQLITE_OK) return fail(rc, lastMessage());
                physicalWithMemos_[dirIndex] = memos;
            }
            sqlite3_bind_int64(stmt.get(), 1, after);
            sqlite3_bind_int64(stmt.get(), 2, static_cast<std::int64_t>(limit));
            return collect(stmt.get(), limit);
        }

        const KeyDef& key = *cursor_.key;
        const std::size_t n = key.parts.size();
        auto& statements = keyStatements_[static_cast<std::size_t>(key.index)][static_cast<std::size_t>(dirIndex)];
        auto& memoFlags = keyWithMemos_[static_cast<std::size_t>(key.index)][static_cast<std::size_t>(dirIndex)];
        if (memoFlags.size() != statements.size()) memoFlags.assign(statements.size(), false);

        // Level n+1: the whole key from its start. Level L (0..n): the first
        // n-L parts equal, part n-L beyond its value (L = 0: every part equal
        // and the position beyond).
        auto run = [&](std::size_t level) -> StorageStatus {
            Statement& stmt = statements[level];
            if (!stmt.ready() || memoFlags[level] != memos) {
                if (int rc = prepare(stmt, keySql(key, direction, level, memos)); rc != SQLITE_OK)
                    return fail(rc, lastMessage());
                memoFlags[level] = memos;
            }
            sqlite3_stmt* s = stmt.get();
            int param = 1;
            if (level <= n) {
                std::size_t equal = level == 0 ? n : n - level;
                for (std::size_t i = 0; i < equal; ++i)
                    bindField(s, param++, key.parts[i].field, values);
                if (level == 0) sqlite3_bind_int64(s, param++, after);
                else bindField(s, param++, key.parts[n - level].field, values);
            }
            std::size_t want = limit - cursor_.page.size();
            sqlite3_bind_int64(s, param, static_cast<std::int64_t>(want));
            return collect(s, want);
        };

        if (whole) return run(n + 1);
        for (std::size_t level = 0; level <= n && cursor_.page.size() < limit; ++level) {
            StorageStatus st = run(level);
            if (st != StorageStatus::Ok) return st;
        }
        return StorageStatus::Ok;
    }

    std::string keySql(const KeyDef& key, int direction, std::size_t level, bool memos) const {
        const std::size_t n = key.parts.size();
        const auto& cols = schema_.keyColumns[static_cast<std::size_t>(key.index)];
        std::string where;
        int param = 1;
        if (level <= n) {
            std::size_t equal = level == 0 ? n : n - level;
            for (std::size_t i = 0; i < equal; ++i) {
                if (!where.empty()) where += " AND ";
                where += sql::ident(cols[i]) + " = ?" + std::to_string(param++);
            }
            if (!where.empty()) where += " AND ";
            if (level == 0) {
                where += std::string("rowid ") + (direction > 0 ? ">" : "<") + " ?" + std::to_string(param++);
            } else {
                const std::size_t part = n - level;
                bool ascending = key.parts[part].direction == Direction::Ascending;
                bool greater = (direction > 0) == ascending;
                where += sql::ident(cols[part]) + (greater ? " > ?" : " < ?") + std::to_string(param++);
            }
        }
        std::string order;
        for (std::size_t i = 0; i < n; ++i) {
            bool ascending = key.parts[i].direction == Direction::Ascending;
            if (direction < 0) ascending = !ascending;
            order += sql::ident(cols[i]) + (ascending ? " ASC, " : " DESC, ");
        }
        order += direction > 0 ? "rowid ASC" : "rowid DESC";
        std::string sqlText = selectSql(memos);
        if (!where.empty()) sqlText += " WHERE " + where;
        sqlText += " ORDER BY " + order + " LIMIT ?" + std::to_string(param);
        return sqlText;
    }

    StorageStatus collect(sqlite3_stmt* s, std::size_t want) {
        std::size_t got = 0;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            Row row;
            decodeRow(s, row);
            cursor_.page.push_back(std::move(row));
            ++got;
        }
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) return fail(rc, lastMessage());
        (void)want;
        return StorageStatus::Ok;
    }

    // --- lock rows ----------------------------------------------------------
    bool ensureLocksTable() {
        std::string error;
        return exec("CREATE TABLE IF NOT EXISTS " + locksTable() +
                        " (tbl TEXT NOT NULL, rec INTEGER NOT NULL, owner TEXT NOT NULL, "
                        "PRIMARY KEY (tbl, rec))",
                    error) == SQLITE_OK;
    }

    static bool ownerAlive(const std::string& owner) {
        const std::string mine = Connection::instance().ownerId();
        auto colon = owner.rfind(':');
        auto myColon = mine.rfind(':');
        if (colon == std::string::npos || myColon == std::string::npos) return true;
        if (owner.substr(0, colon) != mine.substr(0, myColon)) return true;  // another machine
        int pid = std::atoi(owner.c_str() + colon + 1);
        if (pid <= 0) return false;
        return ::kill(pid, 0) == 0 || errno == EPERM;
    }

    // The owner of a lock row, "" when free (stale rows are removed).
    std::string lockOwner(RecordPosition rec) {
        Statement stmt;
        prepare(stmt, "SELECT owner FROM " + locksTable() + " WHERE tbl = ?1 AND rec = ?2");
        if (!stmt.ready()) return {};
        sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int64(stmt.get(), 2, rec);
        std::string owner;
        if (sqlite3_step(stmt.get()) == SQLITE_ROW)
            owner = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        stmt.reset();
        if (!owner.empty() && !ownerAlive(owner)) {
            dropLockOf(rec, owner);
            owner.clear();
        }
        return owner;
    }

    bool foreignLock(RecordPosition rec) {
        if (!hasLocksTable()) return false;
        std::string owner = lockOwner(rec);
        return !owner.empty() && owner != Connection::instance().ownerId();
    }

    bool hasLocksTable() {
        Statement stmt;
        prepare(stmt, "SELECT 1 FROM " + sql::ident(store_->schema) +
                          ".sqlite_master WHERE type = 'table' AND name = '_pm_locks'");
        return stmt.ready() && sqlite3_step(stmt.get()) == SQLITE_ROW;
    }

    StorageStatus takeLock(RecordPosition rec, int waitSeconds) {
        if (!ensureLocksTable()) {
            table_.setError(StorageStatus::AccessDenied, lastMessage());
            return StorageStatus::AccessDenied;
        }
        const std::string mine = Connection::instance().ownerId();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
        for (;;) {
            Statement stmt;
            prepare(stmt, "INSERT OR IGNORE INTO " + locksTable() + " (tbl, rec, owner) VALUES (?1, ?2, ?3)");
            if (!stmt.ready()) return fail(SQLITE_ERROR, lastMessage());
            sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int64(stmt.get(), 2, rec);
            sqlite3_bind_text(stmt.get(), 3, mine.c_str(), -1, SQLITE_TRANSIENT);
            int rc = sqlite3_step(stmt.get());
            if (rc != SQLITE_DONE) return fail(rc, lastMessage());
            if (sqlite3_changes(db()) == 1) return StorageStatus::Ok;
            std::string owner = lockOwner(rec);
            if (owner == mine) return StorageStatus::Ok;
            if (owner.empty()) continue;  // a stale row was just removed
            if (std::chrono::steady_clock::now() >= deadline) {
                table_.setError(StorageStatus::IsLocked, "Locked by another user (" + owner + ")");
                return StorageStatus::IsLocked;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    void dropLock(RecordPosition rec) { dropLockOf(rec, Connection::instance().ownerId()); }

    void dropLockOf(RecordPosition rec, const std::string& owner) {
        Statement stmt;
        prepare(stmt, "DELETE FROM " + locksTable() + " WHERE tbl = ?1 AND rec = ?2 AND owner = ?3");
        if (!stmt.ready()) return;
        sqlite3_bind_text(stmt.get(), 1, def().label.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int64(stmt.get(), 2, rec);
        sqlite3_bind_text(stmt.get(), 3, owner.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt.get());
    }

    sql::Schema schema_;
    sql::Store* store_ = nullptr;
    bool open_ = false;
    bool keysDropped_ = false;
    bool keysBuildFailed_ = false;
    bool ownsExclusive_ = false;
    bool ownsFileLock_ = false;
    bool holding_ = false;
    RecordPosition heldPosition_ = 0;
    std::uint64_t writeGeneration_ = 0;
    std::uint64_t connectionGeneration_ = 0;
    Cursor cursor_;

    std::vector<std::array<std::vector<Statement>, 2>> keyStatements_;
    std::vector<std::array<std::vector<bool>, 2>> keyWithMemos_ =
        std::vector<std::array<std::vector<bool>, 2>>(table_.def().keys.size());
    std::vector<Statement> getStatements_;
    Statement physicalStatements_[2];
    bool physicalWithMemos_[2] = {false, false};
    Statement getAtStatement_;
    Statement insertStatement_;
    Statement updateStatement_;
    Statement deleteStatement_;
    Statement countStatement_;
};

}  // namespace

std::unique_ptr<TableBackend> makeSqlBackend(Table& table) { return std::make_unique<SqlBackend>(table); }

}  // namespace pm
