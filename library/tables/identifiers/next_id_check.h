#pragma once
// The Next ID check: finds the highest identifier in use anywhere in the
// installation and sets the counter one above it, so that identifiers stay
// unique after the counter was lost or fell behind. On the way it brings
// every catalog record's message count and dates up to date and drops the
// databases marked for deletion.
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/job.h"
#include "common/types.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/identifiers/writing_run_lock.h"
#include "tables/records/config_tables.h"

namespace pm {

class NextIdCheck final : public Job {
public:
    // Whose is the installation's writing turn while the check runs: its
    // own (taken at the first step, waiting for another process's import,
    // merge, purge or rebuild to end, given back when the check ends), or
    // its caller's (a rebuild that holds the turn already).
    enum class Turn { TakeOwn, HeldByCaller };

    explicit NextIdCheck(Turn turn = Turn::TakeOwn);
    // Closes what an unfinished check holds open and restores the active
    // database.
    ~NextIdCheck() override;
    NextIdCheck(const NextIdCheck&) = delete;
    NextIdCheck& operator=(const NextIdCheck&) = delete;

    // Does one bounded slice: opening, one database (or part of its date
    // scan), or the final writes. Running while more is to do; Done when the
    // counter and the earliest date are stored; Stopped after a stop
    // request; Failed after a reported failure. A database whose tables
    // cannot be opened ends the program (FatalError) as every open does.
    JobStatus step() override;
    JobStatus status() const override;
    // Stops before the next slice (no question); nothing more is written.
    bool requestStop(StopRequest how) override;

    // The counter value written (valid after Done).
    ULONG nextNumber() const { return nextNumber_; }
    // The earliest message date over all databases (item 5; after Done).
    LONG earliestDate() const { return earliest_; }
    int databasesChecked() const { return databasesChecked_; }
    // Title, the two lines of the check window and the counter
    // "Databases checked".
    ProgressReport report() const override;

private:
    enum class State { Begin, NextDatabase, ScanDates, Finish, Done, Stopped, Failed };

    JobStatus begin();
    JobStatus nextDatabase();
    JobStatus scanDates();
    JobStatus finish();
    void collectIdentifiers();
    bool closeDatabase();
    void closeDatabaseTables();
    JobStatus fail();
    void cleanUp();

    State state_ = State::Begin;
    bool cancelRequested_ = false;
    // Lowering the counter while an import holds identifiers it has not yet
    // stored would hand them out twice: a check on its own waits its turn.
    Turn turn_;
    WritingRunLock writingLock_{"Next ID check"};
    std::string waitingLine_;

    MemGlobals savedActive_;
    bool catalogOpen_ = false;
    bool catalogLocked_ = false;
    std::vector<RecordPosition> catalog_;  // catalog records in physical order
    std::size_t nextCatalog_ = 0;
    RecordPosition currentCatalog_ = 0;
    ForumsRecord current_{};               // the catalog record being brought up to date
    TableScope databaseTables_;            // tables of the database being checked
    RecordPosition lastTextPosition_ = 0;  // date scan progress
    LONG databaseEarliest_ = 0;

    ULONG highest_ = 0;
    LONG earliest_ = 0;
    ULONG nextNumber_ = 0;
    int databasesChecked_ = 0;
};

// Runs the whole check. Returns the new counter value, 0 on failure.
ULONG runNextIdCheck();

}  // namespace pm
