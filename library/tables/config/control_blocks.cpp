#include "tables/config/control_blocks.h"

#include <cstring>

#include "common/fatal_error.h"
#include "common/fixed_text.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {
ControlReadPass* activeReadPass = nullptr;
}  // namespace

ControlReadPass::ControlReadPass() : outer_(activeReadPass) { activeReadPass = this; }

ControlReadPass::~ControlReadPass() { activeReadPass = outer_; }

// True (the write noted) when a read pass holds back writes.
bool skippedInReadPass() {
    if (!activeReadPass) return false;
    activeReadPass->writeWanted_ = true;
    return true;
}

BlockRead readControlBlock(BYTE id, ControlBlock& block, ULONG* nextNumber) {
    const TableScope open({&Control});
    Control.clear();
    CTL.ID = id;
    const StorageStatus st = Control.get(CTL_IdKey);
    if (st == StorageStatus::NotFound) return BlockRead::Missing;
    if (st != StorageStatus::Ok) return BlockRead::Failed;
    std::memcpy(block.data(), CTL.CTLFIELD, block.size());
    if (nextNumber) *nextNumber = CTL.NEXTNUMBER;
    return BlockRead::Read;
}

bool addControlBlock(BYTE id, const ControlBlock& block, ULONG nextNumber) {
    if (skippedInReadPass()) return true;
    const TableScope open({&Control});
    Control.clear();
    CTL.ID = id;
    CTL.NEXTNUMBER = nextNumber;
    std::memcpy(CTL.CTLFIELD, block.data(), block.size());
    return UppDat(Control, AddRecord, ReportOnly);
}

bool saveControlBlock(BYTE id, const ControlBlock& block, ULONG lowestNextNumber) {
    const TableScope open({&Control});
    Control.clear();
    CTL.ID = id;
    const StorageStatus st = Control.get(CTL_IdKey);
    if (st == StorageStatus::NotFound) return addControlBlock(id, block, lowestNextNumber);
    // A block that is stored as it stands needs no write (every start loads
    // and writes back its blocks; most of the time nothing changed).
    if (st == StorageStatus::Ok && std::memcmp(CTL.CTLFIELD, block.data(), block.size()) == 0 &&
        CTL.NEXTNUMBER >= lowestNextNumber)
        return true;
    if (skippedInReadPass()) return true;
    // Holding re-reads the record, so the counter written back is the one
    // stored now, not one read earlier.
    if (!HoldRec(Control, &CTL_IdKey)) return false;
    std::memcpy(CTL.CTLFIELD, block.data(), block.size());
    if (CTL.NEXTNUMBER < lowestNextNumber) CTL.NEXTNUMBER = lowestNextNumber;
    const bool ok = UppDat(Control, UpdateRecord, ReportOnly);
    Control.release();
    return ok;
}

LONG blockLong(const ControlBlock& block, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | block[offset + static_cast<std::size_t>(i)];
    return static_cast<LONG>(v);
}

void setBlockLong(ControlBlock& block, std::size_t offset, LONG value) {
    auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<BYTE>(v >> (8 * i));
}

std::int16_t blockShort(const ControlBlock& block, std::size_t offset) {
    return static_cast<std::int16_t>(block[offset] | (block[offset + 1] << 8));
}

void setBlockShort(ControlBlock& block, std::size_t offset, std::int16_t value) {
    auto v = static_cast<std::uint16_t>(value);
    block[offset] = static_cast<BYTE>(v);
    block[offset + 1] = static_cast<BYTE>(v >> 8);
}

std::string blockText(const ControlBlock& block, std::size_t offset, std::size_t width) {
    std::string text(reinterpret_cast<const char*>(block.data() + offset), width);
    std::size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
    text.resize(n);
    return text;
}

void setBlockText(ControlBlock& block, std::size_t offset, std::size_t width, std::string_view text) {
    const std::size_t n = utf8FitLength(text, width);
    std::memcpy(block.data() + offset, text.data(), n);
    std::memset(block.data() + offset + n, ' ', width - n);
}

void fatalInvalidItem() {
    fatal("Internal Error", "Internal Error - invalid xType\r\nPostmoor will terminate.");
}

}  // namespace pm
