#pragma once
// Capture mail whose body is an Internet message: the header block at the
// top of the body only tells how the text is written; it is not part of it.
#include <cstddef>

#include "import/internet/body_format.h"
#include "import/internet/line_queue.h"

namespace pm::inet {

// True when the first body line begins (ignoring case) with "Sender:",
// "Received:", "Message-ID:", "From:", "Date:", "Subject:" or "To:": the body
// is then read by analyseEmbeddedHeader first.
bool startsEmbeddedHeader(std::string_view firstBodyLine);

struct EmbeddedBody {
    std::size_t firstTextLine = 0;  // first entry of the text (past `last` when none)
    BodyFormat body;
};

// Reads the header block at entries `first`..`last` (up to its first blank
// line) for its Content-Type and transfer encoding. The text starts after
// the blank lines that follow the block. A multipart body with a boundary
// runs the MIME part selection (marking lines in the queue); without one,
// the text is HTML when its Content-Type says so or when its first line
// holds "HTML" (any case) within its first 20 characters.
EmbeddedBody analyseEmbeddedHeader(LineQueue& queue, std::size_t first, std::size_t last);

}  // namespace pm::inet
