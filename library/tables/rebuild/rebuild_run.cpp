// The rebuild's state machine, its directory checks, the write-back of the
// corrected catalog, the identity records and the closing Next ID check.
// The two passes over the databases live in rebuild_catalog_pass.cpp and
// rebuild_attach_pass.cpp.
#include "tables/rebuild/rebuild_run.h"

#include <filesystem>
#include <system_error>

#include "common/job_steps.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/access/record_services.h"
#include "tables/catalog/identity_record.h"
#include "tables/rebuild/rebuild_tables.h"
#include "tables/records/table_path.h"

namespace pm {

namespace {

const char* const kDirectoryStatus = "Checking the Postmoor directory structure ...";

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

}  // namespace

const char* rebuildChangeName(RebuildChange::Kind kind) {
    switch (kind) {
        case RebuildChange::Corrected: return "corrected";
        case RebuildChange::Dropped: return "dropped";
        case RebuildChange::Attached: return "attached";
        case RebuildChange::NotRecognized: return "not recognized";
    }
    return "?";
}

RebuildRun::RebuildRun(bool nextIdOnly) : nextIdOnly_(nextIdOnly) {}

RebuildRun::~RebuildRun() { cleanUp(); }

JobStatus RebuildRun::status() const { return jobStatusOfState(state_); }

bool RebuildRun::requestStop(StopRequest how) {
    stopRequested_ = true;
    if (nextIdCheck_) nextIdCheck_->requestStop(how);
    return true;
}

ProgressReport RebuildRun::report() const {
    ProgressReport r;
    r.title = nextIdOnly_ ? " Next ID check" : " Rebuild Utility";
    r.lines = statusLines_;
    if (nextIdCheck_) {
        const ProgressReport check = nextIdCheck_->report();
        r.lines.insert(r.lines.end(), check.lines.begin(), check.lines.end());
    }
    auto count = [this](RebuildChange::Kind kind) {
        long long n = 0;
        for (const RebuildChange& c : changes_) n += c.kind == kind;
        return n;
    };
    r.counters = {{"Databases checked", databasesChecked_},
                  {"Corrected", count(RebuildChange::Corrected)},
                  {"Dropped", count(RebuildChange::Dropped)},
                  {"Attached", count(RebuildChange::Attached)}};
    if (state_ == State::Done) r.percent = 100;
    return r;
}

JobStatus RebuildRun::step() {
    if (jobFinal(status())) return status();
    if (stopRequested_ && state_ != State::NextId) return end(State::Stopped);
    return guardedSlice(
        [this] {
            switch (state_) {
                case State::Begin: return begin();
                case State::CheckDirectories: return checkDirectories();
                case State::CatalogPass: return catalogPass();
                case State::WriteCatalog: return writeCatalog();
                case State::ListDirectories: return listDirectories();
                case State::AttachPass: return attachPass();
                case State::RewriteIdentities: return rewriteIdentities();
                case State::NextId: return nextId();
                default: return status();
            }
        },
        [this] {
            cleanUp();
            state_ = State::Failed;
        });
}

void RebuildRun::setStatus(const std::string& line) {
    // A stage's closing line ("... OK!") replaces its opening one.
    if (!statusLines_.empty() && line.rfind(statusLines_.back(), 0) == 0)
        statusLines_.back() = line;
    else
        statusLines_.push_back(line);
}

void RebuildRun::note(RebuildChange::Kind kind, ULONG dirNumber, std::string name, std::string detail) {
    changes_.push_back({kind, dirNumber, std::move(name), std::move(detail)});
}

JobStatus RebuildRun::begin() {
    switch (writingLock_.tryTake()) {
        case WritingRunLock::Turn::Taken: break;
        case WritingRunLock::Turn::Waiting: setStatus(writingLock_.waitingText()); return JobStatus::Running;
        case WritingRunLock::Turn::Refused: return end(State::Failed);
    }
    savedActive_ = Mem;
    begun_ = true;
    // Database tables still open would keep the files of another database.
    closeDatabaseTables();
    OP_CLOSE(OpenShared, {&Forums, &Control});
    tablesOpen_ = true;
    log_.create();
    log_.heading(" Databases recorded in the IDX002.TPS file");
    setStatus(kDirectoryStatus);
    state_ = State::CheckDirectories;
    return JobStatus::Running;
}

bool RebuildRun::checkTopDirectories() {
    auto warn = [](const std::string& text) {
        beep();
        message("Warning!", text, Icon::Exclamation);
        return false;
    };
    if (!isDirectory(Mem.FileDir))
        return warn("Database directory path " + Mem.FileDir + " does not exist!\r\n" +
                    "Check the directory for database files in Preferences.");
    if (!isDirectory(wordIndexTop()))
        return warn("Word index file directory path " + wordIndexTop() + " does not exist!\r\n" +
                    "Check the directory for word index files in Preferences.");
    if (!isDirectory(Mem.TempDir))
        return warn("The temporary file directory path " + Mem.TempDir + " does not exist!\r\n" +
                    "Check the directory for temporary files in Preferences.");
    return true;
}

bool RebuildRun::checkDatabaseDirectory(const ForumsRecord& entry) {
    const std::string dirName = "F" + std::to_string(entry.DIRNUMBER);
    const std::string path = Mem.FileDir + "/" + dirName;
    if (isDirectory(path)) {
        if (separateWordIndex()) {
            std::error_code ec;
            std::filesystem::create_directory(wordIndexTop() + "/" + dirName, ec);
        }
        return true;
    }
    beep();
    const Button answer =
        message("Warning!",
                "Directory path " + path + " for database " + entry.DESCRIPTION.str() +
                    " does not exist! If you press OK this database definition will be removed. If you press "
                    "Cancel Postmoor will be aborted.",
                Icon::Exclamation, ButtonOk | ButtonCancel, ButtonOk);
    if (answer != ButtonOk) {
        cleanUp();
        state_ = State::Failed;
        fatal("Warning!", "Program aborted!", "Program aborted!");
    }
    if (!removeCatalogEntry(entry.ID)) return false;
    note(RebuildChange::Dropped, entry.DIRNUMBER, entry.DESCRIPTION.str(), "directory " + path + " does not exist");
    return true;
}

JobStatus RebuildRun::checkDirectories() {
    if (!checkTopDirectories()) return end(State::Failed);
    if (Forums.lock(kCatalogLockSeconds) != StorageStatus::Ok) {
        message("Warning!", "The database list is in use by another user!\r\nTry again later.", Icon::Exclamation);
        return end(State::Failed);
    }
    catalogLocked_ = true;
    std::vector<ForumsRecord> catalog;
    Forums.set(FOR_ForumKey);
    while (Forums.next() == StorageStatus::Ok) catalog.push_back(FOR);
    for (const ForumsRecord& entry : catalog) {
        // A database without a directory of its own keeps its messages in
        // its redirection target: nothing to look for.
        if (entry.NODIR != 0) continue;
        if (!checkDatabaseDirectory(entry)) return end(State::Failed);
        catalogIds_.push_back(entry.ID);
    }
    setStatus(std::string(kDirectoryStatus) + "OK!");
    if (nextIdOnly_) {
        Forums.unlock();
        catalogLocked_ = false;
        state_ = State::NextId;
    } else {
        state_ = State::CatalogPass;
    }
    return JobStatus::Running;
}

bool RebuildRun::removeCatalogEntry(ULONG id) {
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // gone meanwhile
    return UppDat(Forums, DeleteRecordOp, ReportOnly);
}

bool RebuildRun::nameInUse(const std::string& name, ULONG exceptId) {
    const ForumsRecord saved = FOR;
    Forums.clear();
    FOR.DESCRIPTION = name;
    const bool used = Forums.get(FOR_AlphaKey) == StorageStatus::Ok && FOR.ID != exceptId;
    FOR = saved;
    return used;
}

JobStatus RebuildRun::writeCatalog() {
    // Two entries may swap names: the renamed ones first take a name of
    // their own, so that the unique name key never sees two at once.
    std::vector<Entry*> renamed, changed;
    for (Entry& e : entries_) {
        if (!e.changed) continue;
        changed.push_back(&e);
        if (!equalsCaseless(e.original.DESCRIPTION.view(), e.record.DESCRIPTION.view())) renamed.push_back(&e);
    }
    if (!changed.empty()) {
        if (!beginTransactionChecked({&Forums})) return end(State::Failed);
        auto write = [](const ForumsRecord& record) {
            Forums.clear();
            FOR.ID = record.ID;
            if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // removed meanwhile
            FOR = record;
            return UppDat(Forums, UpdateRecord, RollBackAndReport);
        };
        for (Entry* e : renamed) {
            ForumsRecord interim = e->original;
            interim.DESCRIPTION = "~rebuild~F" + std::to_string(e->original.DIRNUMBER);
            if (!write(interim)) return end(State::Failed);
        }
        for (Entry* e : changed)
            if (!write(e->record)) return end(State::Failed);
        StorageError error;
        if (commitTransaction(&error) != StorageStatus::Ok) {
            rollbackTransaction();
            message("Warning!", error.text + "\r\nThe last transaction is rolled back.", Icon::Exclamation);
            return end(State::Failed);
        }
    }
    Forums.flush();
    setStatus("Checking the existing Postmoor database list ...OK!");
    state_ = State::ListDirectories;
    return JobStatus::Running;
}

JobStatus RebuildRun::rewriteIdentities() {
    std::vector<ForumsRecord> catalog;
    Forums.set(FOR_DirKey);
    while (Forums.next() == StorageStatus::Ok) catalog.push_back(FOR);
    for (const ForumsRecord& entry : catalog) {
        const std::string dirName = "F" + std::to_string(entry.DIRNUMBER);
        if (entry.NODIR != 0 || !isDirectory(Mem.FileDir + "/" + dirName)) continue;
        DatabaseDirectoryScope scope(dirName);
        FOR = entry;
        if (!UpdREF()) return end(State::Failed);
    }
    Forums.unlock();
    catalogLocked_ = false;
    setStatus("Attaching new database directories ... OK!");
    state_ = State::NextId;
    return JobStatus::Running;
}

JobStatus RebuildRun::nextId() {
    if (!nextIdCheck_) {
        // The check opens and locks what it needs itself.
        OP_CLOSE(ReleaseTable, {&Forums, &Control});
        tablesOpen_ = false;
        nextIdCheck_ = std::make_unique<NextIdCheck>(NextIdCheck::Turn::HeldByCaller);
        if (stopRequested_) nextIdCheck_->requestStop(StopRequest::Now);
    }
    const JobStatus st = nextIdCheck_->step();
    if (!jobFinal(st)) return JobStatus::Running;
    // The check's own lines stay on show once it is gone.
    const ProgressReport check = nextIdCheck_->report();
    statusLines_.insert(statusLines_.end(), check.lines.begin(), check.lines.end());
    if (st == JobStatus::Done) {
        nextNumber_ = nextIdCheck_->nextNumber();
        log_.line("");
        log_.line("Next ID set to " + std::to_string(nextNumber_));
        return end(State::Done);
    }
    return end(st == JobStatus::Stopped ? State::Stopped : State::Failed);
}

void RebuildRun::logDatabase(BYTE detected, ULONG dirNumber, const std::string& name) {
    log_.line(std::string(databaseLabel(detected)) + std::to_string(dirNumber) + " " + name);
}

void RebuildRun::logTableChecks(BYTE type) {
    for (const TableCheck& check : tableChecksOf(type)) {
        const bool ok = checkOpen(*check.table);
        log_.line(std::string(ok ? "OK .. testing " : "Faling test ") + check.description + " " +
                  check.table->fileName());
    }
}

bool RebuildRun::reportUnrecognized(const std::string& name, const std::string& dirName,
                                    const DirectoryTables& tables) {
    log_.line("Error .. Database type not recognizable");
    for (const std::string& line : tablePresenceLines(tables)) log_.line(line);
    log_.line("This database may contains surplus files that do not belong there.");
    log_.line("Please remove them (see below) and run Rebuild again.");
    log_.line("1. A Mail database should never contain idx003.tps,idx007.tps or idx025.tps.");
    log_.line("2. A Forum message database should never contain idx013.tps or idx025.tps.");
    log_.line("3. A Newsgroup database should never contain idx013.tps.");
    beep();
    message("Warning!",
            "Database " + name + " in directory " + dirName + " is not a recognizable current version Postmoor database." +
                "\r\nThe database definition will be removed from the database list but the database will be left "
                "as is.\r\nPlease check the log file testdb.txt in directory cfg for details.",
            Icon::Exclamation);
    return true;
}

JobStatus RebuildRun::end(State final) {
    cleanUp();
    state_ = final;
    return status();
}

void RebuildRun::cleanUp() {
    if (inTransaction()) rollbackTransaction();
    if (catalogLocked_) Forums.unlock();
    catalogLocked_ = false;
    nextIdCheck_.reset();
    if (tablesOpen_) OP_CLOSE(ReleaseTable, {&Forums, &Control});
    tablesOpen_ = false;
    if (begun_) {
        begun_ = false;
        restoreActiveDatabase(savedActive_);
    }
    log_.close();
    writingLock_.release();
}

}  // namespace pm
