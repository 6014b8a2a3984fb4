#include "storage/side_reader.h"

#include <sqlite3.h>

#include <filesystem>
#include <utility>

#include "storage/sql_collation.h"
#include "storage/sql_connection.h"
#include "storage/sql_journal_vfs.h"
#include "storage/sql_record_codec.h"
#include "storage/sql_schema.h"
#include "storage/text_column.h"

namespace pm {

namespace {

// The page cache of each store: the reads go through thousands of pages
// once, like the process's own reads under a ReadOnceCacheScope.
constexpr int kSideCacheKibibytes = 256;

// The SQL column of field `field` (its first element) or memo `memo`.
const sql::Column* columnOf(const sql::Schema& schema, int field, int memo) {
    for (const sql::Column& c : schema.columns)
        if ((field >= 0 && c.field == field && c.element == 0) || (memo >= 0 && c.memo == memo)) return &c;
    return nullptr;
}

}  // namespace

struct SideReader::Impl {
    // A store the reads use: its schema on the process's connection (whose
    // read transaction must hold it) and on this one.
    struct StoreUse {
        std::string file;
        std::string processSchema;
        std::string schema;
        sqlite3_stmt* version = nullptr;  // reads its schema version, taking its read lock
    };
    // A prepared query.
    struct Read {
        ~Read() { sqlite3_finalize(statement); }
        sqlite3_stmt* statement = nullptr;
        const TableDef* def = nullptr;
        const FieldDef* textField = nullptr;  // a text field: cut as the buffer holds it
        bool record = false;                  // the fixed part of the record
        sql::Schema schema;
        std::unique_ptr<sql::RecordCodec> codec;  // for records
    };

    sqlite3* db = nullptr;
    std::vector<StoreUse> stores;
    std::vector<std::unique_ptr<Read>> reads;
    // BEGIN and COMMIT, run at every begin() and end(): compiled once.
    sqlite3_stmt* beginReads = nullptr;
    sqlite3_stmt* endReads = nullptr;
    bool begun = false;

    ~Impl() {
        reads.clear();
        for (StoreUse& s : stores) sqlite3_finalize(s.version);
        sqlite3_finalize(beginReads);
        sqlite3_finalize(endReads);
        sqlite3_close(db);
    }

    int exec(const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }

    sqlite3_stmt* kept(const std::string& sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
            sqlite3_finalize(s);
            return nullptr;
        }
        return s;
    }

    // Runs a kept statement without results: SQLITE_OK when it went through.
    static int run(sqlite3_stmt* s) {
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

    bool attach(const std::string& file, const std::string& schema) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v2(db, ("ATTACH ?1 AS " + sql::ident(schema)).c_str(), -1, &s, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_bind_text(s, 1, file.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(s);
        }
        sqlite3_finalize(s);
        return rc == SQLITE_DONE;
    }

    // Takes the read lock of `store` (reading its schema version). False
    // when it is busy, or when the version differs from the one the
    // process's read transaction holds, which would mean the two do not
    // read the same store after all.
    bool lockAsTheProcessSees(const StoreUse& store) {
        long long processVersion = 0;
        if (!sql::Connection::instance().versionInRead(store.processSchema, processVersion)) return false;
        const int rc = sqlite3_step(store.version);
        const bool same = rc == SQLITE_ROW && sqlite3_column_int64(store.version, 0) == processVersion;
        sqlite3_reset(store.version);
        return same;
    }

    // The schema of the store of `table` on this connection, opening or
    // attaching it; empty when the process's read transaction does not hold
    // the table's store.
    std::string useStoreOf(const Table& table) {
        sql::Connection& connection = sql::Connection::instance();
        const std::string directory =
            sql::canonicalDirectory(std::filesystem::path(table.fileName()).parent_path().string());
        const sql::Store* store = connection.find(directory);
        long long version = 0;
        if (!store || store->scratch || !connection.versionInRead(store->schema, version)) return {};
        const std::string file = connection.storeFileOf(directory);
        for (const StoreUse& s : stores)
            if (s.file == file) return s.schema;
        const std::string schema = stores.empty() ? "main" : "s" + std::to_string(stores.size());
        if (stores.empty()) {
            if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                sql::journalVfsName()) != SQLITE_OK)
                return {};
            sqlite3_extended_result_codes(db, 1);
            sqlite3_busy_timeout(db, 0);
            sql::registerCollations(db);
            if (!(beginReads = kept("BEGIN")) || !(endReads = kept("COMMIT"))) return {};
        } else if (!attach(file, schema)) {
            return {};
        }
        if (exec("PRAGMA " + sql::ident(schema) + ".cache_size=-" + std::to_string(kSideCacheKibibytes)) !=
            SQLITE_OK)
            return {};
        sqlite3_stmt* readVersion = kept("PRAGMA " + sql::ident(schema) + ".schema_version");
        if (!readVersion) return {};
        stores.push_back({file, store->schema, schema, readVersion});
        return schema;
    }

    bool prepare(const Query& q) {
        if (!q.table || !q.key || !q.table->isOpen() || q.key->parts.size() != 1) return false;
        const TableDef& def = q.table->def();
        auto read = std::make_unique<Read>();
        read->def = &def;
        read->schema = sql::buildSchema(def);
        // The key's one part must be stored as a number, as the reads bind it.
        const sql::Column* keyColumn = columnOf(read->schema, q.key->parts.front().field, -1);
        if (!keyColumn || keyColumn->type != "INTEGER") return false;
        std::string columns;
        if (q.column.empty()) {
            read->record = true;
            read->codec = std::make_unique<sql::RecordCodec>(def, read->schema);
        } else {
            const TextColumn text = findTextColumn(def, q.column);
            if (!text.found()) return false;
            if (text.field >= 0) read->textField = &def.fields[static_cast<std::size_t>(text.field)];
            const sql::Column* column = columnOf(read->schema, text.field, text.memo);
            if (!column) return false;
            columns = sql::ident(column->name);
        }
        const std::string storeSchema = useStoreOf(*q.table);
        if (storeSchema.empty()) return false;
        // The table's get by key; a text narrowed to its one column.
        const std::string table = sql::ident(storeSchema) + "." + sql::ident(def.label);
        std::string sqlText = read->record ? sql::selectSql(read->schema, table, false)
                                           : "SELECT " + columns + " FROM " + table;
        sqlText += " WHERE " + sql::ident(keyColumn->name) + " = ?1 ORDER BY rowid LIMIT 1";
        if (sqlite3_prepare_v3(db, sqlText.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &read->statement, nullptr) !=
            SQLITE_OK)
            return false;
        reads.push_back(std::move(read));
        return true;
    }

    // Runs query `query` for `key`: SQLITE_ROW with its statement on the row,
    // else the result code (the statement reset).
    int run(std::size_t query, std::int64_t key) {
        sqlite3_stmt* s = reads.at(query)->statement;
        sqlite3_bind_int64(s, 1, key);
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_ROW) sqlite3_reset(s);
        return rc;
    }
};

