#include "import/driver/work_files.h"

#include <sys/stat.h>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

constexpr long long kFlushEvery = 400;

// The work files, in opening order.
const TableList& workTables() {
    static const TableList tables = {&NewHR, &CCTFile, &TempID};
    return tables;
}

// Builds the keys of one work file; a duplicate key is accepted.
bool buildKey(Table& table, const char* caption) {
    StorageStatus st = table.buildKeys();
    if (st == StorageStatus::Ok || st == StorageStatus::DuplicateKey) return true;
    std::string text = table.lastError().text;
    if (text.empty()) text = storageStatusText(st);
    message(caption, text + "\r\n" + "Messages will not be imported!", Icon::Exclamation);
    return false;
}

}  // namespace

WorkFiles::~WorkFiles() {
    if (created_) remove();
}

bool WorkFiles::create(LONG importDate, LONG importTime) {
    if (created_) remove();
    importDate_ = importDate;
    importTime_ = importTime;
    // The files of an import running elsewhere on the same temporary
    // directory must not be deleted under it.
    OP_CLOSE(OpenShared, {&NewHR});
    if (NewHR.lock() != StorageStatus::Ok) {
        const std::string text = NewHR.displayName() + "\r\n" + NewHR.lastError().text + "\r\n" +
                                 "Import will not proceed!";
        OP_CLOSE(ReleaseTable, {&NewHR});
        message("Warning!", text, Icon::Exclamation);
        return false;
    }
    NewHR.unlock();
    OP_CLOSE(DeleteTableFile, workTables());
    OP_CLOSE(OpenShared, workTables());
    created_ = true;
    locked_ = NewHR.lock() == StorageStatus::Ok;
    messages_ = carbonCopies_ = duplicates_ = sinceCommit_ = 0;
    failed_ = false;
    handingOver_ = false;
    handedOver_.clear();
    messageKeys_.clear();
    carbonCopyMail_ = 0;
    carbonCopyKeys_.clear();
    messageIdKeys_.clear();
    return true;
}

WorkWrite WorkFiles::written(bool ok) {
    if (ok) return WorkWrite::Written;
    failed_ = true;
    return WorkWrite::Failed;
}

WorkWrite WorkFiles::appendMessage(WorkRecord&& record) {
    if (!messageKeys_.insert(pairKey(record.INTERNAL, record.MSGNUMBER))) {
        ++duplicates_;
        return WorkWrite::Duplicate;
    }
    record.IMPDATE = importDate_;
    record.IMPTIME = importTime_;
    if (handingOver_) {
        handedOver_.push_back(std::move(record));
        ++messages_;
        return WorkWrite::Written;
    }
    NHR = std::move(record);
    const bool ok = UppDat(NewHR, AppendRecord, ReportOnly);
    if (!ok) return written(false);
    ++messages_;
    if (batchOpen_ && ++sinceCommit_ > kFlushEvery) {
        if (!commitBatch()) return written(false);
        beginBatch();
    }
    return WorkWrite::Written;
}

WorkWrite WorkFiles::appendCarbonCopy(const CCTRecord& receiver) {
    if (receiver.MAILID != carbonCopyMail_ || carbonCopyKeys_.empty()) {
        carbonCopyKeys_.clear();
        carbonCopyMail_ = receiver.MAILID;
    }
    std::string key = receiver.R_CISADRESS.str() + '\n' + receiver.R_NAME.str();
    if (!carbonCopyKeys_.insert(std::move(key)).second) return WorkWrite::Duplicate;
    CCT = receiver;
    const bool ok = UppDat(CCTFile, AppendRecord, ReportOnly);
    if (ok) ++carbonCopies_;
    return written(ok);
}

WorkWrite WorkFiles::appendMessageId(std::string_view idString, ULONG number) {
    if (!messageIdKeys_.insert(number)) return WorkWrite::Duplicate;
    TempID.clear();
    TID.IDSTRING = idString;
    TID.MSGNUMBER = number;
    return written(UppDat(TempID, AppendRecord, ReportOnly));
}

void WorkFiles::beginBatch() {
    if (batchOpen_ || inTransaction()) return;
    // Without a batch the appends still work, one commit each.
    batchOpen_ = beginTransaction(workTables(), 5) == StorageStatus::Ok;
    sinceCommit_ = 0;
}

bool WorkFiles::commitBatch() {
    batchOpen_ = false;
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    rollbackTransaction();
    message("Warning!", NewHR.displayName() + "\r\n" + error.text + "\r\n" + "Messages will not be imported!",
            Icon::Exclamation);
    failed_ = true;
    return false;
}

bool WorkFiles::endBatch() {
    if (!batchOpen_) return !failed_;
    if (failed_) {
        rollbackTransaction();
        batchOpen_ = false;
        return false;
    }
    return commitBatch();
}

bool WorkFiles::buildKeys() {
    NewHR.flush();
    TempID.flush();
    return buildKey(NewHR, "NewHR Key Build Error!") && buildKey(TempID, "TempID Key Build Error!");
}

void WorkFiles::unlock() {
    if (locked_) NewHR.unlock();
    locked_ = false;
}

void WorkFiles::remove() {
    if (batchOpen_) endBatch();
    handedOver_.clear();
    unlock();
    created_ = false;
    // The work files held every message text of the run: give their room
    // back, so the temporary directory holds no leftover work data. Dropping
    // them reads every page they took; when the run store holds nothing
    // else, deleting it leaves the same empty directory at once.
    OP_CLOSE(ForceClose, workTables());
    std::vector<std::string> labels;
    for (const Table* table : workTables()) labels.push_back(table->def().label);
    if (removeStoreIfOnly(Mem.TempDir, labels)) return;
    OP_CLOSE(DeleteTableFile, workTables());
    if (removeStoreIfEmpty(Mem.TempDir)) return;
    std::string error;
    const StorageStatus st = shrinkStore(Mem.TempDir, &error);
    // A store in use by another run is shrunk after a later one.
    if (st != StorageStatus::Ok && st != StorageStatus::IsLocked)
        message("Warning!", storeFilePath(Mem.TempDir) + "\r\n" + error, Icon::Exclamation);
}

std::uint64_t WorkFiles::sizeOnDisk() const {
    struct stat st {};
    const std::string store = storeFilePath(Mem.TempDir);
    return stat(store.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

}  // namespace pm
