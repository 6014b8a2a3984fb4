#pragma once
// Creating databases: catalog record, directory and identity record (mail
// databases, which also get their owner, in mail_database.h).
#include <string>

#include "common/types.h"

namespace pm {

// The next database directory number: one above the highest in the
// catalog (1 for an empty catalog). The catalog must be open.
ULONG nextDirectoryNumber();

// Creates a forum (1) or newsgroup (3) database named `name`: adds the
// catalog record (identifier from the counter, next directory number,
// created today, marked for word indexing), then creates its directory and
// identity record. Forums and Control must be open. Returns the new FOR:ID,
// or 0 after reporting when the record cannot be added (for example a name
// already in use). The FOR buffer holds the new record afterwards.
ULONG createDatabase(BYTE type, const std::string& name);

// Creates a database whose identifier and directory number are already
// chosen (an import run numbers the databases it meets before it stores into
// them): adds its catalog record as createDatabase() does, makes it the
// active database, then creates its directory and identity record. Forums
// must be open. False after reporting when the record cannot be added or
// the identity record written.
bool createChosenDatabase(ULONG id, ULONG dirNumber, BYTE type, const std::string& name);

// Fills the FOR buffer with a new catalog record (identifier, directory
// number, date, flags, name) without writing it. Returns false when no
// identifier could be had.
bool prepareCatalogRecord(BYTE type, const std::string& name);

}  // namespace pm
