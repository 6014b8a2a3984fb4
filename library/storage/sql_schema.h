#pragma once
// How a TableDef maps onto an SQL table: one column per field (one per
// element of a DIM of strings), memo columns after them, one index per key.
#include <string>
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

Schema buildSchema(const TableDef& def);

std::string indexName(const TableDef& def, const KeyDef& key);
std::string createTableSql(const TableDef& def, const Schema& schema, const std::string& schemaName);
std::string createIndexSql(const TableDef& def, const KeyDef& key, const std::string& schemaName);

}  // namespace pm::sql
