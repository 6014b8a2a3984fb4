#pragma once
// IE Mail and Outlook Express 4 Mail: every message of the folder file
// stands after the three bytes 0x7F 0x00 0x7F, followed by the record's own
// binary fields and then the message text; it ends before the next marker.
// The header starts at the first recognised header line within the first
// bytes of the record; NUL padding is dropped.
#include <memory>

#include "import/formats/splitter.h"

namespace pm::formats {

// Bytes after a record marker in which the header must begin.
inline constexpr std::int64_t RecordHeaderSpan = 256;

std::unique_ptr<MessageSplitter> makeMarkerSplitter();

}  // namespace pm::formats
