#pragma once
// Reading the fixed-position header lines of capture files. Positions are
// 1-based, as the layouts count them; the lines are raw bytes of a
// single-byte code page, so a byte is a character.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm::capture {

// The character at `pos`; a blank beyond the end of the line.
char charAt(std::string_view line, std::size_t pos);

// The text from `pos` on (empty beyond the end), at most `count` characters.
std::string_view textFrom(std::string_view line, std::size_t pos, std::size_t count = std::string_view::npos);

// `text` without leading and trailing blanks and control characters.
std::string_view trimmed(std::string_view text);

// `text` trimmed, without one trailing `mark` (and the blanks before it).
std::string_view withoutTrailing(std::string_view text, std::string_view mark);

// True when `text` is one or more ASCII digits and nothing else.
bool isNumeric(std::string_view text);

// The value of a numeric text; 0 when it is not numeric or too large for
// a message number (more than nine digits).
unsigned long numberOf(std::string_view text);

// The value of the digits at the start of `text` (after blanks); 0 when
// there are none.
unsigned long leadingNumber(std::string_view text);

// `raw` converted from the file's code page to UTF-8 for a header field:
// control characters become blanks, then the text is trimmed.
std::string fieldText(std::string_view raw, const char* codePage);

}  // namespace pm::capture
