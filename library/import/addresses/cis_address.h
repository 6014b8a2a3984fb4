#pragma once
// Splitting the sender or receiver text of a message into a name and an
// address: a CompuServe user identifier ("Name 12345,678", "Name [12345,678]")
// or, in mail, the last word (an Internet address, possibly behind a service
// prefix such as "INTERNET:").
#include <cstddef>
#include <string>
#include <string_view>

namespace pm {

// Width of the parsers' name and address buffers in bytes.
inline constexpr std::size_t CisTextWidth = 100;

// Splitting modes of FindCISAdress.
inline constexpr int CisForumText = 1;
inline constexpr int CisMailText = 2;

// Splits `text` (trailing blanks ignored) into `address` and `name`; both
// outputs are replaced, hold no trailing blanks and are cut to 100 bytes at
// a whole UTF-8 character. Mode 2 (mail) also understands "... CSINET:id"
// and takes the last word as the address when there is no CompuServe
// identifier; any other mode works as mode 1 (forum), where text without an
// identifier is all name. A found identifier is returned in its stored form
// "digits,digits" (a "." separator becomes ","). The box-drawing vertical line
// U+2502 (or a stray 0xB3 byte left from the old code page) separates like a
// blank. Never fails: text that fits no rule falls to the fallback split.
void FindCISAdress(int mode, std::string_view text, std::string& address, std::string& name);

}  // namespace pm
