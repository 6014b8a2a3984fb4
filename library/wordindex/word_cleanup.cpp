#include "wordindex/word_cleanup.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

constexpr std::size_t kDeletesPerStep = 1000;
constexpr std::size_t kCommitEvery = 500;
constexpr std::size_t kCopiesPerStep = 2000;
constexpr std::size_t kWordsPerStep = 1000;

bool commit() {
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    message("Warning!", "Transaction Frame Error!|" + error.text, Icon::Exclamation);
    return false;
}

}  // namespace

WordCleanup::WordCleanup(std::vector<LONG> words, ULONG databaseId, bool fullRun, bool afterFlush)
    : words_(std::move(words)), databaseId_(databaseId), fullRun_(fullRun), afterFlush_(afterFlush) {
    status_ = "Moving deleted index words to Ignore list";
}

WordCleanup::~WordCleanup() {
    if (!finished() && inTransaction()) rollbackTransaction();
}

JobStatus WordCleanup::status() const {
    switch (phase_) {
        case Phase::Done: return JobStatus::Done;
        case Phase::Failed: return JobStatus::Failed;
        default: return JobStatus::Running;
    }
}

ProgressReport WordCleanup::report() const {
    ProgressReport r;
    r.title = "Word delete cleanup";
    r.phase = "removing deleted words";
    r.lines = {status_};
    r.percent = percent_;
    return r;
}

JobStatus WordCleanup::step() {
    switch (phase_) {
        case Phase::Moving: moveMarkedWords(); break;
        case Phase::Deciding: decide(); break;
        case Phase::Deleting: deleteEntries(); break;
        case Phase::CopyOut: copyOut(); break;
        case Phase::CopyBack: copyBack(); break;
        case Phase::Words: deleteWords(); break;
        case Phase::Done:
        case Phase::Failed: break;
    }
    return status();
}

void WordCleanup::fail() {
    if (inTransaction()) rollbackTransaction();
    phase_ = Phase::Failed;
}

void WordCleanup::advanceWork(long long units) {
    workDone_ += units;
    const long long fortieths = std::min(40LL, workDone_ * 40 / std::max(1LL, workTotal_));
    percent_ = static_cast<int>(fortieths * 5 / 2);
}

// The deletion marks of the word list window (PUR records without a message
// number; others are what an interrupted purge left behind) join the list,
// and their words the stop words.
void WordCleanup::moveMarkedWords() {
    if (!beginTransactionChecked({&PURFile, &WordList, &STOFile})) return fail();
    std::unordered_set<LONG> listed(words_.begin(), words_.end());
    PURFile.setPhysical();
    while (PURFile.next() == StorageStatus::Ok) {
        if (PUR.SYSID != 0) continue;
        WordList.clear();
        WOR.WORDID = PUR.WORDID;
        if (WordList.get(WOR_by_WordId) != StorageStatus::Ok) continue;
        if (listed.insert(WOR.WORDID).second) words_.push_back(WOR.WORDID);
        const std::string word = WOR.THEWORD.str();
        STOFile.clear();
        STO.THEWORD = word;
        if (STOFile.get(STO_BY_THEWORD) == StorageStatus::Ok) continue;
        STOFile.clear();
        STO.THEWORD = word;
        if (!UppDat(STOFile, AddRecord, ReportOnly)) return fail();
    }
    if (PURFile.empty() != StorageStatus::Ok) {
        message(PURFile.displayName(), PURFile.lastError().text, Icon::Hand);
        return fail();
    }
    if (!commit()) return fail();
    phase_ = Phase::Deciding;
}

void WordCleanup::decide() {
    // What the listed words hold in MasIdx, by their stored counts.
    sum_ = 0;
    for (LONG id : words_) {
        WordList.clear();
        WOR.WORDID = id;
        if (WordList.get(WOR_by_WordId) == StorageStatus::Ok && WOR.WORDCOUNT > 0) sum_ += WOR.WORDCOUNT;
    }
    const std::int64_t records = MasIdx.records();
    next_ = 0;
    started_ = false;
    if (words_.empty() || sum_ == 0 || records <= 0 || fullRun_) {
        workTotal_ = static_cast<long long>(words_.size());
        phase_ = Phase::Words;
        status_ = "Deleting index words";
        return;
    }
    const double share = std::round(static_cast<double>(sum_) / static_cast<double>(records) * 100.0 * 100.0) / 100.0;
    const bool byEntry = afterFlush_ ? share < 0.5 : share <= 0.5;
    if (byEntry) {
        workTotal_ = sum_ + static_cast<long long>(words_.size());
        phase_ = Phase::Deleting;
        status_ = "Deleting orphaned word indexes";
    } else {
        workTotal_ = 2 * records + static_cast<long long>(words_.size());
        phase_ = Phase::CopyOut;
        status_ = "Purging orphaned word indexes";
        purged_ = true;
        outcome_.purgedByCopy = true;
    }
}

