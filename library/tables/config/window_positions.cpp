// WindowPos and WindowPos2: remembered window places, 25 slots each, stored
// as four arrays of 25 signed 16-bit values (all lefts, tops, widths, then
// heights) in a defaults record written once and a current record.
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr int kSlots = 25;
// A window reporting a coordinate this far out was minimized or moved off
// the screen; its last sensible value is kept.
constexpr int kOutOfScreen = 2000;

using Places = std::array<WindowPlace, kSlots>;

// Slot 1 is the frame; 2-9 the frame's dialogs and lists; 10-25 the
// library's windows (wizards, preferences, progress, task windows), all
// sized to fit an 800 x 600 screen.
constexpr Places kMainDefaults = {{
    {0, 0, 800, 600},     {40, 30, 560, 400},  {40, 30, 600, 420},  {120, 80, 400, 260}, {60, 40, 560, 420},
    {150, 100, 420, 300}, {80, 50, 520, 440},  {60, 40, 480, 360},  {20, 20, 700, 520},  {60, 40, 560, 420},
    {60, 40, 600, 440},   {100, 80, 460, 300}, {60, 40, 600, 440},  {40, 30, 640, 460},  {40, 30, 640, 460},
    {80, 60, 520, 380},   {100, 80, 480, 320}, {40, 30, 640, 460},  {60, 40, 560, 420},  {120, 90, 400, 240},
    {40, 30, 600, 440},   {60, 40, 560, 400},  {80, 60, 520, 380},  {100, 80, 480, 340}, {120, 100, 440, 300},
}};

// The secondary set: the child windows inside the frame (browse lists,
// thread tree, text panes, word lists), placed in the frame's client area.
constexpr Places kSecondaryDefaults = {{
    {0, 0, 780, 480},   {0, 0, 780, 480},   {0, 0, 520, 480},   {520, 0, 260, 480}, {0, 240, 780, 240},
    {20, 20, 600, 400}, {40, 40, 600, 400}, {60, 60, 600, 400}, {0, 0, 400, 480},   {400, 0, 380, 480},
    {20, 20, 560, 380}, {40, 40, 560, 380}, {60, 60, 560, 380}, {80, 80, 560, 380}, {100, 100, 560, 380},
    {20, 20, 480, 360}, {40, 40, 480, 360}, {60, 60, 480, 360}, {80, 80, 480, 360}, {100, 100, 480, 360},
    {0, 0, 640, 440},   {20, 20, 640, 440}, {40, 40, 640, 440}, {60, 60, 640, 440}, {80, 80, 640, 440},
}};

struct PositionSet {
    BYTE defaultsRecord;
    BYTE currentRecord;
    const Places& builtIn;
    Places current;
    bool loaded = false;
};

PositionSet& mainSet() {
    static PositionSet set{DefaultPositionsRecord, CurrentPositionsRecord, kMainDefaults, kMainDefaults};
    return set;
}

PositionSet& secondarySet() {
    static PositionSet set{DefaultSecondaryPositionsRecord, CurrentSecondaryPositionsRecord, kSecondaryDefaults,
                           kSecondaryDefaults};
    return set;
}

ControlBlock toBlock(const Places& places) {
    ControlBlock block{};
    for (std::size_t i = 0; i < kSlots; ++i) {
        setBlockShort(block, 2 * i, places[i].left);
        setBlockShort(block, 50 + 2 * i, places[i].top);
        setBlockShort(block, 100 + 2 * i, places[i].width);
        setBlockShort(block, 150 + 2 * i, places[i].height);
    }
    return block;
}

Places fromBlock(const ControlBlock& block) {
    Places places{};
    for (std::size_t i = 0; i < kSlots; ++i)
        places[i] = {blockShort(block, 2 * i), blockShort(block, 50 + 2 * i), blockShort(block, 100 + 2 * i),
                     blockShort(block, 150 + 2 * i)};
    return places;
}

bool load(PositionSet& set) {
    ControlBlock stored{};
    switch (readControlBlock(set.defaultsRecord, stored)) {
        case BlockRead::Failed: return false;
        case BlockRead::Missing:
            if (!addControlBlock(set.defaultsRecord, toBlock(set.builtIn))) return false;
            break;
        case BlockRead::Read: break;
    }
    switch (readControlBlock(set.currentRecord, stored)) {
        case BlockRead::Failed: return false;
        case BlockRead::Missing:
            set.current = set.builtIn;
            if (!addControlBlock(set.currentRecord, toBlock(set.current))) return false;
            break;
        case BlockRead::Read:
            set.current = fromBlock(stored);
            break;
    }
    set.loaded = true;
    return true;
}

void storeValue(std::int16_t& stored, std::int16_t value) {
    if (value < kOutOfScreen && value > -kOutOfScreen) stored = value;
}

bool windowPos(PositionSet& set, int operation, int slot, WindowPlace* place) {
    switch (operation) {
        case LoadPositions:
            return load(set);
        case SavePositions:
            if (!set.loaded && !load(set)) return false;
            return saveControlBlock(set.currentRecord, toBlock(set.current));
        case ResetPositions:
            if (!set.loaded && !load(set)) return false;
            set.current = set.builtIn;
            return true;
        case StorePosition:
        case GetPosition: {
            if (slot < 1 || slot > kSlots || !place) return false;
            if (!set.loaded && !load(set)) return false;
            WindowPlace& stored = set.current[static_cast<std::size_t>(slot - 1)];
            if (operation == GetPosition) {
                *place = stored;
            } else {
                storeValue(stored.left, place->left);
                storeValue(stored.top, place->top);
                storeValue(stored.width, place->width);
                storeValue(stored.height, place->height);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool WindowPos(int operation, int slot, WindowPlace* place) { return windowPos(mainSet(), operation, slot, place); }

bool WindowPos2(int operation, int slot, WindowPlace* place) {
    return windowPos(secondarySet(), operation, slot, place);
}

}  // namespace pm
