#pragma once
// The recounts of a database: the stored message counts of its persons,
// threads and sections and of its catalog record. A tally over the headers
// counts by id (the short names a header keeps need not match the
// person's present last name: the mailbox owner's never does), then each
// pass walks its table by id in slices and writes what differs. Records left without messages are removed: a
// person with its aliases (never the mailbox owner, who keeps a count of
// 0), a thread, a section. The passes run inside the caller's transaction
// and are safe to run again from the start after an interruption.
#include <map>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

struct CountTotals {
    long long persons = 0;          // persons kept
    long long receivers = 0;        // persons kept that received messages
    long long personsRemoved = 0;
    long long threads = 0;
    long long threadsRemoved = 0;
    long long sections = 0;
    long long sectionsRemoved = 0;
    long long messages = 0;         // FOR:MSGCOUNT as written
};

enum class RecountKind { Persons, Threads, Sections };

// The messages of the active database counted per sender, receiver,
// thread and section, read in slices.
struct MessageTally {
    struct Sides {
        ULONG sent = 0, received = 0;
    };
    std::map<ULONG, Sides> persons;
    std::map<ULONG, ULONG> threads, sections;
    bool done = false;

    // Reads up to `quota` headers; true when all are counted. A read
    // failure sets `failed` (reported, transaction rolled back).
    bool slice(BYTE databaseType, int quota, bool& failed);

private:
    RecordPosition last_ = 0;
};

class RecountPass {
public:
    // A pass over the active database (of `databaseType`), from its first
    // record. The tables of MaintenanceTables must be open.
    RecountPass(RecountKind kind, BYTE databaseType, const MessageTally& tally)
        : kind_(kind), type_(databaseType), tally_(tally) {}

    // Recounts up to `quota` records, adding to `totals`. True when the
    // pass is through its table (or a write failed: `failed` is set, the
    // transaction rolled back and the failure reported).
    bool slice(int quota, CountTotals& totals, bool& failed);

private:
    bool person(CountTotals& totals);
    bool thread(CountTotals& totals);
    bool section(CountTotals& totals);

    RecountKind kind_;
    BYTE type_;
    const MessageTally& tally_;
    ULONG next_ = 0;  // the id to go on from
};

// Writes the number of stored messages (mails) to the active database's
// catalog record (FOR:MSGCOUNT, FOR:COUNTFLAG cleared) and sets
// totals.messages. False after a failed write.
bool writeDatabaseMessageCount(CountTotals& totals);

}  // namespace pm
