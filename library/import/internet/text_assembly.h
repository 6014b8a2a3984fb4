#pragma once
// Text assembly: the body lines of the line queue become the stored message
// text (UTF-8, lines joined with CR LF, at most 64,000 characters).
#include <cstddef>
#include <string>
#include <string_view>

#include "common/message_text.h"
#include "import/internet/body_format.h"
#include "import/internet/line_queue.h"

namespace pm::inet {

// Characters of a stored text at most.
inline constexpr std::size_t MaxMessageText = MessageTextChars;
// A cut text keeps this many characters and a final CR LF.
inline constexpr std::size_t CutMessageText = 63998;
// Raw body bytes read at most; enough for a full text after Base64,
// quoted-printable or markup has shrunk it, and a bound on the work for a
// huge body.
inline constexpr std::size_t MaxRawBody = 16 * MaxMessageText;

// Assembles entries `first`..`last` of `queue`:
// 1. leading blank lines and lines with the removal mark are left out; each
//    line is followed by CR LF, except a piece with the continued flag,
//    which joins the next piece directly;
// 2. the transfer encoding of `body` is undone (quoted-printable, Base64);
// 3. the bytes are converted from `body.charset` to UTF-8 (no charset: UTF-8
//    when valid, else Windows-1252) and line ends made CR LF;
// 4. content kind HTML is converted by htmlToText, enriched by
//    enrichedToText; a plain text with "HTML" within its first eight
//    characters (any case) is converted as HTML too;
// 5. the length rule (limitMessageText) is applied.
// NUL bytes become blanks. An empty range gives an empty text.
std::string assembleText(const LineQueue& queue, std::size_t first, std::size_t last, const BodyFormat& body);

// The length rule, in characters: when a line would bring the text to
// 64,000 characters or more, as much of it as fits into 63,998 characters
// (never half a UTF-8 character) is kept with a final CR LF and the rest is
// dropped. A shorter text is unchanged.
void limitMessageText(std::string& text);

}  // namespace pm::inet
