#include "tables/config/konfig_blocks.h"

#include <algorithm>

#include "common/dates.h"

namespace pm::konfig {

namespace {

using K = Kind;

// Record 1. Numbers sit at 4 * (item - 2), so the slots of the unused
// numbers 7, 8, 15, 17 and 18 stay free; the import path follows them.
constexpr Item kGeneralItems[] = {
    {2, K::Number, 0, 4, 1, nullptr},    // frame display option (tool tips)
    {3, K::Number, 4, 4, 15, nullptr},   // locator reset delay
    {4, K::Number, 8, 4, 1, nullptr},    // preferences option
    {5, K::Number, 12, 4, kDefaultToday, nullptr},  // earliest message date
    {6, K::Number, 16, 4, 0, nullptr},   // default database
    {9, K::Number, 28, 4, 1, nullptr},   // preferences option
    {10, K::Number, 32, 4, 17, nullptr}, // date format code
    {11, K::Number, 36, 4, 0, nullptr},  // settings version
    {12, K::Number, 40, 4, 17, nullptr}, // default import file type
    {13, K::Number, 44, 4, 7, nullptr},  // time format code
    {14, K::Text, 72, 100, 0, nullptr},  // default import path
    {16, K::Number, 56, 4, 2, nullptr},  // thread tree line format
    {19, K::Number, 68, 4, 0, nullptr},  // default mail database
};

// Record 9: the numbers in item order, then the four fonts and the tab colours.
constexpr Item kDisplayItems[] = {
    {22, K::Number, 0, 4, 255, nullptr},
    {23, K::Number, 4, 4, 12632256, nullptr},
    {24, K::Number, 8, 4, 8388608, nullptr},
    {25, K::Number, 12, 4, 255, nullptr},
    {26, K::Number, 16, 4, 4, nullptr},  // speed: duplicate elimination
    {27, K::Number, 20, 4, 4, nullptr},  // speed: count / purge
    {28, K::Number, 24, 4, 4, nullptr},  // speed: keyword indexing
    {29, K::Number, 28, 4, 4, nullptr},  // speed: find text
    {30, K::Number, 32, 4, 4, nullptr},  // speed: import / merge
    {32, K::Number, 36, 4, 0, nullptr},
    {37, K::Number, 40, 4, 0, nullptr},
    {38, K::Number, 44, 4, 1, nullptr},
    {39, K::Number, 48, 4, 1, nullptr},
    {40, K::Number, 52, 4, 0, nullptr},
    {42, K::Number, 56, 4, 0, nullptr},  // frame opens at its saved place
    {46, K::Number, 60, 4, 0, nullptr},  // task start restriction from
    {47, K::Number, 64, 4, 0, nullptr},  // task start restriction to
    {48, K::Number, 68, 4, 0, nullptr},  // tasks deactivated
    {57, K::Number, 72, 4, 0, nullptr},  // exit after tasks
    {58, K::Number, 76, 4, 78, nullptr},
    {59, K::Number, 80, 4, 1, nullptr},
    {60, K::Number, 84, 4, 0, nullptr},
    {33, K::Font, 88, kFontWidth, 8, "Arial"},
    {34, K::Font, 112, kFontWidth, 8, "Arial"},
    {35, K::Font, 136, kFontWidth, 8, "Arial"},
    {36, K::Font, 160, kFontWidth, 8, "Arial"},
    // The colours of the four tab sheets, in the last bytes of the block.
    {31, K::Number, 184, 4, 12632256, nullptr},
    {41, K::Number, 188, 4, 12632256, nullptr},
    {43, K::Number, 192, 4, 12632256, nullptr},
    {45, K::Number, 196, 4, 12632256, nullptr},
};

// Record 17.
constexpr Item kOutputItems[] = {
    {61, K::Number, 0, 4, 1, nullptr},
    {62, K::Number, 4, 4, 1, nullptr},
    {63, K::Number, 8, 4, 3, nullptr},
};

void applyDefaults(Block& block) {
    for (const Item& item : block.items) {
        switch (item.kind) {
            case Kind::Number:
                if (blockLong(block.memory, item.offset) == 0 && item.defaultValue != 0)
                    setBlockLong(block.memory, item.offset,
                                 item.defaultValue == kDefaultToday ? today() : item.defaultValue);
                break;
            case Kind::Text: {
                std::string text = blockText(block.memory, item.offset, item.width);
                if (text.empty() && item.defaultText) text = item.defaultText;
                setBlockText(block.memory, item.offset, item.width, text);  // NULs become blanks
                break;
            }
            case Kind::Font: {
                std::string name = blockText(block.memory, item.offset, kFontNameWidth);
                if (name.empty()) name = item.defaultText;
                setBlockText(block.memory, item.offset, kFontNameWidth, name);
                if (blockLong(block.memory, item.offset + kFontNameWidth) == 0)
                    setBlockLong(block.memory, item.offset + kFontNameWidth, item.defaultValue);
                break;
            }
        }
    }
}

// The counter floor goes with every write of record 1.
ULONG lowestNextNumber(const Block& block) {
    return block.recordId == GeneralSettingsRecord ? kLowestNextNumber : 0;
}

}  // namespace

Block& generalBlock() {
    static Block block{GeneralSettingsRecord, kGeneralItems, true};
    return block;
}

Block& displayBlock() {
    static Block block{DisplaySettingsRecord, kDisplayItems, false};
    return block;
}

Block& outputBlock() {
    static Block block{OutputSettingsRecord, kOutputItems, false};
    return block;
}

Block* blockOfOperation(int operation) {
    if (operation >= 1 && operation <= 4) return &generalBlock();
    if (operation >= 6 && operation <= 9) return &displayBlock();
    if (operation >= 23 && operation <= 26) return &outputBlock();
    return nullptr;
}

Block* blockOfItem(int item) {
    if (item >= 2 && item <= 19) return &generalBlock();
    if (item >= 22 && item <= 60) return &displayBlock();
    if (item >= 61 && item <= 63) return &outputBlock();
    return nullptr;
}

const Item* findItem(const Block& block, int item) {
    auto it = std::find_if(block.items.begin(), block.items.end(), [item](const Item& i) { return i.number == item; });
    return it == block.items.end() ? nullptr : &*it;
}

bool loadBlock(Block& block) {
    ControlBlock stored{};
    switch (readControlBlock(block.recordId, stored)) {
        case BlockRead::Failed:
            return false;
        case BlockRead::Missing:
            block.memory = ControlBlock{};
            applyDefaults(block);
            if (!addControlBlock(block.recordId, block.memory, lowestNextNumber(block))) return false;
            break;
        case BlockRead::Read:
            block.memory = stored;
            applyDefaults(block);
            if (!saveControlBlock(block.recordId, block.memory, lowestNextNumber(block))) return false;
            break;
    }
    block.loaded = true;
    return true;
}

bool ensureLoaded(Block& block) { return block.loaded || loadBlock(block); }

bool saveBlock(Block& block) {
    // Never write a block that was not read: it would wipe the stored items.
    if (!ensureLoaded(block)) return false;
    return saveControlBlock(block.recordId, block.memory, lowestNextNumber(block));
}

}  // namespace pm::konfig
