#pragma once
// The general, display and output settings blocks of Konfig: where each
// item sits inside its 200 bytes and what it defaults to. Shared by Konfig
// and the convenience accessors.
#include <cstddef>
#include <span>

#include "common/types.h"
#include "tables/config/control_blocks.h"

namespace pm::konfig {

enum class Kind { Number, Text, Font };

// A font item: the name in the first 20 bytes, the size (LONG) after it.
inline constexpr std::size_t kFontNameWidth = 20;
inline constexpr std::size_t kFontWidth = kFontNameWidth + 4;

// Default of item 5: the day of loading.
inline constexpr LONG kDefaultToday = -1;

struct Item {
    int number;
    Kind kind;
    std::size_t offset;
    std::size_t width;        // bytes of a text; 4 for numbers
    LONG defaultValue;        // numbers and font sizes; 0 = none
    const char* defaultText;  // texts and font names; nullptr = none
};

struct Block {
    BYTE recordId;
    std::span<const Item> items;
    bool unknownIsFatal;  // general items: an unknown number is a program error
    ControlBlock memory{};
    bool loaded = false;
};

Block& generalBlock();
Block& displayBlock();
Block& outputBlock();

// The block of a Konfig operation (nullptr for an unknown operation).
Block* blockOfOperation(int operation);
// The block holding `item`, by number range (nullptr outside 2-63).
Block* blockOfItem(int item);
// The item's layout, or nullptr when the block does not hold it.
const Item* findItem(const Block& block, int item);

// Reads the block (creating a missing record), applies the defaults and
// writes it back. False when the record can be neither read nor written.
bool loadBlock(Block& block);
// Loads the block unless it is in memory already.
bool ensureLoaded(Block& block);
// Writes the block from memory.
bool saveBlock(Block& block);

}  // namespace pm::konfig
