#pragma once
// The header block of one message in the line queue: the start line and the
// source lines after it, each with the queue position where it begins.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "import/internet/line_queue.h"

namespace pm::capture {

class HeaderLines {
public:
    // Collects up to `count` source lines from entry `start` on (continued
    // pieces joined).
    HeaderLines(const inet::LineQueue& queue, std::size_t start, std::size_t count);

    // Source line `n` after the start line (0 = the start line itself);
    // empty when the queue ends before it.
    std::string_view line(std::size_t n) const { return n < lines_.size() ? std::string_view(lines_[n]) : ""; }
    // True when the queue holds line `n`.
    bool has(std::size_t n) const { return n < lines_.size(); }
    // The queue position where line `n` begins; one past the queue's end
    // when the queue ends before it.
    std::size_t position(std::size_t n) const { return n < positions_.size() ? positions_[n] : pastEnd_; }

private:
    std::vector<std::string> lines_;
    std::vector<std::size_t> positions_;
    std::size_t pastEnd_ = 1;
};

}  // namespace pm::capture
