#include "storage/posting_store.h"

#include <algorithm>
#include <stdexcept>

#include "storage/posting_codec.h"
#include "storage/sql_connection.h"

namespace pm::postings {

int Statement::prepare(sqlite3* db, const std::string& sql) {
    finalize();
    return sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
}

void Statement::finalize() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

namespace {

sqlite3* db() { return sql::Connection::instance().db(); }

bool isFourByteNumber(const FieldDef& f) {
    return f.width == 4 && f.dim == 1 && (f.type == FieldType::ULong || f.type == FieldType::Long);
}

// Resets a statement when it goes out of scope, so no read stays open.
struct Resetting {
    sqlite3_stmt* s;
    ~Resetting() {
        if (s) sqlite3_reset(s);
    }
};

std::uint32_t columnU32(sqlite3_stmt* s, int column) {
    return static_cast<std::uint32_t>(sqlite3_column_int64(s, column));
}

std::string_view columnBlob(sqlite3_stmt* s, int column) {
    const void* p = sqlite3_column_blob(s, column);
    const int n = sqlite3_column_bytes(s, column);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string_view();
}

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

void Store::finalizeAll() {
    for (Statement& s : statements_) s.finalize();
}

void Store::forgetAll() {
    for (Statement& s : statements_) s.forget();
}

std::string Store::q(const std::string& table) const { return sql::ident(schema_) + "." + sql::ident(table); }

int Store::exec(const std::string& sqlText, std::string& error) {
    return sql::Connection::instance().exec(sqlText, &error);
}

int Store::prepared(Statement& stmt, const std::string& sqlText, sqlite3_stmt*& out) {
    if (!stmt.ready()) {
        int rc = stmt.prepare(db(), sqlText);
        if (rc != SQLITE_OK) return rc;
    }
    out = stmt.get();
    return SQLITE_OK;
}

// --- DDL ------------------------------------------------------------------------

int Store::create(std::string& error) {
    finalizeAll();
    const std::string a = sql::ident(colA_), b = sql::ident(colB_);
    int rc = exec("DROP TABLE IF EXISTS " + q(byA_), error);
    if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + q(byB_), error);
    if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + q(info_), error);
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
    int rc = exec("DROP TABLE IF EXISTS " + q(byA_), error);
    if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + q(byB_), error);
    if (rc == SQLITE_OK) rc = exec("DROP TABLE IF EXISTS " + q(info_), error);
    return rc;
}

int Store::clear(std::string& error) {
    int rc = exec("DELETE FROM " + q(byA_), error);
    if (rc == SQLITE_OK) rc = exec("DELETE FROM " + q(byB_), error);
    if (rc == SQLITE_OK) rc = exec("UPDATE " + q(info_) + " SET RECORDS = 0", error);
    return rc;
}

bool Store::tablesExist() {
    Statement stmt;
    if (stmt.prepare(db(), "SELECT count(*) FROM " + sql::ident(schema_) +
                               ".sqlite_master WHERE type = 'table' AND name IN (?1, ?2, ?3)") != SQLITE_OK)
        return false;
    sqlite3_bind_text(stmt.get(), 1, byA_.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt.get(), 2, byB_.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt.get(), 3, info_.c_str(), -1, SQLITE_TRANSIENT);
    return sqlite3_step(stmt.get()) == SQLITE_ROW && sqlite3_column_int(stmt.get(), 0) == 3;
}

bool Store::layoutMatches() {
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {byA_, {colA_, "ENTRIES", colB_ + "S"}},
        {byB_, {colB_, "FIRST" + colA_, "LAST" + colA_, "ENTRIES", colA_ + "S"}},
        {info_, {"RECORDS"}},
    };
    for (const auto& [table, columns] : expected) {
        Statement stmt;
        if (stmt.prepare(db(), "SELECT name FROM pragma_table_info(?1, ?2) ORDER BY cid") != SQLITE_OK) return false;
        sqlite3_bind_text(stmt.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt.get(), 2, schema_.c_str(), -1, SQLITE_TRANSIENT);
        std::size_t i = 0;
        while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
            auto name = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
            if (i >= columns.size() || !name || columns[i] != name) return false;
            ++i;
        }
        if (i != columns.size()) return false;
    }
    return true;
}

