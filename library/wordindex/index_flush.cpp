// Flushing the buffers of an indexing run, and undoing a flush that failed.
//
// A flush is one transaction over the word-index tables, STO and the
// catalog. Undoing it is a rollback, which also brings back the counts of
// words that existed before the flush; afterwards the record counts of
// MasIdx and WordList must be what they were when the flush began, or the
// undo is reported as failed and the checkpoint cleared.
#include <algorithm>

#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"
#include "wordindex/index_run_impl.h"

namespace pm {

namespace {
// Pairs appended to MasIdx before its keys are built, at most: more than a
// batch holds (4 bytes a pair), so that a whole batch goes in one build:
// every build rewrites a page of each word list it touches, whatever the
// pairs it adds. The posting store would merge at once, in one long slice,
// from 16M on.
constexpr std::size_t kMaxPairsPerKeyBuild = 12'000'000;
}  // namespace

void IndexRun::Impl::beginFlush(std::unique_ptr<FlushBatch> batch) {
    flush = std::move(batch);
    afterFlush = flush->last ? State::Finishing : State::Indexing;
    cleanupIds = flush->cleanupIds;
    cleanupSet.clear();
    cleanupSet.insert(cleanupIds.begin(), cleanupIds.end());
    cleanupAfterFlush = !cleanupIds.empty();
    setStatus(cleanupAfterFlush ? "Moving Word to Stop List..." : "Flushing Buffers/Building Indexes");
    masRecordsBefore = MasIdx.records();
    worRecordsBefore = WordList.records();
    // Another process wrote the word list: the worker's words are looked
    // up again from where the batch it fills ends (it may have filed into
    // that batch already); those filed until then are written as counted.
    if (worRecordsBefore != wordRecordsLeft) worker->dropWordsAtBatchEnd();
    if (!beginTransactionChecked({&MasIdx, &WordList, &Forums, &STOFile})) {
        end(State::Failed, 2);
        return;
    }
    ownTransaction = true;
    flushPhase = FlushPhase::Append;
    appendedSinceKeys = 0;
    // A key build costs much for every word it touches however few pairs
    // it adds: a batch is split into as few builds as may be, of even size.
    const std::size_t pairs = flush->occurrences.size();
    const std::size_t builds = std::max<std::size_t>(1, (pairs + kMaxPairsPerKeyBuild - 1) / kMaxPairsPerKeyBuild);
    pairsPerKeyBuild = (pairs + builds - 1) / builds;
    flushWordNext = 0;
    wordWrites = 0;
    state = State::Flushing;
}

void IndexRun::Impl::flushSome() {
    flushSlice();
    // The worker goes on filing meanwhile: it is fed between the slices,
    // as much as its queue takes, so that it has work for a whole slice.
    if (state == State::Flushing && !inputClosed && !readMessages(options.batchSize * 8, false)) return;
    if (state == State::Flushing && !serveLookups()) return;
    takeCounts();
}

void IndexRun::Impl::flushSlice() {
    switch (flushPhase) {
        case FlushPhase::Append:
            if (!appendOccurrences()) return;
            if (flush->occurrences.empty() || appendedSinceKeys >= pairsPerKeyBuild) flushPhase = FlushPhase::Keys;
            return;
        case FlushPhase::Keys: {
            // The keys are built a slice at a time (by word), so that the
            // worker is fed in between.
            bool built = false;
            const std::size_t slice = static_cast<std::size_t>(options.batchSize) * 1000;
            StorageStatus st = StorageStatus::Other;
            bool faulted = options.faults.keyBuildFails;
            if (!faulted) st = MasIdx.buildKeysSome(slice, built);
            if (st == StorageStatus::Ok && !built && keySlices++ == options.faults.keyBuildSliceFails) {
                faulted = true;  // refused with the build half done
                st = StorageStatus::Other;
            }
            if (st != StorageStatus::Ok) {
                const std::string why = faulted ? "Keys need rebuilding" : MasIdx.lastError().text;
                message("Unexpected Error",
                        why + "Unexpected file error:MASIDX(Build)|on Message#" + std::to_string(lastRead), Icon::Hand);
                message("Rollback", "Will try to rollback changes.", Icon::Exclamation);
                if (undoFlush()) message("Rollback Complete", "Rollback was sucessfull.");
                else flushFailed("MASIDX");
                end(State::Failed, 2);
                return;
            }
            if (!built) return;
            appendedSinceKeys = 0;
            flushPhase = flush->occurrences.empty() ? FlushPhase::Words : FlushPhase::Append;
            return;
        }
        case FlushPhase::Words:
            if (!writeWords()) return;
            if (flushWordNext >= flush->words.size()) flushPhase = FlushPhase::Checkpoint;
            return;
        case FlushPhase::Checkpoint:
            storeCheckpoint();
            return;
    }
}

bool IndexRun::Impl::appendOccurrences() {
    const std::size_t slice = std::min(static_cast<std::size_t>(options.batchSize) * 1000,
                                       std::max<std::size_t>(1, pairsPerKeyBuild - appendedSinceKeys));
    appendPairs.clear();
    flush->occurrences.takeFront(slice, appendPairs);
    if (!cleanupSet.empty()) {
        // Words that became stop words in this batch leave nothing behind.
        std::erase_if(appendPairs, [&](const OccurrenceBuffer::Pair& p) { return cleanupSet.count(static_cast<LONG>(p.second)) > 0; });
    }
    const bool ok = MasIdx.appendPairs(appendPairs) == StorageStatus::Ok;
    appendedSinceKeys += appendPairs.size();
    if (ok) summary.occurrences += static_cast<long long>(appendPairs.size());
    if (ok) return true;
    // The storage's own report of the append, then the undo.
    message(MasIdx.displayName(), "Record add error!|" + MasIdx.lastError().text, Icon::Hand);
    if (!undoFlush()) flushFailed("MASIDX");
    end(State::Failed, 2);
    return false;
}

bool IndexRun::Impl::writeWords() {
    static const int wordCountField = WordList.def().fieldIndex("WORDCOUNT");
    const std::size_t slice = static_cast<std::size_t>(options.batchSize) * 25;
    for (std::size_t n = 0; n < slice && flushWordNext < flush->words.size(); ++n, ++flushWordNext) {
        const FlushWord& entry = flush->words[flushWordNext];
        const std::string& word = entry.word;
        bool ok;
        if (options.faults.wordWriteFailsAt >= 0 && wordWrites == options.faults.wordWriteFailsAt) {
            // A write that the storage refuses: an update of a record that is not there.
            WordList.setPosition(-1);
            ok = UppDat(WordList, UpdateRecord, ReportOnly);
        } else if (entry.action == BufferedWord::Update) {
            WordList.clear();
            WOR.WORDID = entry.id;
            // The messages counted since the count was read are added to
            // the stored count: a purge in another process may have lowered
            // it meanwhile, or removed the word when it reached zero.
            const LONG added = entry.count - entry.storedCount;
            const StorageStatus st = WordList.addToNumber(WOR_by_WordId, wordCountField, added);
            if (st == StorageStatus::Ok) {
                ok = true;
            } else if (st == StorageStatus::NotFound) {
                WordList.clear();
                WOR.WORDID = entry.id;
                WOR.THEWORD = word;
                WOR.WORDCOUNT = added;
                ok = UppDat(WordList, AddRecord, ReportOnly);
            } else {
                ok = false;
                message(WordList.displayName(), "Record update error!|" + WordList.lastError().text, Icon::Hand);
            }
        } else {
            WordList.clear();
            WOR.WORDID = entry.id;
            WOR.THEWORD = word;
            WOR.WORDCOUNT = entry.count;
            ok = UppDat(WordList, AddRecord, ReportOnly);
        }
        ++wordWrites;
        if (!ok) {
            if (!undoFlush()) flushFailed("Wordlist");
            end(State::Failed, 2);
            return false;
        }
    }
    return true;
}

bool IndexRun::Impl::storeCheckpoint() {
    bool ok = true;
    for (const std::string& word : flush->newStopWords) {
        STOFile.clear();
        STO.THEWORD = word;
        if (STOFile.get(STO_BY_THEWORD) == StorageStatus::Ok) continue;
        STOFile.clear();
        STO.THEWORD = word;
        if (!(ok = UppDat(STOFile, AddRecord, ReportOnly))) break;
    }
    const ULONG position = flush->lastRead ? flush->lastRead : lastPosition;
    if (ok) ok = writeCatalog(position, static_cast<ULONG>(flush->total), 1);
    StorageError error;
    if (ok && commitTransaction(&error) != StorageStatus::Ok) {
        message("Warning!", "Transaction Frame Error!|" + error.text, Icon::Exclamation);
        ok = false;
    }
    ownTransaction = false;
    if (!ok) {
        if (inTransaction()) rollbackTransaction();
        end(State::Failed, 2);
        return false;
    }
    lastPosition = position;
    total = flush->total;
    indexedCount = static_cast<ULONG>(total);
    needsUpdate = 1;
    ++summary.flushes;
    worker->committed(flush->sequence);
    flush.reset();
    wordRecordsLeft = WordList.records();
    wordListHasRecords = WordList.records() > 0;
    setStatus("Indexing messages");

    state = afterFlush;
    if (cleanupAfterFlush) {
        cleanup = std::make_unique<WordCleanup>(cleanupIds, databaseId, false, true);
        afterCleanup = afterFlush;
        state = State::Cleanup;
        setStatus("Word delete cleanup process");
    }
    return true;
}

// Rolls the flush back and checks that the tables hold what they held
// before it. False when they do not.
bool IndexRun::Impl::undoFlush() {
    if (ownTransaction) rollbackTransaction();
    ownTransaction = false;
    flush.reset();
    if (options.faults.rollbackFails) return false;
    return MasIdx.records() == masRecordsBefore && WordList.records() == worRecordsBefore;
}

// The undo failed: the index no longer matches its checkpoint.
void IndexRun::Impl::flushFailed(const std::string& table) {
    message("Unexpected Error", "Unexpected file error:" + table + "||on Message#" + std::to_string(lastRead),
            Icon::Hand);
    message("Corrupt Data", "Unable to rollback changes.|The data set is corrupt.|Please restore from a backup.",
            Icon::Hand);
    clearCheckpointAfterCorruption();
}

void IndexRun::Impl::clearCheckpointAfterCorruption() {
    lastPosition = 0;
    indexedCount = 0;
    needsUpdate = 1;
    writeCatalog(0, 0, 1);
}

}  // namespace pm
