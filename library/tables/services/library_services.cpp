#include "tables/services/library_services.h"

#include <map>

#include "storage/table.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_deletion.h"

namespace pm {

namespace {

std::map<int, ServiceHandler>& handlers() {
    static std::map<int, ServiceHandler> table;
    return table;
}

FrameEventSink& sink() {
    static FrameEventSink current;
    return current;
}

LONG busy = 0;

LONG builtInService(int code) {
    switch (code) {
        case ServiceRemoveActiveDatabase:
            return removeActiveDatabaseFromCatalog() ? 1 : 0;
        case ServiceTransactionCheck:
            // The check runs right after a begin: no running transaction
            // means the begin failed.
            return transactionStartFailed(inTransaction() ? StorageStatus::Ok : StorageStatus::Other,
                                          "The transaction could not be started.")
                       ? 1
                       : 0;
        case ServiceActivateProcedureDatabase:
            return activateImportProcedureDatabase() ? 1 : 0;
        default:
            return 0;
    }
}

}  // namespace

LONG SemaFore(int code) {
    auto it = handlers().find(code);
    if (it != handlers().end()) return it->second();
    return builtInService(code);
}

void registerService(int code, ServiceHandler handler) {
    if (handler)
        handlers()[code] = std::move(handler);
    else
        handlers().erase(code);
}

bool serviceRegistered(int code) { return handlers().count(code) != 0; }

void setFrameEventSink(FrameEventSink newSink) { sink() = std::move(newSink); }

bool postFrameEvent(int code) {
    if (!sink()) return false;
    sink()(code);
    return true;
}

void raiseBusyCounter() { ++busy; }

void lowerBusyCounter() {
    if (busy > 0) --busy;
}

void resetBusyCounter() { busy = 0; }

LONG busyCounter() { return busy; }

}  // namespace pm