// --- reads ------------------------------------------------------------------------

int Store::loadRow(std::uint32_t a, std::vector<std::uint32_t>& out) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kLoadRow], "SELECT " + sql::ident(colB_ + "S") + " FROM " + q(byA_) + " WHERE " +
                                                 sql::ident(colA_) + " = ?1",
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, a);
    out.clear();
    rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    return decode(columnBlob(s, 0), 0, out) ? SQLITE_OK : SQLITE_CORRUPT;
}

int Store::neighbourRow(std::uint32_t a, int dir, std::uint32_t& found, std::vector<std::uint32_t>& out) {
    const std::string colA = sql::ident(colA_);
    sqlite3_stmt* s = nullptr;
    int rc = dir > 0 ? prepared(statements_[kNextRow],
                                "SELECT " + colA + ", " + sql::ident(colB_ + "S") + " FROM " + q(byA_) + " WHERE " +
                                    colA + " > ?1 ORDER BY " + colA + " LIMIT 1",
                                s)
                     : prepared(statements_[kPrevRow],
                                "SELECT " + colA + ", " + sql::ident(colB_ + "S") + " FROM " + q(byA_) + " WHERE " +
                                    colA + " < ?1 ORDER BY " + colA + " DESC LIMIT 1",
                                s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, a);
    out.clear();
    rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    found = columnU32(s, 0);
    return decode(columnBlob(s, 1), 0, out) ? SQLITE_OK : SQLITE_CORRUPT;
}

int Store::readBlock(sqlite3_stmt* s, Block& out) {
    int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return rc;
    out.b = columnU32(s, 0);
    out.first = columnU32(s, 1);
    out.values.clear();
    out.values.push_back(out.first);
    return decode(columnBlob(s, 2), out.first, out.values) ? SQLITE_OK : SQLITE_CORRUPT;
}

namespace {
std::string blockColumns(const std::string& colA, const std::string& colB) {
    return sql::ident(colB) + ", " + sql::ident("FIRST" + colA) + ", " + sql::ident(colA + "S");
}
}  // namespace

int Store::blockAtOrBefore(std::uint32_t b, std::uint32_t a, Block& out) {
    const std::string first = sql::ident("FIRST" + colA_);
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kAtOrBefore],
                      "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " + sql::ident(colB_) +
                          " = ?1 AND " + first + " <= ?2 ORDER BY " + first + " DESC LIMIT 1",
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    sqlite3_bind_int64(s, 2, a);
    return readBlock(s, out);
}

