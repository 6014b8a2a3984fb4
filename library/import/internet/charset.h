#pragma once
// Conversion of message bytes to UTF-8, the stored text encoding.
//
// Rule for text without a usable charset: bytes that are valid UTF-8 are
// taken as UTF-8, anything else as Windows-1252 (the code page most old mail
// was written in). Named charsets go through ICU converters.
#include <string>
#include <string_view>

namespace pm::inet {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// `bytes` with every well-formed UTF-8 sequence kept and every other byte
// read as Windows-1252.
std::string lenientUtf8(std::string_view bytes);

// `bytes` converted by the rule for text without a charset: unchanged when
// valid UTF-8, else read as Windows-1252.
std::string toUtf8Fallback(std::string_view bytes);

// `bytes` converted from `charset` (a MIME charset name, quotes and blanks
// tolerated) to UTF-8. An empty or unknown name, and "us-ascii" text that
// holds 8-bit bytes, fall back to toUtf8Fallback. "iso-8859-1" is read as
// Windows-1252, its superset that mailers really wrote. Bytes the charset
// cannot map become U+FFFD. Never fails.
std::string toUtf8(std::string_view bytes, std::string_view charset);

// True when ICU has a converter for `charset`.
bool isKnownCharset(std::string_view charset);

// One code point (U+0000..U+10FFFF, not a surrogate) appended as UTF-8;
// an invalid value appends U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// The Unicode character of Windows-1252 byte `byte` (bytes below 0x80 and
// from 0xA0 are the same as Unicode; 0x80-0x9F hold the typographic marks).
char32_t windows1252ToUnicode(unsigned char byte);

}  // namespace pm::inet
