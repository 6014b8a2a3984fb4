#pragma once
// HTML character entities.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm::inet {

// Decodes the entity that starts at text[pos] ('&'). On success appends its
// character(s) as UTF-8 to `out` and returns the entity's length (up to and
// including the ";"); returns 0 when it is not recognised (the caller then
// keeps the "&" as written).
// Recognised: a base letter followed by ACUTE, GRAVE, TILDE, CEDIL, CIRC,
// RING or UML (as in "&eacute;", "&Uuml;"), the SLASH, ZLIG, HORN and ELIG
// letters (ø, ß, þ, æ, œ), NBSP, the common named entities (amp, lt, gt,
// quot, apos, copy, reg, trade, dashes, quotes, currency signs ...) and
// numeric entities "&#N;" / "&#xH;" for any valid code point, 128-159 read
// as Windows-1252 as browsers do.
std::size_t decodeHtmlEntity(std::string_view text, std::size_t pos, std::string& out);

}  // namespace pm::inet
