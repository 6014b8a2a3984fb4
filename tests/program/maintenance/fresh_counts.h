#pragma once
// The stored counts of the active database checked against a fresh count
// over its records (tables open): every person's sent and received
// messages, every thread's and section's message count, the catalog's
// message count, and every word's occurrences. Returns the differences,
// one a line; empty when everything agrees.
#include <string>

namespace pm::test {

std::string countDifferences();

}  // namespace pm::test
