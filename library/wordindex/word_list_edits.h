#pragma once
// What the word list and the ignore list windows (and their commands) change
// in the word index of the active database: deletion marks on indexed words
// and the stop words. Marked words leave the index, and become stop words,
// with the next indexing run (its word delete cleanup); a stop word added by
// hand is only skipped from the next run on.
//
// Every function opens and releases the tables it uses; a failed write is
// reported through the user interface (the record services) and returns
// false with nothing half-done.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// The word ids marked for deletion (PUR records without a message number;
// others are a purge's scratch copy and are left alone).
std::set<LONG> loadDeletionMarks();

// Makes the marks exactly `marks`: unmarked words lose their record, newly
// marked ones get one. One transaction. With marks pending the database is
// marked as needing word indexing (FOR:WORDLISTINDEXNEEDSUPDATE), so that an
// index run over the marked databases applies them.
bool saveDeletionMarks(const std::set<LONG>& marks);

// Builds WOR:by_WordCount when the active database's flag says the last run
// could not (Mem.WordListIndexNeedsUpdate 1), and clears the flag in memory
// and in the catalog when it worked. False when the build failed (reported).
bool refreshWordCountOrder();

// The id of indexed word `word` (upper-cased here); empty when it is not in
// the word list.
std::optional<LONG> indexedWordId(const std::string& word);

// The stop words in word order.
std::vector<std::string> stopWords();

// The stop word as it is stored: trimmed, upper case, at most 40 characters.
std::string stopWordKey(const std::string& word);

// Adds `word` (stopWordKey) to the stop words. A blank word is not stored
// (true, nothing written); a word already there is reported as a duplicate
// by the file layer (false).
bool addStopWord(const std::string& word);
// Replaces stop word `oldWord` by `newWord`; a blank new word changes
// nothing. False when the old word is gone or the new one is taken
// (reported).
bool updateStopWord(const std::string& oldWord, const std::string& newWord);
// Deletes stop word `word`; false when it is not there (reported) or the
// delete failed.
bool deleteStopWord(const std::string& word);

}  // namespace pm
