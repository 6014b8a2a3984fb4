#pragma once
// Reading a store of an installation from tests, as any SQLite client
// would, beside (or after) the program's own processes.
#include <string>
#include <vector>

namespace pm::test {

// The rows of `sql` on the store file `store` (opened read-only), each
// column as text ("" for NULL). Empty when the store or query fails.
std::vector<std::vector<std::string>> storeRows(const std::string& store, const std::string& sql);
// The first column of every row.
std::vector<std::string> storeColumn(const std::string& store, const std::string& sql);
// The first value of the first row ("" when there is none).
std::string storeValue(const std::string& store, const std::string& sql);

}  // namespace pm::test
