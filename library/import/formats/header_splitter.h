#pragma once
// The splitters that find messages by their header lines alone: Generic
// Mail Type 1, Becky Mail and Agent Mail, and Gravity's news files.
//
// A message begins at a line that the header-field classification
// recognises (leading control bytes of a binary record passed over, so the
// header is not preceded by a letter); for Gravity the line must stand at
// the start of the file or after a blank line. Below the start of the file
// it must open a block of its own (not follow a header-shaped line, nor a
// "-----Original Message-----", "Forwarded message" or "Begin forwarded
// message:" marker) and a real header block: up to its first empty line
// every line is a header field or a continuation, at least two of them are
// recognised fields and one of those is "From:", "Date:", "To:",
// "Subject:", "Newsgroups:" or "Message-ID:"; so neither a quoted "From:"
// line in a body, a quoted or forwarded header, nor the header of a MIME
// part cuts the message there. At the start of the file, where a message
// file begins, a recognised field is enough. Inside a message's header no
// new message begins (a line of blanks or tabs there is a folded line),
// nor in a header block of its own: a MIME part's header (after a delimiter
// line of the message's boundary or a nested part's), and the block that
// opens a part's content or the body of an attached message (message/*),
// such as an attached or bounced message's header. In the rest of its body
// the rule above applies again, so a message whose multipart body lacks its
// closing line does not swallow the messages after it.
#include <memory>
#include <string_view>

#include "import/formats/splitter.h"

namespace pm::formats {

// Bytes looked ahead to confirm a header block.
inline constexpr std::int64_t HeaderLookahead = 8000;

// Whether `line` marks a quoted or forwarded message's header below it
// ("-----Original Message-----", "---------- Forwarded message ----------",
// "Begin forwarded message:").
bool isQuoteMarker(std::string_view line);

// Whether `line` has the shape of a header field ("Name: value", the name
// of printable characters without blanks) or of a continuation line.
bool headerShaped(std::string_view line);

// `line` without the leading control bytes (NUL, Ctrl-Z and the like) that
// binary records put before a header; how many were removed goes to
// `removed`.
std::string_view withoutLeadingControls(std::string_view line, std::size_t& removed);

// `afterBlankLine`: a message starts only at the file's start, after a
// blank line or after control bytes (Gravity).
std::unique_ptr<MessageSplitter> makeHeaderSplitter(bool afterBlankLine);

}  // namespace pm::formats
