#include "tables/catalog/database_creation.h"

#include "common/dates.h"
#include "common/globals.h"
#include "tables/access/file_functions.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/identity_record.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

// The FOR buffer as the catalog record of a new database: created today,
// marked for word indexing.
void fillCatalogRecord(ULONG id, ULONG dirNumber, BYTE type, const std::string& name) {
    Forums.clear();
    FOR.ID = id;
    FOR.DIRNUMBER = dirNumber;
    FOR.CREATED = today();
    FOR.TYPE = type;
    FOR.WORDLISTINDEXNEEDSUPDATE = 1;
    FOR.INDEXTYPE = 1;
    FOR.DESCRIPTION = name;
}

}  // namespace

ULONG nextDirectoryNumber() {
    Forums.set(FOR_DirKey);
    // The key runs upward: its last record holds the highest number.
    if (Forums.previous() == StorageStatus::Ok) return FOR.DIRNUMBER + 1;
    return 1;
}

bool prepareCatalogRecord(BYTE type, const std::string& name) {
    const ULONG dirNumber = nextDirectoryNumber();
    const ULONG id = NextNr();
    if (id == 0) return false;
    fillCatalogRecord(id, dirNumber, type, name);
    return true;
}

bool createChosenDatabase(ULONG id, ULONG dirNumber, BYTE type, const std::string& name) {
    fillCatalogRecord(id, dirNumber, type, name);
    if (!UppDat(Forums, AddRecord, ReportOnly)) return false;
    takeActiveDatabaseFrom_FOR();
    ExistPath(CreatePathArgument, 0, {}, Mem.FileDir + "/" + Mem.Dirnamn, true);
    // The identity record lets a lost catalog be rebuilt from the directory.
    return UpdREF();
}

ULONG createDatabase(BYTE type, const std::string& name) {
    if (!prepareCatalogRecord(type, name)) return 0;
    if (!UppDat(Forums, AddRecord, ReportOnly)) return 0;
    const ULONG id = FOR.ID;
    const std::string directory = Mem.FileDir + "/F" + std::to_string(FOR.DIRNUMBER);
    ExistPath(CreatePathArgument, 0, {}, directory, true);
    // The identity record lets a lost catalog be rebuilt from the directory.
    const std::string savedDirnamn = Mem.Dirnamn;
    Mem.Dirnamn = "F" + std::to_string(FOR.DIRNUMBER);
    UpdREF();
    Mem.Dirnamn = savedDirnamn;
    return id;
}

}  // namespace pm
