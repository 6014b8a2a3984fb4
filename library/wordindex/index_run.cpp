#include "wordindex/index_run.h"

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/word_definition.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/access/read_only.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/records/all_tables.h"
#include "wordindex/index_run_impl.h"

namespace pm {

namespace {


std::string runTitle() {
    return std::string(quiet() ? " Scheduled PRO Word Indexing [" : " PRO Word Indexing [") + Mem.Description + "]";
}

}  // namespace

// --- the public face ------------------------------------------------------------

IndexRun::IndexRun(ULONG databaseId, BYTE databaseType, IndexRunOptions options)
    : impl_(std::make_unique<Impl>(databaseId, databaseType, options)) {}
IndexRun::~IndexRun() = default;

JobStatus IndexRun::step() { return impl_->step(); }
JobStatus IndexRun::status() const { return impl_->status(); }

bool IndexRun::requestStop(StopRequest) {
    if (impl_->state == State::Start) impl_->end(State::Stopped, 2);
    else impl_->cancelRequested = true;
    return true;
}

ProgressReport IndexRun::report() const {
    const IndexProgress& p = impl_->progress;
    ProgressReport report;
    report.title = p.title;
    report.lines = {p.status};
    report.counters = {{"messages", p.done}, {"of", p.planned}};
    report.captions = {{"messages", "Messages indexed"}, {"of", "Messages to index"}};
    switch (impl_->state) {
        case State::Cleanup: report.phase = "removing deleted words"; break;
        case State::Flushing: report.phase = "writing the word index"; break;
        case State::Indexing: report.phase = "indexing messages"; break;
        default: report.phase = "preparing"; break;
    }
    report.percent = p.cleanupPercent >= 0 ? p.cleanupPercent : p.percent;
    return report;
}

IndexRun::State IndexRun::state() const { return impl_->state; }
int IndexRun::result() const { return impl_->result; }
const IndexProgress& IndexRun::progress() const { return impl_->progress; }
const IndexRunSummary& IndexRun::summary() const { return impl_->summary; }
ULONG IndexRun::lastPosition() const { return impl_->lastPosition; }
ULONG IndexRun::indexedCount() const { return impl_->indexedCount; }
LONG IndexRun::needsUpdate() const { return impl_->needsUpdate; }

int INDEXFILE1(int indexType, int batchSize, int positionSize, ULONG& lastPosition, ULONG databaseId,
               BYTE databaseType, LONG& needsUpdate, ULONG& indexedCount) {
    (void)positionSize;  // positions are message numbers of 4 bytes
    IndexRunOptions options;
    options.indexType = indexType;
    options.batchSize = batchSize > 0 ? batchSize : 4;
    IndexRun run(databaseId, databaseType, options);
    runToEnd(run);
    if (run.state() != IndexRun::State::Skipped) {
        lastPosition = run.lastPosition();
        indexedCount = run.indexedCount();
        needsUpdate = run.needsUpdate();
    }
    return run.result();
}

// --- the machine -------------------------------------------------------------------

IndexRun::Impl::Impl(ULONG id, BYTE type, IndexRunOptions opts) : databaseId(id), databaseType(type), options(opts) {
    if (options.batchSize < 1) options.batchSize = 1;
    if (Mem.ForumNumber != databaseId) activateDatabase(databaseId);
    progress.title = runTitle();
}

IndexRun::Impl::~Impl() {
    const bool running = state != State::Done && state != State::Stopped && state != State::Skipped &&
                         state != State::Failed && state != State::Start;
    // What is not committed goes first, then the tables.
    worker.reset();
    cleanup.reset();
    if (ownTransaction && inTransaction()) rollbackTransaction();
    if (tables.holds()) releaseTables();
    if (running) IndexingInProgress = 0;
}

JobStatus IndexRun::Impl::status() const {
    switch (state) {
        case State::Done: return JobStatus::Done;
        case State::Stopped: return JobStatus::Stopped;
        case State::Skipped: return declined ? JobStatus::Stopped : JobStatus::Failed;
        case State::Failed: return JobStatus::Failed;
        default: return JobStatus::Running;
    }
}

JobStatus IndexRun::Impl::step() {
    switch (state) {
        case State::Start: start(); break;
        case State::Cleanup: runCleanup(); break;
        case State::Reset: reset(); break;
        case State::Preparing: prepare(); break;
        case State::Indexing: indexSome(); break;
        case State::Flushing: flushSome(); break;
        case State::Finishing: finishRun(); break;
        case State::Done:
        case State::Stopped:
        case State::Skipped:
        case State::Failed: break;
    }
    return status();
}

void IndexRun::Impl::setStatus(std::string status) { progress.status = std::move(status); }

void IndexRun::Impl::updatePercent() {
    progress.done = summary.messagesIndexed + summary.alreadyIndexed + summary.withoutHeader;
    progress.total = total;
    if (progress.planned > 0) {
        const long long p = progress.done * 100 / progress.planned;
        progress.percent = static_cast<int>(p > 100 ? 100 : p);
    }
}

bool IndexRun::Impl::openTables() {
    if (databaseType == TypeMail) tables.open({&Forums, &MsgText, &WordList, &MasIdx, &STOFile, &PURFile, &Mail});
    else tables.open({&Forums, &MsgText, &WordList, &MasIdx, &STOFile, &PURFile, &MsgNmbr, &Threads});
    return true;
}

void IndexRun::Impl::releaseTables() {
    MsgText.setSkipMemos(false);
    tables.release();
}

void IndexRun::Impl::stopWorker() {
    if (!worker) return;
    takeCounts();
    filedBefore = summary.messagesIndexed;
    newWordsBefore = summary.newWords;
    stopsBefore = summary.stopWordsMoved;
    worker.reset();
}

void IndexRun::Impl::end(State terminal, int code) {
    stopWorker();
    if (ownTransaction && inTransaction()) rollbackTransaction();
    ownTransaction = false;
    if (tables.holds()) releaseTables();
    if (state != State::Start) IndexingInProgress = 0;
    state = terminal;
    result = code;
    progress.cleanupPercent = -1;
    failed = terminal == State::Failed;
}

bool IndexRun::Impl::writeCatalog(ULONG position, ULONG count, LONG update) {
    // The record is read and written back whole, so both happen in one
    // transaction: an import of another process may add to its message
    // count in between, and that count must not be written over.
    const bool own = !inTransaction();
    if (own && !beginTransactionChecked({&Forums})) return false;
    auto fail = [&] {
        if (own && inTransaction()) rollbackTransaction();
        return false;
    };
    Forums.clear();
    FOR.ID = databaseId;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) {
        message("Disk Error", "Unable to read forum data!|Indexing not possible now.", Icon::Hand);
        return fail();
    }
    FOR.LASTMSGID = position;
    FOR.RECSLASTTIME = count;
    FOR.WORDLISTINDEXNEEDSUPDATE = update;
    if (!UppDat(Forums, UpdateRecord, ReportOnly)) return fail();
    if (own && !commitTransactionChecked(Forums)) return fail();
    if (Mem.ForumNumber == databaseId) Mem.WordListIndexNeedsUpdate = update;
    return true;
}

