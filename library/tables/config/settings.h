#pragma once
// The stored settings of the installation, kept as 200-byte blocks in the
// Control table and loaded once at start-up. Each service loads its block,
// hands items out and takes them in by item number in memory, and writes
// the block back on request ("load-modify-save"). Every service returns
// true on success. An item number a general or directory block does not
// hold ends the program ("Internal Error - invalid xType").
#include <array>
#include <cstdint>
#include <string>

#include "common/types.h"

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
bool Konfig(int operation, int item = 0, LONG* value = nullptr, std::string* text = nullptr);

// Convenience: the numeric value of an item of the general, display or
// output block (0 when unset).
LONG configValue(int item);
// Sets and saves one numeric item of whichever block holds it.
bool setConfigValue(int item, LONG value);

// AutoPath: 1 load (creating the record with the defaults from Mem.Net),
// 2 set item 17 (temporary directory) or 18 (database top directory),
// 3 get, 4 save.
bool AutoPath(int operation, int item = 0, std::string* text = nullptr);

// WSVars: word-search settings (record 10) and the stored word definition
// (records 11-16). 1 load, 2 set, 3 get, 4 save. Item 44 (word-index top
// directory) travels in `text`, 49 and 51-56 in `byteValue`, 50 in
// `longValue`.
bool WSVars(int operation, int item = 0, std::string* text = nullptr, BYTE* byteValue = nullptr,
            LONG* longValue = nullptr);

// Window positions: 25 slots of (left, top, width, height).
struct WindowPlace {
    std::int16_t left = 0, top = 0, width = 0, height = 0;
};
enum WindowPosOperation : int { LoadPositions = 1, StorePosition = 2, GetPosition = 3, SavePositions = 4, ResetPositions = 5 };
// The main set (records 2 and 3) and the secondary set (records 7 and 8).
bool WindowPos(int operation, int slot = 0, WindowPlace* place = nullptr);
bool WindowPos2(int operation, int slot = 0, WindowPlace* place = nullptr);

// List column widths: 20 slots of five widths.
using ColumnWidths = std::array<std::int16_t, 5>;
enum ListColOperation : int { LoadColumns = 1, TakeColumns = 2, ApplyColumns = 3, SaveColumns = 4, ResetColumns = 5 };
bool ListCol(int operation, int slot = 0, ColumnWidths* widths = nullptr, int columnCount = 5);

// The slice sizes of the long operations, from the speed sliders (26-30).
enum SpeedOption : int {
    SpeedDuplicates = 26, SpeedCountPurge = 27, SpeedIndexing = 28, SpeedFindText = 29, SpeedImportMerge = 30,
};
// Records or messages per slice for the operation.
int SpeedVal(int option);

}  // namespace pm