int Store::blockBeside(std::uint32_t b, std::uint32_t a, int dir, Block& out) {
    const std::string first = sql::ident("FIRST" + colA_);
    sqlite3_stmt* s = nullptr;
    int rc = dir > 0 ? prepared(statements_[kAfter],
                                "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " +
                                    sql::ident(colB_) + " = ?1 AND " + first + " > ?2 ORDER BY " + first + " LIMIT 1",
                                s)
                     : prepared(statements_[kBefore],
                                "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " +
                                    sql::ident(colB_) + " = ?1 AND " + first + " < ?2 ORDER BY " + first +
                                    " DESC LIMIT 1",
                                s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    sqlite3_bind_int64(s, 2, a);
    return readBlock(s, out);
}

int Store::blockOfNeighbour(std::uint32_t b, int dir, Block& out) {
    const std::string first = sql::ident("FIRST" + colA_), colB = sql::ident(colB_);
    sqlite3_stmt* s = nullptr;
    int rc = dir > 0 ? prepared(statements_[kNextB],
                                "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " + colB +
                                    " > ?1 ORDER BY " + colB + ", " + first + " LIMIT 1",
                                s)
                     : prepared(statements_[kPrevB],
                                "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " + colB +
                                    " < ?1 ORDER BY " + colB + " DESC, " + first + " DESC LIMIT 1",
                                s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    return readBlock(s, out);
}

std::int64_t Store::records() {
    sqlite3_stmt* s = nullptr;
    if (prepared(statements_[kRecords], "SELECT RECORDS FROM " + q(info_), s) != SQLITE_OK) return -1;
    Resetting reset{s};
    return sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
}

std::uint32_t Store::highestA() {
    sqlite3_stmt* s = nullptr;
    if (prepared(statements_[kHighestA], "SELECT max(" + sql::ident(colA_) + ") FROM " + q(byA_), s) != SQLITE_OK)
        return 0;
    Resetting reset{s};
    return sqlite3_step(s) == SQLITE_ROW ? columnU32(s, 0) : 0;
}

// --- writes -----------------------------------------------------------------------

int Store::savepoint(std::string& error) { return exec("SAVEPOINT pm_postings", error); }
int Store::release(std::string& error) { return exec("RELEASE pm_postings", error); }

void Store::rollbackToSavepoint() {
    std::string ignored;
    exec("ROLLBACK TO pm_postings", ignored);
    exec("RELEASE pm_postings", ignored);
}

int Store::writeRow(std::uint32_t a, const std::vector<std::uint32_t>& bs) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kWriteRow],
                      "INSERT OR REPLACE INTO " + q(byA_) + " (" + sql::ident(colA_) + ", ENTRIES, " +
                          sql::ident(colB_ + "S") + ") VALUES (?1, ?2, ?3)",
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    const std::string blob = encode(bs.data(), bs.size(), 0);
    sqlite3_bind_int64(s, 1, a);
    sqlite3_bind_int64(s, 2, static_cast<std::int64_t>(bs.size()));
    sqlite3_bind_blob(s, 3, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::deleteRow(std::uint32_t a) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kDeleteRow], "DELETE FROM " + q(byA_) + " WHERE " + sql::ident(colA_) + " = ?1", s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, a);
    rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::writeBlocks(std::uint32_t b, const std::uint32_t* values, std::size_t count) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kWriteBlock],
                      "INSERT OR REPLACE INTO " + q(byB_) + " (" + sql::ident(colB_) + ", " +
                          sql::ident("FIRST" + colA_) + ", " + sql::ident("LAST" + colA_) + ", ENTRIES, " +
                          sql::ident(colA_ + "S") + ") VALUES (?1, ?2, ?3, ?4, ?5)",
                      s);
    if (rc != SQLITE_OK) return rc;
    std::size_t at = 0;
    std::string blob;
    while (at < count) {
        // A block takes values while its blob stays within kBlockBytes.
        std::size_t end = at + 1;
        std::size_t bytes = 0;
        while (end < count && end - at < kBlockEntries) {
            const std::size_t more = varintSize(values[end] - values[end - 1]);
            if (bytes + more > kBlockBytes) break;
            bytes += more;
            ++end;
        }
        blob = encode(values + at + 1, end - at - 1, values[at]);
        sqlite3_bind_int64(s, 1, b);
        sqlite3_bind_int64(s, 2, values[at]);
        sqlite3_bind_int64(s, 3, values[end - 1]);
        sqlite3_bind_int64(s, 4, static_cast<std::int64_t>(end - at));
        sqlite3_bind_blob(s, 5, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) return rc;
        at = end;
    }
    return SQLITE_OK;
}

