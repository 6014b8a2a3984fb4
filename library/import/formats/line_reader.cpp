#include "import/formats/line_reader.h"

#include <cstring>

namespace pm::formats {

bool RawLine::blank() const {
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

void LineReader::setStop(unsigned char firstByte, StopCheck check) {
    hasStop_ = true;
    stopByte_ = firstByte;
    stopCheck_ = check;
}

void LineReader::detectLineEnds() {
    const std::string_view head = window_.from(1);
    ends_ = head.find('\n') == std::string_view::npos && head.find('\r') != std::string_view::npos ? LineEnds::Cr
                                                                                                  : LineEnds::Lf;
}

bool LineReader::read(RawLine& line) {
    if (ends_ == LineEnds::Unknown) detectLineEnds();
    const char lineEnd = ends_ == LineEnds::Cr ? '\r' : '\n';
    line.text.clear();
    line.cut = line.ended = line.stopped = false;
    line.start = position_;
    std::int64_t pos = position_;
    for (;;) {
        std::string_view span = window_.from(pos);
        if (span.empty()) {
            // End of the file: the last line has no line end.
            if (pos == line.start) return false;
            line.next = position_ = pos;
            return true;
        }
        std::size_t i = 0;
        const std::size_t n = span.size();
        if (hasStop_) {
            const char stop = static_cast<char>(stopByte_);
            while (i < n && span[i] != lineEnd && span[i] != stop) ++i;
        } else {
            const void* found = std::memchr(span.data(), lineEnd, n);
            i = found ? static_cast<std::size_t>(static_cast<const char*>(found) - span.data()) : n;
        }
        if (line.text.size() < MaxLineBytes) {
            const std::size_t keep = std::min(i, MaxLineBytes - line.text.size());
            line.text.append(span.data(), keep);
            if (keep < i) line.cut = true;
        } else if (i > 0) {
            line.cut = true;
        }
        pos += static_cast<std::int64_t>(i);
        if (i == n) continue;  // the line goes on in the next part of the window

        const char c = span[i];
        if (c == lineEnd) {
            line.ended = true;
            if (lineEnd == '\n' && !line.cut && !line.text.empty() && line.text.back() == '\r') line.text.pop_back();
            line.next = position_ = pos + 1;
            return true;
        }
        // The stop byte: a mark, or an ordinary byte of the line.
        if (!stopCheck_ || stopCheck_(window_, pos)) {
            line.stopped = true;
            line.next = position_ = pos;
            return true;
        }
        if (line.text.size() < MaxLineBytes) line.text.push_back(c);
        else line.cut = true;
        ++pos;
    }
}

}  // namespace pm::formats
