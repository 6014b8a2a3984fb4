#include "import/internet/text_assembly.h"

#include "common/utf8.h"
#include "import/internet/base64.h"
#include "import/internet/charset.h"
#include "import/internet/enriched_text.h"
#include "import/internet/html_to_text.h"
#include "import/internet/quoted_printable.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// Joins the entries as they stand (raw bytes).
std::string joinLines(const LineQueue& queue, std::size_t first, std::size_t last) {
    std::string raw;
    if (last > queue.size()) last = queue.size();
    bool started = false;
    for (std::size_t pos = first; pos >= 1 && pos <= last; ++pos) {
        if (queue.isRemoved(pos)) continue;
        std::string_view text = queue.text(pos);
        if (!started) {
            if (text.empty()) continue;
            started = true;
        }
        raw.append(text);
        if (!queue.continued(pos) || pos == last) {
            raw.append("\r\n");
            if (raw.size() >= MaxRawBody) break;
        }
    }
    return raw;
}

// CR LF for every line end (LF alone, CR alone); NUL bytes as blanks.
void normaliseLineEnds(std::string& text) {
    bool clean = true;
    for (std::size_t i = 0; i < text.size() && clean; ++i) {
        char c = text[i];
        if (c == '\0' || c == '\n') clean = false;
        else if (c == '\r' && !(i + 1 < text.size() && text[++i] == '\n')) clean = false;
    }
    if (clean) return;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c == '\0' ? ' ' : c);
        }
    }
    text.swap(out);
}

void dropLeadingBlankLines(std::string& text) {
    std::size_t start = 0;
    while (text.compare(start, 2, "\r\n") == 0) start += 2;
    if (start > 0) text.erase(0, start);
}

}  // namespace

void limitMessageText(std::string& text) {
    // Counted in characters: a text of 64,000 characters may take up to
    // four times as many bytes.
    if (text.size() < MaxMessageText) return;
    std::size_t lineStart = 0;
    std::size_t charsBefore = 0;  // characters up to lineStart
    while (lineStart < text.size()) {
        std::size_t eol = text.find("\r\n", lineStart);
        std::size_t lineEnd = eol == std::string::npos ? text.size() : eol;
        const std::string_view line = std::string_view(text).substr(lineStart, lineEnd - lineStart);
        const std::size_t length = utf8CharCount(line);
        if (charsBefore + length + 2 >= MaxMessageText) {
            if (charsBefore > CutMessageText) {
                text.resize(lineStart);
                return;
            }
            text.resize(lineStart + utf8PrefixBytes(line, CutMessageText - charsBefore));
            text += "\r\n";
            return;
        }
        charsBefore += length + 2;
        lineStart = lineEnd + 2;
    }
}

std::string assembleText(const LineQueue& queue, std::size_t first, std::size_t last, const BodyFormat& body) {
    std::string text = joinLines(queue, first, last);
    if (text.empty()) return text;

    if (body.encoding == TransferEncoding::QuotedPrintable) text = decodeQuotedPrintable(text);
    else if (body.encoding == TransferEncoding::Base64) text = decodeBase64(text);

    text = toUtf8(text, body.charset);
    normaliseLineEnds(text);
    if (body.encoding != TransferEncoding::Identity) {
        dropLeadingBlankLines(text);
        // Decoded text may lack the final line end every line has.
        if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
    }

    bool html = body.kind == ContentKind::Html ||
                (body.kind == ContentKind::Plain &&
                 findNoCase(std::string_view(text).substr(0, 8), "HTML") != std::string_view::npos);
    if (html) text = htmlToText(text);
    else if (body.kind == ContentKind::Enriched) text = enrichedToText(text);

    limitMessageText(text);
    return text;
}

}  // namespace pm::inet
