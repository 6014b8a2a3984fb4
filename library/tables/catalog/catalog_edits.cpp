#include "tables/catalog/catalog_edits.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "common/fixed_text.h"
#include "common/globals.h"
#include "common/text.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/identity_record.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/table_path.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

bool directoryCanBeEntered(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string directoryOf_FOR() { return Mem.FileDir + "/F" + std::to_string(FOR.DIRNUMBER); }

// Writes the identity record of the record in FOR into its own directory,
// whichever database is active.
void writeIdentityOf_FOR() {
    if (FOR.NODIR || !directoryCanBeEntered(directoryOf_FOR())) return;
    const std::string savedDirnamn = Mem.Dirnamn;
    Mem.Dirnamn = "F" + std::to_string(FOR.DIRNUMBER);
    // A REF held open on another database keeps its file; writing through
    // it would change the wrong identity record.
    if (!REFFile.isOpen() || REFFile.fileName() == tableFileName(REFFile)) UpdREF();
    Mem.Dirnamn = savedDirnamn;
}

// Runs `change` on the held catalog record of `id` and rewrites it when
// `change` says so.
template <typename Change>
bool changeHeldRecord(ULONG id, Change change, bool* changed = nullptr) {
    if (changed) *changed = false;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = id;
    bool ok = HoldRec(Forums, &FOR_ForumKey);
    if (ok) {
        if (change()) {
            ok = UppDat(Forums, UpdateRecord, ReportOnly);
            if (ok && changed) *changed = true;
        }
        Forums.release();
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    return ok;
}

}  // namespace

bool chooseDatabase(ULONG id) {
    if (!activateDatabase(id)) return false;
    // activateDatabase leaves the record it read in FOR.
    writeIdentityOf_FOR();
    return true;
}

bool setImportAllowed(ULONG id, bool allowed, bool* changed) {
    const BYTE wanted = allowed ? 0 : 1;
    return changeHeldRecord(
        id,
        [&] {
            if (FOR.NOIMPORT == wanted) return false;
            FOR.NOIMPORT = wanted;
            return true;
        },
        changed);
}

bool setDatabaseStatus(ULONG id, BYTE status) {
    const bool ok = changeHeldRecord(id, [&] {
        if (FOR.DUMMY == status) return false;
        FOR.DUMMY = status;
        return true;
    });
    if (ok && Mem.ForumNumber == id) Mem.ForumCheck = status;
    return ok;
}

bool toggleAutoIndexing(ULONG id, BYTE& newValue) {
    return changeHeldRecord(id, [&] {
        FOR.INDEXTYPE = FOR.INDEXTYPE ? 0 : 1;
        newValue = FOR.INDEXTYPE;
        return true;
    });
}

namespace {

// Saves the catalog record of `id` after `edit` changed the FOR buffer,
// through the form save that refuses concurrent changes and taken names.
template <typename Edit>
bool saveEditedRecord(ULONG id, Edit edit) {
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = id;
    bool ok = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
    if (ok) {
        std::vector<unsigned char> kept(sizeof FOR);
        std::memcpy(kept.data(), &FOR, sizeof FOR);
        const RecordPosition position = Forums.position();
        edit();
        const LONG savedRequest = GlobalRequest;
        GlobalRequest = ChangeRecord;
        ok = SaveRec(Forums, kept.data(), position) == "OK";
        GlobalRequest = savedRequest;
        if (ok) {
            if (Mem.ForumNumber == id) Mem.Description = FOR.DESCRIPTION.str();
            writeIdentityOf_FOR();
        }
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    return ok;
}

}  // namespace

bool renameDatabase(ULONG id, const std::string& newNameIn) {
    const std::string newName(trimRight(newNameIn));
    if (newName.empty()) return false;
    return saveEditedRecord(id, [&] { FOR.DESCRIPTION = newName; });
}

bool updateMailDatabase(ULONG id, const std::string& nameIn, const std::string& address,
                        const std::vector<std::string>& altAddresses) {
    const std::string name(trim(nameIn));
    if (name.empty()) return false;
    return saveEditedRecord(id, [&] {
        FOR.DESCRIPTION = name;
        FOR.MAILADDRESS = toLower(trim(address));
        std::size_t slot = 0;
        for (auto& alt : FOR.ALTADDRESS) alt = "";
        for (const std::string& alt : altAddresses) {
            const std::string_view t = trim(alt);
            if (t.empty() || slot >= 10) continue;
            FOR.ALTADDRESS[slot++] = toLower(t);
        }
    });
}

bool activeDatabaseIsWordIndexed() {
    if (Mem.ForumNumber == 0 || Mem.Dirnamn.empty()) return false;
    // Only the word index's store is read: one read transaction for all.
    const ReadScope reads;
    const std::string name = tableFileName(MasIdx);
    if (name.empty() || !DOSFunc(FileExists, name)) return false;
    OP_CLOSE(OpenShared, {&MasIdx});
    const bool any = MasIdx.records() > 0;
    OP_CLOSE(ReleaseTable, {&MasIdx});
    return any;
}

ULONG activateStartDatabase(ULONG defaultId) {
    ULONG chosen = 0;
    OP_CLOSE(OpenShared, {&Forums});
    if (defaultId != 0) {
        Forums.clear();
        FOR.ID = defaultId;
        if (Forums.get(FOR_ForumKey) == StorageStatus::Ok && !FOR.NODIR &&
            directoryCanBeEntered(directoryOf_FOR()))
            chosen = FOR.ID;
    }
    if (chosen == 0) {
        Forums.set(FOR_ForumKey);
        while (Forums.next() == StorageStatus::Ok) {
            if (!FOR.NODIR && directoryCanBeEntered(directoryOf_FOR())) {
                chosen = FOR.ID;
                break;
            }
        }
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    if (chosen != 0 && !activateDatabase(chosen)) return 0;
    return chosen;
}

}  // namespace pm
