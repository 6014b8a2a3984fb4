#include "import/internet/embedded_message.h"

#include <string>

#include "import/internet/header_support.h"
#include "import/internet/mime_header.h"
#include "import/internet/text_case.h"

namespace pm::inet {

bool startsEmbeddedHeader(std::string_view line) {
    for (std::string_view field : {"SENDER:", "RECEIVED:", "MESSAGE-ID:", "FROM:", "DATE:", "SUBJECT:", "TO:"})
        if (startsWithNoCase(line, field)) return true;
    return false;
}

EmbeddedBody analyseEmbeddedHeader(LineQueue& queue, std::size_t first, std::size_t last) {
    EmbeddedBody result;
    if (last > queue.size()) last = queue.size();
    result.firstTextLine = last + 1;
    if (first < 1 || first > last) return result;

    MimeHeaderReader mime;
    std::string scratch;
    std::size_t pos = first;
    while (pos <= last) {
        std::string_view line = queue.sourceLine(pos, scratch);
        std::size_t next = queue.nextSourceLine(pos);
        if (line.empty()) {
            result.firstTextLine = skipBlankLines(queue, next, last);
            break;
        }
        mime.feed(line);
        pos = next;
    }

    if (mime.isMultipart() && !mime.boundary().empty()) {
        result.body = bodyFormatAfterHeader(queue, mime, result.firstTextLine, last);
        return result;
    }
    result.body = mime.bodyFormat();
    if (result.body.kind == ContentKind::Plain && result.firstTextLine <= last) {
        std::string_view firstLine = queue.text(result.firstTextLine).substr(0, 20);
        if (findNoCase(firstLine, "HTML") != std::string_view::npos) result.body.kind = ContentKind::Html;
    }
    return result;
}

}  // namespace pm::inet
