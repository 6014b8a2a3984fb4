#pragma once
// Finding or creating the thread of a subject within a section.
#include <string_view>

#include "common/fixed_text.h"
#include "common/types.h"
#include "tables/records/message_tables.h"

namespace pm {

// A thread as a message header refers to it.
struct ThreadChoice {
    ThreadChoice() { alpha.clear(); }
    ULONG number = 0;
    FixedText<10> alpha;  // THR.ALPHA: the sort part of the subject
};

// Writes `heading` into THR.HEADING so that ALPHA holds its first 10 bytes
// cut at a whole UTF-8 character (blank padded) and BETA the rest (90
// bytes, cut likewise): no character is split between the two parts.
void setThreadHeading(ThreadsRecord& thread, std::string_view heading);

// Whether `thread`'s heading is `heading` as setThreadHeading would write
// it: exact, letter case included, trailing blanks ignored.
bool threadHeadingEquals(const ThreadsRecord& thread, std::string_view heading);

// The thread of section `section` whose heading equals `heading` exactly
// (letter case included, trailing blanks ignored), found on THR_SecKey.
// False when there is none (or Threads cannot be read). Threads must be open.
bool findThread(ULONG section, std::string_view heading, ThreadChoice& thread);

// The thread findThread finds; when there is none a new thread is added (number from NextNr, count 0).
// Threads and Control must be open. Returns false on failure: a counter
// failure reports "Transaction Frame Error!", a write failure its error;
// either way the transaction is rolled back.
bool findOrCreateThread(ULONG section, std::string_view heading, ThreadChoice& thread);

}  // namespace pm
