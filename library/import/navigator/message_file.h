#pragma once
// The message files of WinCIM, DOSCIM and CSNav: one message per file,
// little-endian, beginning "VIS000" and a zero byte; the header length
// (2 bytes) at offset 7 and the message kind at offset 9 (1 mail, 2 forum
// message, 3 forum message of the second layout). Strings are a length byte
// and the characters; dates are day, month, year - 1970; times seconds,
// minutes, hours (a byte each).
//
// The receivers of a mail: a count byte and that many "TO" entries, then
// up to three further lists, each a kind byte (1 "TO", 2 "CC", 3 "BC"; 4
// ends the lists), a count byte and that many entries; an entry is a name
// and an address string. The CompuServe 3.x cabinet keeps mail receivers in
// the same way.
#include <string_view>
#include <vector>

#include "import/navigator/field_reader.h"
#include "import/navigator/navigator_message.h"

namespace pm::navigator {

enum class MessageFileRead {
    Read,          // `message` holds the message
    NotMessageFile,  // no signature
    UnknownKind,   // a kind other than 1, 2 and 3
    Damaged,       // the file ends inside the header
};

// Reads a whole message file. Texts are converted from `codePage`; the
// text has its layout codes resolved and is a message text (mail bodies
// that begin with an Internet header are read as Internet messages).
// Kind 3 messages carry no message number, so the register of imported
// messages is not asked for them.
MessageFileRead readMessageFile(std::string_view bytes, const char* codePage, NavigatorMessage& message);

// The receiver lists at the reader's position (see above).
std::vector<MailRecipient> readRecipientLists(FieldReader& reader, const char* codePage);

// The text of a stored message body: a leading "@l" removed, the layout
// codes "@b" and "@l" resolved into line breaks, at most 63,998 bytes
// read, converted from `codePage`.
std::string storedBodyText(std::string_view bytes, bool mail, const char* codePage);

// A date of three bytes (day, month, year - 1970) as a day number; 0 when
// it is no date.
LONG threeByteDate(unsigned day, unsigned month, unsigned yearsAfter1970);

}  // namespace pm::navigator
