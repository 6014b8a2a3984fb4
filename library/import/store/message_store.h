#pragma once
// The message store: turns each work record of an import run into the records
// of the database being filled (header, text, persons, thread, section,
// Message-ID map, import register, topic entry), decides duplicates, and
// collects the per-person, per-thread and per-section counts that are
// written back when the database is finished.
//
// Life of one database in a run (the import driver's states):
//   beginDatabase -> (transaction) store per work record ->
//   mail: writeCarbonCopies -> writePersonCounts -> writeThreadCounts ->
//   writeSectionCounts -> writeDatabaseCount.
// Transactions are the caller's: store and the write-back steps
// write inside whatever transaction runs. Every write uses UppDat's
// roll-back-and-report mode, so a failed write leaves the transaction
// rolled back and the failure reported.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "import/addresses/mailbox_addresses.h"
#include "import/store/count_lists.h"
#include "import/store/mail_duplicates.h"
#include "import/store/person_cache.h"
#include "import/store/thread_store.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/scratch_tables.h"

namespace pm {

// Result of storing one record.
enum StoreResult : BYTE {
    StoreStored = 0,   // stored: counts as imported
    StoreSkipped = 1,  // duplicate or rejected: counts as skipped
    StoreFatal = 2,    // a write failed: the transaction is rolled back, the run ends
};

struct StoreOutcome {
    BYTE result = StoreStored;
    bool isNew = false;         // a new header was added (not an existing one updated)
    ULONG senderId = 0, receiverId = 0, threadNumber = 0;
};

// The text a mail gets for an empty sender or receiver name.
inline constexpr const char* NameUnknown = "Name Unknown";

// Forum messages without a number of their own are numbered from here up;
// the numbers their sources give lie below.
inline constexpr ULONG FirstNumberlessForumMessage = 9'000'000;
// NHR:MAILTYPE of such a message in the work file (beside the MailType
// values): the store numbers it by its content, so that reading it again
// finds it.
inline constexpr BYTE NumberlessForumMessage = 3;

// Hundredths of a second in one minute.
inline constexpr LONG MinuteOfTime = 6000;

// A mail's time cut to the start of its minute: with r = time mod 6,000
// (taking the divisor's sign, so 0 <= r < 6,000) the time becomes time - r.
// Every time within one minute gets the same value (6,000, 6,001 and 11,999
// all give 6,000), and so does a stored time cut by the older rule
// (time - r + 1).
LONG cutTimeToMinute(LONG time);

class MessageStore {
public:
    MessageStore();

    // Prepares storing into the ACTIVE database (Mem.ForumNumber, Mem.Dirnamn
    // and Mem.ForumType set by the caller, the tables of tablesFor() open):
    // loads the section list (forum, newsgroup), empties the
    // count lists and, for mail, the owner-name cache, and loads the owner
    // addresses from the database's Forums record (Mem.PersonID follows).
    // `mailTopic` 0 means no topic; the import date and time go into every
    // stored text.
    void beginDatabase(BYTE type, bool allowReimport, ULONG mailTopic, LONG importDate, LONG importTime);

    // The tables a store into a database of `type` uses, in opening order:
    // the catalog and Control, MsgText, Person and PLINK, and forum:
    // MsgNmbr, Sections, Threads, IMP; newsgroup: MsgNmbr, Sections, Threads,
    // MsgString, TempID; mail: Mail, CCR, SIndex, CCT. Open them with a
    // TableScope while the database is filled; the database's tables are
    // named from Mem.Dirnamn when they open.
    static const TableList& tablesFor(BYTE type);
    // Begins the store transaction of `type` (5-second lock wait, start
    // check) once all of tablesFor(type) are open; the one way an import
    // begins one. Returns false after reporting "Transaction Frame Error!"
    // when it cannot begin.
    static bool beginTransactionFor(BYTE type);

    // Section step and store of `record`. Names and subject are decoded
    // first (encoded header words); the record is left as it was stored
    // (decoded, its reference and a reply's receiver resolved, a mail's time
    // cut to the minute). The first message stored into a database marks it
    // as needing word indexing. On StoreFatal the transaction is rolled back and
    // the error reported; the count lists are then discarded, since they hold
    // counts of messages rolled back.
    StoreOutcome store(WorkRecord& record);

    // The driver's states after the last work record of the database. Each
    // handles at most `quota` records per call and returns true when it is
    // finished; `failed` is set when a write failed (transaction rolled back,
    // reported; the step then also returns true).
    //
    // Mail: copies the CCT records of the run's mails into CCR (a receiver
    // that is one of the owner's addresses is left out) and sets MAI.CCR = 1
    // on each mail that has any; mails not in Mail are passed over.
    bool writeCarbonCopies(int quota, bool& failed);
    // Adds the collected counts to PER.FROMCOUNT / PER.TOCOUNT (missing
    // persons are passed over).
    bool writePersonCounts(int quota, bool& failed);
    // Adds to THR.MSGCOUNT (forum, newsgroup; mail finishes at once).
    bool writeThreadCounts(int quota, bool& failed);
    // Adds to SEC.MSGCOUNT (forum only; newsgroup and mail finish at once).
    bool writeSectionCounts(int quota, bool& failed);
    // Writes the person, thread and section counts collected since the last
    // call, and adds the new headers to FOR.MSGCOUNT with FOR.COUNTFLAG set
    // (the count is final only after writeDatabaseCount), then empties the
    // lists. Called before every commit, so that each commit carries the
    // counts of the messages it stores and an interrupted run (even one
    // killed) leaves counts that match what is stored. False when a write
    // failed (rolled back and reported; the lists are discarded).
    bool writeCollectedCounts();
    // FOR.MSGCOUNT = records of MsgNmbr (Mail for mail), FOR.COUNTFLAG = 0,
    // written with the catalog record held (5-second wait). False after
    // reporting when it cannot be read, held or written.
    bool writeDatabaseCount();

