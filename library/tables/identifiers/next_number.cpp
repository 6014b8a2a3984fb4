#include "tables/identifiers/next_number.h"

#include "common/user_interface.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

ULONG failed(Table& table) {
    message("Control File Error", table.lastError().text + "\r\n" + "Next ID cannot be generated!");
    return 0;
}

}  // namespace

ULONG NextNr() {
    Control.clear();
    CTL.ID = 1;
    if (Control.get(CTL_IdKey) != StorageStatus::Ok) {
        Control.clear();
        CTL.ID = 1;
        CTL.NEXTNUMBER = 1;
        if (Control.add() != StorageStatus::Ok) return failed(Control);
    }
    const ULONG result = CTL.NEXTNUMBER;
    CTL.NEXTNUMBER = result + 1;
    if (Control.put() != StorageStatus::Ok) return failed(Control);
    return result;
}

}  // namespace pm