std::unique_ptr<SideReader> SideReader::open(const std::vector<Query>& queries) {
    // A library built without threads must not be used from two.
    if (sqlite3_threadsafe() == 0 || sql::Connection::instance().readSerial() == 0) return nullptr;
    auto impl = std::make_unique<Impl>();
    for (const Query& q : queries)
        if (!impl->prepare(q)) return nullptr;
    return std::unique_ptr<SideReader>(new SideReader(std::move(impl)));
}

SideReader::SideReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SideReader::~SideReader() { end(); }

bool SideReader::begin() {
    end();
    if (sql::Connection::instance().readSerial() == 0 || Impl::run(impl_->beginReads) != SQLITE_OK) return false;
    impl_->begun = true;
    for (const Impl::StoreUse& store : impl_->stores) {
        if (!impl_->lockAsTheProcessSees(store)) {
            end();
            return false;
        }
    }
    return true;
}

void SideReader::end() {
    if (!impl_->begun) return;
    impl_->begun = false;
    if (!sqlite3_get_autocommit(impl_->db) && Impl::run(impl_->endReads) != SQLITE_OK) impl_->exec("ROLLBACK");
}

StorageStatus SideReader::readText(std::size_t query, std::int64_t key, std::string& value) {
    const Impl::Read& read = *impl_->reads.at(query);
    if (read.record) return StorageStatus::Other;
    const int rc = impl_->run(query, key);
    if (rc == SQLITE_DONE) return StorageStatus::NotFound;
    if (rc != SQLITE_ROW) return StorageStatus::Other;
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(read.statement, 0));
    std::string_view stored(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(read.statement, 0)));
    if (read.textField) stored = fieldTextAsBuffered(stored, *read.textField);
    value.assign(stored);
    sqlite3_reset(read.statement);
    return StorageStatus::Ok;
}

StorageStatus SideReader::readRecord(std::size_t query, std::int64_t key, std::string& record) {
    const Impl::Read& read = *impl_->reads.at(query);
    if (!read.record) return StorageStatus::Other;
    const int rc = impl_->run(query, key);
    if (rc == SQLITE_DONE) return StorageStatus::NotFound;
    if (rc != SQLITE_ROW) return StorageStatus::Other;
    // Bytes outside the fields read as a cleared record holds them.
    std::string background(read.def->recordSize, '\0');
    clearRecord(*read.def, background.data());
    sql::Row row;
    read.codec->decodeRow(read.statement, reinterpret_cast<const unsigned char*>(background.data()), row);
    sqlite3_reset(read.statement);
    record = std::move(row.bytes);
    return StorageStatus::Ok;
}

}  // namespace pm
