#pragma once
// Changes the database windows make to catalog records: choosing the
// active database, import and status flags, automatic indexing, names.
// Each reads the record for update (HoldRec), changes one field and
// rewrites it; failures are reported by the record services.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// Makes `id` active after re-reading its record, and writes its identity
// record (UpdREF) when its directory exists. False when it is no longer
// catalogued (the active database then stays as it was).
bool chooseDatabase(ULONG id);

// Sets FOR:NOIMPORT of `id` to 0 (allowed) or 1. A record that already
// holds the value is not written. `changed` (optional) tells whether a
// write took place. False on a failed read or write.
bool setImportAllowed(ULONG id, bool allowed, bool* changed = nullptr);

// Sets FOR:DUMMY of `id` to `status` (0 Normal, 1 Keep, 2 Delete); the
// active database's Mem.ForumCheck follows. False on failure.
bool setDatabaseStatus(ULONG id, BYTE status);

// Flips FOR:INDEXTYPE of `id` (1 minus its value); `newValue` receives the
// stored value. False on failure (nothing changed).
bool toggleAutoIndexing(ULONG id, BYTE& newValue);

// Renames `id` through the form save (SaveRec): a name another database
// has is refused by the unique name key (reported) and the old name stays.
// On success the identity record follows and, for the active database,
// Mem.Description. `newName` is trimmed; a blank name is refused.
bool renameDatabase(ULONG id, const std::string& newName);

// Changes name and owner addresses of the mail database `id` through the
// form save, like renameDatabase. Addresses are stored in lower case;
// blank alternative addresses are dropped and the others move up (at most
// ten are kept). The identity record follows.
bool updateMailDatabase(ULONG id, const std::string& name, const std::string& address,
                        const std::vector<std::string>& altAddresses);

// Whether the active database's word index (MasIdx) holds a record.
bool activeDatabaseIsWordIndexed();

// Activates the database the program starts on: `defaultId` when it is
// catalogued and its directory can be entered, otherwise the catalogued
// database with the lowest FOR:ID whose directory can be entered. Returns
// the id made active, 0 when none could be (nothing changes then).
ULONG activateStartDatabase(ULONG defaultId);

}  // namespace pm
