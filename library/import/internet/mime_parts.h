#pragma once
// MIME part selection: which lines of a multipart body make the message text.
#include <cstddef>
#include <string_view>

#include "import/internet/body_format.h"
#include "import/internet/line_queue.h"

namespace pm::inet {

struct MimeSelection {
    // False when no boundary line occurs in the body; nothing is then marked
    // and the body is taken as plain text.
    bool partsFound = false;
    // True when a text part was chosen.
    bool partChosen = false;
    // Kind, charset and transfer encoding of the chosen part.
    BodyFormat body;
};

// Walks the body lines `first`..`last` of a multipart message with boundary
// `boundary` and marks with the removal mark every line that is not part of
// the chosen text:
// - lines before the first boundary line (a line "--" + boundary, optionally
//   followed by "--" or blanks; with an empty boundary a bare "--" line) are
//   removed;
// - a boundary line starts a part; it and the part's header lines up to the
//   first blank line are removed;
// - a part header whose Content-Type is multipart (with a boundary) nests:
//   its boundary applies until a boundary of an enclosing level appears;
// - the first part of type text/plain, text/html or text/enriched (or
//   without a Content-Type, which means text/plain) is kept; other parts are
//   removed; once the kept part has ended (at the next boundary line) every
//   further line is removed.
// The content kind is that of the kept part.
MimeSelection selectMimePart(LineQueue& queue, std::size_t first, std::size_t last, std::string_view boundary);

}  // namespace pm::inet
