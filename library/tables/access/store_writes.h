#pragma once
// The one way the message store writes a record: UppDat in its
// roll-back-and-report mode, counted so the caller can commit after a
// batch of writes.
#include "storage/table.h"

namespace pm {

// One write (AddRecord, UpdateRecord, DeleteRecordOp or AppendRecord of
// UppDat) on `table`'s current record. On failure the running transaction
// has been rolled back and the error reported; returns false.
bool storeWrite(Table& table, int operation);

// Record writes of the message store (and AddPers) since the last reset.
long storeWriteCount();
void resetStoreWriteCount();

}  // namespace pm
