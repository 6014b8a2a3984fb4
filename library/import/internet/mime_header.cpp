#include "import/internet/mime_header.h"

#include "import/internet/line_queue.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// Field values longer than this are garbage; stop collecting.
constexpr std::size_t kMaxFieldValue = 2000;

std::string_view afterColon(std::string_view line) {
    std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view{} : line.substr(colon + 1);
}

}  // namespace

std::string extractBoundary(std::string_view line, std::size_t from) {
    std::size_t pos = findNoCase(line, "BOUNDARY=", from);
    if (pos == std::string_view::npos) return {};
    std::string_view value = trim(line.substr(pos + 9));
    if (!value.empty() && value.front() == '"') {
        value.remove_prefix(1);
        std::size_t close = value.find('"');
        if (close != std::string_view::npos) {
            value = value.substr(0, close);
        } else {
            while (!value.empty() && (value.back() == '"' || value.back() == ';' || isBlankOrTab(value.back())))
                value.remove_suffix(1);
        }
    } else {
        std::size_t end = value.find_first_of("; \t");
        if (end != std::string_view::npos) value = value.substr(0, end);
    }
    // RFC 2046 allows boundaries of one character; only an empty value is
    // none (a short one must not make the whole message unreadable).
    if (value.empty()) return {};
    return std::string(value.substr(0, utf8CutLength(value, BoundaryWidth)));
}

std::string headerParameter(std::string_view value, std::string_view upperName) {
    std::size_t pos = 0;
    while ((pos = findNoCase(value, upperName, pos)) != std::string_view::npos) {
        // The name must start a parameter: after ";" or white space.
        bool starts = pos > 0 && (value[pos - 1] == ';' || isBlankOrTab(value[pos - 1]));
        std::size_t i = pos + upperName.size();
        pos = i;
        if (!starts) continue;
        while (i < value.size() && isBlankOrTab(value[i])) ++i;
        if (i >= value.size() || value[i] != '=') continue;
        std::string_view rest = trim(value.substr(i + 1));
        if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
            std::size_t close = rest.find(rest.front(), 1);
            return std::string(rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        }
        std::size_t end = rest.find_first_of("; \t");
        return std::string(rest.substr(0, end));
    }
    return {};
}

std::string mediaTypeOf(std::string_view value) {
    std::string_view v = trim(value);
    std::size_t end = v.find_first_of("; \t");
    return asciiLower(trim(v.substr(0, end)));
}

TransferEncoding transferEncodingOf(std::string_view value) {
    std::string_view v = trim(value);
    std::size_t end = v.find_first_of("; \t");
    v = v.substr(0, end);
    if (equalsNoCase(v, "quoted-printable")) return TransferEncoding::QuotedPrintable;
    if (equalsNoCase(v, "base64")) return TransferEncoding::Base64;
    return TransferEncoding::Identity;
}

ContentKind contentKindOf(std::string_view mediaType) {
    if (mediaType == "text/html") return ContentKind::Html;
    if (mediaType == "text/enriched") return ContentKind::Enriched;
    return ContentKind::Plain;
}

void MimeHeaderReader::feed(std::string_view line) {
    if (!line.empty() && isBlankOrTab(line[0])) {
        std::string* target = current_ == Field::ContentType ? &contentType_
                              : current_ == Field::Encoding  ? &encoding_
                                                             : nullptr;
        if (target && target->size() < kMaxFieldValue) {
            target->push_back(' ');
            target->append(trim(line));
        }
    } else {
        current_ = Field::None;
        if (startsWithNoCase(line, "CONTENT-TYPE:") && !contentTypeSeen_) {
            contentTypeSeen_ = true;
            contentType_ = std::string(trim(afterColon(line)));
            current_ = Field::ContentType;
        } else if (startsWithNoCase(line, "CONTENT-TRANSFER-ENCODING:") && !encodingSeen_) {
            encodingSeen_ = true;
            encoding_ = std::string(trim(afterColon(line)));
            current_ = Field::Encoding;
        }
    }
    // multipart/digest too: its parts are no text, but splitters need to
    // know where its body ends.
    if (boundary_.empty() && mediaType().starts_with("multipart/")) {
        boundary_ = extractBoundary(line);
        // "boundary=" folded before its value: read the unfolded field.
        if (boundary_.empty() && current_ == Field::ContentType) boundary_ = extractBoundary(contentType_);
    }
}

bool MimeHeaderReader::isMultipart() const {
    std::string type = mediaType();
    return type.starts_with("multipart/") && type != "multipart/digest";
}

bool MimeHeaderReader::emptyBoundary() const {
    return boundary_.empty() && isMultipart() && findNoCase(contentType_, "BOUNDARY=") != std::string_view::npos;
}

BodyFormat MimeHeaderReader::bodyFormat() const {
    BodyFormat format;
    format.kind = contentKindOf(mediaType());
    format.charset = charset();
    format.encoding = transferEncoding();
    return format;
}

}  // namespace pm::inet