int Store::deleteBlock(std::uint32_t b, std::uint32_t first) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kDeleteBlock],
                      "DELETE FROM " + q(byB_) + " WHERE " + sql::ident(colB_) + " = ?1 AND " +
                          sql::ident("FIRST" + colA_) + " = ?2",
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    sqlite3_bind_int64(s, 2, first);
    rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::deleteBlocksFrom(std::uint32_t b, std::uint32_t first) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kDeleteFrom],
                      "DELETE FROM " + q(byB_) + " WHERE " + sql::ident(colB_) + " = ?1 AND " +
                          sql::ident("FIRST" + colA_) + " >= ?2",
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    sqlite3_bind_int64(s, 2, first);
    rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::blocksFrom(std::uint32_t b, std::uint32_t first, std::vector<std::uint32_t>& out) {
    const std::string firstCol = sql::ident("FIRST" + colA_);
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kBlocksFrom],
                      "SELECT " + blockColumns(colA_, colB_) + " FROM " + q(byB_) + " WHERE " + sql::ident(colB_) +
                          " = ?1 AND " + firstCol + " >= ?2 ORDER BY " + firstCol,
                      s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, b);
    sqlite3_bind_int64(s, 2, first);
    Block block;
    while ((rc = readBlock(s, block)) == SQLITE_OK) out.insert(out.end(), block.values.begin(), block.values.end());
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int Store::addRecords(std::int64_t delta) {
    sqlite3_stmt* s = nullptr;
    int rc = prepared(statements_[kAddRecords], "UPDATE " + q(info_) + " SET RECORDS = RECORDS + ?1", s);
    if (rc != SQLITE_OK) return rc;
    Resetting reset{s};
    sqlite3_bind_int64(s, 1, delta);
    rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Adds ascending `values` to the A lists of `b`.
int Store::mergeIntoB(std::uint32_t b, const std::uint32_t* values, std::size_t count) {
    // The last block of b: the one at or before the highest possible A.
    Block last;
    int rc = blockAtOrBefore(b, 0xFFFFFFFFu, last);
    if (rc == SQLITE_DONE) return writeBlocks(b, values, count);
    if (rc != SQLITE_OK) return rc;
    if (values[0] > last.values.back()) {
        // New values after everything stored (the common case): refill the
        // last block when it has room, then go on with new blocks.
        if (last.values.size() < kBlockEntries / 2) {
            std::vector<std::uint32_t> joined = std::move(last.values);
            joined.insert(joined.end(), values, values + count);
            return writeBlocks(b, joined.data(), joined.size());  // replaces the last block (same FIRST)
        }
        return writeBlocks(b, values, count);
    }
    // Interleaved with stored values: rewrite from the block that holds the
    // first new value.
    Block start;
    rc = blockAtOrBefore(b, values[0], start);
    std::uint32_t from = 0;
    if (rc == SQLITE_OK) from = start.first;
    else if (rc != SQLITE_DONE) return rc;
    std::vector<std::uint32_t> stored;
    if ((rc = blocksFrom(b, from, stored)) != SQLITE_OK) return rc;
    std::vector<std::uint32_t> merged;
    merged.reserve(stored.size() + count);
    std::merge(stored.begin(), stored.end(), values, values + count, std::back_inserter(merged));
    if (std::adjacent_find(merged.begin(), merged.end()) != merged.end()) return SQLITE_CONSTRAINT;
    if ((rc = deleteBlocksFrom(b, from)) != SQLITE_OK) return rc;
    return writeBlocks(b, merged.data(), merged.size());
}

int Store::merge(const std::vector<Pair>& pairs, std::string& error) {
    if (pairs.empty()) return SQLITE_OK;
    int rc = SQLITE_OK;

    // The B lists of each A.
    const std::uint32_t highest = highestA();
    std::vector<std::uint32_t> bs, stored;
    std::uint32_t maxB = 0;
    for (std::size_t i = 0; i < pairs.size();) {
        const std::uint32_t a = pairs[i].first;
        bs.clear();
        for (; i < pairs.size() && pairs[i].first == a; ++i) {
            bs.push_back(pairs[i].second);
            maxB = std::max(maxB, pairs[i].second);
        }
        if (a <= highest) {
            rc = loadRow(a, stored);
            if (rc == SQLITE_OK) {
                std::vector<std::uint32_t> merged;
                merged.reserve(stored.size() + bs.size());
                std::merge(stored.begin(), stored.end(), bs.begin(), bs.end(), std::back_inserter(merged));
                if (std::adjacent_find(merged.begin(), merged.end()) != merged.end()) {
                    error = "Creates duplicate key";
                    return SQLITE_CONSTRAINT;
                }
                bs.swap(merged);
            } else if (rc != SQLITE_DONE) {
                error = sqlite3_errmsg(db());
                return rc;
            }
        }
        if ((rc = writeRow(a, bs)) != SQLITE_OK) {
            error = sqlite3_errmsg(db());
            return rc;
        }
    }

    // The A lists of each B: group the pairs by B, keeping A ascending within
    // each group (the pairs come sorted by A). A counting sort when the B
    // values are dense enough, else an ordinary sort.
    std::vector<std::uint32_t> as(pairs.size());
    std::vector<std::pair<std::uint32_t, std::size_t>> groups;  // (B, first index in `as`)
    if (maxB <= 4 * pairs.size() + (1u << 20)) {
        std::vector<std::uint32_t> start(static_cast<std::size_t>(maxB) + 2, 0);
        for (const Pair& p : pairs) ++start[static_cast<std::size_t>(p.second) + 1];
        for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (const Pair& p : pairs) as[fill[p.second]++] = p.first;
        for (std::size_t b = 0; b + 1 < start.size(); ++b)
            if (start[b + 1] > start[b]) groups.emplace_back(static_cast<std::uint32_t>(b), start[b]);
    } else {
        std::vector<Pair> byB(pairs.begin(), pairs.end());
        std::sort(byB.begin(), byB.end(),
                  [](const Pair& x, const Pair& y) { return x.second != y.second ? x.second < y.second : x.first < y.first; });
        for (std::size_t i = 0; i < byB.size(); ++i) {
            as[i] = byB[i].first;
            if (i == 0 || byB[i].second != byB[i - 1].second) groups.emplace_back(byB[i].second, i);
        }
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t begin = groups[g].second;
        const std::size_t end = g + 1 < groups.size() ? groups[g + 1].second : as.size();
        rc = mergeIntoB(groups[g].first, as.data() + begin, end - begin);
        if (rc != SQLITE_OK) {
            error = rc == SQLITE_CONSTRAINT ? "Creates duplicate key" : sqlite3_errmsg(db());
            return rc;
        }
    }
    if ((rc = addRecords(static_cast<std::int64_t>(pairs.size()))) != SQLITE_OK) error = sqlite3_errmsg(db());
    return rc;
}

int Store::erase(std::uint32_t a, std::uint32_t b, std::string& error) {
    std::vector<std::uint32_t> bs;
    int rc = loadRow(a, bs);
    if (rc != SQLITE_OK) return rc;
    auto it = std::lower_bound(bs.begin(), bs.end(), b);
    if (it == bs.end() || *it != b) return SQLITE_DONE;
    bs.erase(it);
    rc = bs.empty() ? deleteRow(a) : writeRow(a, bs);

    Block block;
    if (rc == SQLITE_OK) rc = blockAtOrBefore(b, a, block);
    if (rc == SQLITE_OK) {
        auto at = std::lower_bound(block.values.begin(), block.values.end(), a);
        if (at == block.values.end() || *at != a) {
            rc = SQLITE_CORRUPT;
        } else {
            const bool wasFirst = at == block.values.begin();
            block.values.erase(at);
            if (wasFirst || block.values.empty()) rc = deleteBlock(b, block.first);
            if (rc == SQLITE_OK && !block.values.empty())
                rc = writeBlocks(b, block.values.data(), block.values.size());
        }
    } else if (rc == SQLITE_DONE) {
        rc = SQLITE_CORRUPT;  // the A list held the pair, the B list must too
    }
    if (rc == SQLITE_OK) rc = addRecords(-1);
    if (rc != SQLITE_OK) error = rc == SQLITE_CORRUPT ? "The two lists of " + byA_ + " disagree" : sqlite3_errmsg(db());
    return rc;
}

}  // namespace pm::postings
