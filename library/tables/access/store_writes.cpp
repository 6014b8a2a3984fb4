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

long storeWriteCount() { return writeCount; }

void resetStoreWriteCount() { writeCount = 0; }

}  // namespace pm
