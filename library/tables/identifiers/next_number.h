#pragma once
// The installation-wide identifier counter (Control record 1).
#include "common/types.h"

namespace pm {

// Hands out the next identifier and advances the counter. The Control table
// must be open. A missing record 1 is created holding 1. Outside a
// transaction the increment runs in one of its own (5-second lock wait), so
// no two processes get the same identifier; while another process's import
// reservation locks Control it waits up to 5 seconds (inside a transaction
// it cannot wait). Returns 0 after reporting ("Next ID cannot be
// generated!") when the record cannot be written or stays locked.
ULONG NextNr();

}  // namespace pm
