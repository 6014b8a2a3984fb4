#pragma once
// The rebuild of the database list as a job: checks the directory set-up,
// compares every catalog entry with what its directory holds (correcting or
// dropping it), attaches database directories the catalog does not know
// from their identity records, rewrites every identity record and ends with
// the Next ID check. Everything it finds goes to the log TestDB.Txt in the
// configuration directory.
//
// States (one slice each; where they lead):
//   Begin              takes the installation's writing-run lock (waits
//                      while another process imports, merges or
//                      rebuilds, up to the lock wait, then Failed), closes
//                      every database table, opens the catalog and
//                      Control, creates the log         -> CheckDirectories
//   CheckDirectories   the top directories must exist (else a warning and
//                      Failed); a catalog entry whose directory is missing
//                      is removed after the person's OK (Cancel ends the
//                      program, FatalError "Program aborted!"); missing
//                      word-index directories are made. -> CatalogPass, or
//                      NextId when only the Next ID check was asked for
//   CatalogPass        one catalog entry a slice: its type detected, its
//                      record checked against its identity record;
//                      unrecognizable ones are removed  -> WriteCatalog
//   WriteCatalog       the corrected entries are written in one transaction
//                                                       -> ListDirectories
//   ListDirectories    the F<n> directories the catalog does not know
//                                                       -> AttachPass, or
//                      RewriteIdentities when all are connected (Done when
//                      the catalog is empty; Failed when the top directory
//                      holds no database directory at all)
//   AttachPass         one directory a slice: attached from its identity
//                      record, or reported when unrecognizable
//   RewriteIdentities  UpdREF for every catalog entry   -> NextId
//   NextId             the Next ID check, a slice a step -> Done / Failed
//   Done, Stopped, Failed
//                      final: the log is closed, the catalog unlocked, the
//                      tables released and the active database restored.
// A stop request is honoured between slices; what was written stays (each
// catalog write is whole).
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/job.h"
#include "common/types.h"
#include "tables/identifiers/next_id_check.h"
#include "tables/identifiers/writing_run_lock.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/rebuild/database_detection.h"
#include "tables/rebuild/rebuild_log.h"

namespace pm {

// What the rebuild did to one database.
struct RebuildChange {
    enum Kind {
        Corrected,      // the catalog entry was changed to match its directory
        Dropped,        // the catalog entry was removed (directory missing or unrecognizable)
        Attached,       // a directory unknown to the catalog was added to it
        NotRecognized,  // a directory unknown to the catalog was left alone
    };
    Kind kind;
    ULONG dirNumber = 0;
    std::string name;    // the name the database has (or had, when dropped)
    std::string detail;  // what changed, or why
};

// "corrected", "dropped", "attached", "not recognized".
const char* rebuildChangeName(RebuildChange::Kind kind);

// The value of GlobalRequest that has the rebuild window run the Next ID
// check alone.
inline constexpr LONG NextIdCheckRequest = 50;

class RebuildRun final : public Job {
public:
    enum class State {
        Begin, CheckDirectories, CatalogPass, WriteCatalog, ListDirectories, AttachPass, RewriteIdentities,
        NextId, Done, Stopped, Failed,
    };

    // `nextIdOnly`: only the directory checks and the Next ID check (the
    // rebuild window's second button, GlobalRequest 50).
    explicit RebuildRun(bool nextIdOnly = false);
    ~RebuildRun() override;
    RebuildRun(const RebuildRun&) = delete;
    RebuildRun& operator=(const RebuildRun&) = delete;

    JobStatus step() override;
    JobStatus status() const override;
    // Always accepted: the run ends before its next slice.
    bool requestStop(StopRequest how) override;
    // The title (" Rebuild Utility" or " Next ID check"), the status lines
    // of the stages so far and the counters "Databases checked",
    // "Corrected", "Dropped" and "Attached".
    ProgressReport report() const override;

    State state() const { return state_; }
    bool nextIdOnly() const { return nextIdOnly_; }
    // Every change, in the order it was made.
    const std::vector<RebuildChange>& changes() const { return changes_; }
    // The identifier counter the Next ID check wrote (0 before it is done).
    ULONG nextNumber() const { return nextNumber_; }

private:
    // One catalog entry on its way through the catalog pass.
    struct Entry {
        ForumsRecord original;  // as the catalog held it
        ForumsRecord record;    // as it is to be
        bool changed = false;
    };

    JobStatus begin();
    JobStatus checkDirectories();
    bool checkTopDirectories();
    bool checkDatabaseDirectory(const ForumsRecord& entry);
    JobStatus catalogPass();
    void examineEntry(Entry& entry, const REFRecord* identity, BYTE detected);
    bool reportUnrecognized(const std::string& name, const std::string& dirName, const DirectoryTables& tables);
    JobStatus writeCatalog();
    JobStatus listDirectories();
    JobStatus attachPass();
    bool attachDirectory(ULONG dirNumber, const std::string& dirName);
    JobStatus rewriteIdentities();
    JobStatus nextId();
    void logDatabase(BYTE detected, ULONG dirNumber, const std::string& name);
    void logTableChecks(BYTE type);
    bool removeCatalogEntry(ULONG id);
    bool nameInUse(const std::string& name, ULONG exceptId);
    void note(RebuildChange::Kind kind, ULONG dirNumber, std::string name, std::string detail);
    void setStatus(const std::string& line);
    JobStatus end(State final);
    void cleanUp();

    bool nextIdOnly_;
    State state_ = State::Begin;
    bool stopRequested_ = false;
    MemGlobals savedActive_;
    bool begun_ = false;  // the active database was saved
    bool tablesOpen_ = false;
    bool catalogLocked_ = false;
    WritingRunLock writingLock_{"Rebuild"};
    RebuildLog log_;
    std::vector<std::string> statusLines_;

    std::vector<ULONG> catalogIds_;  // catalog entries still to examine, in FOR:ForumKey order
    std::size_t nextEntry_ = 0;
    std::vector<Entry> entries_;     // the work list
    std::vector<std::pair<ULONG, std::string>> unknownDirectories_;  // (number, directory name)
    std::size_t nextDirectory_ = 0;
    int databasesChecked_ = 0;

    std::unique_ptr<NextIdCheck> nextIdCheck_;
    ULONG nextNumber_ = 0;
    std::vector<RebuildChange> changes_;
};

}  // namespace pm
