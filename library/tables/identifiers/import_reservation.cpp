#include "tables/identifiers/import_reservation.h"

#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

constexpr int kLockWaitSeconds = 5;

void reportNoAccess(const std::string& detail = {}) {
    std::string text = "No access to Control File!\r\nImport will not proceed!\r\n";
    if (!detail.empty()) text += detail;
    message("Warning!", text, Icon::Exclamation);
}

bool readRecordOne() {
    Control.clear();
    CTL.ID = 1;
    return Control.get(CTL_IdKey) == StorageStatus::Ok;
}

}  // namespace

ImportReservation::~ImportReservation() {
    abandon();
}

bool ImportReservation::begin() {
    if (!catalog_.holds()) catalog_.open({&Forums, &Control});
    if (!readRecordOne() || CTL.NEXTNUMBER == 0) {
        reportNoAccess();
    } else if (Control.lock(kLockWaitSeconds) != StorageStatus::Ok) {
        // Another import holds the counter; two runs would hand out the same numbers.
        reportNoAccess(Control.lastError().text);
    } else {
        counter_ = static_cast<LONG>(CTL.NEXTNUMBER);
        locked_ = true;
        return true;
    }
    catalog_.release();
    return false;
}

bool ImportReservation::end() {
    abandon();
    if (!catalog_.holds()) return false;
    if (!readRecordOne() || Control.hold(kLockWaitSeconds) != StorageStatus::Ok) {
        message("Warning!", "No access to Control File!\r\n" + Control.lastError().text, Icon::Exclamation);
        return false;
    }
    // NextNr ignores the lock; a counter another process moved past ours stays.
    if (static_cast<ULONG>(counter_) > CTL.NEXTNUMBER) CTL.NEXTNUMBER = static_cast<ULONG>(counter_);
    const bool written = UppDat(Control, UpdateRecord, ReportOnly);
    Control.release();
    return written;
}

void ImportReservation::abandon() {
    if (locked_) Control.unlock();
    locked_ = false;
}

}  // namespace pm
