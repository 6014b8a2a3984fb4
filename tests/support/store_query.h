#pragma once
// Reading and editing an installation's store files with SQL, as a person
// with an SQLite client that knows the program's text collation would.
#include <string>
#include <vector>

namespace pm::test {

// Every row of `sql` on the store file `store`: columns joined by tabs, rows
// ended by newlines ("" when nothing matches or the store cannot be read).
std::string storeRows(const std::string& store, const std::string& sql);

// The same rows, each column as text ("" for NULL); empty when the store or
// the query fails.
std::vector<std::vector<std::string>> storeTable(const std::string& store, const std::string& sql);
// The first column of every row.
std::vector<std::string> storeColumn(const std::string& store, const std::string& sql);

// The first column of the first row ("" when none).
std::string storeValue(const std::string& store, const std::string& sql);

// Runs `sql` (any number of statements); false when it fails.
bool storeExecute(const std::string& store, const std::string& sql);

}  // namespace pm::test
