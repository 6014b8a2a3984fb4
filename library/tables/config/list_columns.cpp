// ListCol: remembered column widths of the lists, 20 slots of five widths,
// stored as five arrays of 20 signed 16-bit values (all first columns, then
// all second columns ...) in a defaults record written once and a current
// record.
#include <algorithm>

#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr int kSlots = 20;
constexpr int kColumns = 5;

using Widths = std::array<ColumnWidths, kSlots>;

// Widths in pixels. Slots 1 and 2 belong to lists that keep their widths in
// a string; the others mostly start with a name or number column followed by
// text, dates and counts.
constexpr Widths kBuiltIn = {{
    {60, 160, 160, 80, 60},   {160, 160, 80, 60, 60},   {220, 70, 60, 70, 60},   {200, 160, 80, 60, 60},
    {220, 70, 60, 70, 60},    {70, 200, 120, 80, 60},   {70, 120, 200, 80, 60},  {80, 200, 120, 80, 60},
    {200, 80, 60, 60, 60},    {160, 120, 60, 60, 60},   {120, 80, 80, 60, 60},   {200, 100, 100, 60, 60},
    {80, 80, 80, 80, 80},     {160, 100, 100, 60, 60},  {200, 60, 60, 60, 60},   {120, 120, 120, 60, 60},
    {100, 200, 80, 60, 60},   {160, 160, 60, 60, 60},   {80, 160, 160, 80, 60},  {120, 100, 100, 100, 60},
}};

struct ColumnSet {
    Widths current = kBuiltIn;
    bool loaded = false;
};

ColumnSet& columns() {
    static ColumnSet set;
    return set;
}

ControlBlock toBlock(const Widths& widths) {
    ControlBlock block{};
    for (std::size_t s = 0; s < kSlots; ++s)
        for (std::size_t c = 0; c < kColumns; ++c) setBlockShort(block, c * 2 * kSlots + 2 * s, widths[s][c]);
    return block;
}

Widths fromBlock(const ControlBlock& block) {
    Widths widths{};
    for (std::size_t s = 0; s < kSlots; ++s)
        for (std::size_t c = 0; c < kColumns; ++c) widths[s][c] = blockShort(block, c * 2 * kSlots + 2 * s);
    return widths;
}

bool load() {
    ColumnSet& set = columns();
    ControlBlock stored{};
    switch (readControlBlock(DefaultColumnsRecord, stored)) {
        case BlockRead::Failed: return false;
        case BlockRead::Missing:
            if (!addControlBlock(DefaultColumnsRecord, toBlock(kBuiltIn))) return false;
            break;
        case BlockRead::Read: break;
    }
    switch (readControlBlock(CurrentColumnsRecord, stored)) {
        case BlockRead::Failed: return false;
        case BlockRead::Missing:
            set.current = kBuiltIn;
            if (!addControlBlock(CurrentColumnsRecord, toBlock(set.current))) return false;
            break;
        case BlockRead::Read:
            set.current = fromBlock(stored);
            break;
    }
    set.loaded = true;
    return true;
}

}  // namespace

bool ListCol(int operation, int slot, ColumnWidths* widths, int columnCount) {
    ColumnSet& set = columns();
    if (operation == LoadColumns) return load();
    if (!set.loaded && !load()) return false;
    switch (operation) {
        case SaveColumns:
            return saveControlBlock(CurrentColumnsRecord, toBlock(set.current));
        case ResetColumns:
            set.current = kBuiltIn;
            return true;
        case TakeColumns:
        case ApplyColumns: {
            if (slot < 1 || slot > kSlots || !widths) return false;
            ColumnWidths& stored = set.current[static_cast<std::size_t>(slot - 1)];
            if (operation == ApplyColumns) {
                *widths = stored;
                return true;
            }
            const int count = slot <= 2 ? kColumns : std::min(columnCount, kColumns);
            if (count < 1) return false;
            for (int c = 0; c < count; ++c) stored[static_cast<std::size_t>(c)] = (*widths)[static_cast<std::size_t>(c)];
            return true;
        }
        default:
            return false;
    }
}

std::string packColumnWidths(const ColumnWidths& widths) {
    std::string packed(10, '\0');
    for (std::size_t c = 0; c < kColumns; ++c) {
        auto v = static_cast<std::uint16_t>(widths[c]);
        packed[2 * c] = static_cast<char>(v & 0xFF);
        packed[2 * c + 1] = static_cast<char>(v >> 8);
    }
    return packed;
}

ColumnWidths unpackColumnWidths(const std::string& tenBytes) {
    ColumnWidths widths{};
    for (std::size_t c = 0; c < kColumns && 2 * c + 1 < tenBytes.size(); ++c) {
        auto lo = static_cast<unsigned char>(tenBytes[2 * c]);
        auto hi = static_cast<unsigned char>(tenBytes[2 * c + 1]);
        widths[c] = static_cast<std::int16_t>(lo | (hi << 8));
    }
    return widths;
}

}  // namespace pm
