// The byte window and the line reader over it: positions from 1, blocks of
// 10,000 bytes in a window of 20,000, lines of every ending, long lines and
// stop marks, also where they cross the window's blocks.
#include <gtest/gtest.h>

#include "import/formats/byte_window.h"
#include "import/formats/line_reader.h"
#include "splitter_support.h"

namespace pm::formats {
namespace {

using test::TempDir;
using test::writeFile;

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

TEST(ByteWindow, ReadsEveryPositionFromOneWithoutHoldingMoreThanTheWindow) {
    TempDir dir;
    const std::string bytes = pattern(45001);
    writeFile(dir / "f", bytes);
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "f"));
    EXPECT_EQ(window.fileSize(), 45001);
    for (std::int64_t pos = 1; pos <= 45001; ++pos) {
        ASSERT_EQ(window.at(pos), static_cast<unsigned char>(bytes[static_cast<std::size_t>(pos - 1)])) << pos;
        ASSERT_LE(window.windowEnd() - window.windowStart(), static_cast<std::int64_t>(WindowSize));
        ASSERT_LE(window.windowStart(), pos);
    }
    EXPECT_EQ(window.at(45002), -1);
    EXPECT_FALSE(window.readFailed());
    // A scan sees at least one block ahead of a position it reached.
    window.reach(30000);
    EXPECT_GE(window.windowEnd() - 30000, static_cast<std::int64_t>(WindowBlock) - 1);
    // Going back behind the window starts it again there.
    EXPECT_EQ(window.at(5), 4);
    EXPECT_EQ(window.windowStart(), 5);
}

TEST(ByteWindow, CopiesAcrossBlocksAndStopsAtTheEnd) {
    TempDir dir;
    const std::string bytes = pattern(50000);
    writeFile(dir / "f", bytes);
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "f"));
    std::string out;
    window.copy(9990, 30000, out);
    EXPECT_EQ(out, bytes.substr(9989, 30000));
    window.copy(49990, 100, out);
    EXPECT_EQ(out, bytes.substr(49989));
    EXPECT_EQ(window.from(50001), "");
    EXPECT_FALSE(window.open(dir / "missing"));
}

std::vector<std::string> readAll(LineReader& reader) {
    std::vector<std::string> lines;
    RawLine line;
    while (reader.read(line)) lines.push_back(line.text + (line.ended ? "$" : "") + (line.cut ? "+" : ""));
    return lines;
}

TEST(LineReader, CutsAtLfWithOrWithoutCrAndAtCrInFilesWithoutLf) {
    TempDir dir;
    writeFile(dir / "lf", "a\r\nb\nc\rd\r\nx\ry\r\rz\r\ne");
    writeFile(dir / "cr", "a\rb\r\rc");
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "lf"));
    LineReader lf(window);
    // One lone CR inside a line (a folded header written badly) stays in it;
    // a stretch of lines ended by CR alone (a message written so between
    // others) is cut at each of them.
    EXPECT_EQ(readAll(lf), (std::vector<std::string>{"a$", "b$", "c\rd$", "x$", "y$", "$", "z$", "e"}));
    ASSERT_TRUE(window.open(dir / "cr"));
    LineReader cr(window);
    EXPECT_EQ(readAll(cr), (std::vector<std::string>{"a$", "b$", "$", "c"}));
}

TEST(LineReader, KeepsTheStartOfALongLineAndFindsTheNextAcrossBlocks) {
    TempDir dir;
    // A line across the window's blocks is read whole; one beyond
    // MaxLineBytes keeps its start.
    const std::string first(19995, 'a');
    const std::string longLine(MaxLineBytes + 45000, 'x');
    writeFile(dir / "f", first + "\r\n" + longLine + "\r\nnext\n");
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "f"));
    LineReader reader(window);
    RawLine line;
    ASSERT_TRUE(reader.read(line));
    EXPECT_EQ(line.text, first);
    EXPECT_FALSE(line.cut);
    ASSERT_TRUE(reader.read(line));
    EXPECT_EQ(line.start, 19998);
    EXPECT_EQ(line.text, std::string(MaxLineBytes, 'x'));
    EXPECT_TRUE(line.cut);
    ASSERT_TRUE(reader.read(line));
    EXPECT_EQ(line.text, "next");
    EXPECT_EQ(line.next, static_cast<std::int64_t>(19998 + longLine.size() + 2 + 5));
    EXPECT_FALSE(reader.read(line));
}

bool tripleMark(ByteWindow& window, std::int64_t pos) { return window.at(pos + 1) == 0 && window.at(pos + 2) == 0x7F; }

TEST(LineReader, EndsALineAtAStopMarkAndLeavesThePositionThere) {
    TempDir dir;
    writeFile(dir / "f", std::string("ab\x7F" "c\r\nde\x7F\x00\x7F" "fg\n", 14));
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "f"));
    LineReader reader(window);
    reader.setStop(0x7F, tripleMark);
    RawLine line;
    ASSERT_TRUE(reader.read(line));
    EXPECT_EQ(line.text, "ab\x7F" "c");  // a lone 0x7F is no mark
    ASSERT_TRUE(reader.read(line));
    EXPECT_EQ(line.text, "de");
    EXPECT_TRUE(line.stopped);
    EXPECT_EQ(reader.position(), 9);
}

TEST(LineReader, PassesOverAByteOrderMarkOnlyAtTheStart) {
    TempDir dir;
    writeFile(dir / "f", "\xEF\xBB\xBF" "From - x\n\xEF\xBB\xBF");
    ByteWindow window;
    ASSERT_TRUE(window.open(dir / "f"));
    LineReader reader(window);
    reader.skipByteOrderMark();
    EXPECT_EQ(readAll(reader), (std::vector<std::string>{"From - x$", "\xEF\xBB\xBF"}));
}

}  // namespace
}  // namespace pm::formats
