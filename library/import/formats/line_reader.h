#pragma once
// Source lines out of a byte window. A line ends at LF (a CR before it is
// dropped), so CR LF and LF files cut alike; a lone CR ends a line only in a
// stretch of such lines (a message written with CR alone between CR LF
// ones: its first CR when the next line end is a lone CR too, then every
// lone CR up to the next LF), so one stray CR inside a line stays in it. A
// file whose first window holds CRs but no LF at all ends its lines with CR
// alone (old Macintosh files) and is cut at CR. A line
// keeps at most MaxLineBytes bytes; the rest of a longer line is passed
// over (the line queue keeps no more than that anyway), so an endless line
// costs time but no unbounded memory.
//
// A stop mark can be set: a byte sequence inside a line that ends it where
// it stands (the record markers of the binary mail and news files).
#include <cstdint>
#include <string>
#include <string_view>

#include "import/formats/byte_window.h"
#include "import/internet/line_queue.h"

namespace pm::formats {

// Bytes of a source line that are kept: what the line queue keeps of a
// line, and a few more so that its cut never splits a UTF-8 character.
inline constexpr std::size_t MaxLineBytes = inet::MaxSourceLineBytes + 4;

struct RawLine {
    std::int64_t start = 0;  // position of the line's first byte
    std::int64_t next = 0;   // position after the line end (or of the stop mark)
    std::string text;        // the bytes without the line end, at most MaxLineBytes
    bool cut = false;        // the line was longer; the rest was passed over
    bool ended = false;      // a line end followed
    bool stopped = false;    // the stop mark ended the line

    bool blank() const;      // empty or only blanks and tabs
};

class LineReader {
public:
    // Decides whether the stop mark stands at `pos`, whose byte is the mark's
    // first byte.
    using StopCheck = bool (*)(ByteWindow& window, std::int64_t pos);

    explicit LineReader(ByteWindow& window) : window_(window) {}

    // Lines end also where `firstByte` stands and `check` confirms the mark
    // (no check: the byte alone is the mark).
    void setStop(unsigned char firstByte, StopCheck check);

    // The position the next line starts at.
    std::int64_t position() const { return position_; }
    // Moves to `pos` (backwards only within the window).
    void seek(std::int64_t pos) { position_ = pos; }

    // Reads the line at the current position and moves past it. False at the
    // end of the file (no byte left).
    bool read(RawLine& line);

    // Passes over a UTF-8 byte order mark at the start of the file, which
    // some programs put before the first line.
    void skipByteOrderMark() {
        if (position_ == 1 && window_.at(1) == 0xEF && window_.at(2) == 0xBB && window_.at(3) == 0xBF) position_ = 4;
    }

    // True when no byte is left.
    bool atEnd() { return window_.at(position_) < 0; }

private:
    enum class LineEnds { Unknown, Lf, Cr };
    // Bytes looked through after a lone CR for the next line end (within
    // what the window keeps ahead).
    static constexpr std::int64_t kCrLookahead = 4096;
    void detectLineEnds();
    // Whether the CR at `crPos` of an LF file ends the line.
    bool loneCrEndsLine(std::int64_t crPos, bool afterLoneCr);

    ByteWindow& window_;
    std::int64_t position_ = 1;
    LineEnds ends_ = LineEnds::Unknown;
    bool hasStop_ = false;
    unsigned char stopByte_ = 0;
    StopCheck stopCheck_ = nullptr;
};

// True when `text` begins with `prefix` (exact bytes).
inline bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace pm::formats
