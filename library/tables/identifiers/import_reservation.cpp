#include "tables/identifiers/import_reservation.h"

#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/identifiers/next_number.h"
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
    // The lock comes first and the counter is read under it: an increment
    // of another process either committed before (and is read) or sees the
    // lock and waits.
    if (Control.lock(kLockWaitSeconds) != StorageStatus::Ok) {
        // Another import holds the counter; two runs would hand out the same numbers.
        reportNoAccess(Control.lastError().text);
    } else if (!readRecordOne() || CTL.NEXTNUMBER == 0) {
        Control.unlock();
        reportNoAccess();
    } else {
        counter_ = static_cast<LONG>(CTL.NEXTNUMBER);
        locked_ = true;
        lendCounter(&counter_, CounterLoan::RaiseAtOnce);
        return true;
    }
    catalog_.release();
    return false;
}

bool ImportReservation::end() {
    if (!catalog_.holds()) return false;
    // The counter is written back before the lock goes: until then the
    // stored counter is behind the numbers handed out.
    bool written = false;
    if (!readRecordOne() || Control.hold(kLockWaitSeconds) != StorageStatus::Ok) {
        message("Warning!", "No access to Control File!\r\n" + Control.lastError().text, Icon::Exclamation);
    } else {
        // A counter that moved on meanwhile (raised by the Next ID check) stays.
        if (static_cast<ULONG>(counter_) > CTL.NEXTNUMBER) CTL.NEXTNUMBER = static_cast<ULONG>(counter_);
        written = UppDat(Control, UpdateRecord, ReportOnly);
        Control.release();
    }
    // When the write failed the run ends without storing anything, so the
    // numbers it handed out are free again.
    abandon();
    return written;
}

void ImportReservation::abandon() {
    // The counter is lent exactly while Control is locked.
    if (locked_) {
        lendCounter(nullptr, CounterLoan::RaiseAtOnce);
        Control.unlock();
    }
    locked_ = false;
}

void ImportReservation::lend() {
    if (!locked_) return;
    lendCounter(&counter_, CounterLoan::WrittenBackOnCommit);
}

bool ImportReservation::writeBack() {
    if (!locked_ || !readRecordOne()) return false;
    // The lock keeps every other process off record 1: no hold is needed.
    if (static_cast<ULONG>(counter_) <= CTL.NEXTNUMBER) return true;
    CTL.NEXTNUMBER = static_cast<ULONG>(counter_);
    return Control.put() == StorageStatus::Ok;
}

}  // namespace pm
