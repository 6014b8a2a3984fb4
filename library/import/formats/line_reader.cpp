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

bool LineReader::loneCrEndsLine(std::int64_t crPos, bool afterLoneCr) {
    const int next = window_.at(crPos + 1);
    if (next == '\n') return false;  // CR LF
    if (afterLoneCr || next < 0) return afterLoneCr;
    // The first CR of a stretch: it ends a line when the next line end is
    // a lone CR too; one stray CR in a CR LF line stays in it.
    for (std::int64_t p = crPos + 1; p <= crPos + kCrLookahead; ++p) {
        const int b = window_.at(p);
        if (b < 0 || b == '\n') return false;
        if (b == '\r') return window_.at(p + 1) != '\n';
    }
    return false;
}

bool LineReader::read(RawLine& line) {
    if (ends_ == LineEnds::Unknown) detectLineEnds();
    const char lineEnd = ends_ == LineEnds::Cr ? '\r' : '\n';
    line.text.clear();
    line.cut = line.ended = line.stopped = false;
    line.start = position_;
    // Whether this line follows a line that ended at a lone CR (the window
    // still holds the byte before a line that has just begun).
    const bool afterLoneCr = lineEnd == '\n' && position_ > window_.windowStart() && window_.at(position_ - 1) == '\r';
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
            while (i < n && span[i] != lineEnd && span[i] != stop && span[i] != '\r') ++i;
        } else {
            const void* found = std::memchr(span.data(), lineEnd, n);
            i = found ? static_cast<std::size_t>(static_cast<const char*>(found) - span.data()) : n;
            if (lineEnd == '\n') {
                if (const void* cr = std::memchr(span.data(), '\r', i))
                    i = static_cast<std::size_t>(static_cast<const char*>(cr) - span.data());
            }
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
        if (c == '\r' && lineEnd == '\n') {
            // A CR before LF is dropped when the LF comes; a lone CR ends the
            // line only within a stretch of lines that end so (a message
            // written with CR alone between CR LF messages).
            if (loneCrEndsLine(pos, afterLoneCr)) {
                line.ended = true;
                line.next = position_ = pos + 1;
                return true;
            }
        } else if (!stopCheck_ || stopCheck_(window_, pos)) {
            // The stop byte: a mark, or an ordinary byte of the line.
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
