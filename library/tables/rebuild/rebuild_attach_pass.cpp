// The attach pass of the rebuild: database directories that the catalog
// does not know are added to it from their identity records.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "common/dates.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/record_services.h"
#include "tables/catalog/catalog_list.h"
#include "tables/identifiers/next_number.h"
#include "tables/rebuild/rebuild_run.h"
#include "tables/rebuild/rebuild_tables.h"

namespace pm {

namespace {

// The number of a database directory name: "F" or "f" followed by a
// positive decimal number; 0 for any other name.
ULONG directoryNumber(const std::string& name) {
    if (name.size() < 2 || name.size() > 11 || (name[0] != 'F' && name[0] != 'f')) return 0;
    unsigned long long n = 0;
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        n = n * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return n > 0 && n <= 0xFFFFFFFFull ? static_cast<ULONG>(n) : 0;
}

}  // namespace

JobStatus RebuildRun::listDirectories() {
    setStatus("Attaching new database directories");
    std::vector<std::pair<ULONG, std::string>> found;
    std::error_code ec;
    std::filesystem::directory_iterator it(Mem.FileDir, ec), endOfList;
    for (; !ec && it != endOfList; it.increment(ec)) {
        std::error_code dirError;
        if (!it->is_directory(dirError)) continue;
        const std::string name = it->path().filename().string();
        if (const ULONG n = directoryNumber(name)) found.emplace_back(n, name);
    }
    if (ec || found.empty()) {
        const std::string reason = ec ? ec.message() : "No database directory found";
        message("No databases!",
                reason + "\r\nNo database available at " + Mem.FileDir + ".\r\nRebuild process aborted.",
                Icon::Exclamation);
        return end(State::Failed);
    }
    std::sort(found.begin(), found.end());
    for (const auto& [number, name] : found) {
        Forums.clear();
        FOR.DIRNUMBER = number;
        if (Forums.get(FOR_DirKey) != StorageStatus::Ok) unknownDirectories_.emplace_back(number, name);
    }
    if (unknownDirectories_.empty()) {
        setStatus("Attaching new database directories ... OK!");
        log_.line(" All databases are connected");
        if (Forums.records() == 0) return end(State::Done);
        state_ = State::RewriteIdentities;
        return JobStatus::Running;
    }
    log_.heading(" Databases not recorded in the IDX002.TPS file");
    state_ = State::AttachPass;
    return JobStatus::Running;
}

JobStatus RebuildRun::attachPass() {
    if (nextDirectory_ >= unknownDirectories_.size()) {
        state_ = State::RewriteIdentities;
        return JobStatus::Running;
    }
    const auto [number, found] = unknownDirectories_[nextDirectory_++];
    // The catalog names directories "F" + number: a directory spelled
    // otherwise ("f12", "F012") takes that name unless it is taken.
    std::string dirName = "F" + std::to_string(number);
    if (found != dirName) {
        std::error_code ec;
        releaseDirectory(Mem.FileDir + "/" + found);
        if (std::filesystem::exists(Mem.FileDir + "/" + dirName, ec)) {
            log_.line(std::string(databaseLabel(0)) + std::to_string(number) + " " + found);
            log_.line("Error .. the directory " + found + " is named like " + dirName + ", which exists");
            note(RebuildChange::NotRecognized, number, found, "named like " + dirName + ", which exists");
            return JobStatus::Running;
        }
        std::filesystem::rename(Mem.FileDir + "/" + found, Mem.FileDir + "/" + dirName, ec);
        if (ec) {
            log_.line("Error .. " + found + " cannot be renamed " + dirName + ": " + ec.message());
            note(RebuildChange::NotRecognized, number, found, "cannot be renamed " + dirName);
            return JobStatus::Running;
        }
    }
    ++databasesChecked_;
    return attachDirectory(number, dirName) ? JobStatus::Running : end(State::Failed);
}

bool RebuildRun::attachDirectory(ULONG number, const std::string& dirName) {
    REFRecord identity;
    const bool hasIdentity = readIdentityRecord(dirName, identity);
    const DirectoryTables tables = tablesOfDirectory(dirName);
    const BYTE detected = detectDatabaseType(tables, hasIdentity ? identity.TYPE : 0);
    std::string name = identity.DESCRIPTION.str();
    logDatabase(detected, number, name);
    if (detected == 0) {
        reportUnrecognized(name.empty() ? dirName : name, dirName, tables);
        note(RebuildChange::NotRecognized, number, name, "not a recognizable database");
        return true;
    }
    {
        DatabaseDirectoryScope scope(dirName);
        logTableChecks(detected);
    }
    if (!hasIdentity || identity.TYPE != detected || name.empty()) name = unknownDatabaseName(number);

    ForumsRecord record;
    clearRecord(ForumsDef(), &record);
    // The identity values first, so that the look-ups below may use FOR.
    record.TYPE = detected;
    record.TARGETNG = identity.TARGETNG;
    if (detected == TypeMail && identity.TYPE == TypeMail) {
        record.PERSONID = static_cast<ULONG>(identity.PERSONID);
        record.MAILADDRESS = identity.MAILADDRESS.view();
        for (int i = 0; i < 10; ++i) record.ALTADDRESS[i] = identity.ALTADDRESS[i].view();
    }
    // An identifier another entry already has is drawn again.
    for (;;) {
        record.ID = NextNr();
        if (record.ID == 0) return false;
        Forums.clear();
        FOR.ID = record.ID;
        if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) break;
    }
    if (nameInUse(name, record.ID)) name = unknownDatabaseName(number);
    record.DESCRIPTION = name;
    record.DIRNUMBER = number;
    record.CREATED = today();
    record.WORDLISTINDEXNEEDSUPDATE = 1;
    record.INDEXTYPE = 1;
    FOR = record;
    if (!UppDat(Forums, AddRecord, ReportOnly)) return false;
    note(RebuildChange::Attached, number, name, databaseTypeName(detected));
    return true;
}

}  // namespace pm
