#include "import/capture/header_lines.h"

namespace pm::capture {

HeaderLines::HeaderLines(const inet::LineQueue& queue, std::size_t start, std::size_t count) {
    pastEnd_ = queue.size() + 1;
    std::string scratch;
    for (std::size_t pos = start; pos >= 1 && pos <= queue.size() && lines_.size() < count;
         pos = queue.nextSourceLine(pos)) {
        positions_.push_back(pos);
        lines_.emplace_back(queue.sourceLine(pos, scratch));
    }
}

}  // namespace pm::capture
