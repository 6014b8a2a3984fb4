#include "import/internet/line_queue.h"

#include <algorithm>

namespace pm::inet {

std::size_t utf8CutLength(std::string_view text, std::size_t width) {
    if (text.size() <= width) return text.size();
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // Step back over at most three continuation bytes to the lead byte of the
    // character at the cut.
    std::size_t i = width;
    while (i > 0 && width - i < 3 && (byte(i) & 0xC0) == 0x80) --i;
    if (i == width || (byte(i) & 0xC0) != 0xC0) return width;
    std::size_t sequence = byte(i) >= 0xF0 ? 4 : byte(i) >= 0xE0 ? 3 : 2;
    return i + sequence > width ? i : width;
}

std::size_t LineQueue::push(std::string_view line) {
    std::size_t n = line.size();
    while (n > 0 && (line[n - 1] == ' ' || line[n - 1] == '\r')) --n;
    line = line.substr(0, n);
    if (line.size() > MaxSourceLineBytes) line = line.substr(0, utf8CutLength(line, MaxSourceLineBytes));

    std::size_t pieces = 0;
    do {
        std::size_t take = utf8CutLength(line, LineEntryWidth);
        if (take == 0 && !line.empty()) take = std::min(line.size(), LineEntryWidth);
        entries_.push_back(Entry{buffer_.size(), static_cast<std::uint16_t>(take), false, false});
        buffer_.append(line.data(), take);
        line.remove_prefix(take);
        ++pieces;
        if (!line.empty()) entries_.back().continued = true;
    } while (!line.empty());
    return pieces;
}

void LineQueue::pushText(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        push(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) push(text.substr(start));
}

void LineQueue::clear() {
    buffer_.clear();
    entries_.clear();
}

void LineQueue::dropFront(std::size_t count) {
    if (count >= entries_.size()) {
        clear();
        return;
    }
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count));
    // Give the bytes of dropped lines back once they are the larger part.
    std::size_t firstOffset = entries_.front().offset;
    for (const Entry& e : entries_) firstOffset = std::min(firstOffset, e.offset);
    if (firstOffset > buffer_.size() / 2) {
        buffer_.erase(0, firstOffset);
        for (Entry& e : entries_) e.offset -= firstOffset;
    }
}

std::string_view LineQueue::text(std::size_t pos) const {
    if (pos == 0 || pos > entries_.size()) return {};
    const Entry& e = entries_[pos - 1];
    if (e.removed) return RemovalMark;
    return std::string_view(buffer_).substr(e.offset, e.length);
}

bool LineQueue::continued(std::size_t pos) const {
    return pos >= 1 && pos <= entries_.size() && entries_[pos - 1].continued;
}

void LineQueue::setContinued(std::size_t pos, bool continued) {
    if (pos >= 1 && pos <= entries_.size()) entries_[pos - 1].continued = continued;
}

void LineQueue::markRemoved(std::size_t pos) {
    if (pos >= 1 && pos <= entries_.size()) entries_[pos - 1].removed = true;
}

bool LineQueue::isRemoved(std::size_t pos) const {
    if (pos == 0 || pos > entries_.size()) return false;
    return entries_[pos - 1].removed || text(pos).starts_with(RemovalMark);
}

void LineQueue::setText(std::size_t pos, std::string_view text) {
    if (pos == 0 || pos > entries_.size()) return;
    Entry& e = entries_[pos - 1];
    std::size_t take = utf8CutLength(text, LineEntryWidth);
    if (take <= e.length) {
        buffer_.replace(e.offset, take, text.data(), take);
    } else {
        e.offset = buffer_.size();
        buffer_.append(text.data(), take);
    }
    e.length = static_cast<std::uint16_t>(take);
    e.removed = false;
}

std::string_view LineQueue::sourceLine(std::size_t pos, std::string& scratch) const {
    if (!continued(pos)) return text(pos);
    scratch.clear();
    std::size_t p = pos;
    do {
        scratch.append(text(p));
    } while (continued(p++) && p <= entries_.size());
    return scratch;
}

std::size_t LineQueue::nextSourceLine(std::size_t pos) const {
    std::size_t p = pos;
    while (continued(p) && p < entries_.size()) ++p;
    return p + 1;
}

}  // namespace pm::inet
