#include "tables/config/last_database.h"

#include "tables/config/control_blocks.h"

namespace pm {

ULONG lastActiveDatabase() {
    ControlBlock block{};
    if (readControlBlock(LastDatabaseRecord, block) != BlockRead::Read) return 0;
    return static_cast<ULONG>(blockLong(block, 0));
}

bool rememberActiveDatabase(ULONG id) {
    ControlBlock block{};
    const BlockRead read = readControlBlock(LastDatabaseRecord, block);
    if (read == BlockRead::Read && static_cast<ULONG>(blockLong(block, 0)) == id) return true;
    setBlockLong(block, 0, static_cast<LONG>(id));
    return saveControlBlock(LastDatabaseRecord, block);
}

}  // namespace pm