    // How the parties of a mail are found.
    enum class MailParties {
        Import,  // the owner's side of the mail's direction is the owner (see resolveMailPeople)
        Merge,   // each party by its name and address, except that an address of the
                 // owner stands for the owner: mail merged from another mailbox of the
                 // same owner meets its copy in this one
    };
    void setMailParties(MailParties rule) { mailParties_ = rule; }

    // Record writes since the last reset (the caller commits after > 400).
    long writes() const;
    void resetWrites();

    // The owner addresses of the mail database being filled.
    const MailboxAddresses& mailbox() const { return mailbox_; }
    // The owner-name cache of mail (empty until the first owner mail).
    std::string ownerNameCache() const { return ownerName_.str(); }
    // The counts collected so far.
    CountLists& counts() { return counts_; }
    // The persons resolved and remembered (see PersonCache).
    const PersonCache& personCache() const { return persons_; }
    // Number of sections in the section list.
    std::size_t sectionCount() const { return sections_.size(); }

private:
    // The message's people as the header needs them.
    struct Party {
        Party() {
            lastName.clear();
            address.clear();
        }
        ULONG id = 0;
        FixedText<25> lastName;
        FixedText<60> address;
    };
    struct People {
        Party sender, receiver, partner;
    };

    void loadSections();
    bool sectionStep(const WorkRecord& record, ULONG& section);
    bool createSection(const WorkRecord& record, ULONG& section);

    StoreOutcome storeForum(WorkRecord& record, ULONG section);
    // A forum message without a number (MAILTYPE NumberlessForumMessage):
    // its number is found from its section, subject and text - the number
    // of the stored message it repeats (`stored` true), else the first
    // free one its content leads to.
    void numberByContent(WorkRecord& record, ULONG section, bool& stored);
    // Earlier versions numbered such messages in the order they were read:
    // a copy stored so lies in the message's thread but not where its
    // content leads. Its number, or 0.
    ULONG numberedInReadingOrder(const WorkRecord& record, ULONG section, const std::string& text);
    bool sameForumMessage(const WorkRecord& record, ULONG section, const std::string& text);
    StoreOutcome storeNewsgroup(WorkRecord& record, ULONG section);
    StoreOutcome storeMail(WorkRecord& record);
    StoreOutcome fatal();
    // Marks the database as needing word indexing (FOR:WORDLISTINDEXNEEDSUPDATE
    // = 1), once per database; false when the write failed (rolled back,
    // reported).
    bool flagForIndexing();

    bool resolveParty(std::string_view name, std::string_view address, Party& party);
    bool readHeader(ULONG number);
    bool writeHeader(const WorkRecord& record, bool isNew, ULONG section, ULONG number, const ThreadChoice& thread,
                     const People& people);
    bool writeText(const std::string& text, bool isNew, ULONG number);
    bool registerImport(ULONG database, ULONG number, bool isNew);
    bool reserveMessageId(const FixedText<60>& idString, ULONG number, bool& rejected);
    void countMessage(const StoreOutcome& outcome, ULONG section);
    // The outcome of a forum or newsgroup message just written, counted.
    StoreOutcome storedMessage(bool isNew, const People& people, const ThreadChoice& thread, ULONG section);

    // One write-back step over a count list: from where the last call
    // stopped (the start on the first call), at most `quota` entries; `add`
    // reads an entry's record and adds its count (false: the record is gone,
    // passed over), then the record is written. A failed write sets `failed`
    // and discards the lists. True when the list is done.
    template <typename List, typename Add>
    bool addCounts(const List& list, bool& started, typename List::const_iterator& at, Table& table, int quota,
                   bool& failed, Add add);

    bool resolveMailPeople(const WorkRecord& record, People& people);
    bool resolveMergedMailPeople(const WorkRecord& record, People& people);
    static MailDuplicates::Key duplicateKeyOf(const WorkRecord& record, const People& people);

    BYTE type_ = 0;
    MailParties mailParties_ = MailParties::Import;
    bool allowReimport_ = false;
    ULONG mailTopic_ = 0;
    bool flaggedForIndexing_ = false;  // this database is marked as needing word indexing
    LONG importDate_ = 0;
    LONG importTime_ = 0;

    // Section list: (low byte of the section number, description) -> SECSYSID.
    std::map<std::pair<BYTE, std::string>, ULONG> sections_;
    CountLists counts_;
    ULONG newHeaders_ = 0;  // headers added since the last writeCollectedCounts
    MailboxAddresses mailbox_;
    FixedText<25> ownerName_;
    MailDuplicates duplicates_;
    PersonCache persons_;
    // Per thread already looked at: digest of the text -> number, for its
    // messages numbered from FirstNumberlessForumMessage up.
    std::map<ULONG, std::multimap<std::uint64_t, ULONG>> numberlessByThread_;

    // Write-back progress.
    bool personsStarted_ = false, threadsStarted_ = false, sectionsStarted_ = false;
    std::vector<std::pair<ULONG, CountLists::PersonCount>> personOrder_;  // being written back
    std::size_t personAt_ = 0;
    std::map<ULONG, ULONG>::const_iterator threadAt_, sectionAt_;
    struct CarbonCopyState {
        bool started = false;
        bool finished = false;
        std::vector<CCTRecord> records;  // in key order, each receiver once
        std::size_t next = 0;
        bool haveMail = false;  // a record has been handled
        ULONG mailId = 0;       // CCT.MAILID of the previous record
        bool skipMail = false;  // the mail is not in Mail
    } carbonCopies_;
};

}  // namespace pm
