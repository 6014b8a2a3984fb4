#include "import/internet/mime_parts.h"

#include <string>
#include <vector>

#include "import/internet/mime_header.h"

namespace pm::inet {

namespace {

bool isBoundaryLine(std::string_view line, std::string_view boundary) {
    if (line.size() < boundary.size() + 2 || line[0] != '-' || line[1] != '-') return false;
    if (line.compare(2, boundary.size(), boundary) != 0) return false;
    std::string_view rest = line.substr(2 + boundary.size());
    if (rest.starts_with("--")) rest.remove_prefix(2);
    return rest.find_first_not_of(" \t") == std::string_view::npos;
}

// Index in `stack` of the boundary `line` belongs to (innermost first), or -1.
int boundaryLevel(std::string_view line, const std::vector<std::string>& stack) {
    if (line.size() < 2 || line[0] != '-' || line[1] != '-') return -1;
    for (std::size_t k = stack.size(); k-- > 0;)
        if (isBoundaryLine(line, stack[k])) return static_cast<int>(k);
    return -1;
}

void markLine(LineQueue& queue, std::size_t pos, std::size_t next) {
    for (std::size_t p = pos; p < next; ++p) queue.markRemoved(p);
}

bool isTextPart(const std::string& mediaType) {
    return mediaType.empty() || mediaType == "text/plain" || mediaType == "text/html" ||
           mediaType == "text/enriched";
}

}  // namespace

MimeSelection selectMimePart(LineQueue& queue, std::size_t first, std::size_t last, std::string_view boundary) {
    MimeSelection result;
    if (last > queue.size()) last = queue.size();
    if (first < 1 || first > last) return result;

    std::vector<std::string> stack{std::string(boundary)};
    std::string scratch;

    // Without a single boundary line the declared structure is wrong; keep
    // the body rather than remove all of it.
    for (std::size_t pos = first; pos <= last; pos = queue.nextSourceLine(pos))
        if (boundaryLevel(queue.sourceLine(pos, scratch), stack) >= 0) {
            result.partsFound = true;
            break;
        }
    if (!result.partsFound) return result;

    enum class State { Skip, Keep, Done };
    State state = State::Skip;
    std::size_t pos = first;
    while (pos <= last) {
        std::size_t next = queue.nextSourceLine(pos);
        if (state == State::Done) {
            markLine(queue, pos, next);
            pos = next;
            continue;
        }
        std::string_view line = queue.sourceLine(pos, scratch);
        int level = boundaryLevel(line, stack);
        if (level < 0) {
            if (state == State::Skip) markLine(queue, pos, next);
            pos = next;
            continue;
        }

        markLine(queue, pos, next);
        pos = next;
        if (state == State::Keep) {
            state = State::Done;
            continue;
        }
        stack.resize(static_cast<std::size_t>(level) + 1);
        bool closing = line.substr(2 + stack.back().size()).starts_with("--");
        state = State::Skip;
        if (closing) continue;

        // The part's header, up to its blank line.
        MimeHeaderReader header;
        while (pos <= last) {
            std::size_t headerNext = queue.nextSourceLine(pos);
            std::string_view headerLine = queue.sourceLine(pos, scratch);
            if (headerLine.empty() || boundaryLevel(headerLine, stack) >= 0) break;
            header.feed(headerLine);
            markLine(queue, pos, headerNext);
            pos = headerNext;
        }
        std::string type = header.mediaType();
        if (header.isMultipart()) {
            if (!header.boundary().empty() || header.emptyBoundary()) stack.push_back(header.boundary());
        } else if (isTextPart(type)) {
            state = State::Keep;
            result.partChosen = true;
            result.body = header.bodyFormat();
        }
    }
    return result;
}

}  // namespace pm::inet
