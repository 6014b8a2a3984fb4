#pragma once
// The message store: turns the current NewHR work record into the permanent
// records of the database being filled (header, text, persons, thread,
// section, register) and writes the message counts back when the database
// is done.
//
// This is the small store the import driver is built and tested against:
// forum, newsgroup and mail headers with their texts, persons, threads and
// sections, the imported-message register and the count write-back.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

enum StoreResult : BYTE { StoreStored = 0, StoreSkipped = 1, StoreFatal = 2 };

struct StoreOutcome {
    BYTE result = StoreStored;
    bool isNew = false;  // a new header was added (not an existing one updated)
    ULONG senderId = 0, receiverId = 0, threadNumber = 0;
};

class MessageStore {
public:
    // Starts a database: the active database (Mem.ForumNumber, Mem.Dirnamn)
    // of `type`, whose tables are open (openTables). Loads its sections and
    // empties the count lists.
    void beginDatabase(BYTE type, bool allowReimport, ULONG mailTopic, LONG importDate, LONG importTime);

    // Opens / releases the tables a database of `type` is filled through
    // (counted, through the open service).
    static void openTables(BYTE type);
    static void releaseTables(BYTE type);
    // The tables a store transaction of `type` writes.
    static std::vector<Table*> transactionTables(BYTE type);

    // Section step and store of the current NHR record, inside the caller's
    // transaction. StoreFatal after the failed write rolled the transaction
    // back and was reported.
    StoreOutcome storeCurrent();

    // Count write-back steps, at most `quota` records per call; true when
    // the step is done. `failed` is set (after reporting) when a write failed.
    bool writeCarbonCopies(int quota, bool& failed);
    bool writePersonCounts(int quota, bool& failed);
    bool writeThreadCounts(int quota, bool& failed);
    bool writeSectionCounts(int quota, bool& failed);
    // FOR:MSGCOUNT and FOR:COUNTFLAG of the database; false after reporting.
    bool writeDatabaseCount();

    // Writes made since the last resetWrites().
    long writes() const { return writes_; }
    void resetWrites() { writes_ = 0; }

private:
    struct Section {
        BYTE number;
        ULONG sysId;
        std::string description;
    };
    struct PersonCount {
        ULONG sent = 0, received = 0;
    };

    bool write(Table& table, int operation);
    ULONG sectionOfRecord(bool& failed);
    ULONG addPerson(const std::string& name, const std::string& address, std::string& lastName, bool& failed);
    ULONG findOrCreateThread(ULONG section, const std::string& heading, std::string& alpha, bool& failed);
    StoreOutcome storeForum(ULONG section);
    StoreOutcome storeNewsgroup(ULONG section);
    StoreOutcome storeMail();
    bool writeText(ULONG number, bool isNew);
    void count(const StoreOutcome& outcome, ULONG section);

    BYTE type_ = 0;
    bool allowReimport_ = false;
    ULONG mailTopic_ = 0;
    LONG importDate_ = 0, importTime_ = 0;
    long writes_ = 0;
    std::vector<Section> sections_;
    std::map<ULONG, PersonCount> persons_;
    std::map<ULONG, ULONG> threads_;
    std::map<ULONG, ULONG> sectionCounts_;
    // Progress of the write-back steps.
    std::map<ULONG, PersonCount>::const_iterator personAt_;
    std::map<ULONG, ULONG>::const_iterator threadAt_, sectionAt_;
    bool personsStarted_ = false, threadsStarted_ = false, sectionsStarted_ = false;
    bool carbonCopiesStarted_ = false;
    ULONG lastCarbonCopyMail_ = 0;
    bool lastCarbonCopyMailFound_ = false;
};

}  // namespace pm
