#pragma once
// The envelope line of a Unix mailbox: "From " followed by the sender and
// the date the message was delivered ("From anna@example.com  Wed Feb  1
// 19:06:09 2006"). Only such a line separates two messages; a body line
// that merely begins with "From " ("From Russia with love") does not.
#include <string_view>

#include "import/internet/message_date.h"

namespace pm::formats {

struct Envelope {
    bool isEnvelope = false;
    inet::MessageDate date;  // date 0 when the line carries none
};

// Reads `line` as an envelope line: "From ", a sender (one word, or the
// three words "name at host" of obfuscated list archives) and a date the
// message date builder reads. Without a date the line is an envelope only
// when the sender is its one word and reads "-" (the bare separator of
// Mozilla mailboxes) or holds an "@" (mailboxes written without dates).
// The separators of Eudora ("From ???@??? date") and Mozilla ("From -
// date") read the same way, so their dates come from here too.
Envelope readEnvelope(std::string_view line);

}  // namespace pm::formats
