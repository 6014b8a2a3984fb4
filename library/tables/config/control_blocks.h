#pragma once
// The 200-byte settings blocks of the Control table, read and written as a
// whole, and the little helpers that place numbers and texts inside them.
//
// Every function opens Control through the open/close service and releases
// it again, so it works whether or not the caller holds the table open.
// Numbers are stored little-endian whatever the machine, texts blank padded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.h"
#include "common/word_definition.h"

namespace pm {

// The records of Control by CTL:ID.
enum ControlRecordId : BYTE {
    GeneralSettingsRecord = 1,       // also holds the identifier counter
    DefaultPositionsRecord = 2,
    CurrentPositionsRecord = 3,
    DirectoriesRecord = 4,
    DefaultColumnsRecord = 5,
    CurrentColumnsRecord = 6,
    DefaultSecondaryPositionsRecord = 7,
    CurrentSecondaryPositionsRecord = 8,
    DisplaySettingsRecord = 9,
    WordSearchSettingsRecord = 10,
    // 11-16: the stored word definition (word_definition.h).
    OutputSettingsRecord = 17,
    LastDatabaseRecord = 18,         // the database active when the program last ran (last_database.h)
    BrowseColumnsRecord = 19,        // 19-20: the browse lists' column widths (browse_columns.h)
};

// The counter value a new installation starts from; it never falls below it.
inline constexpr ULONG kLowestNextNumber = 250000;

enum class BlockRead {
    Read,     // the block (and the counter) were read
    Missing,  // no record with that id
    Failed,   // the record could not be read
};

// Reads the block of record `id`; `nextNumber` (when given) receives
// CTL:NEXTNUMBER.
BlockRead readControlBlock(BYTE id, ControlBlock& block, ULONG* nextNumber = nullptr);

// Adds record `id` with `block` and the counter `nextNumber`. Returns false
// after reporting when the add fails.
bool addControlBlock(BYTE id, const ControlBlock& block, ULONG nextNumber = 0);

// Writes `block` into record `id`: holds the record, replaces its 200 bytes
// and rewrites it (update, report on failure). The counter keeps its stored
// value, raised to `lowestNextNumber` when that is higher. A missing record
// is added instead. Returns false after reporting.
bool saveControlBlock(BYTE id, const ControlBlock& block, ULONG lowestNextNumber = 0);

// While a pass lives, control blocks are only read: a write that would
// change a record is not made, only noted, and reported as done. A start
// that needs no write so takes no write lock; when writeWanted(), the
// caller repeats its loads in a write transaction.
class ControlReadPass {
public:
    ControlReadPass();
    ~ControlReadPass();
    ControlReadPass(const ControlReadPass&) = delete;
    ControlReadPass& operator=(const ControlReadPass&) = delete;

    bool writeWanted() const { return writeWanted_; }

private:
    friend bool skippedInReadPass();
    ControlReadPass* outer_;
    bool writeWanted_ = false;
};

// Little-endian numbers inside a block.
LONG blockLong(const ControlBlock& block, std::size_t offset);
void setBlockLong(ControlBlock& block, std::size_t offset, LONG value);
std::int16_t blockShort(const ControlBlock& block, std::size_t offset);
void setBlockShort(ControlBlock& block, std::size_t offset, std::int16_t value);

// A text field of `width` bytes: trailing blanks and NULs cut.
std::string blockText(const ControlBlock& block, std::size_t offset, std::size_t width);
// Stores `text` blank padded, cut to `width` bytes without splitting a
// UTF-8 character.
void setBlockText(ControlBlock& block, std::size_t offset, std::size_t width, std::string_view text);

// The program error of an item number that a block does not hold.
[[noreturn]] void fatalInvalidItem();

}  // namespace pm
