#pragma once
// Unicode-aware text helpers over UTF-8 (ICU case mapping).
#include <string>
#include <string_view>

namespace pm {

std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);
// Case folding for comparisons without regard to letter case.
std::string foldCase(std::string_view text);

bool equalsCaseless(std::string_view a, std::string_view b);
// Whether `text` begins with `prefix`, without regard to letter case.
bool startsWithCaseless(std::string_view text, std::string_view prefix);

// Whether `text` is valid UTF-8.
bool isValidUtf8(std::string_view text);

// `text` converted from Windows-1252 (or another single-byte code page named
// by ICU, e.g. "ibm-850") to UTF-8.
std::string toUtf8From(std::string_view text, const char* charset = "windows-1252");

// The Unicode character of Windows-1252 byte `byte` (bytes below 0x80 and
// from 0xA0 are the same as Unicode; 0x80-0x9F hold the typographic marks).
char32_t windows1252ToUnicode(unsigned char byte);

// The rule for text without a charset: `text` unchanged when it is valid
// UTF-8, else every byte read as Windows-1252 (the code page most old mail
// and most raw header bytes were written in). The result is valid UTF-8.
std::string utf8OrWindows1252(std::string_view text);

// Trims blanks on the left and right.
std::string_view trim(std::string_view text);

}  // namespace pm
