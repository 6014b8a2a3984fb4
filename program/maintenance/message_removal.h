#pragma once
// Removing one stored message with everything that names it, inside the
// caller's transaction: its header (the record last read of MsgNmbr or
// Mail), its text, its carbon copies (mail), its topic attachments
// (SIndex) and its word occurrences (MasIdx). The words' counts are taken
// down in the same transaction (applyWordTally), so that a run killed at
// any point leaves no occurrence or count of a message that is gone.
#include <map>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

// Occurrences removed per word id, and the totals of a run.
struct WordTally {
    std::map<ULONG, long long> perWord;
    long long entriesRemoved = 0;  // MasIdx records removed
    long long wordsRemoved = 0;    // WordList records removed (count down to 0)
};

// Removes the message whose header was last read (MSG for forum and
// newsgroup databases, MAI for mail) and what names it; `wordIndex` when
// the word-index tables are open. A failed write has rolled the
// transaction back and been reported: false.
bool removeMessage(BYTE databaseType, bool wordIndex, WordTally& words);

// Subtracts the tallied occurrences from WOR:WORDCOUNT; a word whose count
// drops to 0 or below leaves the word list. Empties perWord. False after a
// failed write (rolled back and reported).
bool applyWordTally(WordTally& words);

// Removes the PLINK records of person `id` (PLI:PersonKey). False after a
// failed write.
bool removeAliasesOf(ULONG id);

// A read of `table` that failed inside a maintenance transaction: rolls the
// transaction back, reports the table and the engine's words (unless
// quiet) and returns false.
bool readFailed(Table& table);

}  // namespace pm
