#pragma once
// One import run as a step machine.
//
// Phase A converts: every source file is handed to the parser of its format,
// which resolves (or invents) the database of each message and hands it
// over. Phase B stores: each message goes through the message store, and
// the counts are written back. A run that can fill only one database, known
// before reading starts (a mail-only format of the mail and news family
// importing into the request's mailbox, nothing else asked of it), streams:
// it stores each message in the same step the parser hands it over, and
// phase B begins with the first one. Every other run (forum and news
// formats, capture and store formats, automation, redirection, the filter
// that only creates databases) writes one NewHR work record per message in
// phase A and reads the work file back database by database in phase B.
//
// States (what holds on entry; where they lead):
//
//   Initialise      nothing taken yet. Refuses a format without a parser;
//                   takes the installation's writing-run lock (one import,
//                   merge, redirection, purge or rebuild at a time in all
//                   processes: while another process holds it, the step
//                   waits - "Waiting for the import, merge, purge or rebuild of
//                   HOST:PID to finish" - up to the lock wait, then
//                   refuses); reserves the
//                   identifier counter (Control locked, counter
//                   in memory), loads the database queue, decides whether
//                   the run streams, creates the work files (NewHR locked)
//                   and the source list (automation
//                   formats: connects to the mail application, whose chosen
//                   folders become the list; a failed start ends the run).
//                   -> NextDirectory
//   NextDirectory   file queue empty. Lists the next directory's matching
//                   files -> NextFile; none left: end of phase A (counter
//                   written back, Control unlocked, work-file keys built,
//                   space for the work file checked, unused databases
//                   dropped) -> SwitchDatabase, or the run ends ("No messages
//                   found in selected file(s)!"). A streaming run that has
//                   stored commits first and goes on with the database it
//                   fills -> CarbonCopies or PersonCounts.
//   NextFile        no source file open. Skips missing and unreadable files
//                   with their messages; makes the parser, calls it once
//                   (FirstCall) and lets the capture detection fix the
//                   variant -> Parse; queue empty -> NextDirectory.
//   Parse           a parser is open on a file. One parser call per step
//                   (batched into one work-file commit), then the temporary
//                   drive's space check. -> Parse; file exhausted -> NextFile.
//                   The mail formats read ahead on a thread of their own
//                   (mail_news_parser.h): the step only resolves, numbers
//                   and appends what that thread has decoded, so the
//                   storing below runs beside the reading on a second core.
//                   Streaming: the messages the call handed over are stored
//                   at once, as a Store slice stores them (same transaction
//                   rule, the database drive checked after). The first of
//                   them begins phase B: the database drive is checked
//                   against the size of the source files, the database is
//                   opened as SwitchDatabase opens it, and the store takes
//                   its identifiers (new persons) from the reserved counter,
//                   whose value every commit writes into Control record 1.
//                   Control stays locked until the end of reading.
//   SwitchDatabase  work files keyed, Control free. Takes the first queued
//                   database: writes its catalog record and directory when
//                   it is new, makes it the active database, opens its
//                   tables and positions NewHR on it -> Store; queue empty
//                   -> FinishRegister.
//   Store           a database is current; a transaction may be open. Stores
//                   up to the quota of NewHR records, commits after more than
//                   400 writes and at the database's end, checks the database
//                   drive. -> Store; done -> CarbonCopies (mail with CCT
//                   records) or PersonCounts.
//   CarbonCopies    -> PersonCounts
//   PersonCounts    -> ThreadCounts (forum, newsgroup); SwitchDatabase (mail,
//                   after the database count)
//   ThreadCounts    -> SectionCounts (forum); SwitchDatabase (newsgroup)
//   SectionCounts   -> SwitchDatabase
//   FinishRegister  every database stored. Rebuilds the imported-message
//                   register's key (unless reimporting) -> Finished.
//   Finished        the run has ended (completed or not) and is closed: work
//                   files deleted, locks released, tables closed, the active
//                   database restored, the task step reported.
//
// A failure in any state ends the run without completion: an open
// transaction is rolled back (a store failure has already rolled it back),
// and the run closes. A stop request between steps ends it at once: before
// phase B nothing is stored (a parser's reading thread is ended and joined,
// what it read ahead dropped); in phase B (after the person confirms, when
// asked) the reading thread of a streaming run is ended and joined, what it
// read ahead dropped, the database being filled gets its carbon copies,
// person, thread, section and catalog counts written for what was stored,
// and the open transaction is committed, so a re-run imports the rest.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/job.h"
#include "common/types.h"
#include "common/user_interface.h"
#include "import/driver/automation_session.h"
#include "import/driver/database_resolver.h"
#include "import/driver/disk_space.h"
#include "import/driver/format_parser.h"
#include "import/driver/import_request.h"
#include "import/driver/source_list.h"
#include "import/driver/work_files.h"
#include "import/store/message_store.h"
#include "tables/identifiers/writing_run_lock.h"
#include "storage/table.h"
#include "tables/identifiers/import_reservation.h"

