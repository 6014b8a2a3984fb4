#pragma once
// What another process could do with a store file at this moment.
#include <string>

namespace pm::test {

// Whether another process could take `store` for itself at once: false
// while any connection holds a read or write lock on it.
bool otherProcessCanLockAlone(const std::string& store);

}  // namespace pm::test
