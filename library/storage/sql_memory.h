#pragma once
// The memory SQLite works with (internal to the storage layer).
//
// SQLite allocates and frees thousands of small blocks in every command
// (compiled statements, the stores' schemas, cursors) and the C library's
// general allocator spends a fifth of a short command's instructions on
// them. These routines keep small blocks (up to kLargestPooledBlock bytes)
// in size classes, each with a free list, carved from 64 KiB chunks that
// stay with the process; larger blocks (page cache pages) go to the C
// library. Blocks are 8-byte aligned, as SQLite asks. Thread-safe.
#include <sqlite3.h>

namespace pm::sql {

inline constexpr int kLargestPooledBlock = 4096;

// The routines, for SQLITE_CONFIG_MALLOC (and for tests). xSize is the
// usable size of a block, xRoundup(n) the usable size xMalloc(n) gives;
// xRealloc keeps a block whose size class does not change.
const sqlite3_mem_methods& pooledMemoryMethods();

// Hands the routines to SQLite. Effective only before SQLite starts (its
// first use); false when it had started.
bool usePooledMemory();

}  // namespace pm::sql
