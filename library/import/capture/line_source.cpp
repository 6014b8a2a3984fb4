#include "import/capture/line_source.h"

#include <cstring>

namespace pm::capture {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr char kDosEndOfFile = '\x1A';

}  // namespace

LineSource::~LineSource() { close(); }

bool LineSource::open(const std::string& path, LineEnds ends) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    ends_ = ends;
    buffer_.assign(kBlockSize, '\0');
    begin_ = end_ = 0;
    atEnd_ = false;
    havePeeked_ = false;
    consumed_ = 0;
    return true;
}

void LineSource::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    buffer_.clear();
    begin_ = end_ = 0;
    atEnd_ = true;
    havePeeked_ = false;
}

bool LineSource::fill() {
    if (atEnd_ || !file_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) return true;
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (n == 0) {
        // End of file or a read error: either way nothing more comes.
        atEnd_ = true;
        return false;
    }
    if (ends_ == LineEnds::Text) {
        if (const void* mark = std::memchr(buffer_.data() + end_, kDosEndOfFile, n)) {
            end_ = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer_.data());
            atEnd_ = true;
            return true;
        }
    }
    end_ += n;
    return true;
}

bool LineSource::readLine(std::string& line, std::uint64_t& bytes) {
    line.clear();
    bytes = 0;
    const std::size_t maxLine = ends_ == LineEnds::Text ? MaxTextLine : MaxStreamLine;
    bool any = false;
    for (;;) {
        if (begin_ == end_ && !fill()) return any;
        if (begin_ == end_) return any;
        any = true;
        const char* data = buffer_.data();
        std::size_t i = begin_;
        while (i < end_) {
            if (ends_ == LineEnds::Text) {
                if (data[i] == '\n') break;
            } else if (data[i] == '\r') {
                // CR LF ends the line; the LF may not be read yet.
                if (i + 1 < end_) {
                    if (data[i + 1] == '\n') break;
                } else if (!atEnd_) {
                    break;
                }
            }
            if (line.size() + (i - begin_) >= maxLine) break;
            ++i;
        }
        line.append(data + begin_, i - begin_);
        bytes += i - begin_;
        begin_ = i;
        if (line.size() >= maxLine) return true;
        if (i == end_) continue;
        if (ends_ == LineEnds::Text) {
            ++begin_;
            ++bytes;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        // A CR at the end of the buffer: read on to see whether LF follows.
        if (i + 1 == end_) {
            if (!fill()) {
                line.push_back('\r');
                ++bytes;
                ++begin_;
                return true;
            }
            continue;
        }
        begin_ += 2;
        bytes += 2;
        return true;
    }
}

bool LineSource::next(std::string& line) {
    if (havePeeked_) {
        havePeeked_ = false;
        line.swap(peeked_);
        consumed_ += peekedBytes_;
        return true;
    }
    std::uint64_t bytes = 0;
    if (!readLine(line, bytes)) return false;
    consumed_ += bytes;
    return true;
}

bool LineSource::peek(std::string& line) {
    if (!havePeeked_) {
        if (!readLine(peeked_, peekedBytes_)) return false;
        havePeeked_ = true;
    }
    line = peeked_;
    return true;
}

}  // namespace pm::capture
