#pragma once
// The database that was active last, kept across program starts, so that
// the next start opens it again when the preferences name no default
// database. It lives in Control record LastDatabaseRecord: FOR:ID in the
// block's first four bytes.
#include "common/types.h"

namespace pm {

// FOR:ID of the database active last; 0 when none was recorded or the
// record cannot be read.
ULONG lastActiveDatabase();

// Records `id` (0: none) as the database active last; writes only when it
// differs from what is recorded. False after reporting a failed write.
bool rememberActiveDatabase(ULONG id);

}  // namespace pm
