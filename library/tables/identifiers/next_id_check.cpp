// The Next ID check as a step machine.
//
// States and transitions:
//   Begin         take the installation's writing turn unless the caller
//                 holds it (waiting while another process has it: the
//                 check stays in Begin), close every database table, open
//                 the catalog and Control,
//                 lock the catalog, note the catalog records in physical
//                 order                                        -> NextDatabase
//   NextDatabase  take the next catalog record: make it the active database
//                 for path building, open its tables by type, count its
//                 texts. Without texts: update the record and stay; with
//                 texts                                        -> ScanDates
//                 no record left: unlock the catalog           -> Finish
//   ScanDates     read up to kDateSlice texts in physical order (no memos)
//                 until the first dated after 19 May 1995; then collect the
//                 highest identifiers, close the tables, update the record
//                                                              -> NextDatabase
//   Finish        delete the catalog records marked Delete, add the highest
//                 FOR:ID, TAS:ID and BAT:ID, hold Control record 1 and write
//                 the counter, store the earliest date (item 5) -> Done
//   Done, Stopped, Failed
//                 final; everything opened is closed and the active
//                 database restored.
// A stop request is honoured at the start of the next slice (-> Stopped,
// nothing more written). Between slices the check keeps its catalog and text positions
// itself, so another reader of the shared buffers cannot move it.
#include "tables/identifiers/next_id_check.h"

#include <algorithm>
#include <initializer_list>

#include "common/dates.h"
#include "tables/access/open_close.h"
#include "tables/access/read_only.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// Texts dated on or before this day (19 May 1995) predate the archive's
// own dating and say nothing about a database's age.
constexpr LONG kLastUndatedDay = 70999;
constexpr int kDateSlice = 2000;
constexpr int kLockWaitSeconds = 5;

const char* const kStatus = "Checking for highest existing ID ...";

// The tables of a database of `type` that hold identifiers.
TableList tablesOfType(BYTE type) {
    switch (type) {
        case TypeMail: return {&MsgText, &Person, &Codes};
        case TypeForum: return {&MsgText, &Person, &Sections, &Threads, &Codes};
        case TypeNewsgroup: return {&MsgNmbr, &MsgText, &MsgString, &Sections, &Threads, &Person, &Codes};
        default: return {};
    }
}

// The identifier of the last record on `key` (the first when `first`).
template <typename Read>
void raiseWithEnd(ULONG& highest, Table& table, const KeyDef& key, bool first, Read read) {
    table.set(key);
    if ((first ? table.next() : table.previous()) == StorageStatus::Ok) highest = std::max(highest, read());
}

}  // namespace

NextIdCheck::NextIdCheck(Turn turn) : turn_(turn) {}

NextIdCheck::~NextIdCheck() { cleanUp(); }

ProgressReport NextIdCheck::report() const {
    ProgressReport report;
    report.title = " Next ID check";
    report.lines = {"Checking for highest ID number",
                    state_ == State::Done ? std::string(kStatus) + "OK!"
                    : state_ == State::Begin && !waitingLine_.empty() ? waitingLine_
                                                                      : std::string(kStatus)};
    report.counters = {{"Databases checked", databasesChecked_}};
    report.phase = "checking databases";
    if (!catalog_.empty()) report.percent = static_cast<int>(100 * nextCatalog_ / catalog_.size());
    if (state_ == State::Done) report.percent = 100;
    return report;
}

JobStatus NextIdCheck::status() const {
    switch (state_) {
        case State::Done: return JobStatus::Done;
        case State::Stopped: return JobStatus::Stopped;
        case State::Failed: return JobStatus::Failed;
        default: return JobStatus::Running;
    }
}

bool NextIdCheck::requestStop(StopRequest) {
    cancelRequested_ = true;
    return true;
}

JobStatus NextIdCheck::step() {
    if (finished()) return status();
    if (cancelRequested_) {
        cleanUp();
        state_ = State::Stopped;
        return JobStatus::Stopped;
    }
    switch (state_) {
        case State::Begin: return begin();
        case State::NextDatabase: return nextDatabase();
        case State::ScanDates: return scanDates();
        case State::Finish: return finish();
        default: return JobStatus::Failed;
    }
}

