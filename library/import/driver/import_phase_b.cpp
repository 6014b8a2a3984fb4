// Phase B of an import run: the work file is stored database by database.
#include <chrono>
#include <limits>

#include "common/globals.h"
#include "import/driver/import_run.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

// A commit costs several disk flushes (each store and its journal), far
// more than storing a slice on a busy disk, and it writes every key page the
// transaction touched, with its old content in the journal first. The keys
// on subjects and correspondents take inserts all over (one page of each
// correspondent at least), so in a large mailbox a commit rewrites much of
// them whatever it holds: fewer, larger transactions write far less. The
// store transaction stays open across slices until it is this old; each
// other process that waits to write waits at most about this long plus the
// commit, well within its lock wait.
constexpr auto kCommitAfter = std::chrono::milliseconds(2000);
// ... or holds this many writes, which bounds the pages it keeps in memory
// (ImportRun's page cache; the new message texts it cannot keep go to the
// store early at no extra cost, as no journal holds their old content).
constexpr long kCommitAfterWrites = 80000;
// Fewer writes than this are never committed on their own before the end.
constexpr long kLeastWritesToCommit = 400;

const char* activityOf(ImportState state) {
    switch (state) {
        case ImportState::CarbonCopies: return "Adding InBox CarbonCopies";
        case ImportState::PersonCounts: return "Counting messages per person";
        case ImportState::ThreadCounts: return "Counting messages per thread";
        case ImportState::SectionCounts: return "Counting messages per section";
        default: return "Importing messages";
    }
}

}  // namespace

bool ImportRun::switchDatabase() {
    if (databases_.empty()) {
        state_ = ImportState::FinishRegister;
        return true;
    }
    if (!openDatabase(databases_.front())) return false;
    NewHR.clear();
    NHR.INTERNAL = currentId_;
    NHR.MSGNUMBER = 0;
    NewHR.setAt(NHR_MSGKEY);
    state_ = ImportState::Store;
    return true;
}

bool ImportRun::openDatabase(DatabaseEntry& entry) {
    if (!inPhaseB_) {
        inPhaseB_ = true;
        progress_.phaseB = true;
        // Register appends keep no key; the table stays open so that the key
        // is rebuilt once, at the end.
        if (!request_.allowReimport) register_.open({&IMPFile});
    }
    if (entry.isNew) {
        if (!createChosenDatabase(entry.id, entry.dirNumber, entry.type, entry.name)) {
            endRun(ImportOutcome::Failed);
            return false;
        }
        entry.isNew = false;
    } else {
        Forums.clear();
        FOR.ID = entry.id;
        if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) takeActiveDatabaseFrom_FOR();
    }
    Mem.ForumNumber = entry.id;
    Mem.Description = entry.name;
    Mem.ForumType = entry.type;
    Mem.Dirnamn = "F" + std::to_string(entry.dirNumber);

    currentType_ = entry.type;
    currentId_ = entry.id;
    storeTables_.open(MessageStore::tablesFor(currentType_));
    progress_.headerRecords = currentType_ == TypeMail ? Mail.records() : MsgNmbr.records();
    store_.beginDatabase(currentType_, request_.allowReimport != 0, static_cast<ULONG>(request_.mailTopic),
                         importDate_, importTime_);
    if (!request_.allowReimport && currentType_ == TypeForum) registerPending_ = true;
    setStatus(request_.formatName + " Import Processing",
              {" Importing from: " + request_.importPath, " Importing to: " + entry.name, "Importing messages"});
    return true;
}

bool ImportRun::ensureTransaction() {
    if (inTransaction()) return true;
    transactionBegan_ = std::chrono::steady_clock::now();
    return MessageStore::beginTransactionFor(currentType_);
}

bool ImportRun::commitDue() const {
    const long writes = store_.writes();
    if (writes > kCommitAfterWrites) return true;
    return writes > kLeastWritesToCommit && std::chrono::steady_clock::now() - transactionBegan_ >= kCommitAfter;
}

bool ImportRun::commit() {
    if (!inTransaction()) return true;
    // While the parsers still number, the counter goes into the same commit
    // as the identifiers it stores: a run killed later leaves none above it.
    if (reservation_ && reservation_->locked() && streamTarget_ != 0 && !reservation_->writeBack()) {
        const std::string text = Control.displayName() + "\r\n" + Control.lastError().text;
        rollbackTransaction();
        message("Warning!", text + "\r\n" + "The last transaction is rolled back.", Icon::Exclamation);
        return false;
    }
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) {
        store_.resetWrites();
        committedImported_ = progress_.imported;
        return true;
    }
    rollbackTransaction();
    message("Warning!", error.text + "\r\n" + "The last transaction is rolled back.", Icon::Exclamation);
    return false;
}

