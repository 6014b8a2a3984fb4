#pragma once
// Small text helpers shared by the Internet message parsers: trimming, ASCII
// case tests for header keywords, and Unicode lower-casing of addresses.
//
// Header keywords, month names and MIME tokens are ASCII, so their tests fold
// ASCII case only; that keeps byte positions stable (full Unicode upper-casing
// may change a text's length) and costs no allocation.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm::inet {

// `c` in ASCII upper case; other bytes unchanged.
inline char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Blank or tab: the white space inside header lines.
inline bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// `text` without leading/trailing blanks and tabs.
std::string_view trimLeft(std::string_view text);
std::string_view trimRightBlanks(std::string_view text);
std::string_view trim(std::string_view text);

// True when `text` begins with `upperPrefix` (given in ASCII upper case),
// comparing ASCII letters without regard to case.
bool startsWithNoCase(std::string_view text, std::string_view upperPrefix);

// Position of `upperNeedle` (ASCII upper case) in `text` at or after `from`,
// ignoring ASCII case; npos when absent.
std::size_t findNoCase(std::string_view text, std::string_view upperNeedle, std::size_t from = 0);

// True when both texts are equal ignoring ASCII case.
bool equalsNoCase(std::string_view a, std::string_view b);

// `text` with ASCII letters upper-cased / lower-cased; other bytes unchanged.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);

// `utf8` lower-cased by Unicode case mapping (ICU, root locale). Pure ASCII
// takes a fast path. Invalid UTF-8 is lower-cased in its ASCII letters only.
std::string lowerCase(std::string_view utf8);

}  // namespace pm::inet
