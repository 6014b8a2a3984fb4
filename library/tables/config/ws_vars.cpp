// WSVars: the word-search settings (Control record 10) and the stored word
// definition (records 11-16).
//
// Record 10: bytes 0-99 the word-index top directory (item 44), 100 item 49,
// 101-104 item 50, 105-110 items 51-56, then 88 reserved bytes.
#include "common/globals.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr std::size_t kDirectoryWidth = 100;
constexpr std::size_t kIndexNumbersOffset = 100;  // item 49
constexpr std::size_t kSearchPauseOffset = 101;   // item 50
constexpr std::size_t kFirstFlagOffset = 105;     // items 51-56
constexpr BYTE kBlank = 32;

struct ByteDefault {
    int item;
    BYTE value;
};
// 49 index numbers, 51/52 index footers of forums/newsgroups, 53-55
// automatic stop words of forums, newsgroups, mail, 56 reserved.
constexpr ByteDefault kByteDefaults[] = {{49, 1}, {51, 0}, {52, 0}, {53, 1}, {54, 1}, {55, 1}, {56, 1}};
constexpr LONG kSearchPauseDefault = 10000;

struct WordSearchBlock {
    ControlBlock memory{};
    bool loaded = false;
};

WordSearchBlock& wordSearch() {
    static WordSearchBlock block;
    return block;
}

std::size_t byteOffset(int item) { return item == 49 ? kIndexNumbersOffset : kFirstFlagOffset + (item - 51); }

void setNumericDefaults(ControlBlock& block) {
    for (const ByteDefault& d : kByteDefaults) block[byteOffset(d.item)] = d.value;
    setBlockLong(block, kSearchPauseOffset, kSearchPauseDefault);
}

std::string defaultDirectory() { return storedDirectoryText(MasIdxPath.empty() ? Mem.FileDir : MasIdxPath); }

bool loadStoredWordDefinition() {
    buildDefaultWordDefinition();
    std::array<StoredWordDefinitionRecord, 6> records;
    for (std::size_t i = 0; i < records.size(); ++i) {
        switch (readControlBlock(static_cast<BYTE>(kFirstWordDefinitionRecord + i), records[i].block)) {
            case BlockRead::Read: records[i].state = StoredWordDefinitionRecord::Read; break;
            case BlockRead::Missing: records[i].state = StoredWordDefinitionRecord::Missing; break;
            case BlockRead::Failed: records[i].state = StoredWordDefinitionRecord::Unreadable; break;
        }
    }
    setCurrentWordDefinition(resolveStoredWordDefinition(records));
    const auto blocks = wordDefinitionBlocks();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].state != StoredWordDefinitionRecord::Missing) continue;
        if (!addControlBlock(static_cast<BYTE>(kFirstWordDefinitionRecord + i), blocks[i])) return false;
    }
    return true;
}

bool loadSettingsRecord() {
    WordSearchBlock& w = wordSearch();
    ControlBlock stored{};
    switch (readControlBlock(WordSearchSettingsRecord, stored)) {
        case BlockRead::Failed:
            return false;
        case BlockRead::Missing:
            w.memory = ControlBlock{};
            setBlockText(w.memory, 0, kDirectoryWidth, defaultDirectory());
            setNumericDefaults(w.memory);
            if (!addControlBlock(WordSearchSettingsRecord, w.memory)) return false;
            break;
        case BlockRead::Read:
            w.memory = stored;
            // A blank here means the record was written as a blank block and
            // never initialised: none of its numbers can be trusted.
            if (w.memory[kIndexNumbersOffset] == kBlank) setNumericDefaults(w.memory);
            if (const std::string path = blockText(w.memory, 0, kDirectoryWidth); path.empty()) {
                setBlockText(w.memory, 0, kDirectoryWidth, defaultDirectory());
            } else if (const std::string relative = storedDirectoryText(path); relative != path) {
                // Stored in full by an older version: stored relative from now on.
                setBlockText(w.memory, 0, kDirectoryWidth, relative);
                if (!saveControlBlock(WordSearchSettingsRecord, w.memory)) return false;
            }
            break;
    }
    w.loaded = true;
    return true;
}

bool saveAll() {
    WordSearchBlock& w = wordSearch();
    if (!w.loaded && !loadSettingsRecord()) return false;
    bool ok = saveControlBlock(WordSearchSettingsRecord, w.memory);
    const auto blocks = wordDefinitionBlocks();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        ok = saveControlBlock(static_cast<BYTE>(kFirstWordDefinitionRecord + i), blocks[i]) && ok;
    return ok;
}

bool isByteItem(int item) { return item == 49 || (item >= 51 && item <= 56); }

}  // namespace

WordDefinition resolveStoredWordDefinition(const std::array<StoredWordDefinitionRecord, 6>& records11to16) {
    const WordDefinition defaults = defaultWordDefinition();
    const auto defaultBlocks = wordDefinitionBlocks(defaults);
    std::array<ControlBlock, 5> blocks;
    for (std::size_t i = 1; i < records11to16.size(); ++i) {
        const StoredWordDefinitionRecord& r = records11to16[i];
        // Half a definition is worse than none: an unreadable part discards
        // the whole stored one.
        if (r.state == StoredWordDefinitionRecord::Unreadable) return defaults;
        blocks[i - 1] = r.state == StoredWordDefinitionRecord::Read ? r.block : defaultBlocks[i];
    }
    return wordDefinitionFromBlocks(blocks);
}

bool WSVars(int operation, int item, std::string* text, BYTE* byteValue, LONG* longValue) {
    WordSearchBlock& w = wordSearch();
    switch (operation) {
        case 1:
            return loadStoredWordDefinition() && loadSettingsRecord();
        case 4:
            return saveAll();
        case 2:
        case 3:
            break;
        default:
            return false;
    }
    if (item != 44 && item != 50 && !isByteItem(item)) fatalInvalidItem();
    if (!w.loaded && !loadSettingsRecord()) return false;
    const bool set = operation == 2;
    if (item == 44) {
        if (!text) return false;
        if (set)
            setBlockText(w.memory, 0, kDirectoryWidth, storedDirectoryText(*text));
        else
            *text = directoryFromStored(blockText(w.memory, 0, kDirectoryWidth));
    } else if (item == 50) {
        if (!longValue) return false;
        if (set)
            setBlockLong(w.memory, kSearchPauseOffset, *longValue);
        else
            *longValue = blockLong(w.memory, kSearchPauseOffset);
    } else {
        if (!byteValue) return false;
        if (set)
            w.memory[byteOffset(item)] = *byteValue;
        else
            *byteValue = w.memory[byteOffset(item)];
    }
    return true;
}

}  // namespace pm
