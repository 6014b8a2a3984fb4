// AutoPath: the temporary directory (item 17) and the database top
// directory (item 18) in Control record 4.
#include "common/globals.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr std::size_t kPathWidth = 100;

struct DirectoriesBlock {
    ControlBlock memory{};
    bool loaded = false;
};

DirectoriesBlock& directories() {
    static DirectoriesBlock block;
    return block;
}

std::size_t offsetOf(int item) {
    if (item == 17) return 0;
    if (item == 18) return kPathWidth;
    fatalInvalidItem();
}

std::string defaultOf(int item) {
    if (Mem.Net.empty()) return {};
    return storedDirectoryText(item == 17 ? Mem.Net + "/TEMP" : Mem.Net);
}

// Fills blank items with their defaults and stores relative what an older
// version stored in full below the root; true when something changed.
bool applyDefaults(ControlBlock& block) {
    bool changed = false;
    for (int item : {17, 18}) {
        const std::string stored = blockText(block, offsetOf(item), kPathWidth);
        const std::string path = stored.empty() ? defaultOf(item) : storedDirectoryText(stored);
        if (path == stored) continue;
        setBlockText(block, offsetOf(item), kPathWidth, path);
        changed = true;
    }
    return changed;
}

bool load() {
    DirectoriesBlock& d = directories();
    ControlBlock stored{};
    switch (readControlBlock(DirectoriesRecord, stored)) {
        case BlockRead::Failed:
            return false;
        case BlockRead::Missing:
            d.memory = ControlBlock{};
            applyDefaults(d.memory);
            if (!addControlBlock(DirectoriesRecord, d.memory)) return false;
            break;
        case BlockRead::Read:
            d.memory = stored;
            if (applyDefaults(d.memory) && !saveControlBlock(DirectoriesRecord, d.memory)) return false;
            break;
    }
    d.loaded = true;
    return true;
}

}  // namespace

bool AutoPath(int operation, int item, std::string* text) {
    DirectoriesBlock& d = directories();
    switch (operation) {
        case 1:
            return load();
        case 2:
        case 3: {
            const std::size_t offset = offsetOf(item);
            if (!text) return false;
            if (!d.loaded && !load()) return false;
            if (operation == 2)
                setBlockText(d.memory, offset, kPathWidth, storedDirectoryText(*text));
            else
                *text = directoryFromStored(blockText(d.memory, offset, kPathWidth));
            return true;
        }
        case 4:
            if (!d.loaded && !load()) return false;
            return saveControlBlock(DirectoriesRecord, d.memory);
        default:
            return false;
    }
}

}  // namespace pm
