#pragma once
// The active database: the globals every part reads (Mem.ForumNumber,
// Mem.Description, Mem.Dirnamn, ...).
#include <string>

#include "common/globals.h"
#include "common/types.h"

namespace pm {

// Makes the catalogued database `id` active. The catalog and Control are
// opened for the look-up and released again. Returns false (and changes
// nothing) when the catalog holds no such database.
bool activateDatabase(ULONG id);

// Makes the database of the current import procedure (BAT.DATABASE of the
// procedure the task manager runs) active; false when it is not catalogued.
bool activateImportProcedureDatabase();

// No database active (the state at program start).
void deactivateDatabase();

// Puts the active-database globals of `saved` back (the directories and the
// run mode stay as they are): long runs that move between databases end so.
void restoreActiveDatabase(const MemGlobals& saved);

// Copies the catalog record in the FOR buffer into the active-database globals.
void takeActiveDatabaseFrom_FOR();

// The directory of the active database ($Mem:FileDir + "/" + $Mem:Dirnamn),
// or "" when none is active.
std::string activeDatabaseDirectory();

// The word-index directory of the active database.
std::string activeWordIndexDirectory();

}  // namespace pm
