// The posting-list layout: its tables and the statements that read and
// write single rows and blocks.
#include "storage/posting_store.h"

#include <stdexcept>

#include "storage/posting_codec.h"
#include "storage/sql_catalog.h"
#include "storage/sql_connection.h"

namespace pm::postings {
namespace {

bool isFourByteNumber(const FieldDef& f) {
    return f.width == 4 && f.dim == 1 && (f.type == FieldType::ULong || f.type == FieldType::Long);
}

std::uint32_t columnU32(sqlite3_stmt* s, int column) {
    return static_cast<std::uint32_t>(sqlite3_column_int64(s, column));
}

std::string_view columnBlob(sqlite3_stmt* s, int column) {
    const void* p = sqlite3_column_blob(s, column);
    const int n = sqlite3_column_bytes(s, column);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string_view();
}

int exec(const std::string& sqlText, std::string& error) { return sql::Connection::instance().exec(sqlText, &error); }

}  // namespace

Store::Store(const TableDef& def) {
    if (def.fields.size() != 2 || !isFourByteNumber(def.fields[0]) || !isFourByteNumber(def.fields[1]) ||
        def.keys.size() != 2 || def.keys[0].parts.size() != 2 || def.keys[0].parts[0].field != 0 ||
        def.keys[0].parts[1].field != 1 || !def.keys[0].unique || def.keys[1].parts.size() != 1 ||
        def.keys[1].parts[0].field != 1 || !def.memos.empty())
        throw std::logic_error(def.label + ": not a table of pairs for the posting-list layout");
    for (const KeyDef& key : def.keys)
        for (const KeyPart& part : key.parts)
            if (part.direction != Direction::Ascending)
                throw std::logic_error(def.label + ": posting-list keys run upward");
    colA_ = def.fields[0].name;
    colB_ = def.fields[1].name;
    byA_ = def.label;
    byB_ = def.label + "_" + def.keys[1].name;
    info_ = def.label + "_info";
}

void Store::setSchema(const std::string& schema) {
    if (schema == schema_) return;
    finalizeAll();
    schema_ = schema;
}

std::string Store::q(const std::string& table) const { return sql::ident(schema_) + "." + sql::ident(table); }

std::string Store::sqlOf(Query query) const {
    const std::string a = sql::ident(colA_), b = sql::ident(colB_), bs = sql::ident(colB_ + "S");
    const std::string first = sql::ident("FIRST" + colA_);
    const std::string rows = "SELECT " + a + ", " + bs + " FROM " + q(byA_) + " WHERE " + a;
    const std::string blocks = "SELECT " + b + ", " + first + ", " + sql::ident(colA_ + "S") + " FROM " + q(byB_) +
                               " WHERE " + b;
    switch (query) {
        case kLoadRow: return rows + " = ?1";
        case kNextRow: return rows + " > ?1 ORDER BY " + a + " LIMIT 1";
        case kPrevRow: return rows + " < ?1 ORDER BY " + a + " DESC LIMIT 1";
        case kWriteRow: return "INSERT OR REPLACE INTO " + q(byA_) + " (" + a + ", ENTRIES, " + bs + ") VALUES (?1, ?2, ?3)";
        case kDeleteRow: return "DELETE FROM " + q(byA_) + " WHERE " + a + " = ?1";
        case kAtOrBefore: return blocks + " = ?1 AND " + first + " <= ?2 ORDER BY " + first + " DESC LIMIT 1";
        case kAfter: return blocks + " = ?1 AND " + first + " > ?2 ORDER BY " + first + " LIMIT 1";
        case kBefore: return blocks + " = ?1 AND " + first + " < ?2 ORDER BY " + first + " DESC LIMIT 1";
        case kNextB: return blocks + " > ?1 ORDER BY " + b + ", " + first + " LIMIT 1";
        case kPrevB: return blocks + " < ?1 ORDER BY " + b + " DESC, " + first + " DESC LIMIT 1";
        case kWriteBlock:
            return "INSERT OR REPLACE INTO " + q(byB_) + " (" + b + ", " + first + ", " + sql::ident("LAST" + colA_) +
                   ", ENTRIES, " + sql::ident(colA_ + "S") + ") VALUES (?1, ?2, ?3, ?4, ?5)";
        case kDeleteBlock: return "DELETE FROM " + q(byB_) + " WHERE " + b + " = ?1 AND " + first + " = ?2";
        case kDeleteFrom: return "DELETE FROM " + q(byB_) + " WHERE " + b + " = ?1 AND " + first + " >= ?2";
        case kBlocksFrom: return blocks + " = ?1 AND " + first + " >= ?2 ORDER BY " + first;
        case kRecords: return "SELECT RECORDS FROM " + q(info_);
        case kAddRecords: return "UPDATE " + q(info_) + " SET RECORDS = RECORDS + ?1";
        case kHighestA: return "SELECT max(" + a + ") FROM " + q(byA_);
        case kHighestB: return "SELECT max(" + b + ") FROM " + q(byB_);
        case kLastBlock:
            return "SELECT " + first + ", " + sql::ident("LAST" + colA_) + ", ENTRIES, " + sql::ident(colA_ + "S") +
                   " FROM " + q(byB_) + " WHERE " + b + " = ?1 ORDER BY " + first + " DESC LIMIT 1";
        case kQueryCount: break;
    }
    return {};
}

int Store::bound(Query query, std::initializer_list<std::int64_t> values, sqlite3_stmt*& out) {
    if (int rc = statements_.get(query, [&] { return sqlOf(query); }, out); rc != SQLITE_OK) return rc;
    int param = 1;
    for (std::int64_t v : values) sqlite3_bind_int64(out, param++, v);
    return SQLITE_OK;
}

int Store::write(Query query, std::initializer_list<std::int64_t> values) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(query, values, s); rc != SQLITE_OK) return rc;
    return sql::runToEnd(s);
}