void WordCleanup::deleteEntries() {
    if (!beginTransactionChecked({&MasIdx})) return fail();
    std::size_t deleted = 0;
    while (next_ < words_.size() && deleted < kDeletesPerStep) {
        // A word's entries go in runs up to the next commit, each run in
        // one write that rewrites each of its messages' lists once.
        const std::size_t room = std::min(kDeletesPerStep - deleted, kCommitEvery - deleted % kCommitEvery);
        std::size_t erased = 0;
        if (MasIdx.eraseFirstPairsOf(static_cast<ULONG>(words_[next_]), room, erased) != StorageStatus::Ok) {
            writeFailed(MasIdx, DeleteRecordOp, ReportOnly);
            return fail();
        }
        if (erased == 0) {
            ++next_;
            continue;
        }
        outcome_.entriesRemoved += static_cast<long long>(erased);
        advanceWork(static_cast<long long>(erased));
        deleted += erased;
        if (deleted % kCommitEvery == 0) {
            if (!commit() || !beginTransactionChecked({&MasIdx})) return fail();
        }
    }
    if (!commit()) return fail();
    if (next_ >= words_.size()) {
        next_ = 0;
        phase_ = Phase::Words;
        status_ = "Deleting index words";
    }
}

// A copy that fails, or keys that can not be built, leave no index to trust:
// the files go and the next indexing must be full.
void WordCleanup::copyFailed() {
    if (inTransaction()) rollbackTransaction();
    OP_CLOSE(DeleteTableFile, {&WordList, &MasIdx, &PURFile});
    OP_CLOSE(OpenShared, {&WordList, &MasIdx, &PURFile});
    outcome_.needsFullRun = true;
    phase_ = Phase::Failed;
}

void WordCleanup::copyOut() {
    if (!started_) {
        MasIdx.setPhysical();
        started_ = true;
    }
    const std::unordered_set<LONG> listed(words_.begin(), words_.end());
    if (!beginTransactionChecked({&PURFile, &MasIdx})) return fail();
    for (std::size_t n = 0; n < kCopiesPerStep; ++n) {
        const StorageStatus st = MasIdx.next();
        if (st == StorageStatus::NotFound) {
            if (!commit()) return copyFailed();
            started_ = false;
            phase_ = Phase::CopyBack;
            status_ = "Rebuilding index file";
            return;
        }
        if (st != StorageStatus::Ok) return copyFailed();
        advanceWork(1);
        if (listed.count(static_cast<LONG>(MAS.WORDID))) {
            ++outcome_.entriesRemoved;
            continue;
        }
        PURFile.clear();
        PUR.SYSID = static_cast<LONG>(MAS.SYSID);
        PUR.WORDID = static_cast<LONG>(MAS.WORDID);
        if (!UppDat(PURFile, AppendRecord, ReportOnly)) return copyFailed();
    }
    if (!commit()) return copyFailed();
}

void WordCleanup::copyBack() {
    if (!started_) {
        // One transaction from emptying MasIdx to its keys: broken off, it
        // leaves MasIdx as it was.
        if (!beginTransactionChecked({&PURFile, &MasIdx})) return fail();
        if (MasIdx.empty() != StorageStatus::Ok) return copyFailed();
        PURFile.setPhysical();
        started_ = true;
    }
    for (std::size_t n = 0; n < kCopiesPerStep; ++n) {
        const StorageStatus st = PURFile.next();
        if (st == StorageStatus::NotFound) {
            status_ = "Rebuilding index keys";
            if (PURFile.empty() != StorageStatus::Ok || MasIdx.buildKeys() != StorageStatus::Ok) return copyFailed();
            if (!commit()) return copyFailed();
            started_ = false;
            next_ = 0;
            phase_ = Phase::Words;
            status_ = "Purging deleted index words";
            return;
        }
        if (st != StorageStatus::Ok) return copyFailed();
        advanceWork(1);
        if (PUR.SYSID == 0) continue;
        MAS.SYSID = static_cast<ULONG>(PUR.SYSID);
        MAS.WORDID = static_cast<ULONG>(PUR.WORDID);
        if (!UppDat(MasIdx, AppendRecord, ReportOnly)) return copyFailed();
    }
}

void WordCleanup::deleteWords() {
    if (!beginTransactionChecked({&WordList})) return fail();
    for (std::size_t n = 0; n < kWordsPerStep && next_ < words_.size(); ++n) {
        WordList.clear();
        WOR.WORDID = words_[next_++];
        advanceWork(1);
        if (WordList.get(WOR_by_WordId) != StorageStatus::Ok) continue;
        if (!UppDat(WordList, DeleteRecordOp, ReportOnly)) return fail();
        ++outcome_.wordsRemoved;
    }
    if (!commit()) return fail();
    if (next_ < words_.size()) return;
    if (WordList.completeKeys() != StorageStatus::Ok) {
        outcome_.countKeyFailed = true;
        Forums.clear();
        FOR.ID = databaseId_;
        if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) {
            FOR.WORDLISTINDEXNEEDSUPDATE = 1;
            UppDat(Forums, UpdateRecord, ReportOnly);
            if (Mem.ForumNumber == databaseId_) Mem.WordListIndexNeedsUpdate = 1;
        }
    }
    percent_ = 100;
    phase_ = Phase::Done;
}

}  // namespace pm
