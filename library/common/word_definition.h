#pragma once
// The word definition: four 256-entry tables, indexed by a character's
// Windows-1252 code, that say which characters may start, continue and end a
// word. An entry is 0 for "yes" (allowed, shown as indexed) and 1 for "no".
//
// The tables are process-wide and hold the defaults from program start. They
// are stored in the Control table as one 1024-byte stream (IsJunk, Start, In,
// End) cut into the 200-byte control fields of records 11 to 16; the
// functions here convert between the tables and those blocks without touching
// any file.
#include <array>
#include <cstddef>
#include <span>

#include "common/types.h"

namespace pm {

using WordHashTable = std::array<BYTE, 256>;

// Non-zero: the character can not start a word (it is skipped before a word).
extern WordHashTable StartWordHash;
// Non-zero: the character can not stand inside a word (it ends the word before it).
extern WordHashTable InWordHash;
// Non-zero: the character can not end a word (it is trimmed off a word's end).
extern WordHashTable EndWordHash;
// Number class of the character (1 digits and signs, 2 separators of dates and
// times, 3 hex letters). Kept and stored; the word breaker does not read it.
extern WordHashTable IsJunkHash;

// A complete word definition as a value, for building, comparing and storing
// without touching the globals.
struct WordDefinition {
    WordHashTable startWord{};
    WordHashTable inWord{};
    WordHashTable endWord{};
    WordHashTable isJunk{};

    bool operator==(const WordDefinition&) const = default;
};

// The default word definition.
WordDefinition defaultWordDefinition();

// Sets the four global tables to the default word definition.
void buildDefaultWordDefinition();

// The global tables as a value.
WordDefinition currentWordDefinition();

// Copies `definition` into the four global tables.
void setCurrentWordDefinition(const WordDefinition& definition);

// The caret rule of an indexing run: from now on a caret (94) can not start a
// word, so "^word" is indexed as WORD. Changes the global StartWordHash.
void applyIndexingCaretRule();

// ---- Stored form (Control records 11 to 16) ----

inline constexpr int kFirstWordDefinitionRecord = 11;
inline constexpr int kLastWordDefinitionRecord = 16;
inline constexpr std::size_t kWordDefinitionStreamSize = 1024;
inline constexpr std::size_t kControlBlockSize = 200;

using WordDefinitionStream = std::array<BYTE, kWordDefinitionStreamSize>;
using ControlBlock = std::array<BYTE, kControlBlockSize>;

// The 1024-byte stream: IsJunk (bytes 0-255), Start (256-511), In (512-767),
// End (768-1023).
WordDefinitionStream wordDefinitionStream(const WordDefinition& definition);
WordDefinitionStream wordDefinitionStream();  // of the global tables

// The stream cut into the control fields of records 11..16: element i holds
// stream bytes 200*i .. 200*i+199; the last block holds bytes 1000-1023 and is
// zero after them.
std::array<ControlBlock, 6> wordDefinitionBlocks(const WordDefinition& definition);
std::array<ControlBlock, 6> wordDefinitionBlocks();  // of the global tables

// Rebuilds a definition from the control fields of records 12..16 (element 0
// is record 12). Start, In and End come from the blocks; IsJunk is not read
// back and always holds its defaults.
WordDefinition wordDefinitionFromBlocks(std::span<const ControlBlock, 5> records12to16);

// The same, stored into the global tables.
void loadWordDefinitionBlocks(std::span<const ControlBlock, 5> records12to16);

// ---- Editing rule of the settings wizard ----

// One row of the word definition page (0 = yes, 1 = no in each column).
struct WordDefinitionRow {
    BYTE code = 0;
    BYTE startWord = 0;
    BYTE inWord = 0;
    BYTE endWord = 0;

    bool operator==(const WordDefinitionRow&) const = default;
};

enum class WordDefinitionColumn { Start, Inside, End };

// The row after a click on one cell. A click flips the cell, except that
// setting Inside to no also sets End to no, and End can be set back to yes
// only while Inside is yes (otherwise the click changes nothing).
WordDefinitionRow toggleWordDefinitionCell(WordDefinitionRow row, WordDefinitionColumn column);

// Row `code` of `definition`, and the definition with one row replaced.
WordDefinitionRow wordDefinitionRow(const WordDefinition& definition, BYTE code);
void setWordDefinitionRow(WordDefinition& definition, const WordDefinitionRow& row);

}  // namespace pm