// --- DDL ------------------------------------------------------------------------

int Store::create(std::string& error) {
    finalizeAll();
    const std::string a = sql::ident(colA_), b = sql::ident(colB_);
    int rc = drop(error);
    if (rc == SQLITE_OK)
        rc = exec("CREATE TABLE " + q(byA_) + " (" + a + " INTEGER PRIMARY KEY, ENTRIES INTEGER NOT NULL, " +
                      sql::ident(colB_ + "S") + " BLOB NOT NULL)",
                  error);
    if (rc == SQLITE_OK)
        rc = exec("CREATE TABLE " + q(byB_) + " (" + b + " INTEGER NOT NULL, " + sql::ident("FIRST" + colA_) +
                      " INTEGER NOT NULL, " + sql::ident("LAST" + colA_) +
                      " INTEGER NOT NULL, ENTRIES INTEGER NOT NULL, " + sql::ident(colA_ + "S") +
                      " BLOB NOT NULL, PRIMARY KEY (" + b + ", " + sql::ident("FIRST" + colA_) + ")) WITHOUT ROWID",
                  error);
    if (rc == SQLITE_OK) rc = exec("CREATE TABLE " + q(info_) + " (RECORDS INTEGER NOT NULL)", error);
    if (rc == SQLITE_OK) rc = exec("INSERT INTO " + q(info_) + " (RECORDS) VALUES (0)", error);
    return rc;
}

int Store::drop(std::string& error) {
    finalizeAll();
    int rc = SQLITE_OK;
    for (const std::string* table : {&byA_, &byB_, &info_})
        if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + q(*table), error);
    return rc;
}

int Store::clear(std::string& error) {
    int rc = exec("DELETE FROM " + q(byA_), error);
    if (rc == SQLITE_OK) rc = exec("DELETE FROM " + q(byB_), error);
    if (rc == SQLITE_OK) rc = exec("UPDATE " + q(info_) + " SET RECORDS = 0", error);
    return rc;
}

int Store::tablesExist(bool& exist) {
    exist = true;
    for (const std::string* table : {&byA_, &byB_, &info_}) {
        if (int rc = sql::tableExists(schema_, *table, exist); rc != SQLITE_OK) return rc;
        if (!exist) break;
    }
    return SQLITE_OK;
}

int Store::layoutMatches(bool& matches) {
    const std::vector<std::pair<const std::string*, std::vector<std::string>>> expected = {
        {&byA_, {colA_, "ENTRIES", colB_ + "S"}},
        {&byB_, {colB_, "FIRST" + colA_, "LAST" + colA_, "ENTRIES", colA_ + "S"}},
        {&info_, {"RECORDS"}},
    };
    matches = true;
    std::vector<sql::StoredColumn> stored;
    for (const auto& [table, columns] : expected) {
        if (int rc = sql::tableColumns(schema_, *table, stored); rc != SQLITE_OK) return rc;
        matches = stored.size() == columns.size();
        for (std::size_t i = 0; matches && i < columns.size(); ++i) matches = stored[i].first == columns[i];
        if (!matches) break;
    }
    return SQLITE_OK;
}

