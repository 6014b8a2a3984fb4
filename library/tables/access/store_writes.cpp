#include "tables/access/store_writes.h"

#include "tables/access/record_services.h"

namespace pm {

namespace {
long writeCount = 0;
}  // namespace

bool storeWrite(Table& table, int operation) {
    if (!UppDat(table, operation, RollBackAndReport)) return false;
    ++writeCount;
    return true;
}

bool storeAddToNumbers(Table& table, const KeyDef& key,
                       std::initializer_list<std::pair<int, std::int64_t>> additions, bool& found) {
    found = true;
    // The buffer stays as it was: each addition finds the record by it.
    for (const auto& [field, delta] : additions) {
        if (delta == 0) continue;
        const StorageStatus st = table.addToNumber(key, field, delta);
        if (st == StorageStatus::NotFound) {
            found = false;
            return true;
        }
        if (st != StorageStatus::Ok) return writeFailed(table, UpdateRecord, RollBackAndReport);
    }
    ++writeCount;
    return true;
}

long storeWriteCount() { return writeCount; }

void resetStoreWriteCount() { writeCount = 0; }

}  // namespace pm
