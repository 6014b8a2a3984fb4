#pragma once
// Removing stored forum or newsgroup messages from the active database with
// everything that refers to them, and bringing the counts that depend on
// them up to date afterwards.
#include <map>
#include <vector>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

// The tables removeMessage() and the recount use, opened (and released) by
// registry number: headers, texts, persons, sections, threads, topics and
// their assignments, aliases, Message-IDs and the word index.
void openRemovalTables();
void releaseRemovalTables();

// What removing one message took with it.
struct RemovedMessage {
    bool removed = false;    // the header was there and is gone
    bool wasIndexed = false; // it had word-index entries
    long writes = 0;         // record writes done
};

// Deletes message `number` of the active database: its header, text,
// Message-ID, topic assignments and word-index entries (each indexed word's
// count lowered by one). Runs inside the caller's transaction; a failed
// write has rolled it back and been reported (`ok` false).
RemovedMessage removeMessage(ULONG number, bool& ok);

// The message counts of a database, gathered from its headers.
struct MessageCounts {
    std::map<ULONG, ULONG> sections;  // SECSYSID -> messages
    std::map<ULONG, ULONG> threads;   // THREADNUMBER -> messages
    std::map<ULONG, ULONG> sent;      // PERSONID -> messages sent
    std::map<ULONG, ULONG> received;  // PERSONID -> messages addressed to
    long long messages = 0;

    // Adds the header in the MSG buffer.
    void add();
};

// The steps of bringing a database's records in line with its counts; each
// does up to `quota` records a call and returns true when it is through.
// They write inside the caller's transaction; `ok` false after a failed
// (reported, rolled back) write.
class CountRepair {
public:
    explicit CountRepair(MessageCounts counts) : counts_(std::move(counts)) {}

    // SEC:MSGCOUNT of every section.
    bool sections(int quota, bool& ok);
    // THR:MSGCOUNT of every thread; a thread left without messages goes.
    bool threads(int quota, bool& ok);
    // PER:FROMCOUNT and PER:TOCOUNT of every person.
    bool persons(int quota, bool& ok);
    // Persons left without messages go, with the aliases (PLINK) that lead
    // to them.
    bool orphanPersons(int quota, bool& ok);
    // Words whose count fell to 0 leave the word list.
    bool emptyWords(int quota, bool& ok);
    // COD:COUNT of every topic from its assignments.
    bool topicCounts(int quota, bool& ok);

    const MessageCounts& counts() const { return counts_; }
    long writes() const { return writes_; }
    void resetWrites() { writes_ = 0; }
    long long threadsLeft() const { return threadsLeft_; }
    long long personsLeft() const { return personsLeft_; }

private:
    // Visits the records of `table` in file order, up to `quota` a call;
    // true when every record was visited (or `visit` failed: `ok` false).
    template <typename Visit>
    bool walk(Table& table, int quota, bool& ok, Visit visit);

    MessageCounts counts_;
    std::vector<long long> todo_;
    bool started_ = false;
    std::size_t next_ = 0;
    long writes_ = 0;
    long long threadsLeft_ = 0, personsLeft_ = 0;
};

}  // namespace pm