namespace pm {

enum class ImportState {
    Initialise,
    NextDirectory,
    NextFile,
    Parse,
    SwitchDatabase,
    Store,
    CarbonCopies,
    PersonCounts,
    ThreadCounts,
    SectionCounts,
    FinishRegister,
    Finished,
};

// Name of a state ("Initialise", "Store" ...).
const char* importStateName(ImportState state);

// How a run ended.
enum class ImportOutcome {
    Running,
    Completed,     // every database stored and the register built
    NothingFound,  // no file held a message for a database that allows import
    Refused,       // the run could not start (format, counter, work files)
    Failed,        // a write, key build or check ended it
    Cancelled,     // stopped by the person (or by a warning answered Cancel)
};

// The job status of an outcome: Completed is Done, Cancelled Stopped, the
// rest Failed.
JobStatus jobStatusOf(ImportOutcome outcome);

// What the progress display shows; the run updates it, the window polls it.
struct ImportProgress {
    std::string title;               // "Scheduled import" while a task runs
    std::string status;              // the main status line
    std::vector<std::string> lines;  // details: file, source, target, activity
    long long imported = 0;          // messages stored (once the run has ended: committed)
    long long skipped = 0;           // messages left out (already imported, damaged, read twice)
    long long workRecords = 0;       // NewHR records written
    long long headerRecords = 0;     // header records of the database being filled
    int percent = 0;                 // 0-100
    bool phaseB = false;             // storing has begun
    long long filesRead = 0;         // source files read to their end
    long long emptyFiles = 0;        // ... of them, files without a byte
    long long filesSkipped = 0;      // source files left out (missing, unreadable, of another kind)
};

// Seams and reports of a run. Every member has a working default.
struct ImportOptions {
    int quota = 0;                    // messages per step; 0: the import speed setting
    // How long a run waits for another process's import to end before it
    // refuses to start; < 0: the 5-second lock wait.
    int lockWaitSeconds = -1;
    int showCompletionTime = -1;      // 1 / 0 force the setting; -1: read it
    FreeSpaceFunction freeSpace;      // empty: the file system's
    // Task runs: each database that received messages, for the maintenance jobs.
    std::function<void(ULONG databaseId)> registerDatabase;
    // Task runs: called when the run completed, with result 1 and the elapsed seconds.
    std::function<void(int result, long seconds)> reportTaskStep;
    // Stores after reading even where the run could stream (comparisons, a
    // fallback).
    bool twoPhase = false;
};

class ImportRun final : public Job {
public:
    // The start of a run: clears the counters, reads the date and clock (the
    // import date and time), starts the elapsed-time counter and reads the
    // settings. Unattended when Mem.DoTask is TaskRunning. Nothing is opened yet.
    ImportRun(ImportRequest request, ImportOptions options = {});
    // Closes a run that has not ended (as a cancel would).
    ~ImportRun() override;
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // One bounded slice of work. Running while there is more; once the run
    // has ended (it is closed then) the status of its outcome.
    JobStatus step() override;
    JobStatus status() const override;

    // Stops between slices. Before phase B the run stops at once; in phase
    // B a request to Ask shows "Import process interrupted" first
    // (unattended runs stop without asking). Returns true when the run
    // stopped (it is then closed).
    bool requestStop(StopRequest how) override;

    // Runs the remaining steps; the outcome.
    ImportOutcome runToEnd();

