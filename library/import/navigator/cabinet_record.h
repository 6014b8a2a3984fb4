#pragma once
// One record of the CompuServe 3.x cabinet file (from its marker to the
// next kept marker). Positions count from the record's start:
//   10        a zero byte, else no message record
//   137       the kind: 2 forum message, 9 mail
//   142       date and time (4 bytes): bits 0-4 seconds / 2, 5-10 minutes,
//             11-15 hours; in the upper half bits 0-4 the day, 5-8 the
//             month, 9-15 the year counted from 1970
//   150       when at least 50 bytes remain: subject, sender name, sender
//             address, section name, forum name and two one-character
//             strings (strings: a length byte, up to 75 characters kept)
// then for a forum message: 2 bytes, a string, the section number (1),
// 4 bytes, the receiver (name and identifier in one string), 4 bytes, the
// message number and the number it answers (4 each), 10 bytes, the text's
// length (4) and the text; for mail the receiver lists and the text as in
// the WinCIM message file.
#include <string_view>

#include "import/navigator/navigator_message.h"

namespace pm::navigator {

enum class CabinetRecord {
    Message,      // `message` holds a forum message or mail
    Ignored,      // shorter than 112 bytes, or no zero at byte 10
    UnknownKind,  // neither forum message nor mail
};

CabinetRecord readCabinetRecord(std::string_view record, NavigatorMessage& message);

}  // namespace pm::navigator
