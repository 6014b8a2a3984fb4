#pragma once
// Decoding of MIME encoded words ("=?charset?B?...?=", "=?charset?Q?...?=")
// in names and subjects before they are stored.
#include <string>

namespace pm {

// Replaces every well-formed encoded word of `text` (UTF-8) by its decoded
// UTF-8 text. Blanks between two adjacent encoded words are dropped, and the
// bytes of adjacent words in the same charset are converted together, so a
// character split across two words survives. A word whose charset is unknown
// or whose content is malformed stays as it was. Text without "=?" is left
// untouched.
void decodeHeaderWords(std::string& text);

}  // namespace pm
