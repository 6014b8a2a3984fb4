#pragma once
// What every splitter of the mail and news files offers the parser: the
// next message of the file, cut into the line queue.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/driver/format_parser.h"
#include "import/formats/byte_window.h"
#include "import/internet/line_queue.h"
#include "import/internet/message_date.h"
#include "import/internet/parsed_header.h"
#include "tables/records/scratch_tables.h"

namespace pm::formats {

enum class Cut {
    Message,  // a message is in the queue
    End,      // the file holds no further message
    Paused,   // the scan budget was spent before a message start: call again
};

// Raw bytes of one message that are queued at most: the text assembly reads
// far less, and a message with a huge attachment must not grow the memory.
inline constexpr std::size_t MaxQueuedMessageBytes = 8u << 20;

class MessageSplitter {
public:
    virtual ~MessageSplitter() = default;

    // Prepares the file that `window` has open (first call). False when the
    // file is not of the format at all.
    virtual bool begin(ByteWindow& window, const ParserCall& call) = 0;

    // Cuts the next message into `queue` (emptied first) and gives the queue
    // position its header block starts at. Looking for a message start it
    // passes over at most about `budget` bytes before it pauses.
    virtual Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) = 0;

    // The position after the last byte used: the progress in the file.
    virtual std::int64_t position() const = 0;

    // True when, once begin() has returned, the splitter uses nothing but
    // the window and itself, so it may cut on a thread of its own (a
    // splitter that keeps the call's counters or log must say false).
    virtual bool cutsApart() const { return false; }

    // The date the separator of the message just cut carries (a mailbox's
    // envelope line), for a message whose own Date field gives none; date 0
    // when the format's separators carry no date.
    virtual inet::MessageDate separatorDate() const { return {}; }
};

enum class CourseResult {
    Written,  // a work record was appended (or the run already held it)
    Skipped,  // left out and counted
    Failed,   // the work file failed: the parser must end the file
};

// A message read and decoded apart from the run (on the parser's reading
// thread), waiting for what needs the run: its database, its number and
// the work file.
struct PreparedMessage {
    enum class Kind : unsigned char {
        Blank,    // nothing but blank lines: no message, not counted
        Skipped,  // left out; counted as skipped when finished
        Ready,    // `record` holds every field the message itself gives
    };
    Kind kind = Kind::Blank;
    WorkRecord record;
    std::int64_t position = 0;  // the splitter's position after the message
};

// Handles one cut message: the common course, or a format's own.
class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    // Handles the message in `queue` whose header block starts at
    // `headerStart`.
    virtual CourseResult handle(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                                inet::HeaderContext& context) = 0;

    // Gives the date of the next message's separator (date 0 for none),
    // before handle() is called for it.
    virtual void setSeparatorDate(const inet::MessageDate& date) { (void)date; }

    // True when the handler splits its work into prepare() and finish(), so
    // that prepare() can run on another thread than the run's.
    virtual bool preparesApart() const { return false; }
    // Reads the message in `queue` into `out` using nothing of the run but
    // the request (read only) and `context`, which it may ask only about the
    // mailbox owner's addresses (it must not look into the databases).
    virtual void prepare(inet::LineQueue& queue, std::size_t headerStart, const ImportRequest& request,
                         inet::HeaderContext& context, PreparedMessage& out) {
        (void)queue, (void)headerStart, (void)request, (void)context, (void)out;
    }
    // On the run's thread, in message order: resolves, numbers and appends
    // a prepared message.
    virtual CourseResult finish(PreparedMessage& message, ParserCall& call) {
        (void)message, (void)call;
        return CourseResult::Failed;
    }
};

// Queues the lines of one message, up to MaxQueuedMessageBytes; further
// lines are passed over.
class MessageLines {
public:
    explicit MessageLines(inet::LineQueue& queue) : queue_(queue) { queue_.clear(); }
    void add(std::string_view line) {
        if (bytes_ > MaxQueuedMessageBytes) return;
        bytes_ += line.size() + 2;
        queue_.push(line);
    }
    bool full() const { return bytes_ > MaxQueuedMessageBytes; }

private:
    inet::LineQueue& queue_;
    std::size_t bytes_ = 0;
};

}  // namespace pm::formats
