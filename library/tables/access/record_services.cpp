#include "tables/access/record_services.h"

#include <cstring>
#include <vector>

#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

namespace {

const char* const kCrLf = "\r\n";

std::string operationLine(int operation) {
    switch (operation) {
        case UpdateRecord: return "Record update error!";
        case DeleteRecordOp: return "Record delete error!";
        default: return "Record add error!";
    }
}

std::string reasonLine(const Table& table) {
    switch (table.lastError().status) {
        case StorageStatus::AccessDenied:
        case StorageStatus::RecordNotAvailable:
        case StorageStatus::NotFound:
        case StorageStatus::IsLocked:
            return "Record not available!";
        case StorageStatus::DuplicateKey:
            return "A record with identical key already exists!";
        default:
            return table.lastError().text;
    }
}

}  // namespace

bool UppDat(Table& table, int operation, int mode) {
    StorageStatus st;
    switch (operation) {
        case AddRecord: st = table.add(); break;
        case UpdateRecord: st = table.put(); break;
        case DeleteRecordOp: st = table.erase(); break;
        case AppendRecord: st = table.append(); break;
        default: return false;
    }
    if (st == StorageStatus::Ok) return true;
    return writeFailed(table, operation, mode);
}

bool writeFailed(Table& table, int operation, int mode) {
    const std::string text = operationLine(operation) + kCrLf + reasonLine(table);
    if (mode == RollBackAndReport) {
        rollbackTransaction();
        message(table.displayName(), text + kCrLf + "The last transaction is rolled back.");
    } else {
        if (operation == UpdateRecord || operation == DeleteRecordOp) table.release();
        message(table.displayName(), text);
    }
    return false;
}

bool HoldRec(Table& table, const KeyDef* key, RecordPosition position) {
    StorageStatus st = key ? table.get(*key) : table.getAt(position);
    if (st == StorageStatus::Ok) st = table.hold(1);
    if (st == StorageStatus::Ok) return true;
    switch (st) {
        case StorageStatus::NotFound:
            message(table.displayName(), std::string("The record has been deleted by another user!") + kCrLf +
                                          std::string(19, ' ') + "Update is cancelled!");
            break;
        case StorageStatus::RecordNotAvailable:
        case StorageStatus::IsLocked:
            message("The record is not accessible!", std::string("The record is locked by another user!") + kCrLf +
                                                         "Update is cancelled, try again later!");
            break;
        default:
            message("The record is not accessible!", std::string(15, ' ') + "The record cannot be read!" + kCrLf +
                                                         "Update is cancelled, try again later!");
            break;
    }
    return false;
}

std::string SaveRec(Table& table, const void* keptCopy, RecordPosition position) {
    const std::size_t size = table.def().recordSize;
    if (GlobalRequest == InsertRecord) return UppDat(table, AddRecord, ReportOnly) ? "OK" : "";
    if (GlobalRequest != ChangeRecord && GlobalRequest != DeleteRecord) return "";

    // Holding re-reads the record: keep the edited values aside meanwhile.
    std::vector<unsigned char> edited(size);
    std::memcpy(edited.data(), table.record(), size);
    std::vector<std::string> editedMemos;
    for (std::string* m : table.memoStrings()) editedMemos.push_back(*m);

    if (!HoldRec(table, nullptr, position)) return "";
    if (std::memcmp(table.record(), keptCopy, size) != 0) {
        message("Warning!", std::string("The record has just been changed by another user!") + kCrLf + "Try again!",
                Icon::Exclamation);
        table.release();
        return "";
    }
    std::memcpy(table.record(), edited.data(), size);
    for (std::size_t i = 0; i < editedMemos.size(); ++i) *table.memoStrings()[i] = editedMemos[i];
    const bool ok = UppDat(table, GlobalRequest == ChangeRecord ? UpdateRecord : DeleteRecordOp, ReportOnly);
    table.release();
    return ok ? "OK" : "";
}

bool QError(int mode, ListError error, const std::string& engineText) {
    if (error == ListError::None || error == ListError::NotFound) return false;
    std::string caption = "Warning!";
    std::string text = engineText;
    if (error == ListError::OutOfMemory) {
        caption = "Fatal error!";
        text = "Insufficient memory!";
    } else if (error == ListError::BadSortField) {
        caption = "Fatal error!";
        text = "Invalid field type descriptor!";
    }
    if (mode == 7) {
        message(caption, "Queue access error" + std::string(kCrLf) + text);
    } else if (mode == 8) {
        rollbackTransaction();
        message("Fatal error", "Queue access error" + std::string(kCrLf) + text + kCrLf +
                                   "The last transaction is rolled back.");
    }
    return true;
}

bool transactionStartFailed(StorageStatus beginResult, const std::string& engineText) {
    if (beginResult == StorageStatus::Ok) return false;
    message("Warning!", "Transaction Frame Error!" + std::string(kCrLf) + engineText, Icon::Exclamation);
    rollbackTransaction();
    return true;
}

bool beginTransactionChecked(std::initializer_list<Table*> tables) {
    StorageError error;
    StorageStatus st = beginTransaction(tables, 5, &error);
    return !transactionStartFailed(st, error.text.empty() ? storageStatusText(st) : error.text);
}

bool commitTransactionChecked(const Table& named) {
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    if (inTransaction()) rollbackTransaction();
    message(named.displayName(),
            "Transaction Frame Error!" + std::string(kCrLf) + error.text + kCrLf + "The last transaction is rolled back.",
            Icon::Exclamation);
    return false;
}

}  // namespace pm
