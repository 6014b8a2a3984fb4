#include "tables/catalog/database_deletion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

// The file patterns of a database's tables (keyed tables, identity and
// word-index files, and key or index files left by other engines).
const char* const kPatterns[] = {"*.TPS", "*.DAT", "*.K*", "*.I*"};

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Deletes the table files of `directory` and, when all went, the directory.
// Returns {files removed, directory removed}.
std::pair<bool, bool> removeDatabaseDirectory(const std::string& directory) {
    if (!isDirectory(directory)) return {true, true};
    releaseDirectory(directory);
    bool allGone = true;
    for (const char* pattern : kPatterns)
        if (!DOSFunc(DeleteMatchingFiles, directory + "/" + pattern)) allGone = false;
    // A directory that still holds other files of the person's stays.
    const bool directoryGone = allGone && ::rmdir(directory.c_str()) == 0;
    return {allGone, directoryGone};
}

// The import procedures that name `id`, by BAT:ID.
std::vector<ULONG> proceduresNaming(ULONG id) {
    std::vector<ULONG> found;
    BATFile.setPhysical();
    while (BATFile.next() == StorageStatus::Ok)
        if (BAT.DATABASE == id || BAT.MAILBOX == id) found.push_back(BAT.ID);
    return found;
}

bool deleteTaskSteps(ULONG procedure) {
    TIMFile.clear();
    TIM.BATCHID = procedure;
    TIMFile.setAt(TIM_BATCHKEY);
    while (TIMFile.next() == StorageStatus::Ok && TIM.BATCHID == procedure)
        if (!UppDat(TIMFile, DeleteRecordOp, RollBackAndReport)) return false;
    return true;
}

bool deleteFileSpecifications(ULONG procedure) {
    FLIFile.clear();
    FLI.ID = procedure;
    FLIFile.setAt(FLI_IDKEY);
    while (FLIFile.next() == StorageStatus::Ok && FLI.ID == procedure)
        if (!UppDat(FLIFile, DeleteRecordOp, RollBackAndReport)) return false;
    return true;
}

bool detachProcedure(ULONG procedure, ULONG id) {
    BATFile.clear();
    BAT.ID = procedure;
    if (BATFile.get(BAT_IDKEY) != StorageStatus::Ok) return true;  // gone meanwhile
    if (BAT.DATABASE == id) BAT.DATABASE = 0;
    if (BAT.MAILBOX == id) BAT.MAILBOX = 0;
    if (BAT.DATABASE != 0 || BAT.MAILBOX != 0) return UppDat(BATFile, UpdateRecord, RollBackAndReport);
    return deleteTaskSteps(procedure) && deleteFileSpecifications(procedure) &&
           UppDat(BATFile, DeleteRecordOp, RollBackAndReport);
}

bool removeCatalogRecord(ULONG id) {
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // already gone
    return UppDat(Forums, DeleteRecordOp, RollBackAndReport);
}

bool removeInsideTransaction(ULONG id) {
    if (!beginTransactionChecked({&Forums, &BATFile, &TIMFile, &FLIFile})) return false;
    for (ULONG procedure : proceduresNaming(id))
        if (!detachProcedure(procedure, id)) return false;
    if (!removeCatalogRecord(id)) return false;
    StorageError error;
    if (commitTransaction(&error) != StorageStatus::Ok) {
        rollbackTransaction();
        message(Forums.displayName(), "Transaction Frame Error!\r\n" + error.text + "\r\nThe last transaction is rolled back.");
        return false;
    }
    return true;
}

}  // namespace

bool removeActiveDatabaseFromCatalog() {
    const ULONG id = Mem.ForumNumber;
    if (id == 0) return false;
    OP_CLOSE(OpenShared, {&Forums, &FLIFile, &BATFile, &TIMFile});
    const bool ok = removeInsideTransaction(id);
    OP_CLOSE(ReleaseTable, {&Forums, &FLIFile, &BATFile, &TIMFile});
    return ok;
}

DatabaseDeletion deleteActiveDatabase() {
    DatabaseDeletion result;
    if (Mem.ForumNumber == 0 || Mem.Dirnamn.empty()) return result;
    closeAllTables();
    const std::string directory = activeDatabaseDirectory();
    std::tie(result.filesRemoved, result.directoryRemoved) = removeDatabaseDirectory(directory);
    result.catalogRemoved = removeActiveDatabaseFromCatalog();
    if (!MasIdxPath.empty() && !equalsCaseless(MasIdxPath, Mem.FileDir)) {
        const auto [files, dir] = removeDatabaseDirectory(MasIdxPath + "/" + Mem.Dirnamn);
        result.wordIndexRemoved = files && dir;
    }
    deactivateDatabase();
    return result;
}

}  // namespace pm
