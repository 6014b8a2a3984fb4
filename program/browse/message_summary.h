#pragma once
// One message of the active database as a plain record, for output: its
// header fields with the persons, thread and section resolved.
#include <string>

#include "browse/browse_rows.h"
#include "common/types.h"

namespace pm {

struct MessageSummary {
    ULONG number = 0;       // MSG:MSGNUMBER or MAI:MAILID
    LONG date = 0;
    LONG time = 0;
    bool hasTime = false;   // mails carry a time; forum and newsgroup messages do not
    std::string sender;     // "First Last <address>"
    std::string receiver;
    std::string subject;    // thread heading, or the mail's subject
    std::string section;    // the section's (newsgroup's) name ("" for mail)
    ULONG replyTo = 0;      // MSG:REFNUMBER (0 for mail)
    ULONG thread = 0;
    BYTE ownStatus = 0;     // MSG:DUMMY / MAI:DUMMY
    BYTE status = 0;        // effective: message, thread, section (partner), database
};

// Reads message `number` of the active database (forum and newsgroup
// tables, or mail ones, by Mem.ForumType; open); false when there is none.
// `lookups` keeps the records read for the next call.
bool readMessageSummary(ULONG number, RowLookups& lookups, MessageSummary& out);

}  // namespace pm
