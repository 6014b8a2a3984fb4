#pragma once
// The case-blind collation of the keyed tables: letters compare without
// regard to case by Unicode case folding; bytes that cannot start a UTF-8
// character (used for "highest" key values) sort above everything.
#include <sqlite3.h>

namespace pm::sql {

inline constexpr const char* kCaselessCollation = "PMCASE";

int caselessCompare(const void* a, int lengthA, const void* b, int lengthB);
void registerCollations(sqlite3* db);

}  // namespace pm::sql
