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

    // Opens Forums and Control (counted), locks Control (5-second wait),
    // then reads Control record 1 and takes its counter into memory (read
    // under the lock, so no increment of another process is missed) and
    // lends it to NextNr (see lend()). When
    // the lock cannot be had, the record cannot be read or holds 0: "Warning!" /
    // "No access to Control File!" + CR LF + "Import will not proceed!" + CR LF
    // (not while unattended), the tables are released and false returned.
    bool begin();

    // The running identifier: the next free identifier, handed out by
    // incrementing it. Valid between begin() and end().
    LONG& counter() { return counter_; }

    // Holds record 1 (5-second wait), writes the counter back (never
    // lowering a counter that moved on meanwhile), then unlocks Control.
    // Returns false after reporting when the record cannot be held or
    // written. The tables stay open until the object goes.
    bool end();

    // Unlocks Control without writing the counter back (a run stopped before
    // any identifier was used permanently).
    void abandon();

    // From begin() to end() or abandon() NextNr hands out identifiers from
    // the in-memory counter (next_number.h), so that nothing else of this
    // process takes a number the parsers take too; each raises record 1.
    // A run that stores while the parsers still number calls lend(): from
    // then on identifiers taken inside a transaction leave record 1 to
    // writeBack(), which the run calls before every commit.
    void lend();
    // Inside the caller's transaction, raises Control record 1 to the
    // in-memory counter (never lowering it), so that the commit leaves the
    // stored counter above every identifier it stores. Control stays locked.
    // False when the record cannot be read or written (the table's error
    // tells why; the caller rolls back).
    bool writeBack();

    // Whether Control is locked by this reservation.
    bool locked() const { return locked_; }

private:
    LONG counter_ = 0;
    TableScope catalog_;  // the catalog and Control, open from begin()
    bool locked_ = false;
};

}  // namespace pm
