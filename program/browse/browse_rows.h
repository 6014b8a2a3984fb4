#pragma once
// What one row of the message or mail browse shows: the header texts
// built from the message and its thread, section and persons (a missing
// record gives blank cells), and the effective status that colours it.
#include <string>
#include <unordered_map>

#include "browse/paged_list.h"
#include "common/types.h"
#include "tables/records/message_tables.h"

namespace pm {

// The cells of a message browse row, in this order.
enum MessageCell : std::size_t {
    CellThread,    // thread heading, 50 characters
    CellSender,    // "Last,First Address", 50 characters
    CellReceiver,
    CellSection,   // "03 Description"
    CellDate,      // in the date picture of the reader
    CellNumber,    // message number
    CellReplyTo,   // MSG:REFNUMBER ("" for 0)
    MessageCellCount,
};

// The cells of a mail browse row.
enum MailCell : std::size_t {
    MailCellDate,
    MailCellTime,
    MailCellSubject,   // 50 bytes
    MailCellSender,    // up to 95 characters
    MailCellReceiver,
    MailCellType,      // MAI:RECIPTYPE
    MailCellCc,        // "CC" when carbon copies exist
    MailCellNumber,    // MAI:MAILID
    MailCellCount,
};

// The first `n` characters of UTF-8 `text`.
std::string cutCharacters(std::string_view text, std::size_t n);
// A thread's 100-byte heading (ALPHA and BETA) as one text: the padding a
// character split at byte 10 left in ALPHA is taken out again.
std::string threadHeading(const ThreadsRecord& thread);
// "Last,First Address" (message browse; trailing blanks dropped).
std::string messagePersonText(const PersonRecord& person);
// The mail browse's form: "Last,First Address" with both names, "Last
// Address" with only the last one, the address alone without it.
std::string mailPersonText(const PersonRecord& person);
// A person as people read it: "First Last <address>".
std::string personDisplayName(const PersonRecord& person);
// "Normal", "Keep" or "Delete".
const char* statusName(BYTE status);
// The first non-zero status of the list, else Normal.
BYTE effectiveStatus(std::initializer_list<BYTE> statuses);

// Reads the records a row needs, remembering threads, sections and persons
// already read (forget() after their statuses change).
class RowLookups {
public:
    struct Thread {
        bool found = false;
        std::string heading;
        BYTE status = 0;
    };
    struct Section {
        bool found = false;
        std::string text;         // "03 Description"
        std::string description;  // SEC:DESCRIPTION
        BYTE status = 0;
    };
    struct Person {
        bool found = false;
        PersonRecord record{};
        BYTE status = 0;
    };
    const Thread& thread(ULONG number);
    const Section& section(ULONG id);
    const Person& person(ULONG id);
    void forget();

private:
    std::unordered_map<ULONG, Thread> threads_;
    std::unordered_map<ULONG, Section> sections_;
    std::unordered_map<ULONG, Person> persons_;
};

// Fills browse rows from the message or mail in its buffer (MSG or MAI).
class BrowseRowReader {
public:
    // `datePicture` and `timePicture` format the date and time cells;
    // `databaseStatus` is the active database's status ($Mem:ForumCheck).
    BrowseRowReader(std::string datePicture, std::string timePicture, BYTE databaseStatus);

    // A row of the message browse from MSG.
    void fillMessage(ListRow& row);
    // A row of the mail browse from MAI.
    void fillMail(ListRow& row);
    // A row for message `number` that no longer exists.
    void fillMissing(ListRow& row, ULONG number, std::size_t cells, std::size_t numberCell);

    // The reader for a view's range: reads the message the list record
    // names first when the view lists references.
    RowReader messageReader(const KeyRange& range);
    RowReader mailReader(const KeyRange& range);

    void setDatabaseStatus(BYTE status) { databaseStatus_ = status; }
    BYTE databaseStatus() const { return databaseStatus_; }
    RowLookups& lookups() { return lookups_; }

private:
    std::string datePicture_;
    std::string timePicture_;
    BYTE databaseStatus_;
    RowLookups lookups_;
};

}  // namespace pm
