#pragma once
// Encoded words (RFC 2047) in header texts: names and subjects.
#include <string>
#include <string_view>

namespace pm::inet {

// `text` (UTF-8) with every encoded word "=?charset?B|Q?...?=" decoded to
// UTF-8, for any charset ICU knows (an RFC 2231 language suffix such as
// "utf-8*de" is ignored). "B" is Base64; "Q" turns "_" into a blank and
// "=XX" into any byte. White space between two decoded encoded words is
// dropped, so adjacent words join; words of one charset are joined before
// conversion, so a character split across them survives. Text before, after
// and between words is kept. A word with an unknown charset or a malformed
// word stays as written. Decoding happens once: the result is not scanned
// again.
std::string decodeEncodedWords(std::string_view text);

// A raw header value as stored: its bytes read by the no-charset rule
// (UTF-8 when valid, else Windows-1252), its encoded words decoded, and
// control characters (tabs, decoded line ends) turned into blanks.
std::string decodeHeaderText(std::string_view raw);

}  // namespace pm::inet
