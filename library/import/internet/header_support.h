#pragma once
// Pieces shared by the mail and news header analyses.
#include <cstddef>
#include <string>
#include <string_view>

#include "common/fixed_text.h"
#include "import/internet/body_format.h"
#include "import/internet/line_queue.h"
#include "import/internet/message_date.h"
#include "import/internet/mime_header.h"
#include "import/internet/parsed_header.h"

namespace pm::inet {

// Collected header values are cut here; longer ones are garbage or lists
// far beyond what the fields keep.
inline constexpr std::size_t MaxHeaderValue = 1000;

// The value of a header line: the text after its first ":" (empty without
// one), leading blanks removed.
std::string_view headerValue(std::string_view line);

// Appends a continuation line (a folded header line) to `value`: one blank,
// then the line's text without its leading white space. Stops growing at
// MaxHeaderValue.
void appendContinuation(std::string& value, std::string_view line);

// Starts a value from `text`, cut to MaxHeaderValue.
std::string startValue(std::string_view text);

// A header field the analyses keep by its first occurrence in a block.
struct FirstValue {
    std::string value;  // the first line's value (cut), continuations appended by the caller
    bool seen = false;

    // Takes the value of `line` when the field was not met before and
    // returns where its continuation lines go; nullptr for a repeat.
    std::string* take(std::string_view line);
};

// The first position at or after `pos` (up to `last`) whose entry is not
// empty; last + 1 when there is none.
std::size_t skipBlankLines(const LineQueue& queue, std::size_t pos, std::size_t last);

// Reads a header block line by line: the source lines from `first` up to
// `last`, each non-empty one fed to `mime` as it is handed out. Folded
// continuation lines come as lines of their own.
class HeaderBlockReader {
public:
    HeaderBlockReader(const LineQueue& queue, std::size_t first, std::size_t last, MimeHeaderReader& mime)
        : queue_(queue), mime_(mime), pos_(first), last_(last) {}

    // The next line; false past `last`. The view lasts until the next call.
    bool next(std::string_view& line);
    // Where a body after the line last handed out starts: the first
    // non-empty position after it (last + 1 when none).
    std::size_t bodyStart() const { return skipBlankLines(queue_, pos_, last_); }

private:
    const LineQueue& queue_;
    MimeHeaderReader& mime_;
    std::size_t pos_, last_;
    std::string scratch_;
};

// Splits a raw sender/receiver text into the two fields: by the Internet
// address split, or by the context's CompuServe rule when `cisRule` is set
// and the context has one (its name then gets encoded words decoded too).
void splitInto(std::string_view rawText, const HeaderContext& context, bool cisRule, FixedText<60>& address,
               FixedText<60>& name);

// The date of the first "Received:" field of the header block that starts
// at `headerStart` (the newest hop: when the message arrived), read from the
// text after the field's last ";" with its folded lines joined. Date 0 when
// the block has no such field or its date is unreadable.
MessageDate receivedDate(const LineQueue& queue, std::size_t headerStart);

// `text` trimmed, without a trailing "(X)".
std::string_view withoutTrailingX(std::string_view text);

// The body format of a message whose header block was read into `mime`:
// for a multipart message with a boundary (an empty one included) the MIME
// part selection runs over the body `first`..`last` (marking lines in the
// queue); otherwise, a multipart message without a boundary parameter
// included, the header's own Content-Type and transfer encoding apply.
BodyFormat bodyFormatAfterHeader(LineQueue& queue, const MimeHeaderReader& mime, std::size_t first,
                                 std::size_t last);

}  // namespace pm::inet
