#pragma once
// What a store holds, read from its own catalog (internal).
//
// Each answer comes with the SQLite result code: a catalog that cannot be
// read (the store busy beyond the lock wait, damaged, gone) is an error to
// report, never "no such table". Recovery code creates missing tables and
// drops ones of another layout, so mistaking the one for the other loses data.
#include <string>
#include <utility>
#include <vector>

namespace pm::sql {

// A stored column: name and declared type.
using StoredColumn = std::pair<std::string, std::string>;

// Outside transactions, and in read transactions, the answers below come
// from a copy of the store's catalog kept while the store's schema version
// stands (looked at once per store in a read transaction). The connection
// forgets the copies whenever a schema name may come to mean another store
// (a store attached or let go, the connection closed).
void forgetCatalogs();

// Whether `schema` (an attached store) holds the table `table`.
int tableExists(const std::string& schema, const std::string& table, bool& exists);
// The columns of `table` in their stored order (empty when it is missing).
int tableColumns(const std::string& schema, const std::string& table, std::vector<StoredColumn>& columns);
// The columns of a table as its CREATE TABLE text (as the catalog keeps
// it) declares them, read without compiling anything: true and `columns`
// (name, declared type) when the text is of the plain kind this system
// writes - quoted or bare names, one-word types, column constraints, table
// constraints after the columns. False for anything else (a type with
// words or parentheses, comments, other quoting): only SQLite itself can
// tell those.
bool columnsFromCreateSql(const std::string& sql, std::vector<StoredColumn>& columns);
// Whether the index `index` of `table` exists.
int indexExists(const std::string& schema, const std::string& table, const std::string& index, bool& exists);
// How many tables `schema` holds besides the lock rows (and the tables
// named in `besides`).
int dataTableCount(const std::string& schema, int& count, const std::vector<std::string>& besides = {});

// Runs SQLite's integrity check of `schema`: `problems` is empty when the
// store file is sound, else SQLite's findings one a line.
int integrityCheck(const std::string& schema, std::string& problems);

// The name of the table of lock rows in every store.
inline constexpr const char* kLocksTable = "_pm_locks";

}  // namespace pm::sql
