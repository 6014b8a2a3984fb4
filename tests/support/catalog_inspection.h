#pragma once
// Looking into the catalog from tests.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm::test {

// The catalogued database named `name` (exactly, letter case aside):
// its identifier and type, 0 and 0 when there is none.
struct CatalogEntry {
    ULONG id = 0;
    BYTE type = 0;
};
CatalogEntry catalogEntry(const std::string& name);

// Every database name in the catalog, sorted.
std::vector<std::string> catalogNames();

}  // namespace pm::test
