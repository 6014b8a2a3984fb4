// The catalog pass of the rebuild: each catalog entry against what its
// directory holds and what its identity record says.
#include <algorithm>

#include "common/text.h"
#include "tables/catalog/catalog_list.h"
#include "tables/rebuild/rebuild_run.h"
#include "tables/rebuild/rebuild_tables.h"

namespace pm {

namespace {

// The mail owner and addresses of `identity` into `record`.
void takeOwner(ForumsRecord& record, const REFRecord& identity) {
    record.PERSONID = static_cast<ULONG>(identity.PERSONID);
    record.MAILADDRESS = identity.MAILADDRESS.view();
    for (int i = 0; i < 10; ++i) record.ALTADDRESS[i] = identity.ALTADDRESS[i].view();
}

// Everything the identity record knows about the database.
void takeIdentity(ForumsRecord& record, const REFRecord& identity) {
    record.DESCRIPTION = identity.DESCRIPTION.view();
    record.TYPE = identity.TYPE;
    record.TARGETNG = identity.TARGETNG;
    if (identity.TYPE == TypeMail) takeOwner(record, identity);
}

bool sameOwner(const ForumsRecord& a, const ForumsRecord& b) {
    if (a.PERSONID != b.PERSONID || !(a.MAILADDRESS == b.MAILADDRESS.view())) return false;
    for (int i = 0; i < 10; ++i)
        if (!(a.ALTADDRESS[i] == b.ALTADDRESS[i].view())) return false;
    return true;
}

// What changed between two versions of a catalog record, for the report.
std::string differences(const ForumsRecord& before, const ForumsRecord& after) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    if (!(before.DESCRIPTION == after.DESCRIPTION.view()))
        add("name " + before.DESCRIPTION.str() + " -> " + after.DESCRIPTION.str());
    if (before.TYPE != after.TYPE) {
        const std::string was = databaseTypeName(before.TYPE);
        add("type " + (was.empty() ? std::to_string(before.TYPE) : was) + " -> " + databaseTypeName(after.TYPE));
    }
    if (after.TYPE == TypeMail && !sameOwner(before, after))
        add("owner " + std::to_string(before.PERSONID) + " -> " + std::to_string(after.PERSONID));
    if (before.TARGETNG != after.TARGETNG) add("redirection target " + std::to_string(after.TARGETNG));
    return text;
}

}  // namespace

JobStatus RebuildRun::catalogPass() {
    if (nextEntry_ >= catalogIds_.size()) {
        // A later entry whose name an earlier one took becomes "Unknown:F<n>".
        std::vector<std::string> taken;
        for (Entry& e : entries_) {
            const std::string folded = foldCase(e.record.DESCRIPTION.view());
            if (std::find(taken.begin(), taken.end(), folded) != taken.end())
                e.record.DESCRIPTION = unknownDatabaseName(e.record.DIRNUMBER);
            taken.push_back(foldCase(e.record.DESCRIPTION.view()));
            const std::string what = differences(e.original, e.record);
            e.changed = !what.empty();
            if (e.changed) note(RebuildChange::Corrected, e.record.DIRNUMBER, e.record.DESCRIPTION.str(), what);
        }
        state_ = State::WriteCatalog;
        return JobStatus::Running;
    }
    Forums.clear();
    FOR.ID = catalogIds_[nextEntry_++];
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return JobStatus::Running;  // gone meanwhile
    Entry entry;
    entry.original = FOR;
    entry.record = FOR;
    ++databasesChecked_;

    const std::string dirName = "F" + std::to_string(FOR.DIRNUMBER);
    REFRecord identity;
    const bool hasIdentity = readIdentityRecord(dirName, identity);
    const DirectoryTables tables = tablesOfDirectory(dirName);
    const BYTE detected = detectDatabaseType(tables, hasIdentity ? identity.TYPE : 0);
    logDatabase(detected, entry.original.DIRNUMBER, entry.original.DESCRIPTION.str());
    if (detected == 0) {
        const std::string name = entry.original.DESCRIPTION.str();
        reportUnrecognized(name, dirName, tables);
        if (!removeCatalogEntry(entry.original.ID)) return end(State::Failed);
        note(RebuildChange::Dropped, entry.original.DIRNUMBER, name, "not a recognizable database");
        return JobStatus::Running;
    }
    {
        DatabaseDirectoryScope scope(dirName);
        logTableChecks(detected);
    }
    examineEntry(entry, hasIdentity ? &identity : nullptr, detected);
    entries_.push_back(entry);
    return JobStatus::Running;
}

void RebuildRun::examineEntry(Entry& entry, const REFRecord* identity, BYTE detected) {
    ForumsRecord& record = entry.record;
    const std::string dirName = "F" + std::to_string(record.DIRNUMBER);
    const bool identityFits = identity && identity->TYPE == detected;
    if (detected != record.TYPE) {
        // The directory is not what the catalog says: its identity record
        // knows better when it agrees with the directory.
        if (identityFits)
            takeIdentity(record, *identity);
        else
            record.DESCRIPTION = unknownDatabaseName(record.DIRNUMBER);
        record.TYPE = detected;
    } else if (identityFits) {
        if (detected == TypeMail && static_cast<ULONG>(identity->PERSONID) != record.PERSONID &&
            !personExistsIn(dirName, record.PERSONID) &&
            personExistsIn(dirName, static_cast<ULONG>(identity->PERSONID)))
            takeOwner(record, *identity);
        // The identity record follows every rename: a name that differs from
        // it was changed in the catalog alone (by hand, or damaged there).
        if (!identity->DESCRIPTION.empty() && !(record.DESCRIPTION == identity->DESCRIPTION.view()))
            record.DESCRIPTION = identity->DESCRIPTION.view();
    }
    if (record.DESCRIPTION.empty()) record.DESCRIPTION = unknownDatabaseName(record.DIRNUMBER);
}

}  // namespace pm
