#include "tables/config/installation.h"

#include <unistd.h>

#include <filesystem>

#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/config/browse_columns.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

const char* const kCrLf = "\r\n";

// Settings from before this version lack the window tables of today.
constexpr LONG kUpgradeBelowVersion = 400;
constexpr LONG kSettingsVersion = 401;

std::string canonicalRoot(const std::string& root) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(root.empty() ? "." : root, ec).lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

// Whether this process may write in `directory` and the store file there
// (the file need not exist yet).
bool writable(const std::string& directory) {
    const std::string store = directory + "/" + kStoreFileName;
    std::error_code ec;
    if (access(directory.c_str(), W_OK) != 0) return false;
    return !std::filesystem::exists(store, ec) || access(store.c_str(), W_OK) == 0;
}

// A temporary directory of this process's own, for the work data of a run
// on an installation whose temporary directory cannot be written.
std::string privateTemporaryDirectory() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    const std::string dir = (base / ("postmoor-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir, ec);
    return dir;
}

StartupOutcome configurationFailed() {
    message("Configuration Error",
            std::string("The settings in the Control file cannot be read or written.") + kCrLf +
                "Postmoor cannot start.",
            Icon::Hand);
    return StartupOutcome::Aborted;
}

// A stored top directory that differs from the one in use: taken when it
// exists, else asked for. False when nothing usable was given.
bool takeStoredTopDirectory(const std::string& stored, std::string& inUse, int kind, const std::string& what,
                            StartupPrompts* prompts) {
    // Compared exactly: two spellings that differ in letter case are two
    // directories here.
    if (stored.empty() || stored == inUse) return true;
    if (isDirectory(stored)) {
        inUse = stored;
        return true;
    }
    message("Path not found!",
            "The path to your " + what + " cannot be found!" + kCrLf + stored + kCrLf +
                "Update file path on next screen" + kCrLf,
            Icon::Exclamation);
    return prompts && prompts->askNewPath(kind);
}

// Runs a group of settings writes as one transaction over the
// configuration store: a new installation gets all its records at once, and
// a start costs one disk flush per group instead of one per record. Never
// spans a question to the person, which would keep others waiting.
class SettingsBatch {
public:
    SettingsBatch() : control_({&Control}) {
        active_ = !Mem.ReadOnly && !inTransaction() && beginTransaction({&Control}) == StorageStatus::Ok;
    }
    ~SettingsBatch() {
        if (active_) rollbackTransaction();
    }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

    // False when the writes could not be committed.
    bool commit() {
        if (!active_) return true;
        active_ = false;
        return commitTransaction() == StorageStatus::Ok;
    }

private:
    TableScope control_;  // Control, open while the batch lives
    bool active_ = false;
};

// Runs `writes` in one batch; false when they or the commit failed (rolled
// back before anyone is told).
//
// Most starts only read: the group runs first under one read transaction
// with writes held back, and again in a batch only when it must write, so
// a reading start takes no write lock (a writer elsewhere does not hold it
// up) and its statements share one lock.
template <typename Writes>
bool inBatch(Writes writes) {
    if (!Mem.ReadOnly && !inTransaction()) {
        // Opened inside the read transaction: the open's own look at the
        // store (its catalog, its lock rows) shares the one lock.
        const ReadScope reads;
        const TableScope control({&Control});
        ControlReadPass pass;
        if (!writes()) return false;
        if (!pass.writeWanted()) return true;
    }
    SettingsBatch batch;
    return writes() && batch.commit();
}

}  // namespace

bool installationExists(const std::string& root) {
    std::error_code ec;
    return std::filesystem::exists(canonicalRoot(root) + "/CFG/" + kStoreFileName, ec);
}

StartupOutcome runStartupSettings(const std::string& root, StartupPrompts* prompts) {
    Mem.Net = canonicalRoot(root);
    setDisplayRoot(Mem.Net);  // messages name stores as CFG/postmoor.db, F3/postmoor.db
    // An installation whose configuration store cannot be written is read
    // as it is: nothing of it is created, upgraded or saved.
    Mem.ReadOnly = isDirectory(Mem.Net + "/CFG") && !writable(Mem.Net + "/CFG");
    Mem.TempDir = Mem.Net + "/TEMP";
    Mem.FileDir = Mem.Net;
    MasIdxPath = Mem.FileDir;
    deactivateDatabase();
    if (!Mem.ReadOnly) ExistPath(CreatePathArgument, 0, {}, Mem.Net + "/CFG", true);
    // Without the Control table this is the installation's first start.
    const bool controlExisted = DOSFunc(FileExists, Mem.Net + "/CFG/IDX008.TPS");
    GlobalRequest = 0;
    GlobalResponse = 0;

    const bool directoriesLoaded = inBatch([] {
        if (!AutoPath(1)) return false;
        std::string temporary;
        AutoPath(3, 17, &temporary);
        if (!isDirectory(temporary) && Mem.ReadOnly) {
            temporary.clear();  // one of the process's own follows
        } else if (!isDirectory(temporary)) {
            temporary = Mem.Net + "/TEMP";
            AutoPath(2, 17, &temporary);
            ExistPath(CreatePathArgument, 0, {}, temporary, true);
            if (!AutoPath(4)) return false;
        }
        Mem.TempDir = temporary;
        return true;
    });
    if (!directoriesLoaded) return configurationFailed();
    // Work data is never kept where it cannot be written.
    const bool ownTemporary = Mem.TempDir.empty() || !writable(Mem.TempDir);
    if (ownTemporary) Mem.TempDir = privateTemporaryDirectory();
    setScratchDirectory(Mem.TempDir, ownTemporary);

    std::string databases;
    AutoPath(3, 18, &databases);
    if (!takeStoredTopDirectory(databases, Mem.FileDir, 1, "data files", prompts)) return StartupOutcome::Aborted;

    MasIdxPath = Mem.FileDir;
    if (!inBatch([] { return WSVars(1); })) return configurationFailed();
    std::string wordIndex;
    WSVars(3, 44, &wordIndex);
    if (!takeStoredTopDirectory(wordIndex, MasIdxPath, 2, "word indexing files", prompts))
        return StartupOutcome::Aborted;

    const bool settingsLoaded = inBatch([] {
        return Konfig(LoadGeneral) && Konfig(LoadDisplay) && Konfig(LoadOutput) && loadSpeedValues() &&
               WindowPos(LoadPositions) && WindowPos2(LoadPositions) && ListCol(LoadColumns) && loadBrowseColumns();
    });
    if (!settingsLoaded) return configurationFailed();

    LONG version = 0;
    Konfig(GetGeneral, 11, &version);
    bool firstStart = false;
    if (version < kUpgradeBelowVersion && !Mem.ReadOnly) {
        if (controlExisted)
            message("Upgrading to version 4.01",
                    "This new version needs new default values! All window positions, window sizes and list box "
                    "column widths will be reset to default!");
        else
            firstStart = version == 0;
        WindowPos(ResetPositions);
        WindowPos2(ResetPositions);
        ListCol(ResetColumns);
        resetBrowseColumns();
        version = kSettingsVersion;
        Konfig(SetGeneral, 11, &version);
        // Saved now, so that a run that never reaches the frame's exit (command
        // mode) does not upgrade again.
        const bool saved = inBatch([] {
            return Konfig(SaveGeneral) && WindowPos(SavePositions) && WindowPos2(SavePositions) &&
                   ListCol(SaveColumns) && saveBrowseColumns();
        });
        if (!saved) return configurationFailed();
    }
    return firstStart ? StartupOutcome::FirstStart : StartupOutcome::Ready;
}

}  // namespace pm
