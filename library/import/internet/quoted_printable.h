#pragma once
// Quoted-printable decoding (RFC 2045), for bodies and encoded words.
#include <string>
#include <string_view>

namespace pm::inet {

// Value 0-15 of a hexadecimal digit (either case), -1 for anything else.
int hexDigitValue(char c);

// The byte of the escape "=XX" at `text[pos]` (text[pos] == '='), or -1 when
// no two hex digits follow.
int quotedPrintableEscape(std::string_view text, std::size_t pos);

// `text` with every "=XX" escape turned into its byte (any value 0-255) and
// every soft line break ("=" at a line end, blanks between them allowed)
// removed so the line joins the next. An "=" that starts neither stays as
// written. Line ends may be CR LF, LF or CR.
std::string decodeQuotedPrintable(std::string_view text);

}  // namespace pm::inet
