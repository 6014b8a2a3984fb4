#pragma once
// Reading a capture file line by line, in bounded memory.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pm::capture {

enum class LineEnds {
    // A text file: LF ends a line (a CR before it is dropped) and the DOS
    // end-of-file mark (Ctrl-Z) ends the file; what follows it is padding.
    Text,
    // A byte stream: only CR LF ends a line; a lone LF or CR stays in the
    // line, and every byte is data.
    CrLf,
};

// Longest line of a text file and of a byte stream (the stream's window):
// a longer line ends there and its rest is read as the next line.
inline constexpr std::size_t MaxTextLine = 64000;
inline constexpr std::size_t MaxStreamLine = 20000;

class LineSource {
public:
    LineSource() = default;
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // Opens `path` for reading; false (with errno set) when it cannot be.
    bool open(const std::string& path, LineEnds ends);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // The next line without its line end; false at the end of the file. A
    // read error counts as the end of the file.
    bool next(std::string& line);
    // The line next() would return, without taking it; false at the end.
    bool peek(std::string& line);

    // Bytes of the file taken by the lines returned so far, line ends
    // included.
    std::uint64_t consumed() const { return consumed_; }

private:
    bool readLine(std::string& line, std::uint64_t& bytes);
    bool fill();

    std::FILE* file_ = nullptr;
    LineEnds ends_ = LineEnds::Text;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    bool havePeeked_ = false;
    std::string peeked_;
    std::uint64_t peekedBytes_ = 0;
    std::uint64_t consumed_ = 0;
};

}  // namespace pm::capture
