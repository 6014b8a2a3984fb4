#include "import/internet/header_support.h"

#include "import/internet/address_split.h"
#include "import/internet/charset.h"
#include "import/internet/encoded_words.h"
#include "import/internet/mime_parts.h"
#include "import/internet/text_case.h"

namespace pm::inet {

std::string_view headerValue(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    return trimLeft(line.substr(colon + 1));
}

void appendContinuation(std::string& value, std::string_view line) {
    if (value.size() >= MaxHeaderValue) return;
    std::string_view text = trim(line);
    if (text.empty()) return;
    if (!value.empty()) value.push_back(' ');
    value.append(text.substr(0, MaxHeaderValue - std::min(value.size(), MaxHeaderValue)));
}

std::string startValue(std::string_view text) { return std::string(text.substr(0, MaxHeaderValue)); }

std::string* FirstValue::take(std::string_view line) {
    if (seen) return nullptr;
    seen = true;
    value = startValue(headerValue(line));
    return &value;
}

std::size_t skipBlankLines(const LineQueue& queue, std::size_t pos, std::size_t last) {
    while (pos <= last && queue.text(pos).empty()) ++pos;
    return pos;
}

bool HeaderBlockReader::next(std::string_view& line) {
    if (pos_ > last_) return false;
    line = queue_.sourceLine(pos_, scratch_);
    pos_ = queue_.nextSourceLine(pos_);
    if (!line.empty()) mime_.feed(line);
    return true;
}

void splitInto(std::string_view rawText, const HeaderContext& context, bool cisRule, FixedText<60>& address,
               FixedText<60>& name) {
    if (cisRule && context.cisSplit) {
        std::string utf8 = toUtf8Fallback(trim(rawText));
        std::string a, n;
        context.cisSplit(utf8, a, n);
        address = trim(a);
        name = trim(decodeHeaderText(n));
        return;
    }
    AddressParts parts = splitAddress(rawText);
    address = parts.address;
    name = parts.name;
}

MessageDate receivedDate(const LineQueue& queue, std::size_t headerStart) {
    std::string scratch, value;
    bool inField = false;
    for (std::size_t pos = headerStart; pos >= 1 && pos <= queue.size(); pos = queue.nextSourceLine(pos)) {
        std::string_view line = queue.sourceLine(pos, scratch);
        if (line.empty()) break;
        if (isBlankOrTab(line[0])) {
            if (inField) appendContinuation(value, line);
            continue;
        }
        if (inField) break;
        if (startsWithNoCase(line, "RECEIVED:")) {
            inField = true;
            value = startValue(headerValue(line));
        }
    }
    const std::size_t semicolon = value.rfind(';');
    if (semicolon == std::string::npos) return {};
    return parseMessageDate(std::string_view(value).substr(semicolon + 1));
}

std::string_view withoutTrailingX(std::string_view text) {
    text = trim(text);
    if (text.ends_with("(X)")) text = trim(text.substr(0, text.size() - 3));
    return text;
}

BodyFormat bodyFormatAfterHeader(LineQueue& queue, const MimeHeaderReader& mime, std::size_t first,
                                 std::size_t last) {
    // A multipart message without a usable boundary is still a message:
    // its body is read as text.
    if (mime.isMultipart() && (!mime.boundary().empty() || mime.emptyBoundary())) {
        MimeSelection selection = selectMimePart(queue, first, last, mime.boundary());
        return selection.partsFound ? selection.body : BodyFormat{};
    }
    return mime.bodyFormat();
}

}  // namespace pm::inet
