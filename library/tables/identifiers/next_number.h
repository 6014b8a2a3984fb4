#pragma once
// The installation-wide identifier counter (Control record 1).
#include "common/types.h"

namespace pm {

// Hands out the next identifier and advances the counter. The Control table
// must be open. A missing record 1 is created holding 1. Returns 0 after
// reporting ("Next ID cannot be generated!") when the record cannot be
// written.
ULONG NextNr();

}  // namespace pm
