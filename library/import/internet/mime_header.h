#pragma once
// The MIME fields of a header block: Content-Type (media type, charset,
// boundary) and Content-Transfer-Encoding.
#include <string>
#include <string_view>

#include "import/internet/body_format.h"

namespace pm::inet {

inline constexpr std::size_t BoundaryWidth = 100;

// The multipart boundary in `line` from byte `from` on: "BOUNDARY=" is
// sought ignoring case; a quoted value runs to its closing quote (without
// one, trailing quotes and semicolons are stripped), an unquoted one to a
// ";", blank or the line end. An empty value is no boundary. At most 100
// bytes.
std::string extractBoundary(std::string_view line, std::size_t from = 0);

// The value of parameter `upperName` ("CHARSET") in a header value such as
// `text/plain; charset="iso-8859-1"`, unquoted; empty when absent.
std::string headerParameter(std::string_view value, std::string_view upperName);

// The lower-case media type ("text/plain") of a Content-Type value; empty
// when there is none.
std::string mediaTypeOf(std::string_view contentTypeValue);

// The transfer encoding named by a Content-Transfer-Encoding value; 7bit,
// 8bit, binary and anything unknown are Identity.
TransferEncoding transferEncodingOf(std::string_view value);

// The content kind of a media type: text/html 1, text/enriched 2, else 0.
ContentKind contentKindOf(std::string_view mediaType);

// Collects the MIME fields of one header block, fed line by line.
class MimeHeaderReader {
public:
    // One line of the block, continuation lines included, in order. A
    // multipart type whose boundary is not in its own field is looked for in
    // every following line of the block (some mailers wrote it unfolded),
    // and in the unfolded field (a "boundary=" folded before its value).
    void feed(std::string_view line);

    bool hasContentType() const { return contentTypeSeen_; }
    // Lower-case media type; empty without a Content-Type field.
    std::string mediaType() const { return mediaTypeOf(contentType_); }
    // multipart/* other than multipart/digest.
    bool isMultipart() const;
    // The boundary of any multipart type, multipart/digest included.
    const std::string& boundary() const { return boundary_; }
    // A multipart type whose boundary parameter is there but empty
    // (boundary=""): its parts are separated by bare "--" lines.
    bool emptyBoundary() const;
    std::string charset() const { return headerParameter(contentType_, "CHARSET"); }
    TransferEncoding transferEncoding() const { return transferEncodingOf(encoding_); }
    // The body format the fields describe (kind from the media type).
    BodyFormat bodyFormat() const;

private:
    enum class Field { None, ContentType, Encoding };
    Field current_ = Field::None;
    bool contentTypeSeen_ = false;
    bool encodingSeen_ = false;
    std::string contentType_;
    std::string encoding_;
    std::string boundary_;
};

}  // namespace pm::inet