    // The state the next step() works in (Finished once the run has ended).
    ImportState state() const { return state_; }
    // Running until the run ends, then how it ended.
    ImportOutcome outcome() const { return outcome_; }
    // Whether the run is a task step (no boxes; every question ends it).
    bool taskMode() const { return taskMode_; }
    const ImportRequest& request() const { return request_; }
    // The display data, current after every step.
    const ImportProgress& progress() const { return progress_; }
    // The progress as the user interface's report: the status and detail
    // lines, the counters "Imported", "Skipped", "Work records" and
    // "Header records", and the percentage.
    ProgressReport report() const override;
    // Whole seconds since the run started.
    long elapsedSeconds() const;
    // The databases that received (or were due to receive) messages.
    const std::vector<DatabaseEntry>& usedDatabases() const { return databases_.used(); }
    // Whether the run stores the messages as they are read.
    bool streams() const { return streamTarget_ != 0; }

private:
    void dispatch();
    // Phase A (import_phase_a.cpp).
    bool initialise();
    // False while the import lock is held elsewhere and the wait goes on
    // (or after refusing); true once it is ours.
    bool takeImportLock();
    bool startAutomationSource();
    bool nextDirectory();
    bool nextFile();
    bool parse();
    bool afterParserCall();
    bool endPhaseA();
    // Streaming (import_streamed_store.cpp): the database the run fills
    // while reading, or 0 when it stores in two phases.
    ULONG streamedDatabase() const;
    bool storeHandedOver();
    bool beginStreamedStoring();
    bool endStreamedReading();
    // A parser of a streaming run named another database: the run ends.
    bool failForeignDatabase();
    void skipFile(const std::string& caption, const std::string& text);
    // Phase B (import_phase_b.cpp).
    bool switchDatabase();
    // Makes `entry` the active database and prepares storing into it.
    bool openDatabase(DatabaseEntry& entry);
    // Stores one message; false when the run ended.
    bool storeRecord(WorkRecord& record);
    // After the last message of the database being filled: on to its
    // carbon copies or counts.
    void finishStoring();
    bool storeSlice();
    // After a slice's messages: commits when `commitNow` or due, then checks
    // the database drive. False when the run ended.
    bool endStoreSlice(bool commitNow);
    bool countStep();
    bool finishDatabase();
    bool finishRegister();
    bool writeCountsBeforeStop();
    bool ensureTransaction();
    // Whether the open store transaction is old or large enough to commit.
    bool commitDue() const;
    bool commit();
    // Ends (import_run.cpp).
    void endRun(ImportOutcome outcome);
    void close();
    void setStatus(std::string status, std::vector<std::string> lines = {});
    void updatePercent();

    // The run that owns the work files and the counter in this process.
    static inline ImportRun* activeRun_ = nullptr;

    // The mail database's keys take random inserts: a larger cache than other
    // runs, paid for by the scratch store's small one. It holds the key pages
    // a transaction touches (see kCommitAfterWrites); a run with a million
    // messages stays at about 160 MB.
    static constexpr int kPageCacheKibibytes = 131072;
    PageCacheScope pageCache_{kPageCacheKibibytes};
    ImportRequest request_;
    ImportOptions options_;
    ImportState state_ = ImportState::Initialise;
    ImportOutcome outcome_ = ImportOutcome::Running;
    ImportProgress progress_;
    bool taskMode_ = false;
    bool showTime_ = false;
    int quota_ = 100;
    LONG importDate_ = 0, importTime_ = 0;
    std::chrono::steady_clock::time_point started_;

    // Saved active database, given back when the run closes.
    ULONG savedForumNumber_ = 0, savedPersonId_ = 0;
    std::string savedDescription_, savedDirnamn_;
    BYTE savedForumType_ = 0, savedForumCheck_ = 0;
    LONG savedWordListIndex_ = 0;

    std::unique_ptr<WritingRunLock> importLock_;
    std::unique_ptr<ImportReservation> reservation_;
    std::unique_ptr<AutomationSession> automation_;  // automation formats: the mail application
    DatabaseResolver databases_;
    WorkFiles work_;
    bool workCreated_ = false;
    SourceList sources_;

    // Phase A: the file being parsed.
    std::unique_ptr<FormatParser> parser_;
    ParserCall call_;
    SourceFile file_;
    std::int64_t bytesDone_ = 0;     // bytes of the files finished
    long long parserSkipped_ = 0;    // raised by the parsers

    // Phase B.
    MessageStore store_;
    TableScope storeTables_;         // the tables of the database being filled
    BYTE currentType_ = 0;
    ULONG currentId_ = 0;
    long long storedRecords_ = 0;    // NewHR records handled (progress)
    long long committedImported_ = 0;  // messages stored by committed transactions
    std::chrono::steady_clock::time_point transactionBegan_;  // of the store transaction open now
    long long storeSkipped_ = 0;
    bool inPhaseB_ = false;
    TableScope register_;            // the register, held open through phase B (appends keep no key)
    bool registerPending_ = false;   // register appended to; its key not yet rebuilt
    ULONG streamTarget_ = 0;         // the database stored while reading; 0: two phases
};

}  // namespace pm
