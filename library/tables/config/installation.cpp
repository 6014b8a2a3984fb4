#include "tables/config/installation.h"

#include <sys/stat.h>

#include <filesystem>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

std::string canonicalRoot(const std::string& root) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(root.empty() ? "." : root, ec).lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

bool installationExists(const std::string& root) {
    std::error_code ec;
    return std::filesystem::exists(canonicalRoot(root) + "/CFG/" + kStoreFileName, ec);
}

StartupOutcome runStartupSettings(const std::string& root, StartupPrompts* prompts) {
    (void)prompts;
    Mem.Net = canonicalRoot(root);
    Mem.TempDir = Mem.Net + "/TEMP";
    Mem.FileDir = Mem.Net;
    MasIdxPath = Mem.FileDir;
    deactivateDatabase();
    ExistPath(CreatePathArgument, 0, {}, Mem.Net + "/CFG", true);
    const bool controlExisted = DOSFunc(FileExists, Mem.Net + "/CFG/IDX008.TPS");
    GlobalRequest = 0;
    GlobalResponse = 0;
    ExistPath(CreatePathArgument, 0, {}, Mem.TempDir, true);
    setScratchDirectory(Mem.TempDir);

    // The identifier counter starts at 250,000 and never falls below it.
    OP_CLOSE(OpenShared, {8});
    Control.clear();
    CTL.ID = 1;
    if (Control.get(CTL_IdKey) != StorageStatus::Ok) {
        Control.clear();
        CTL.ID = 1;
        CTL.NEXTNUMBER = 250000;
        Control.add();
    } else if (CTL.NEXTNUMBER < 250000) {
        CTL.NEXTNUMBER = 250000;
        Control.put();
    }
    OP_CLOSE(ReleaseTable, {8});
    return controlExisted ? StartupOutcome::Ready : StartupOutcome::FirstStart;
}

}  // namespace pm
