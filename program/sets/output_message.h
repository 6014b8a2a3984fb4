#pragma once
// One stored message gathered for writing out: its header fields with the
// persons, section, thread, parent and Internet identifiers resolved, and
// its text. The layouts read only this, so they can be tested on messages
// made by hand.
#include <string>

#include "common/types.h"

namespace pm {

// A person as the layouts need it.
struct OutputPerson {
    std::string firstName;
    std::string lastName;
    std::string address;
};

struct OutputMessage {
    BYTE type = TypeForum;     // database type (forum, mail, newsgroup)
    ULONG number = 0;          // MSG:MSGNUMBER or MAI:MAILID
    LONG date = 0;             // day number (0: none)
    LONG time = 0;             // hundredths since midnight (mail only)
    std::string subject;       // thread heading, or the mail's subject
    OutputPerson sender;
    OutputPerson receiver;
    ULONG sectionNumber = 0;   // SEC:SECTIONNUMBER
    std::string sectionName;   // section name, or the newsgroup
    std::string databaseName;  // the forum's name (the database description)
    ULONG parent = 0;          // MSG:REFNUMBER (0: not a reply)
    bool sent = false;         // mail the owner sent (goes to the second file)
    std::string messageId;     // news: Message-ID of the message
    std::string parentId;      // news: Message-ID of the parent ("" when unknown)
    std::string text;          // lines joined with CR LF
};

// Reads message (or mail) `number` of the active database, whose header,
// text, person, section, thread and message-identifier tables are open.
// False when the header does not exist. A text that cannot be read is left
// empty, as is any name whose record is missing.
bool readOutputMessage(ULONG number, OutputMessage& out);

}  // namespace pm