void IndexRun::Impl::start() {
    if (refusedAsReadOnly("Indexing")) {
        end(State::Failed, 2);
        return;
    }
    const std::optional<IndexSettings> loaded = loadIndexSettings();
    if (!loaded) {
        message("Index Problem", "Unable to read configuration file.|Indexing Skipped", Icon::Exclamation);
        end(State::Skipped, 2);
        return;
    }
    settings = *loaded;
    applyIndexingCaretRule();
    openTables();

    // The catalog's checkpoint is where a partial run continues.
    Forums.clear();
    FOR.ID = databaseId;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) {
        message("Disk Error", "Unable to read forum data!|Indexing not possible now.", Icon::Hand);
        end(State::Skipped, 2);
        return;
    }
    lastPosition = FOR.LASTMSGID;
    indexedCount = FOR.RECSLASTTIME;
    needsUpdate = FOR.WORDLISTINDEXNEEDSUPDATE;

    const bool full = options.indexType == 1;
    if (full && !quiet() && (WordList.records() > 0 || MasIdx.records() > 0)) {
        const Button answer = message("Warning",
                                      "This will DELETE the current Wordlist & Master Index.|All messages in the "
                                      "file will be indexed.|Are you SURE you want to continue?",
                                      Icon::Exclamation, ButtonYes | ButtonNo, ButtonNo);
        if (answer != ButtonYes) {
            declined = true;
            end(State::Skipped, 2);
            return;
        }
    }
    IndexingInProgress = 1;
    state = full ? State::Reset : State::Preparing;
    if (PURFile.records() > 0) {
        cleanup = std::make_unique<WordCleanup>(std::vector<LONG>{}, databaseId, full, false);
        afterCleanup = state;
        state = State::Cleanup;
        setStatus("Word delete cleanup process");
    }
}