bool ImportRun::storeSlice() {
    if (!ensureTransaction()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    bool databaseDone = false;
    for (int n = 0; n < quota_; ++n) {
        const StorageStatus st = NewHR.next();
        if (st == StorageStatus::NotFound || (st == StorageStatus::Ok && NHR.INTERNAL != currentId_)) {
            databaseDone = true;
            break;
        }
        if (st != StorageStatus::Ok) {
            rollbackTransaction();
            message("Warning!", NewHR.displayName() + "\r\n" + NewHR.lastError().text, Icon::Exclamation);
            endRun(ImportOutcome::Failed);
            return false;
        }
        // The record leaves the table's buffer, which the next read refills.
        WorkRecord record = std::move(NHR);
        if (!storeRecord(record)) return false;
    }
    if (!endStoreSlice(databaseDone)) return false;
    if (databaseDone) finishStoring();
    return true;
}

bool ImportRun::endStoreSlice(bool commitNow) {
    if ((commitNow || commitDue()) && !(store_.writeCollectedCounts() && commit())) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    if (checkFreeSpace(options_.freeSpace, Mem.FileDir, ImportSpaceReserve, SpaceNeed::Import) ==
        SpaceVerdict::Stop) {
        endRun(ImportOutcome::Cancelled);
        return false;
    }
    return true;
}

bool ImportRun::storeRecord(WorkRecord& record) {
    const StoreOutcome outcome = store_.store(record);
    ++storedRecords_;
    if (outcome.result == StoreFatal) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    if (outcome.result == StoreStored) {
        ++progress_.imported;
        if (outcome.isNew) ++progress_.headerRecords;
    } else {
        ++storeSkipped_;
    }
    return true;
}

void ImportRun::finishStoring() {
    state_ = currentType_ == TypeMail && CCTFile.records() > 0 ? ImportState::CarbonCopies : ImportState::PersonCounts;
    if (progress_.lines.size() == 3) progress_.lines[2] = activityOf(state_);
}

bool ImportRun::countStep() {
    if (!ensureTransaction()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    bool failed = false;
    bool done = false;
    switch (state_) {
        case ImportState::CarbonCopies: done = store_.writeCarbonCopies(quota_, failed); break;
        case ImportState::PersonCounts: done = store_.writePersonCounts(quota_, failed); break;
        case ImportState::ThreadCounts: done = store_.writeThreadCounts(quota_, failed); break;
        default: done = store_.writeSectionCounts(quota_, failed); break;
    }
    if (failed) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    if ((done || commitDue()) && !commit()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    if (!done) return true;
    switch (state_) {
        case ImportState::CarbonCopies:
            state_ = ImportState::PersonCounts;
            break;
        case ImportState::PersonCounts:
            if (currentType_ == TypeMail) return finishDatabase();
            state_ = ImportState::ThreadCounts;
            break;
        case ImportState::ThreadCounts:
            if (currentType_ != TypeForum) return finishDatabase();
            state_ = ImportState::SectionCounts;
            break;
        default:
            return finishDatabase();
    }
    if (progress_.lines.size() == 3) progress_.lines[2] = activityOf(state_);
    return true;
}

bool ImportRun::finishDatabase() {
    if (!store_.writeDatabaseCount()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    storeTables_.release();
    databases_.popFront();
    state_ = ImportState::SwitchDatabase;
    return true;
}

bool ImportRun::writeCountsBeforeStop() {
    if (!ensureTransaction()) return false;
    // The write-back steps go on from wherever the run was in them.
    constexpr int kAll = std::numeric_limits<int>::max();
    bool failed = false;
    if (currentType_ == TypeMail) store_.writeCarbonCopies(kAll, failed);
    if (!failed) store_.writePersonCounts(kAll, failed);
    if (!failed) store_.writeThreadCounts(kAll, failed);
    if (!failed) store_.writeSectionCounts(kAll, failed);
    return !failed && store_.writeDatabaseCount();
}

bool ImportRun::finishRegister() {
    if (register_.holds() && registerPending_) {
        setStatus(request_.formatName + " Import Processing", {"Building SaveFile Index!\r\n"});
        StorageStatus st = IMPFile.lock(5);
        if (st == StorageStatus::Ok) {
            st = IMPFile.buildKeys();
            IMPFile.unlock();
        }
        if (st != StorageStatus::Ok && st != StorageStatus::DuplicateKey) {
            std::string text = IMPFile.lastError().text;
            if (text.empty()) text = storageStatusText(st);
            message("Warning!", text + "\r\n" + "Message SaveFile can not be built!", Icon::Exclamation);
            endRun(ImportOutcome::Failed);
            return false;
        }
        registerPending_ = false;
    }
    endRun(ImportOutcome::Completed);
    return true;
}

}  // namespace pm
