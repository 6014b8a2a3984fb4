#include "tables/config/browse_columns.h"

#include <bitset>

#include "tables/config/control_blocks.h"

namespace pm {

namespace {

constexpr BYTE kFirstRecord = BrowseColumnsRecord;
constexpr int kSlotsPerRecord = 10;
constexpr int kRecords = kBrowseColumnSlots / kSlotsPerRecord;
constexpr int kWidest = 2000;  // a width this large came from a window off the screen

struct ColumnStore {
    std::array<BrowseColumnWidths, kBrowseColumnSlots> widths{};
    std::bitset<kBrowseColumnSlots> changed;
};

ColumnStore& store() {
    static ColumnStore s;
    return s;
}

// Slot s of a record lies at bytes 20 * s: its ten widths in a row.
std::size_t offsetOf(int slotInRecord, int column) {
    return static_cast<std::size_t>(2 * (slotInRecord * kBrowseColumns + column));
}

bool readRecord(int record, std::array<BrowseColumnWidths, kSlotsPerRecord>& out) {
    ControlBlock block{};
    switch (readControlBlock(static_cast<BYTE>(kFirstRecord + record), block)) {
        case BlockRead::Failed: return false;
        case BlockRead::Missing: out = {}; return true;
        case BlockRead::Read: break;
    }
    for (int s = 0; s < kSlotsPerRecord; ++s)
        for (int c = 0; c < kBrowseColumns; ++c) out[s][c] = blockShort(block, offsetOf(s, c));
    return true;
}

}  // namespace

bool loadBrowseColumns() {
    ColumnStore loaded;
    for (int r = 0; r < kRecords; ++r) {
        std::array<BrowseColumnWidths, kSlotsPerRecord> part;
        if (!readRecord(r, part)) return false;
        for (int s = 0; s < kSlotsPerRecord; ++s) loaded.widths[r * kSlotsPerRecord + s] = part[s];
    }
    store() = loaded;
    return true;
}

BrowseColumnWidths browseColumnWidths(int slot) {
    if (slot < 1 || slot > kBrowseColumnSlots) return {};
    return store().widths[slot - 1];
}

void storeBrowseColumnWidth(int slot, int column, int width) {
    if (slot < 1 || slot > kBrowseColumnSlots || column < 0 || column >= kBrowseColumns) return;
    if (width < 1 || width >= kWidest) return;
    std::int16_t& kept = store().widths[slot - 1][column];
    if (kept == width) return;
    kept = static_cast<std::int16_t>(width);
    store().changed.set(slot - 1);
}

bool saveBrowseColumns() {
    ColumnStore& s = store();
    for (int r = 0; r < kRecords; ++r) {
        bool any = false;
        for (int i = 0; i < kSlotsPerRecord; ++i) any = any || s.changed.test(r * kSlotsPerRecord + i);
        if (!any) continue;
        // What another program saved meanwhile stays, but for our slots.
        ControlBlock block{};
        const BYTE record = static_cast<BYTE>(kFirstRecord + r);
        if (readControlBlock(record, block) == BlockRead::Failed) return false;
        for (int i = 0; i < kSlotsPerRecord; ++i) {
            const int slot = r * kSlotsPerRecord + i;
            if (!s.changed.test(slot)) continue;
            for (int c = 0; c < kBrowseColumns; ++c) setBlockShort(block, offsetOf(i, c), s.widths[slot][c]);
        }
        if (!saveControlBlock(record, block)) return false;
        for (int i = 0; i < kSlotsPerRecord; ++i) s.changed.reset(r * kSlotsPerRecord + i);
    }
    return true;
}

void resetBrowseColumns() {
    ColumnStore& s = store();
    for (int slot = 0; slot < kBrowseColumnSlots; ++slot) {
        if (s.widths[slot] == BrowseColumnWidths{}) continue;
        s.widths[slot] = {};
        s.changed.set(slot);
    }
}

}  // namespace pm