JobStatus NextIdCheck::begin() {
    savedActive_ = Mem;
    if (refusedAsReadOnly("The Next ID check")) return fail();
    if (turn_ == Turn::TakeOwn) {
        switch (writingLock_.tryTake()) {
            case WritingRunLock::Turn::Taken: waitingLine_.clear(); break;
            case WritingRunLock::Turn::Waiting: waitingLine_ = writingLock_.waitingText(); return JobStatus::Running;
            case WritingRunLock::Turn::Refused: return fail();
        }
    }
    // A database table still open would keep the active database's file and
    // be counted for every database in turn: close them all, as the frame
    // does before any command that moves between databases.
    OP_CLOSE(ForceClose, {&Codes, &MsgNmbr, &MsgText, &Person, &Sections, &Threads, &MsgString});
    OP_CLOSE(OpenShared, {&Forums, &Control});
    catalogOpen_ = true;
    if (Forums.lock(kLockWaitSeconds) != StorageStatus::Ok) {
        message("Next ID check", "The database list is in use by another user!\r\nTry again later.",
                Icon::Exclamation);
        return fail();
    }
    catalogLocked_ = true;
    Forums.setPhysical();
    while (Forums.next() == StorageStatus::Ok) catalog_.push_back(Forums.position());
    earliest_ = today();
    state_ = State::NextDatabase;
    return JobStatus::Running;
}

JobStatus NextIdCheck::nextDatabase() {
    if (nextCatalog_ >= catalog_.size()) {
        Forums.unlock();
        catalogLocked_ = false;
        state_ = State::Finish;
        return JobStatus::Running;
    }
    currentCatalog_ = catalog_[nextCatalog_++];
    if (Forums.getAt(currentCatalog_) != StorageStatus::Ok) return JobStatus::Running;  // gone meanwhile
    current_ = FOR;
    takeActiveDatabaseFrom_FOR();
    if (current_.CREATED == 0) current_.CREATED = today();
    ++databasesChecked_;

    // A database without a directory of its own keeps its messages in its
    // redirection target: it has no tables to look at.
    if (current_.NODIR == 0) databaseTables_.open(tablesOfType(current_.TYPE));
    if (!databaseTables_.holds()) return closeDatabase() ? JobStatus::Running : fail();

    current_.MSGCOUNT = static_cast<ULONG>(MsgText.records());
    if (current_.MSGCOUNT == 0) return closeDatabase() ? JobStatus::Running : fail();
    databaseEarliest_ = current_.CREATED;
    lastTextPosition_ = 0;
    state_ = State::ScanDates;
    return JobStatus::Running;
}

JobStatus NextIdCheck::scanDates() {
    MsgText.setSkipMemos(true);
    if (lastTextPosition_ > 0)
        MsgText.setPhysicalAt(lastTextPosition_ + 1);
    else
        MsgText.setPhysical();
    bool ended = false;
    for (int n = 0; n < kDateSlice && !ended; ++n) {
        if (MsgText.next() != StorageStatus::Ok) {
            ended = true;
        } else if (TXT.DATE > kLastUndatedDay) {
            databaseEarliest_ = std::min(databaseEarliest_, TXT.DATE);
            ended = true;
        } else {
            lastTextPosition_ = MsgText.position();
        }
    }
    MsgText.setSkipMemos(false);
    if (!ended) return JobStatus::Running;

    current_.CREATED = databaseEarliest_;
    current_.LOWDATE = databaseEarliest_;
    earliest_ = std::min(earliest_, databaseEarliest_);
    collectIdentifiers();
    state_ = State::NextDatabase;
    return closeDatabase() ? JobStatus::Running : fail();
}