void IndexRun::Impl::runCleanup() {
    cleanup->step();
    // After a flush the worker files on meanwhile: it is fed between the
    // slices, unless a message read might be looked up in MasIdx, whose
    // cursor the cleanup keeps from slice to slice.
    if (worker && afterCleanup == State::Indexing && !inputClosed && !cancelRequested &&
        lastRead >= highestIndexedAtStart) {
        ReadScope reads;
        if (!readMessages(options.batchSize * 8, false)) {
            cleanup.reset();  // rolls back what it did not commit
            return;
        }
        takeCounts();
    }
    setStatus(cleanup->statusLine());
    progress.cleanupPercent = cleanup->percent();
    if (!cleanup->finished()) return;
    const CleanupOutcome outcome = cleanup->outcome();
    // Words marked for deletion in the word list window left the word list
    // too: the buffer may hold them, so it starts again.
    for (LONG id : cleanup->words())
        if (!cleanupSet.count(id)) {
            dropAfterCleanup = true;
            break;
        }
    wordRecordsLeft = WordList.records();
    const bool cleanupFailed = cleanup->phase() == WordCleanup::Phase::Failed;
    cleanup.reset();
    progress.cleanupPercent = -1;
    summary.wordsRemoved += outcome.wordsRemoved;
    if (outcome.purgedByCopy) ++summary.purgesByCopy;
    cleanupIds.clear();
    cleanupSet.clear();
    if (outcome.countKeyFailed) needsUpdate = 1;
    if (outcome.needsFullRun) {
        // The index files are gone: everything is indexed again.
        options.indexType = 1;
        stopWorker();
        dropAfterCleanup = false;
        state = State::Reset;
        return;
    }
    if (cleanupFailed) {
        end(State::Failed, 2);
        return;
    }
    state = afterCleanup;
    if (state == State::Indexing && cancelRequested) {
        // Read messages not yet flushed wait for the next run.
        stopping = true;
        state = State::Finishing;
    } else if (worker && dropAfterCleanup) {
        worker->dropWordsAtBatchEnd();
        dropAfterCleanup = false;
    }
}

void IndexRun::Impl::reset() {
    // The checkpoint goes first, so that a run broken off from here on leaves
    // a database that asks for a full run rather than one that trusts a stale
    // checkpoint over an empty index.
    lastPosition = 0;
    indexedCount = 0;
    needsUpdate = 1;
    if (!writeCatalog(0, 0, 1)) {
        end(State::Failed, 2);
        return;
    }
    if (!OP_CLOSE(DeleteTableFile, {&WordList, &MasIdx, &PURFile})) {
        OP_CLOSE(OpenShared, {&WordList, &MasIdx, &PURFile});
        end(State::Failed, 2);
        return;
    }
    OP_CLOSE(OpenShared, {&WordList, &MasIdx, &PURFile});
    state = State::Preparing;
}

void IndexRun::Impl::prepare() {
    setStatus("Preparing for Word Indexing");
    autoStop = settings.autoStopWords(databaseType);
    indexFooters = settings.indexFooters(databaseType);

    stops.clear();
    STOFile.set(STO_BY_THEWORD);
    while (STOFile.next() == StorageStatus::Ok) stops.add(STO.THEWORD.view());

    const bool full = options.indexType == 1;
    if (full) {
        lastPosition = 0;
        indexedCount = 0;
    }
    total = indexedCount;
    read = total;
    stopWorker();
    chunk = MessageChunk{};
    textsExhausted = false;
    inputClosed = false;
    const long long all = MsgText.records();
    progress.planned = full ? all : std::max(0LL, all - static_cast<long long>(indexedCount));
    progress.done = 0;
    progress.percent = 0;

    MsgText.setSkipMemos(false);
    if (lastPosition == 0) {
        MsgText.set(TXT_IdKey);
        skipStart = false;
    } else {
        MsgText.clear();
        TXT.MSGNUMBER = lastPosition;
        MsgText.setAt(TXT_IdKey);
        skipStart = true;
    }

    WordList.set(WOR_by_WordId);
    nextWordId = WordList.previous() == StorageStatus::Ok ? WOR.WORDID : 0;
    wordListHasRecords = WordList.records() > 0;
    wordRecordsLeft = WordList.records();
    MasIdx.setPhysical();
    highestIndexedAtStart = MasIdx.previous() == StorageStatus::Ok ? MAS.SYSID : 0;

    needsUpdate = 1;
    if (!writeCatalog(lastPosition, indexedCount, 1)) {
        end(State::Failed, 2);
        return;
    }
    setStatus("Indexing messages");
    state = State::Indexing;
}

void IndexRun::Impl::finishRun() {
    setStatus("Indexing finished!");
    // A stopped run leaves messages unindexed: the database keeps its mark,
    // so that an index run over every marked database comes back to it.
    if (WordList.completeKeys() == StorageStatus::Ok && !stopping) {
        needsUpdate = 0;
        if (!writeCatalog(lastPosition, indexedCount, 0)) needsUpdate = 1;
    }
    end(stopping ? State::Stopped : State::Done, stopping ? 2 : 1);
}

}  // namespace pm
