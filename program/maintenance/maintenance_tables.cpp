#include "maintenance/maintenance_tables.h"

#include "common/user_interface.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

MaintenanceTables::MaintenanceTables(BYTE type) : tables_(type, BrowseTables::Scope::Headers) {
    list_ = {&Forums, &Person};
    if (type == TypeMail) list_.push_back(&Mail);
    else list_.insert(list_.end(), {&MsgNmbr, &Sections, &Threads});
    TableList more = {&MsgText, &PLINK, &Codes, &SIndex};
    if (type == TypeMail) more.push_back(&CCRFile);
    for (Table* t : more) {
        tables_.add(*t);
        list_.push_back(t);
    }
    if (tables_.addWordIndex()) list_.insert(list_.end(), {&WordList, &MasIdx});
}

bool beginMaintenanceTransaction(const TableList& tables) {
    StorageError error;
    const StorageStatus st = beginTransaction(tables, 5, &error);
    return !transactionStartFailed(st, error.text.empty() ? storageStatusText(st) : error.text);
}

bool commitMaintenanceTransaction() {
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    if (inTransaction()) rollbackTransaction();
    message("Warning!", "Transaction Frame Error!|" + error.text, Icon::Exclamation);
    return false;
}

}  // namespace pm
