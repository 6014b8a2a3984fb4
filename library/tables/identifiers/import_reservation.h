#pragma once
// The import reservation of the identifier counter: while the format parsers
// number messages, the counter is held in memory and the Control table is
// locked, so that no other process hands out the same identifiers. At the
// end the in-memory counter is written back.
#include "common/types.h"
#include "tables/access/open_close.h"

namespace pm {

class ImportReservation {
public:
    ImportReservation() = default;
    // Unlocks Control (without writing the counter back) if the reservation
    // is still held, and releases the tables begin() opened.
    ~ImportReservation();
    ImportReservation(const ImportReservation&) = delete;
    ImportReservation& operator=(const ImportReservation&) = delete;

    // Opens Forums and Control (counted), reads Control record 1 and takes
    // its counter into memory, then locks Control (5-second wait). When the
    // record cannot be read, holds 0 or the lock cannot be had: "Warning!" /
    // "No access to Control File!" + CR LF + "Import will not proceed!" + CR LF
    // (not while unattended), the tables are released and false returned.
    bool begin();

    // The running identifier: the next free identifier, handed out by
    // incrementing it. Valid between begin() and end().
    LONG& counter() { return counter_; }

    // Unlocks Control, holds record 1 (5-second wait) and writes the counter
    // back (never lowering a counter that moved on meanwhile). Returns false
    // after reporting when the record cannot be held or written. The tables
    // stay open until the object goes.
    bool end();

    // Unlocks Control without writing the counter back (a run stopped before
    // any identifier was used permanently).
    void abandon();

    // Whether Control is locked by this reservation.
    bool locked() const { return locked_; }

private:
    LONG counter_ = 0;
    TableScope catalog_;  // the catalog and Control, open from begin()
    bool locked_ = false;
};

}  // namespace pm
