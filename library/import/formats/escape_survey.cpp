#include "import/formats/escape_survey.h"

#include <unistd.h>

#include <cstring>
#include <string_view>

#include "common/thread_signals.h"

namespace pm::formats {

namespace {

// A line start near a piece's end is judged with the bytes after it: at
// least a window's worth of them.
constexpr std::size_t Margin = WindowSize;

// Whether a line escaped twice starts after a line end at an index below
// `room` of `part`. Only a line starting ">>" can be: the search runs from
// one ">" to the next (a fast byte search) and looks at the bytes around it.
bool escapedTwiceAfterLineEnd(std::string_view part, std::size_t room) {
    if (part.size() < 2) return false;
    const char* const begin = part.data();
    const char* const end = begin + part.size();
    // The ">" that follows a line end at index i < room lies at most at room.
    const char* const last = begin + (room < part.size() ? room : part.size() - 1);
    for (const char* at = begin + 1; at <= last;) {
        const void* mark = std::memchr(at, '>', static_cast<std::size_t>(last - at) + 1);
        if (!mark) return false;
        at = static_cast<const char*>(mark);
        if (at[-1] == '\n' && at + 1 < end && at[1] == '>' &&
            escapeDepth(part.substr(static_cast<std::size_t>(at - begin))) >= 2)
            return true;
        ++at;
    }
    return false;
}

}  // namespace

std::size_t escapeDepth(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && text[n] == '>') ++n;
    return n > 0 && text.substr(n, 5) == "From " ? n : 0;
}

EscapeSurvey::~EscapeSurvey() {
    stopping_ = true;
    endHelper();
}

void EscapeSurvey::endHelper() {
    if (helper_.joinable()) helper_.join();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool EscapeSurvey::advance(const ByteWindow& window, std::int64_t budget) {
    if (finished_) return true;
    if (!started_) {
        started_ = true;
        // As many pieces as reads of a piece and its margin take to reach
        // the end: the last read finds fewer bytes than it asks for.
        const std::int64_t size = window.fileSize();
        const auto margin = static_cast<std::int64_t>(Margin);
        pieces_ = size > margin ? (size - margin) / static_cast<std::int64_t>(Piece) + 1 : 1;
        buffer_.resize(Piece + Margin);
        fd_ = window.duplicateDescriptor();
        if (pieces_ > 1 && fd_ >= 0) {
            try {
                helperBuffer_.resize(Piece + Margin);
                helper_ = std::thread([this] {
                    blockSignalsOnThisThread();
                    lookThrough(nullptr, helperBuffer_, -1);
                });
            } catch (...) {
                // Without a helper the caller looks through every piece.
            }
        }
    }
    lookThrough(&window, buffer_, budget);
    if (!found_ && nextPiece_ < pieces_) return false;
    // Every piece is taken (or the mark found): the helper ends with its last.
    endHelper();
    std::vector<char>().swap(buffer_);
    std::vector<char>().swap(helperBuffer_);
    finished_ = true;
    return true;
}

void EscapeSurvey::lookThrough(const ByteWindow* window, std::vector<char>& buffer, std::int64_t budget) {
    std::int64_t done = 0;
    while (!found_ && !stopping_ && (budget < 0 || done < budget)) {
        const std::int64_t index = nextPiece_.fetch_add(1);
        if (index >= pieces_) return;
        lookAt(window, index, buffer);
        done += static_cast<std::int64_t>(Piece);
    }
}

void EscapeSurvey::lookAt(const ByteWindow* window, std::int64_t index, std::vector<char>& buffer) {
    std::int64_t position = 1 + index * static_cast<std::int64_t>(Piece);
    for (;;) {
        const std::size_t got = fd_ >= 0 ? readFileAt(fd_, position, buffer.data(), buffer.size())
                                         : window->readAt(position, buffer.data(), buffer.size());
        const std::string_view part(buffer.data(), got);
        const bool last = got < buffer.size();
        // A line start near the piece's end is judged with the next piece.
        const std::size_t room = last ? part.size() : part.size() - Margin;
        if ((position == 1 && escapeDepth(part) >= 2) || escapedTwiceAfterLineEnd(part, room)) found_ = true;
        // Only the last piece reads on (when the file grew meanwhile).
        if (found_ || last || room == 0 || index + 1 < pieces_) return;
        position += static_cast<std::int64_t>(room);
    }
}

}  // namespace pm::formats
