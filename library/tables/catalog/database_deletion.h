#pragma once
// Removing a database for good: its files and directories, its catalog
// record and every mention of it in the import procedures.
#include "common/types.h"

namespace pm {

// What deleting the active database achieved.
struct DatabaseDeletion {
    bool filesRemoved = false;      // every table file of the database directory went
    bool directoryRemoved = false;  // the database directory itself went
    bool catalogRemoved = false;    // the catalog record and procedure references went
    bool wordIndexRemoved = true;   // the separate word-index directory went (true when there is none)
};

// Library service 209. In one transaction: clears BAT:DATABASE and
// BAT:MAILBOX of every import procedure that names the active database;
// a procedure that named it and is left without any database is deleted
// with its task steps (TIM) and file specifications (FLI); the catalog
// record is removed. Returns false (after reporting, everything rolled
// back) on a write failure, and when no database is active. The active
// database globals are left alone.
bool removeActiveDatabaseFromCatalog();

// Deletes the active database: force-closes every table; deletes the files
// *.TPS, *.DAT, *.K* and *.I* of its directory (tables inside the
// directory's store count as files; the store goes with its last table)
// and, when all of them went, the directory; runs service 209; and, when
// the word-index top directory differs from the database top directory,
// does the same to the database's word-index directory. Failures to delete
// are reported by the file services. Afterwards no database is active.
// Does nothing (and reports nothing removed) when none is active.
DatabaseDeletion deleteActiveDatabase();

}  // namespace pm
