#pragma once
// The stored settings of the installation, kept as 200-byte blocks in the
// Control table and loaded once at start-up. Each service loads its block,
// hands items out and takes them in by item number in memory, and writes
// the block back on request ("load-modify-save"). Every service returns
// true on success. An item number a general or directory block does not
// hold ends the program ("Internal Error - invalid xType").
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/types.h"
#include "common/word_definition.h"

namespace pm {

// Konfig operations.
enum KonfigOperation : int {
    LoadGeneral = 1, SetGeneral = 2, GetGeneral = 3, SaveGeneral = 4,
    LoadDisplay = 6, SetDisplay = 7, GetDisplay = 8, SaveDisplay = 9,
    LoadOutput = 23, SetOutput = 24, GetOutput = 25, SaveOutput = 26,
};

// General (2-19), display (22-60) and output (61-63) items. Numeric items
// travel in `value`, text items (14; fonts 33-36 carry a name and a size)
// in `text` (and the size in `value`).
//
// Load (1, 6, 23) reads the block, creating a missing record, gives every
// item stored as 0 or blank its default, and writes the block back; loading
// the general block also raises CTL:NEXTNUMBER to at least 250,000. Set and
// get work on the block in memory (a block not yet loaded is loaded first);
// save (4, 9, 26) writes it back. A general item the block does not hold
// ends the program ("Internal Error - invalid xType"); display and output
// operations on unknown items do nothing and return false. The general
// block holds 2-6, 9-14, 16 and 19; the display block 22-43, 45-48 and
// 57-60 (31, 41, 43 and 45 are the tab sheet colours); the output block 61-63 (kept in record 17, so that it
// never shares a record with the stored word definition).
bool Konfig(int operation, int item = 0, LONG* value = nullptr, std::string* text = nullptr);

// What kind of value a settings item holds, whichever service keeps it.
enum class ConfigItemKind {
    None,       // no such item
    Number,     // 32-bit number (Konfig; 50 of WSVars)
    Byte,       // one byte (49, 51-56 of WSVars)
    Text,       // text (14)
    Font,       // font name and size (33-36)
    Directory,  // directory (17, 18 of AutoPath; 44 of WSVars)
};
ConfigItemKind configItemKind(int item);
// Bytes a text, font name or directory item holds; 0 for other items.
std::size_t configTextWidth(int item);

// Convenience over Konfig and WSVars: the numeric value of an item (a
// font's size), 0 when unset. The block is loaded when it was not yet.
// A general item the block does not hold ends the program.
LONG configValue(int item);
// Sets and saves one numeric item (a font's size) of whichever block holds
// it. False when the item holds no number or the block cannot be written.
bool setConfigValue(int item, LONG value);
// The text of a text, font (its name) or directory item; "" otherwise.
std::string configText(int item);
// Sets and saves a text item or a font's name; a directory item goes
// through changeDirectory(). False when the item holds no text or the
// save fails.
bool setConfigText(int item, const std::string& text);

// Makes `path` the directory of item 17 (temporary), 18 (database top) or
// 44 (word-index top): stores it, creates it when it differs from the one
// in use, makes it current (Mem.TempDir, Mem.FileDir, MasIdxPath) and saves
// the block. False when the directory cannot be created or the block not
// saved; any other item ends the program.
bool changeDirectory(int item, const std::string& path);

// How a top directory is kept in the settings: one below the installation
// root (Mem.Net) relative to it ("." for the root itself), so that a copied
// or moved installation works on its own directories; any other as it
// stands.
std::string storedDirectoryText(const std::string& path);
// The directory a stored text names: a relative one lies below Mem.Net.
std::string directoryFromStored(const std::string& stored);

// AutoPath: 1 load (creating the record with the defaults from Mem.Net),
// 2 set item 17 (temporary directory) or 18 (database top directory),
// 3 get, 4 save. A blank item reads as its default (Mem.Net + "/TEMP",
// Mem.Net). Directories are stored by storedDirectoryText and read back by
// directoryFromStored; a directory below Mem.Net that an older version
// stored in full is stored relative at load. Any other item ends the
// program ("Internal Error - invalid xType").
bool AutoPath(int operation, int item = 0, std::string* text = nullptr);

// WSVars: word-search settings (record 10) and the stored word definition
// (records 11-16). 1 load, 2 set, 3 get, 4 save. Item 44 (word-index top
// directory) travels in `text`, 49 and 51-56 in `byteValue`, 50 in
// `longValue`.
//
// Load builds the default word definition, reads records 11-16 (creating
// missing ones from the tables in memory; an unreadable one of 12-16 keeps
// the defaults) and the settings record (created with the defaults when
// missing; a blank byte of item 49 means never initialised, so every number
// takes its default; a blank item 44 takes MasIdxPath, else Mem.FileDir).
// Item 44 is stored and read back like the directories of AutoPath.
// Save writes record 10 and the six word-definition records. An unknown
// item ends the program.
bool WSVars(int operation, int item = 0, std::string* text = nullptr, BYTE* byteValue = nullptr,
            LONG* longValue = nullptr);

// Records 11-16 as read at load, for resolving the stored word definition.
struct StoredWordDefinitionRecord {
    enum State { Read, Missing, Unreadable } state = Missing;
    ControlBlock block{};
};
// The definition the stored records give: Start, In and End from records
// 12-16, a missing record counting as the defaults; the defaults when any
// of 12-16 cannot be read.
WordDefinition resolveStoredWordDefinition(const std::array<StoredWordDefinitionRecord, 6>& records11to16);

// Window positions: 25 slots (1-25) of (left, top, width, height). Load
// (1) reads the current record (3, or 8 for WindowPos2), writing the
// defaults record (2 / 7) and a missing current record from the built-in
// table. Store (2) keeps each value below 2,000 (and above -2,000: a
// minimized or off-screen window reports such values). Get (3) fills
// `place`. Save (4) writes the current record. Reset (5) puts the built-in
// table back in memory. False for a slot outside 1-25, a missing `place`
// or a record that cannot be read or written.
struct WindowPlace {
    std::int16_t left = 0, top = 0, width = 0, height = 0;
};
enum WindowPosOperation : int { LoadPositions = 1, StorePosition = 2, GetPosition = 3, SavePositions = 4, ResetPositions = 5 };
// The main set (records 2 and 3) and the secondary set (records 7 and 8).
bool WindowPos(int operation, int slot = 0, WindowPlace* place = nullptr);
bool WindowPos2(int operation, int slot = 0, WindowPlace* place = nullptr);

// List column widths: 20 slots (1-20) of five widths, records 5 (defaults)
// and 6 (current), with the operations of WindowPos: 1 load, 2 take the
// first `columnCount` widths (2-5; slots 1 and 2 always take all five, as
// their lists keep the widths in one 10-byte string), 3 fill `widths` with
// the stored ones, 4 save, 5 reset to the built-in table.
using ColumnWidths = std::array<std::int16_t, 5>;
enum ListColOperation : int { LoadColumns = 1, TakeColumns = 2, ApplyColumns = 3, SaveColumns = 4, ResetColumns = 5 };
bool ListCol(int operation, int slot = 0, ColumnWidths* widths = nullptr, int columnCount = 5);

// The slice sizes of the long operations, from the speed sliders (26-30).
enum SpeedOption : int {
    SpeedDuplicates = 26, SpeedCountPurge = 27, SpeedIndexing = 28, SpeedFindText = 29, SpeedImportMerge = 30,
};
// Records or messages per slice for the operation, from the slider value
// (1-7, default 4; values outside are clamped) of its display item:
//   slider             1    2    3    4     5     6     7
//   factor            1/8  1/4  1/2   1     2     4     8
// times the size at the default: import/merge 100 messages, count/purge
// 200 records, find text 200 records, duplicate elimination 100 persons,
// keyword indexing 25 messages (halves round up: 100 -> 50, 25, 13).
// Lower values give a livelier screen, higher ones faster runs. Uses the
// sliders read by the last loadSpeedValues(), the defaults before it. Any
// other option ends the program ("Internal Error - invalid xType").
int SpeedVal(int option);
// Reads the five slider values from the display block (loading it when it
// is not in memory). False when the display block cannot be read.
bool loadSpeedValues();

// The 10-byte string form of five column widths (little-endian), as the
// lists of slots 1 and 2 keep them.
std::string packColumnWidths(const ColumnWidths& widths);
ColumnWidths unpackColumnWidths(const std::string& tenBytes);

}  // namespace pm
