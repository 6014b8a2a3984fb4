#include "import/capture/queue_parser.h"

#include <algorithm>
#include <cerrno>

#include "common/user_interface.h"
#include "import/driver/import_request.h"

namespace pm::capture {

QueueParser::QueueParser(CaptureFormat format, LineEnds ends)
    : format_(format), codePage_(codePageOf(format)), ends_(ends) {}

bool QueueParser::parse(ParserCall& call) {
    if (call.step == FirstCall) {
        call.step = ContinueParsing;
        queue_.clear();
        pending_.clear();
        havePending_ = false;
        endOfFile_ = false;
        status_ = Status::Looking;
        reported_ = 0;
        if (!source_.open(call.fileName, ends_)) {
            message("Warning!", cannotOpenWarning(call.fileName, errno), Icon::Exclamation);
            call.rejected = true;
            return true;
        }
        register_.open();
        return false;
    }
    if (!source_.isOpen() && queue_.empty()) return true;

    readSlice(call.variant);
    call.progress += static_cast<double>(source_.consumed() - reported_);
    reported_ = source_.consumed();
    if (!walk(call)) return true;
    const bool done = endOfFile_ && !havePending_ && queue_.empty();
    if (done) source_.close();
    return done;
}

void QueueParser::readSlice(int variant) {
    if (havePending_) {
        queue_.push(pending_);
        havePending_ = false;
    }
    std::string line, next;
    while (!endOfFile_ && queue_.size() < SliceEntries) {
        if (!source_.next(line)) endOfFile_ = true;
        else queue_.push(line);
    }
    while (!endOfFile_) {
        if (!source_.next(line)) {
            endOfFile_ = true;
            break;
        }
        next.clear();
        if (needsNextLine() && !source_.peek(next)) next.clear();
        if (startsMessage(line, next, variant)) {
            pending_.swap(line);
            havePending_ = true;
            break;
        }
        if (queue_.size() < MaxQueuedEntries) queue_.push(line);
    }
}

bool QueueParser::startsAt(std::size_t pos, int variant) const {
    std::string scratch, nextScratch;
    std::string_view line = queue_.sourceLine(pos, scratch);
    std::string_view next;
    if (needsNextLine()) {
        const std::size_t nextPos = queue_.nextSourceLine(pos);
        if (nextPos <= queue_.size()) next = queue_.sourceLine(nextPos, nextScratch);
    }
    return startsMessage(line, next, variant);
}

bool QueueParser::wanted(const ParserCall& call) const {
    return call.variant == 2 ? call.request->importMail != 0 : call.request->importForum != 0;
}

std::string QueueParser::bodyText(ParserCall& call, std::size_t first, std::size_t last) {
    return captureBodyText(queue_, first, last, call.variant == 2, codePage_);
}

bool QueueParser::writeMessage(ParserCall& call, std::size_t last) {
    status_ = Status::Looking;
    return appendCaptured(call, record_, bodyText(call, bodyFirst_, last));
}

bool QueueParser::walk(ParserCall& call) {
    const int quota = std::max(1, quotaOf(call));
    int written = 0;
    std::size_t pos = 1;
    while (pos <= queue_.size()) {
        const std::size_t next = queue_.nextSourceLine(pos);
        if (startsAt(pos, call.variant)) {
            if (status_ == Status::Body) {
                if (!writeMessage(call, pos - 1)) return false;
                if (++written >= quota) {
                    queue_.dropFront(pos - 1);
                    return true;
                }
            }
            if (!wanted(call)) {
                countSkipped(call);
            } else if (HeaderResult header = parseHeader(call, pos, record_); header.accepted) {
                status_ = Status::Body;
                bodyFirst_ = header.bodyFirst;
            } else {
                countSkipped(call);
            }
        }
        pos = next;
    }
    if (status_ == Status::Body && !writeMessage(call, queue_.size())) return false;
    queue_.clear();
    return true;
}

}  // namespace pm::capture
