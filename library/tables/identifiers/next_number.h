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

// How NextNr keeps Control record 1 above what it hands out from a lent
// counter.
enum class CounterLoan {
    RaiseAtOnce,          // every identifier raises record 1 in its own write
    WrittenBackOnCommit,  // inside a transaction the holder raises it before committing
};

// While an import's reservation holds the counter in memory (Control locked
// by this process, record 1 behind it), it lends the counter: NextNr then
// hands out identifiers from `*counter`, so that they never meet the numbers
// the parsers take from the same counter. Outside a transaction NextNr
// raises record 1 at once whatever the loan. nullptr ends the loan.
void lendCounter(LONG* counter, CounterLoan loan);

}  // namespace pm
