#pragma once
// The one way the message store writes a record: UppDat in its
// roll-back-and-report mode, counted so the caller can commit after a
// batch of writes.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "storage/table.h"

namespace pm {

// One write (AddRecord, UpdateRecord, DeleteRecordOp or AppendRecord of
// UppDat) on `table`'s current record. On failure the running transaction
// has been rolled back and the error reported; returns false.
bool storeWrite(Table& table, int operation);

// Adds each delta of `additions` (field, delta) to that number field of
// the record that the unique `key` finds for `table`'s buffer
// (Table::addToNumber; a delta of 0 is passed over), counted as one write
// like the update it stands for. `found` is false when no record has those
// key values (nothing is written then). On failure as storeWrite.
bool storeAddToNumbers(Table& table, const KeyDef& key,
                       std::initializer_list<std::pair<int, std::int64_t>> additions, bool& found);

// Record writes of the message store (and AddPers) since the last reset.
long storeWriteCount();
void resetStoreWriteCount();

}  // namespace pm
