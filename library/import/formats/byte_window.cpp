#include "import/formats/byte_window.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pm::formats {

ByteWindow::~ByteWindow() { close(); }

bool ByteWindow::open(const std::string& fileName) {
    close();
    file_ = std::fopen(fileName.c_str(), "rb");
    if (!file_) return false;
    // The window takes 10,000 bytes at a time; the file is read from the
    // disk in large pieces beneath it, not in a system call per block.
    std::setvbuf(file_, nullptr, _IOFBF, std::size_t{1} << 20);
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long size = std::ftell(file_);
        fileSize_ = size < 0 ? 0 : size;
    }
    std::rewind(file_);
    base_ = 1;
    length_ = 0;
    atEnd_ = false;
    readFailed_ = false;
    readBlock();
    readBlock();
    if (readFailed_) {
        close();
        return false;
    }
    return true;
}

void ByteWindow::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    length_ = 0;
}

std::size_t ByteWindow::readAt(std::int64_t pos, char* out, std::size_t count) const {
    // pread leaves the stream's own position and buffer alone.
    return file_ ? readFileAt(fileno(file_), pos, out, count) : 0;
}

int ByteWindow::duplicateDescriptor() const { return file_ ? ::dup(fileno(file_)) : -1; }

std::size_t readFileAt(int fd, std::int64_t pos, char* out, std::size_t count) {
    if (fd < 0 || pos < 1) return 0;
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = pread(fd, out + got, count - got, static_cast<off_t>(pos - 1 + static_cast<std::int64_t>(got)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool ByteWindow::readBlock() {
    if (!file_ || atEnd_) return false;
    const std::size_t room = WindowSize - length_;
    const std::size_t want = room < WindowBlock ? room : WindowBlock;
    const std::size_t got = std::fread(buffer_ + length_, 1, want, file_);
    length_ += got;
    if (got < want) {
        atEnd_ = true;
        if (std::ferror(file_)) readFailed_ = true;
    }
    return got > 0;
}

bool ByteWindow::restartAt(std::int64_t pos) {
    if (!file_ || pos < 1) return false;
    std::clearerr(file_);
    if (std::fseek(file_, static_cast<long>(pos - 1), SEEK_SET) != 0) return false;
    base_ = pos;
    length_ = 0;
    atEnd_ = false;
    readBlock();
    readBlock();
    return length_ > 0;
}

bool ByteWindow::reach(std::int64_t pos) {
    if (!file_) return false;
    if (pos < base_) return restartAt(pos);
    while (pos >= windowEnd()) {
        if (atEnd_) return false;
        if (pos >= windowEnd() + static_cast<std::int64_t>(WindowSize)) return restartAt(pos);
        if (length_ == WindowSize) {
            std::memmove(buffer_, buffer_ + WindowBlock, WindowSize - WindowBlock);
            length_ -= WindowBlock;
            base_ += static_cast<std::int64_t>(WindowBlock);
        }
        if (!readBlock()) return pos < windowEnd();
    }
    return true;
}

std::string_view ByteWindow::from(std::int64_t pos) {
    if (!reach(pos)) return {};
    return std::string_view(buffer_ + (pos - base_), length_ - static_cast<std::size_t>(pos - base_));
}

void ByteWindow::copy(std::int64_t pos, std::size_t count, std::string& out) {
    out.clear();
    while (out.size() < count) {
        std::string_view part = from(pos);
        if (part.empty()) return;
        const std::size_t take = part.size() < count - out.size() ? part.size() : count - out.size();
        out.append(part.data(), take);
        pos += static_cast<std::int64_t>(take);
    }
}

}  // namespace pm::formats
