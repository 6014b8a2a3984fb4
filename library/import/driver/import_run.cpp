#include "import/driver/import_run.h"

#include "common/dates.h"
#include "common/fatal_error.h"
#include "common/globals.h"
#include "common/stopwatch.h"
#include "import/driver/import_settings.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

// The stopwatch slot that times import runs.
constexpr int kImportStopwatch = 12;

}  // namespace

const char* importStateName(ImportState state) {
    switch (state) {
        case ImportState::Initialise: return "Initialise";
        case ImportState::NextDirectory: return "NextDirectory";
        case ImportState::NextFile: return "NextFile";
        case ImportState::Parse: return "Parse";
        case ImportState::SwitchDatabase: return "SwitchDatabase";
        case ImportState::Store: return "Store";
        case ImportState::CarbonCopies: return "CarbonCopies";
        case ImportState::PersonCounts: return "PersonCounts";
        case ImportState::ThreadCounts: return "ThreadCounts";
        case ImportState::SectionCounts: return "SectionCounts";
        case ImportState::FinishRegister: return "FinishRegister";
        case ImportState::Finished: return "Finished";
    }
    return "?";
}

JobStatus jobStatusOf(ImportOutcome outcome) {
    switch (outcome) {
        case ImportOutcome::Running: return JobStatus::Running;
        case ImportOutcome::Completed: return JobStatus::Done;
        case ImportOutcome::Cancelled: return JobStatus::Stopped;
        default: return JobStatus::Failed;
    }
}

ImportRun::ImportRun(ImportRequest request, ImportOptions options)
    : request_(std::move(request)), options_(std::move(options)) {
    taskMode_ = Mem.DoTask == TaskRunning;
    const DateTime start = now();
    importDate_ = start.date;
    importTime_ = start.time;
    started_ = std::chrono::steady_clock::now();
    StartStop(StopwatchStart, kImportStopwatch);
    showTime_ = options_.showCompletionTime >= 0 ? options_.showCompletionTime == 1 : showCompletionTime();
    quota_ = options_.quota > 0 ? options_.quota : importSpeedQuota();
    if (quota_ < 1) quota_ = 1;

    savedForumNumber_ = Mem.ForumNumber;
    savedDescription_ = Mem.Description;
    savedDirnamn_ = Mem.Dirnamn;
    savedForumType_ = Mem.ForumType;
    savedPersonId_ = Mem.PersonID;
    savedForumCheck_ = Mem.ForumCheck;
    savedWordListIndex_ = Mem.WordListIndexNeedsUpdate;

    progress_.title = taskMode_ ? "Scheduled import" : "Message import";
    setStatus(request_.formatName + " Import Processing");
}

ImportRun::~ImportRun() {
    if (state_ != ImportState::Finished) endRun(ImportOutcome::Cancelled);
}

JobStatus ImportRun::status() const {
    return state_ == ImportState::Finished ? jobStatusOf(outcome_) : JobStatus::Running;
}

JobStatus ImportRun::step() {
    try {
        dispatch();
    } catch (const FatalError&) {
        // The program ends; leave nothing half-written or locked behind.
        if (inTransaction()) rollbackTransaction();
        try {
            endRun(ImportOutcome::Failed);
        } catch (const FatalError&) {
        }
        throw;
    }
    if (state_ != ImportState::Finished) updatePercent();
    return status();
}

void ImportRun::dispatch() {
    switch (state_) {
        case ImportState::Initialise: initialise(); break;
        case ImportState::NextDirectory: nextDirectory(); break;
        case ImportState::NextFile: nextFile(); break;
        case ImportState::Parse: parse(); break;
        case ImportState::SwitchDatabase: switchDatabase(); break;
        case ImportState::Store: storeSlice(); break;
        case ImportState::CarbonCopies:
        case ImportState::PersonCounts:
        case ImportState::ThreadCounts:
        case ImportState::SectionCounts: countStep(); break;
        case ImportState::FinishRegister: finishRegister(); break;
        case ImportState::Finished: break;
    }
}

ImportOutcome ImportRun::runToEnd() {
    pm::runToEnd(*this);
    return outcome_;
}

bool ImportRun::requestStop(StopRequest how) {
    if (state_ == ImportState::Finished) return true;
    if (inPhaseB_ && how == StopRequest::Ask && !quiet()) {
        const Button answer = message(
            "Import process interrupted",
            "Stopping at this stage will cause message counts \r\nper section, thread and person to be incorrect.\r\n"
            "If you do quit, please run the Count Messages process to correct the numbers! Are you sure you want "
            "to quit?",
            Icon::Question, ButtonYes | ButtonNo, ButtonNo);
        if (answer != ButtonYes) return false;
    }
    endRun(ImportOutcome::Cancelled);
    return true;
}

