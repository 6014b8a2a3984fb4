#pragma once
// Outlook Express 5 folders (.dbx): a message is a chain of blocks, each a
// 16-byte little-endian header (own position, block size, data length, next
// block position) and up to 512 data bytes.
//
// The file is scanned for blocks whose first field equals their own offset.
// A block is sound when its block size is 512, its data length at most 512
// and its next position 0 or outside the 528 bytes from its own start. A
// sound block whose data begins with "From -" or a recognised header line
// starts a chain; the chain is followed through the next positions and its
// data, joined, is the message. Blocks of a chain already used are passed
// over when the scan meets them.
//
// Rejected blocks are written to the diagnostic log, one line each:
// "+FilePos=" for a block that breaks the layout (the chain it belongs to is
// not used), "-FilePos=" for a sound block that starts no message and
// belongs to no chain; then the block's offset, " Status=" (DbxStatus), "
// Size=" (the block size field), " NextPos=" (the next position field), "
// Diff#=" (next position minus own position, 0 at a chain's end) and two
// blanks. Blocks whose
// size field is not 512 that the scan meets are no message blocks at all
// (the folder's indexes) and are not logged.
#include <cstdint>
#include <memory>
#include <string>

#include "import/formats/splitter.h"

namespace pm::formats {

inline constexpr std::uint32_t DbxBlockSize = 512;
inline constexpr std::uint32_t DbxBlockSpan = 528;  // header and data

// Why a block was rejected (the log's Status value).
enum class DbxStatus : int {
    BadBlockSize = 1,     // block size field is not 512
    DataTooLong = 2,      // data length over 512
    NextInsideBlock = 3,  // next position within the block's own 528 bytes
    NotABlock = 4,        // a next position names no block (own position differs)
    NextPastEnd = 5,      // a next position lies past the end of the file
    ChainLoop = 6,        // a chain runs into a block it already used
    NoHeader = 7,         // a sound block that starts no message ("-FilePos=")
};

// The log line of a rejected block, without its line end.
std::string dbxLogLine(bool inChain, std::uint32_t position, DbxStatus status, std::uint32_t size,
                       std::uint32_t next);

std::unique_ptr<MessageSplitter> makeDbxSplitter();

}  // namespace pm::formats
