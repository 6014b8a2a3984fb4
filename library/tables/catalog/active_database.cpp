#include "tables/catalog/active_database.h"

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

void takeActiveDatabaseFrom_FOR() {
    Mem.Description = FOR.DESCRIPTION.str();
    Mem.Dirnamn = "F" + std::to_string(FOR.DIRNUMBER);
    Mem.ForumNumber = FOR.ID;
    Mem.ForumCheck = FOR.DUMMY;
    Mem.ForumType = FOR.TYPE;
    Mem.PersonID = FOR.PERSONID;
    Mem.WordListIndexNeedsUpdate = FOR.WORDLISTINDEXNEEDSUPDATE;
}

void restoreActiveDatabase(const MemGlobals& saved) {
    Mem.ForumNumber = saved.ForumNumber;
    Mem.Description = saved.Description;
    Mem.Dirnamn = saved.Dirnamn;
    Mem.ForumType = saved.ForumType;
    Mem.PersonID = saved.PersonID;
    Mem.ForumCheck = saved.ForumCheck;
    Mem.WordListIndexNeedsUpdate = saved.WordListIndexNeedsUpdate;
}

bool activateDatabase(ULONG id) {
    // Only the installation's store is read: one read transaction for all.
    const ReadScope reads;
    OP_CLOSE(OpenShared, {&Forums, &Control});
    Forums.clear();
    FOR.ID = id;
    const bool found = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
    if (found) takeActiveDatabaseFrom_FOR();
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    return found;
}

bool activateImportProcedureDatabase() { return activateDatabase(BAT.DATABASE); }

void deactivateDatabase() {
    Mem.Dirnamn.clear();
    Mem.Description.clear();
    Mem.ForumNumber = 0;
    Mem.ForumCheck = 0;
    Mem.WordListIndexNeedsUpdate = 0;
}

std::string activeDatabaseDirectory() {
    if (Mem.Dirnamn.empty()) return {};
    return Mem.FileDir + "/" + Mem.Dirnamn;
}

std::string activeWordIndexDirectory() {
    if (Mem.Dirnamn.empty()) return {};
    return (MasIdxPath.empty() ? Mem.FileDir : MasIdxPath) + "/" + Mem.Dirnamn;
}

}  // namespace pm
