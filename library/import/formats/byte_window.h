#pragma once
// The byte-stream reader of the mail and news splitters: a source file read
// in blocks of 10,000 bytes into a window of 20,000 bytes. A scan moves
// forward through the file; when it needs a byte beyond the window, the
// window drops its first block and reads the next one, so a scan always sees
// at least 10,000 bytes ahead of a position it reached before and memory
// stays at the window's size whatever the file's size.
//
// Positions count from 1 over the whole file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pm::formats {

inline constexpr std::size_t WindowSize = 20000;
inline constexpr std::size_t WindowBlock = 10000;

// Reads up to `count` bytes from position `pos` of the file open as `fd`
// into `out`, as ByteWindow::readAt does.
std::size_t readFileAt(int fd, std::int64_t pos, char* out, std::size_t count);

class ByteWindow {
public:
    ByteWindow() = default;
    ~ByteWindow();
    ByteWindow(const ByteWindow&) = delete;
    ByteWindow& operator=(const ByteWindow&) = delete;

    // Opens `fileName` for reading and loads the first two blocks. False
    // when it cannot be opened or read.
    bool open(const std::string& fileName);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // Bytes in the file (as found when it was opened).
    std::int64_t fileSize() const { return fileSize_; }
    // True after a read failed; the file then counts as ending where the
    // failure happened.
    bool readFailed() const { return readFailed_; }

    // Makes position `pos` available, shifting the window forward as needed.
    // False when `pos` lies past the end of the file (or behind a failed
    // read). A position behind the window restarts the window there.
    bool reach(std::int64_t pos);

    // The byte at `pos` (0-255), or -1 past the end.
    int at(std::int64_t pos) {
        if (pos >= base_ && pos < base_ + static_cast<std::int64_t>(length_))
            return static_cast<unsigned char>(buffer_[pos - base_]);
        return reach(pos) ? static_cast<unsigned char>(buffer_[pos - base_]) : -1;
    }

    // The bytes from `pos` to the end of the window (empty when `pos` cannot
    // be reached). Valid until the next reach().
    std::string_view from(std::int64_t pos);

    // Copies up to `count` bytes from `pos` into `out` (replacing it); fewer
    // at the end of the file. `count` may exceed the window: the window then
    // moves along.
    void copy(std::int64_t pos, std::size_t count, std::string& out);

    // Reads up to `count` bytes from `pos` into `out` straight from the file,
    // leaving the window as it is (a look through the whole file in large
    // pieces). Returns the bytes read: fewer than `count` only at the end
    // of the file or when the read failed.
    std::size_t readAt(std::int64_t pos, char* out, std::size_t count) const;
    // A descriptor of the open file of the caller's own, for reads (readFileAt)
    // on another thread that must not depend on the window staying open;
    // -1 when there is none. The caller closes it.
    int duplicateDescriptor() const;
    // First position of the window and the position after its last byte.
    std::int64_t windowStart() const { return base_; }
    std::int64_t windowEnd() const { return base_ + static_cast<std::int64_t>(length_); }

private:
    bool readBlock();
    bool restartAt(std::int64_t pos);

    std::FILE* file_ = nullptr;
    std::int64_t fileSize_ = 0;
    std::int64_t base_ = 1;       // position of buffer_[0]
    std::size_t length_ = 0;      // bytes held
    bool atEnd_ = false;          // no block left to read
    bool readFailed_ = false;
    char buffer_[WindowSize];
};

}  // namespace pm::formats
