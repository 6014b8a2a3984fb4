#pragma once
// GoldenCompass stores a message's lines with its own layout codes: "@b"
// (break) and "@l" (line) around line feeds. A stored line (one CR LF line
// of the file) may therefore hold several text lines.
#include <string>
#include <string_view>
#include <vector>

namespace pm::capture {

// The text lines of one stored line:
// 1. an empty stored line is one empty line; a leading "@l" is removed, and
//    in a line of at least three characters one trailing "@b", "@l" or
//    "@b" LF;
// 2. "@b" LF "@l" ends a line (at the very start: two empty lines);
//    "@b" CR LF, "@l" CR LF, "@b" LF and LF "@l" end a line (at the start:
//    one empty line); a single LF ends a line; the text after the last
//    break is one more line.
std::vector<std::string> splitStoredLine(std::string_view stored);

}  // namespace pm::capture