// --- reads ------------------------------------------------------------------------

// Reads the list of a row (`found` takes its A when asked).
int Store::readList(Query query, std::uint32_t key, std::uint32_t* found, std::vector<std::uint32_t>& out) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(query, {key}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    out.clear();
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    if (found) *found = columnU32(s, 0);
    return decode(columnBlob(s, 1), 0, out) ? SQLITE_OK : SQLITE_CORRUPT;
}

int Store::loadRow(std::uint32_t a, std::vector<std::uint32_t>& out) { return readList(kLoadRow, a, nullptr, out); }

int Store::neighbourRow(std::uint32_t a, int dir, std::uint32_t& found, std::vector<std::uint32_t>& out) {
    return readList(dir > 0 ? kNextRow : kPrevRow, a, &found, out);
}

int Store::readBlock(sqlite3_stmt* s, Block& out) {
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    out.b = columnU32(s, 0);
    out.first = columnU32(s, 1);
    out.values.clear();
    out.values.push_back(out.first);
    return decode(columnBlob(s, 2), out.first, out.values) ? SQLITE_OK : SQLITE_CORRUPT;
}

int Store::blockBy(Query query, std::initializer_list<std::int64_t> values, Block& out) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(query, values, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    return readBlock(s, out);
}

int Store::blockAtOrBefore(std::uint32_t b, std::uint32_t a, Block& out) { return blockBy(kAtOrBefore, {b, a}, out); }

int Store::blockBeside(std::uint32_t b, std::uint32_t a, int dir, Block& out) {
    return blockBy(dir > 0 ? kAfter : kBefore, {b, a}, out);
}

int Store::blockOfNeighbour(std::uint32_t b, int dir, Block& out) { return blockBy(dir > 0 ? kNextB : kPrevB, {b}, out); }

int Store::blocksFrom(std::uint32_t b, std::uint32_t first, std::vector<std::uint32_t>& out) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kBlocksFrom, {b, first}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    Block block;
    int rc;
    while ((rc = readBlock(s, block)) == SQLITE_OK) out.insert(out.end(), block.values.begin(), block.values.end());
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::records(std::int64_t& count) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kRecords, {}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;  // the count row is missing
    count = sqlite3_column_int64(s, 0);
    return SQLITE_OK;
}

int Store::highestA(std::uint32_t& a) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kHighestA, {}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    a = columnU32(s, 0);
    return SQLITE_OK;
}

int Store::highestB(bool& any, std::uint32_t& b) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kHighestB, {}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    any = sqlite3_column_type(s, 0) != SQLITE_NULL;
    b = columnU32(s, 0);
    return SQLITE_OK;
}

// --- writes -----------------------------------------------------------------------

int Store::writeRow(std::uint32_t a, const std::vector<std::uint32_t>& bs) {
    blob_.clear();
    appendEncoded(blob_, bs.data(), bs.size(), 0);
    return writeRowBlob(a, bs.size(), blob_);
}

int Store::writeRowBlob(std::uint32_t a, std::size_t entries, std::string_view blob) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kWriteRow, {a, static_cast<std::int64_t>(entries)}, s); rc != SQLITE_OK) return rc;
    sqlite3_bind_blob(s, 3, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    return sql::runToEnd(s);
}

int Store::writeBlock(std::uint32_t b, std::uint32_t first, std::uint32_t last, std::size_t entries,
                      std::string_view blob) {
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kWriteBlock, {b, first, last, static_cast<std::int64_t>(entries)}, s); rc != SQLITE_OK)
        return rc;
    sqlite3_bind_blob(s, 5, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    return sql::runToEnd(s);
}

int Store::writeBlocks(std::uint32_t b, const std::uint32_t* values, std::size_t count) {
    std::size_t at = 0;
    std::string& blob = blob_;
    while (at < count) {
        // A block takes values while its blob stays within kBlockBytes.
        blob.clear();
        std::size_t end = at + 1;
        while (end < count && end - at < kBlockEntries) {
            const std::uint32_t delta = values[end] - values[end - 1];
            if (blob.size() + varintSize(delta) > kBlockBytes) break;
            putVarint(blob, delta);
            ++end;
        }
        if (int rc = writeBlock(b, values[at], values[end - 1], end - at, blob); rc != SQLITE_OK) return rc;
        at = end;
    }
    return SQLITE_OK;
}

}  // namespace pm::postings
