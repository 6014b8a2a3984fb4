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
    return item == 17 ? Mem.Net + "/TEMP" : Mem.Net;
}

void applyDefaults(ControlBlock& block) {
    for (int item : {17, 18}) {
        std::string path = blockDirectory(block, offsetOf(item), kPathWidth);
        if (path.empty()) path = defaultOf(item);
        setBlockDirectory(block, offsetOf(item), kPathWidth, path);
    }
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
            applyDefaults(d.memory);
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
                setBlockDirectory(d.memory, offset, kPathWidth, *text);
            else
                *text = blockDirectory(d.memory, offset, kPathWidth);
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
