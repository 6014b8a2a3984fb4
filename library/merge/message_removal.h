#pragma once
// Removing stored forum or newsgroup messages from the active database with
// everything that refers to them, and bringing the counts that depend on
// them up to date afterwards.
#include <map>
#include <vector>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

// The tables the removal steps and the recount use, opened (and released) by
// registry number: headers, texts, persons, sections, threads, topics and
// their assignments, aliases, Message-IDs and the word index.
void openRemovalTables();
void releaseRemovalTables();

// Messages being removed together, in one transaction of the caller: the
// steps below run in this order on the same batch, each up to its end, so
// that a progress display can name them. A failed write has rolled the
// transaction back and been reported (the step returns false).
struct RemovalBatch {
    std::vector<ULONG> removed;         // headers deleted by removeMessageRecords
    std::map<ULONG, ULONG> wordsHit;    // word id -> entries removed with them
    long long indexed = 0;              // removed messages that had word-index entries
    long writes = 0;                    // record writes done

    void clear() { *this = RemovalBatch{}; }
};

// Deletes message `number` of the active database with its text and
// Message-ID and notes it in `batch`; nothing when the header is gone.
bool removeMessageRecords(ULONG number, RemovalBatch& batch);
// Deletes the word-index entries of the batch's messages, counting them per word.
bool removeWordEntries(RemovalBatch& batch);
// Lowers each hit word's count by its entries removed (not below 0).
bool lowerWordCounts(RemovalBatch& batch);
// Deletes the topic assignments (SIndex) of the batch's messages.
bool removeTopicAssignments(RemovalBatch& batch);

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
    // PER:TOCOUNT of every person (messages addressed to them).
    bool receivers(int quota, bool& ok);
    // PER:FROMCOUNT of every person.
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
    std::vector<long long> pending_;
    bool started_ = false;
    std::size_t next_ = 0;
    long writes_ = 0;
    long long threadsLeft_ = 0, personsLeft_ = 0;
};

}  // namespace pm
