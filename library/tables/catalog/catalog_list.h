#pragma once
// The catalog as a list for the windows that show it: one entry per
// database, read in the order of one of its keys.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

struct CatalogEntry {
    ULONG id = 0;
    std::string name;
    BYTE type = 0;           // 1 forum, 2 mail, 3 newsgroup
    ULONG dirNumber = 0;
    ULONG msgCount = 0;
    BYTE countFlag = 0;      // 0 = the count is up to date
    BYTE noImport = 0;       // 1 = left out of imports
    BYTE status = 0;         // FOR:DUMMY: 0 Normal, 1 Keep, 2 Delete
    BYTE noDir = 0;          // 1 = no directory of its own
    BYTE indexType = 0;      // 1 = auto word indexing in the task manager
    std::string mailAddress;
    std::vector<std::string> altAddresses;  // the owner's other addresses, blank ones left out
    ULONG personId = 0;
    ULONG redirectNow = 0;     // FOR:REDIRNOW: the target a newsgroup is redirected to (0 none)
    ULONG redirectBefore = 0;  // FOR:REDIRBEFORE: the target before the last change
    BYTE targetNewsgroup = 0;  // FOR:TARGETNG: 1 = a target of redirected newsgroups

    // "F" followed by the directory number.
    std::string directoryName() const { return "F" + std::to_string(dirNumber); }
};

enum class CatalogOrder {
    ByName,       // FOR:AlphaKey
    ByDirectory,  // FOR:DirKey
};

// The catalog in `order`; with `type` not 0 only the databases of that
// type. Opens and releases the catalog itself.
std::vector<CatalogEntry> readCatalog(CatalogOrder order, BYTE type = 0);

// The catalog record of `id` as an entry; false when it is not catalogued.
bool readCatalogEntry(ULONG id, CatalogEntry& entry);

// Number of catalog records.
long catalogCount();

// Number of mail databases (read on FOR:TypeKey).
long mailDatabaseCount();

// The entry of the FOR buffer.
CatalogEntry catalogEntryFrom_FOR();

// Whether `name` is the name the rebuild gives a directory it attached
// without knowing its name: "Unknown:" followed by the directory name.
bool isUnknownDatabaseName(const std::string& name, ULONG dirNumber);

// The label of a database type: "Forum", "Mail" or "Newsgroup" ("" for
// anything else).
std::string databaseTypeName(BYTE type);

}  // namespace pm
