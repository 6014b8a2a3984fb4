#pragma once
// How a TableDef maps onto an SQL table: one column per field (one per
// element of a DIM of strings), memo columns after them, one index per key.
#include <string>
#include <utility>
#include <vector>

#include "storage/table_def.h"

namespace pm::sql {

struct Column {
    std::string name;
    int field = -1;   // index into TableDef::fields; -1 for a memo
    int element = 0;  // element of a DIM of strings
    int memo = -1;    // index into TableDef::memos
    std::string type; // INTEGER, TEXT, BLOB, REAL
};

struct Schema {
    std::vector<Column> columns;   // fixed fields, then memos
    std::size_t fixedColumns = 0;  // columns before the memos
    // The SQL name of column `i` of key part `part`.
    std::vector<std::vector<std::string>> keyColumns;
};

// The columns and key columns of `def`.
Schema buildSchema(const TableDef& def);

// The index of a key: "<label>_<key name>".
std::string indexName(const TableDef& def, const KeyDef& key);
// DDL in the attached store `schemaName`.
std::string createTableSql(const TableDef& def, const Schema& schema, const std::string& schemaName);
std::string createIndexSql(const TableDef& def, const KeyDef& key, const std::string& schemaName);
std::string dropIndexSql(const TableDef& def, const KeyDef& key, const std::string& schemaName);

// ALTER TABLE statements that add the columns of `schema` after the first
// `stored` ones (fixed columns only, with their blank defaults).
std::vector<std::string> addColumnsSql(const TableDef& def, const Schema& schema, std::size_t stored,
                                       const std::string& schemaName);

// Whether `stored` columns are the first columns of `schema` (fewer than all).
bool leadingColumns(const Schema& schema, const std::vector<std::pair<std::string, std::string>>& stored);

// Whether `stored` (name and type of each stored column) is the layout of `schema`.
bool sameColumns(const Schema& schema, const std::vector<std::pair<std::string, std::string>>& stored);

// The statements of a keyed table `table` (schema-qualified and quoted).
// Reads yield rowid, the fixed columns, then the memos when `withMemos`;
// writes bind every column as parameters 1..n in schema order.
std::string selectSql(const Schema& schema, const std::string& table, bool withMemos);
std::string insertSql(const Schema& schema, const std::string& table);
// Parameter n+1 is the rowid.
std::string updateSql(const Schema& schema, const std::string& table);
// The first record (by rowid) whose key equals parameters 1..parts.
std::string keyGetSql(const Schema& schema, const std::string& table, const KeyDef& key, bool withMemos);

// One of the seeks that read a key in `direction` (+1 forward, -1 back)
// from a record's values, in order of preference: at level L (0..n, n the
// number of key parts) the first n-L parts equal parameters 1..n-L and part
// n-L lies beyond parameter n-L+1 (level 0: every part equal and the rowid
// beyond parameter n+1); level n+1 reads the key from its start. The last
// parameter is the LIMIT. Each runs on the key's index with its own
// ORDER BY, so a seek takes a fraction of a millisecond on millions of rows.
std::string keySeekSql(const Schema& schema, const std::string& table, const KeyDef& key, int direction,
                       std::size_t level, bool withMemos);
// Record order from parameter 1 (exclusive), LIMIT parameter 2.
std::string physicalSeekSql(const Schema& schema, const std::string& table, int direction, bool withMemos);

}  // namespace pm::sql
