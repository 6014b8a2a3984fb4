#pragma once
// The common engine of the capture parsers: a file is read in slices into
// the line queue, and the queue is walked message by message.
//
// Reading a slice: the pending line (the message-start line that ended the
// previous read) is queued first; lines are then queued until the queue
// holds SliceEntries, and reading goes on until the next message-start
// line, which becomes the pending line. So a slice always ends at a message
// boundary (or at the end of the file) and no header is split between
// calls. A message body longer than any stored text could use is not
// queued beyond MaxQueuedEntries; the rest of it is read and dropped.
//
// Walking the queue (states of `status_`):
//   Looking - no message open: lines are passed over until a message-start
//             line. There a message of a kind the import does not want is
//             counted as skipped; otherwise the header is parsed, and a
//             header that fails its checks is counted as skipped.
//   Body    - a header was accepted; its body runs to the line before the
//             next message-start line, or to the end of the queue. The
//             message is then written. When the call's quota of written
//             messages is reached, the lines written are dropped from the
//             front of the queue, the rest waits for the next call and the
//             walk ends (the message-start line stays first in the queue).
// Every queued line is used by the end of the walk unless the quota ended it.
#include <cstddef>
#include <string>
#include <string_view>

#include "import/capture/capture_format.h"
#include "import/capture/capture_output.h"
#include "import/capture/line_source.h"
#include "import/driver/format_parser.h"
#include "import/internet/line_queue.h"

namespace pm::capture {

// Entries queued per slice before reading looks for the next message start.
inline constexpr std::size_t SliceEntries = 2500;
// Entries kept at most; a stored text (64,000 characters, or a raw MIME body)
// never needs more.
inline constexpr std::size_t MaxQueuedEntries = 40000;

struct HeaderResult {
    bool accepted = false;      // false: the message is skipped
    std::size_t bodyFirst = 0;  // queue position of the first body line
};

class QueueParser : public FormatParser {
public:
    // First call: opens the file (a file that cannot be opened is reported
    // and rejected) and the import register; reads nothing. Later calls
    // read and walk one slice; true when the file is used up.
    bool parse(ParserCall& call) final;

protected:
    QueueParser(CaptureFormat format, LineEnds ends);

    // True when `line` starts a message of the file's variant; `next` is
    // the line after it ("" at the end of the file).
    virtual bool startsMessage(std::string_view line, std::string_view next, int variant) const = 0;
    // Whether startsMessage looks at the next line.
    virtual bool needsNextLine() const { return false; }
    // Parses the header at queue position `start` into `record` (cleared
    // first) and accepts or skips the message (the caller counts a skip).
    virtual HeaderResult parseHeader(ParserCall& call, std::size_t start, WorkRecord& record) = 0;
    // The message text of body lines `first`..`last`.
    virtual std::string bodyText(ParserCall& call, std::size_t first, std::size_t last);
    // Messages written at most per call.
    virtual int quotaOf(const ParserCall& call) const { return call.quota; }

    // The format, its code page, the line queue of the current slice and
    // the import register (open from the first call on).
    CaptureFormat format() const { return format_; }
    const char* codePage() const { return codePage_; }
    inet::LineQueue& queue() { return queue_; }
    const ImportRegister& importRegister() const { return register_; }

private:
    enum class Status { Looking, Body };

    void readSlice(int variant);
    bool startsAt(std::size_t pos, int variant) const;
    bool wanted(const ParserCall& call) const;
    bool writeMessage(ParserCall& call, std::size_t last);
    // False when the run must end.
    bool walk(ParserCall& call);

    CaptureFormat format_;
    const char* codePage_;
    LineEnds ends_;
    LineSource source_;
    inet::LineQueue queue_;
    ImportRegister register_;
    std::string pending_;
    bool havePending_ = false;
    bool endOfFile_ = false;
    Status status_ = Status::Looking;
    WorkRecord record_;  // the message whose body is being read
    std::size_t bodyFirst_ = 0;
    std::uint64_t reported_ = 0;
};

}  // namespace pm::capture
