#include "tables/identifiers/next_number.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "common/user_interface.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

constexpr int kLockWaitSeconds = 5;

// The counter an import reservation lends (lendCounter); nullptr: record 1.
LONG* lentCounter = nullptr;
CounterLoan lentLoan = CounterLoan::RaiseAtOnce;

ULONG failed(const std::string& text) {
    message("Control File Error", text + "\r\n" + "Next ID cannot be generated!");
    return 0;
}

// Reads record 1 (creating it when missing) and advances it; 0 when a write
// failed (the error is the table's).
ULONG advance() {
    Control.clear();
    CTL.ID = 1;
    if (Control.get(CTL_IdKey) != StorageStatus::Ok) {
        Control.clear();
        CTL.ID = 1;
        CTL.NEXTNUMBER = 1;
        if (Control.add() != StorageStatus::Ok) return 0;
    }
    ULONG result = 0;
    if (lentCounter) {
        // Record 1 is raised to the lent counter, never lowered.
        result = static_cast<ULONG>((*lentCounter)++);
        CTL.NEXTNUMBER = std::max(CTL.NEXTNUMBER, static_cast<ULONG>(*lentCounter));
    } else {
        result = CTL.NEXTNUMBER++;
    }
    if (Control.put() != StorageStatus::Ok) return 0;
    return result;
}

}  // namespace

void lendCounter(LONG* counter, CounterLoan loan) {
    lentCounter = counter;
    lentLoan = loan;
}

ULONG NextNr() {
    // The read and the write of the counter run in one transaction (the
    // caller's, or one of its own), so that processes take turns; an import
    // reservation of another process (the Control file locked) keeps every
    // other user off the counter until it has written its own back.
    // The borrower writes the counter back before its transaction commits.
    if (lentCounter && lentLoan == CounterLoan::WrittenBackOnCommit && inTransaction())
        return static_cast<ULONG>((*lentCounter)++);
    if (inTransaction()) {
        // Once this transaction has written the counter it holds the store's
        // write lock, so no other process can lock Control before it ends:
        // later numbers of the same transaction need no second look (an
        // import stores thousands of new persons in one).
        static std::uint64_t checkedIn = 0;
        const std::uint64_t serial = transactionSerial();
        if (checkedIn != serial && Control.checkLock() != StorageStatus::Ok) return failed(Control.lastError().text);
        const ULONG id = advance();
        if (id == 0) return failed(Control.lastError().text);
        checkedIn = serial;
        return id;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kLockWaitSeconds);
    for (;;) {
        StorageError error;
        if (beginTransaction({&Control}, kLockWaitSeconds, &error) != StorageStatus::Ok)
            return failed(error.text.empty() ? storageStatusText(error.status) : error.text);
        const StorageStatus lock = Control.checkLock();
        if (lock == StorageStatus::Ok) {
            const ULONG id = advance();
            if (id == 0) {
                const std::string text = Control.lastError().text;
                rollbackTransaction();
                return failed(text);
            }
            if (commitTransaction(&error) != StorageStatus::Ok) return failed(error.text);
            return id;
        }
        const std::string text = Control.lastError().text;
        rollbackTransaction();
        // The lock is waited for outside the transaction: its holder needs
        // the store to give it back.
        if (lock != StorageStatus::IsLocked || std::chrono::steady_clock::now() >= deadline) return failed(text);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace pm
