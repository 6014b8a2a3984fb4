// Header removal for mail texts: see mailBodyRange in text_regions.h.
#include <string_view>

#include "wordindex/ascii_search.h"
#include "wordindex/text_regions.h"

namespace pm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr int kHeaderLinesExamined = 31;
constexpr std::size_t kMinimumRemaining = 15;
constexpr std::size_t kContentTypeValue = 40;   // bytes of a Content-Type value examined
constexpr std::size_t kBoundaryWindow = 161;    // bytes after "Content-Type:" searched for BOUNDARY=
constexpr std::size_t kBoundaryLength = 40;
constexpr int kPartHeaderLines = 10;
constexpr std::size_t kPartHeaderWidth = 40;
constexpr int kMaxNesting = 4;

constexpr std::string_view kContentType = "CONTENT-TYPE:";

bool isHeaderMarker(std::string_view rest) {
    return startsWithNoCase(rest, kContentType) || startsWithNoCase(rest, "MESSAGE-ID:") ||
           startsWithNoCase(rest, "X-MAILER:");
}

// Offset of the first line in [from, to) that begins with `upperName`, or npos.
// `from` is a line start.
std::size_t findHeaderLine(std::string_view text, std::size_t from, std::size_t to, std::string_view upperName) {
    for (std::size_t line = from; line < to;) {
        if (startsWithNoCase(text.substr(line), upperName)) return line;
        const std::size_t nl = text.find('\n', line);
        if (nl == npos) break;
        line = nl + 1;
    }
    return npos;
}

enum class PartSearch { NoBoundary, NoPlainPart, Found };

struct PartResult {
    PartSearch outcome = PartSearch::NoBoundary;
    TextRange range;
};

// The first text/plain part of the multipart entity whose Content-Type value
// starts at `valueStart`. Nested multipart parts are searched with their own
// boundary, so that the usual mixed(alternative(plain, html), attachment)
// mail finds its plain text.
PartResult firstPlainPart(std::string_view text, std::size_t valueStart, int depth) {
    const std::size_t n = text.size();
    const std::string_view window = text.substr(valueStart, kBoundaryWindow);
    const std::size_t found = findNoCase(window, "BOUNDARY=");
    if (found == npos) return {};

    std::size_t from = valueStart + found + 9;
    const bool quoted = from < n && text[from] == '"';
    if (quoted) ++from;
    std::size_t to = from;
    while (to < n && to - from < kBoundaryLength) {
        const char c = text[to];
        if (c == '"' || c == '\r' || c == '\n') break;
        // An unquoted boundary can not hold these; they end it ("boundary=x; charset=...").
        if (!quoted && (c == ';' || c == ' ' || c == '\t')) break;
        ++to;
    }
    const std::string_view boundary = text.substr(from, to - from);
    if (boundary.empty()) return {};

    // The boundary's own parameter is not a delimiter: search after it.
    std::size_t search = to;
    for (;;) {
        const std::size_t delimiter = text.find(boundary, search);
        if (delimiter == npos) return {PartSearch::NoPlainPart, {}};
        const std::size_t lineEnd = text.find('\n', delimiter + boundary.size());
        if (lineEnd == npos) return {PartSearch::NoPlainPart, {}};
        const std::size_t partStart = lineEnd + 1;

        bool plain = false;
        std::size_t line = partStart;
        for (int i = 0; i < kPartHeaderLines && line < n && !plain; ++i) {
            const std::size_t nl = text.find('\n', line);
            std::string_view content = text.substr(line, (nl == npos ? n : nl) - line);
            if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
            if (content.empty()) break;  // end of the part header
            const std::string_view head = content.substr(0, kPartHeaderWidth);
            if (findNoCase(head, "TEXT/PLAIN") != npos) {
                plain = true;
            } else if (depth < kMaxNesting && startsWithNoCase(content, kContentType) &&
                       findNoCase(head, "MULTI") != npos) {
                const PartResult inner = firstPlainPart(text, line + kContentType.size(), depth + 1);
                if (inner.outcome == PartSearch::Found) return inner;
            }
            if (nl == npos) break;
            line = nl + 1;
        }
        if (plain) {
            const std::size_t next = text.find(boundary, partStart);
            return {PartSearch::Found, {partStart, next == npos ? n : next}};
        }
        search = partStart;
    }
}

// The body of the header block whose first marking line starts at `marker`.
TextRange headerBlockBody(std::string_view text, std::size_t marker) {
    const std::size_t n = text.size();
    const std::size_t emptyLine = text.find("\r\n\r\n", marker);
    const std::size_t headerEnd = emptyLine == npos ? n : emptyLine + 2;

    // The Content-Type line may follow Message-ID or X-Mailer in the block; it
    // decides about the body wherever it stands.
    const std::size_t contentType = findHeaderLine(text, marker, headerEnd, kContentType);
    if (contentType != npos) {
        const std::size_t valueStart = contentType + kContentType.size();
        const std::string_view value = text.substr(valueStart, kContentTypeValue);
        if (findNoCase(value, "TEXT/PLAIN") == npos && findNoCase(value, "MULTI") != npos) {
            const PartResult part = firstPlainPart(text, valueStart, 0);
            if (part.outcome == PartSearch::Found) return part.range;
            if (part.outcome == PartSearch::NoPlainPart) return {};
            // Without a readable boundary the parts can not be told apart:
            // index the body as a whole rather than lose it.
        }
    }

    if (emptyLine == npos) return {};
    const std::size_t bodyStart = emptyLine + 4;
    std::size_t end = n;
    if (findNoCase(text.substr(0, bodyStart), "UUENCODE") != npos) {
        // The '\n' ending the empty line counts, so data that begins the body is cut too.
        const std::size_t begin = text.find("\nbegin", bodyStart - 1);
        if (begin != npos) end = begin < bodyStart ? bodyStart : begin;
    }
    return {bodyStart, end};
}

}  // namespace

TextRange mailBodyRange(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t line = 0;
    for (int i = 0; i < kHeaderLinesExamined && n - line >= kMinimumRemaining; ++i) {
        if (isHeaderMarker(text.substr(line))) return headerBlockBody(text, line);
        const std::size_t nl = text.find('\n', line);
        if (nl == npos) break;
        line = nl + 1;
    }
    return {0, n};
}

}  // namespace pm
