#pragma once
// Reading an installation's stores directly, as any SQLite client would,
// for tests that check what a command left behind.
#include <string>

namespace pm::test {

// The first value of the first row of `sql` on the store file `store`
// (read-only); "" when there is none or the query fails.
std::string storeQuery(const std::string& store, const std::string& sql);

}  // namespace pm::test