long ImportRun::elapsedSeconds() const { return StartStop(StopwatchStop, kImportStopwatch); }

void ImportRun::setStatus(std::string status, std::vector<std::string> lines) {
    progress_.status = std::move(status);
    progress_.lines = std::move(lines);
}

void ImportRun::updatePercent() {
    progress_.workRecords = work_.messages();
    progress_.skipped = parserSkipped_ + work_.duplicates() + storeSkipped_;
    double done = 0, scale = 0;
    // A streaming run stores as it reads: its bar runs on the bytes read.
    if (inPhaseB_ && streamTarget_ == 0) {
        done = static_cast<double>(storedRecords_);
        scale = static_cast<double>(work_.messages());
    } else {
        done = static_cast<double>(bytesDone_) + (parser_ ? call_.progress : 0.0);
        scale = static_cast<double>(sources_.listedBytes());
    }
    int percent = scale > 0 ? static_cast<int>(done * 100.0 / scale) : 0;
    progress_.percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

ProgressReport ImportRun::report() const {
    ProgressReport r;
    r.title = progress_.title;
    r.lines.push_back(progress_.status);
    r.lines.insert(r.lines.end(), progress_.lines.begin(), progress_.lines.end());
    r.counters = {{"Imported", progress_.imported},
                  {"Skipped", progress_.skipped},
                  {"Work records", progress_.workRecords},
                  {"Header records", progress_.headerRecords}};
    r.captions = {{"Imported", "Messages imported"},
                  {"Skipped", "Messages skipped"},
                  {"Work records", "Messages converted"},
                  {"Header records", "Messages in database"}};
    r.percent = progress_.percent;
    r.phase = progress_.phaseB ? "storing messages" : "reading files";
    return r;
}

void ImportRun::endRun(ImportOutcome outcome) {
    if (state_ == ImportState::Finished) return;
    outcome_ = outcome;
    // A reading thread ends first; what it read ahead is dropped.
    parser_.reset();
    // What a stop leaves stored stays, with its counts; a failure keeps
    // nothing half-written.
    if (outcome == ImportOutcome::Cancelled && storeTables_.holds() && !writeCountsBeforeStop() && inTransaction())
        rollbackTransaction();
    if (inTransaction()) {
        if (outcome == ImportOutcome::Cancelled) commit();
        else rollbackTransaction();
    }
    // What is reported is what is stored: messages of a transaction that
    // was rolled back (a full disk, a failed write) are not imported.
    progress_.imported = committedImported_;
    updatePercent();
    progress_.status = progress_.imported > 0 ? "The import process has finished!" : "No messages to import!";
    progress_.lines = {" Importing from: " + request_.importPath};
    if (outcome == ImportOutcome::Completed) progress_.percent = 100;
    if (outcome == ImportOutcome::Completed && showTime_ && !taskMode_) {
        beep();
        message(" Import Processing ",
                "The time for completion was: " + std::to_string(elapsedSeconds()) + " seconds");
    }
    close();
}

void ImportRun::close() {
    parser_.reset();
    automation_.reset();
    storeTables_.release();
    if (registerPending_) {
        // A run stopped before the register step still leaves the register keyed.
        IMPFile.buildKeys();
        registerPending_ = false;
    }
    register_.release();
    if (workCreated_) {
        work_.remove();
        workCreated_ = false;
    }
    reservation_.reset();
    importLock_.reset();
    databases_.clear();
    if (activeRun_ == this) activeRun_ = nullptr;

    Mem.ForumNumber = savedForumNumber_;
    Mem.Description = savedDescription_;
    Mem.Dirnamn = savedDirnamn_;
    Mem.ForumType = savedForumType_;
    Mem.PersonID = savedPersonId_;
    Mem.ForumCheck = savedForumCheck_;
    Mem.WordListIndexNeedsUpdate = savedWordListIndex_;

    const long seconds = elapsedSeconds();
    state_ = ImportState::Finished;
    if (taskMode_) {
        if (outcome_ == ImportOutcome::Completed) {
            if (options_.reportTaskStep) options_.reportTaskStep(1, seconds);
        } else {
            Mem.DoTask = TaskFailed;
        }
    }
}

}  // namespace pm
