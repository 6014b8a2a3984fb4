#pragma once
// Finding where a message's header begins in the binary mail and news
// files, where a record's own bytes stand before the header without a line
// end between them.
#include <cstdint>
#include <string>
#include <string_view>

#include "import/formats/byte_window.h"

namespace pm::formats {

// Decides whether a header block may begin with `line` (the bytes from a
// candidate position to the next line end, at most 100 of them).
using HeaderStartTest = bool (*)(std::string_view line);

// True when the header-field classification recognises `line`.
bool recognisedHeaderLine(std::string_view line);

// The first position from `from` to `from + span - 1` at which a header
// block begins by `test`, where the byte before it is no letter (or the
// position is `from` itself); 0 when there is none.
std::int64_t findHeaderStart(ByteWindow& window, std::int64_t from, std::int64_t span, HeaderStartTest test);

// Removes NUL bytes (the padding of the binary records) from `text`.
void dropNulBytes(std::string& text);

}  // namespace pm::formats