void NextIdCheck::collectIdentifiers() {
    ULONG& m = highest_;
    const BYTE type = current_.TYPE;
    if (type == TypeMail) {
        MsgText.setSkipMemos(true);
        raiseWithEnd(m, MsgText, TXT_IdKey, false, [] { return TXT.MSGNUMBER; });
        MsgText.setSkipMemos(false);
    }
    if (type == TypeNewsgroup) {
        // The key runs downward: its first record holds the highest number.
        raiseWithEnd(m, MsgNmbr, MSG_IdKey, true, [] { return MSG.MSGNUMBER; });
        raiseWithEnd(m, MsgString, MST_IDKey, false, [] { return MST.MSGNUMBER; });
    }
    raiseWithEnd(m, Person, PER_PersonKey, false, [] { return PER.PERSONID; });
    // Topics are few and not keyed by identifier: every one is looked at.
    Codes.setPhysical();
    while (Codes.next() == StorageStatus::Ok) m = std::max(m, COD.ID);
    if (type == TypeForum || type == TypeNewsgroup) {
        raiseWithEnd(m, Threads, THR_ThreadKey, false, [] { return THR.THREADNUMBER; });
        raiseWithEnd(m, Sections, SEC_SysIdKey, false, [] { return SEC.SECSYSID; });
    }
}

void NextIdCheck::closeDatabaseTables() {
    databaseTables_.release();
}

bool NextIdCheck::closeDatabase() {
    closeDatabaseTables();
    state_ = State::NextDatabase;
    if (Forums.getAt(currentCatalog_) != StorageStatus::Ok) return true;  // deleted meanwhile
    FOR = current_;
    return UppDat(Forums, UpdateRecord, ReportOnly);
}

JobStatus NextIdCheck::finish() {
    // Databases marked for deletion leave the catalog before the highest
    // database identifier is taken.
    std::vector<RecordPosition> marked;
    Forums.setPhysical();
    while (Forums.next() == StorageStatus::Ok)
        if (FOR.DUMMY == StatusDelete) marked.push_back(Forums.position());
    for (RecordPosition pos : marked)
        if (Forums.getAt(pos) == StorageStatus::Ok && !UppDat(Forums, DeleteRecordOp, ReportOnly)) return fail();

    raiseWithEnd(highest_, Forums, FOR_ForumKey, false, [] { return FOR.ID; });
    OP_CLOSE(OpenShared, {&TASFile, &BATFile});
    raiseWithEnd(highest_, TASFile, TAS_IDKEY, false, [] { return TAS.ID; });
    raiseWithEnd(highest_, BATFile, BAT_IDKEY, false, [] { return BAT.ID; });
    OP_CLOSE(ReleaseTable, {&TASFile, &BATFile});

    // The counter never falls below where a new installation starts.
    nextNumber_ = std::max(highest_ + 1, kLowestNextNumber);
    Control.clear();
    CTL.ID = GeneralSettingsRecord;
    if (Control.get(CTL_IdKey) == StorageStatus::NotFound) {
        Control.clear();
        CTL.ID = GeneralSettingsRecord;
        CTL.NEXTNUMBER = nextNumber_;
        if (!UppDat(Control, AddRecord, ReportOnly)) return fail();
    } else {
        if (!HoldRec(Control, &CTL_IdKey)) return fail();
        CTL.NEXTNUMBER = nextNumber_;
        const bool ok = UppDat(Control, UpdateRecord, ReportOnly);
        Control.release();
        if (!ok) return fail();
    }

    LONG earliest = earliest_;
    if (!Konfig(SetGeneral, 5, &earliest) || !Konfig(SaveGeneral)) return fail();
    cleanUp();
    state_ = State::Done;
    return JobStatus::Done;
}

JobStatus NextIdCheck::fail() {
    cleanUp();
    state_ = State::Failed;
    return JobStatus::Failed;
}

void NextIdCheck::cleanUp() {
    closeDatabaseTables();
    MsgText.setSkipMemos(false);
    if (catalogLocked_) Forums.unlock();
    catalogLocked_ = false;
    if (catalogOpen_) {
        OP_CLOSE(ReleaseTable, {&Forums, &Control});
        Mem.ForumNumber = savedActive_.ForumNumber;
        Mem.Description = savedActive_.Description;
        Mem.Dirnamn = savedActive_.Dirnamn;
        Mem.ForumType = savedActive_.ForumType;
        Mem.PersonID = savedActive_.PersonID;
        Mem.ForumCheck = savedActive_.ForumCheck;
        Mem.WordListIndexNeedsUpdate = savedActive_.WordListIndexNeedsUpdate;
    }
    catalogOpen_ = false;
    writingLock_.release();
}

ULONG runNextIdCheck() {
    NextIdCheck check;
    return runToEnd(check) == JobStatus::Done ? check.nextNumber() : 0;
}

}  // namespace pm
