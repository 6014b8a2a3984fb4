#pragma once
// The table registry: the tables that the open/close service reaches by
// number (1-42 with gaps; 14-16 and 36-38 hold none). ASC and EXP are opened
// by name and are not in it.
#include <vector>

#include "storage/table.h"

namespace pm {

// The Table of registry number `number`; nullptr for a number the registry
// does not hold (0, 14-16, 36-38, negative or above 42).
Table* tableByNumber(int number);

// Whether the registry holds `number`.
bool isRegistryNumber(int number);

// Every registry number, ascending.
std::vector<int> registryNumbers();

}  // namespace pm
