// Streaming: a run that can fill only one database stores each message in
// the step its parser hands it over, instead of writing it to the NewHR work
// file and reading it back after the last source file.
#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_run.h"
#include "tables/access/open_close.h"

namespace pm {

ULONG ImportRun::streamedDatabase() const {
    if (options_.twoPhase) return 0;
    const FormatEntry* format = formatByNumber(request_.format);
    // The mail course files every mail under the request's mailbox; formats
    // that also hold forum messages or news name a database per message.
    if (!format || format->family != ParserFamily::MailNews || format->kinds != KindMail) return 0;
    if (!request_.importMail || request_.messageFilter == FilterCreateDatabasesOnly) return 0;
    const Resolution db = databases_.resolveByName(requestMailboxName(request_, databases_));
    if (!db.found() || !db.importAllowed || db.type != TypeMail) return 0;
    return db.id;
}

bool ImportRun::beginStreamedStoring() {
    // The room the work file would have asked for at the end of reading:
    // the messages take at most what their source files take.
    if (checkFreeSpace(options_.freeSpace, Mem.FileDir, static_cast<std::uint64_t>(sources_.listedBytes()),
                       SpaceNeed::Process) == SpaceVerdict::Stop) {
        endRun(ImportOutcome::Cancelled);
        return false;
    }
    const DatabaseEntry* target = databases_.entry(streamTarget_);
    if (!target) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    DatabaseEntry entry = *target;
    if (!openDatabase(entry)) return false;
    // New persons take their identifiers from the counter the parsers
    // number from; every commit writes it back.
    reservation_->lend();
    if (taskMode_ && options_.registerDatabase) options_.registerDatabase(streamTarget_);
    return true;
}

bool ImportRun::storeHandedOver() {
    std::vector<WorkRecord> records = work_.takeHandedOver();
    if (records.empty()) return true;
    if (!inPhaseB_ && !beginStreamedStoring()) return false;
    if (!ensureTransaction()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    for (WorkRecord& record : records) {
        // Only a parser that files everything under the request's mailbox streams.
        if (record.INTERNAL != currentId_) return failForeignDatabase();
        if (!storeRecord(record)) return false;
    }
    return endStoreSlice(false);
}

bool ImportRun::failForeignDatabase() {
    if (inTransaction()) rollbackTransaction();
    message("Warning!", "A message for another database was read!\r\nImport will not proceed!", Icon::Exclamation);
    endRun(ImportOutcome::Failed);
    return false;
}

bool ImportRun::endStreamedReading() {
    parser_.reset();
    // What is stored commits with the counter; then the counter is written
    // back and Control unlocked as at the end of any reading.
    if ((inTransaction() && !(store_.writeCollectedCounts() && commit())) || !reservation_->end() ||
        !work_.buildKeys()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    work_.unlock();
    databases_.keepUsedOnly();
    if (databases_.queue().size() != 1 || databases_.front().id != currentId_) return failForeignDatabase();
    finishStoring();
    return true;
}

}  // namespace pm
