// Reading capture files as lines: text files and CR LF byte streams.
#include <gtest/gtest.h>

#include <fstream>

#include "import/capture/line_source.h"
#include "support/test_root.h"

namespace pm::capture {
namespace {

std::vector<std::string> readAll(const std::string& bytes, LineEnds ends, std::uint64_t* consumed = nullptr) {
    test::TempDir dir;
    const std::string path = dir / "f";
    std::ofstream(path, std::ios::binary) << bytes;
    LineSource source;
    EXPECT_TRUE(source.open(path, ends));
    std::vector<std::string> lines;
    std::string line;
    while (source.next(line)) lines.push_back(line);
    if (consumed) *consumed = source.consumed();
    return lines;
}

using L = std::vector<std::string>;

TEST(LineSource, TextFilesEndLinesAtLfAndTheFileAtCtrlZ) {
    std::uint64_t consumed = 0;
    EXPECT_EQ(readAll("a\r\nb\nc", LineEnds::Text, &consumed), (L{"a", "b", "c"}));
    EXPECT_EQ(consumed, 6u);
    EXPECT_EQ(readAll("a\r\n\x1A\x1Anot text\r\n", LineEnds::Text, &consumed), (L{"a"}));
    EXPECT_EQ(consumed, 3u);
    EXPECT_EQ(readAll("a\rb\r\n\r\n", LineEnds::Text), (L{"a\rb", ""}));
    EXPECT_EQ(readAll("", LineEnds::Text), L{});
    // A line longer than 64,000 bytes goes on as the next line.
    const L long1 = readAll(std::string(64000, 'x') + "yz\n", LineEnds::Text);
    ASSERT_EQ(long1.size(), 2u);
    EXPECT_EQ(long1[0].size(), 64000u);
    EXPECT_EQ(long1[1], "yz");
}

TEST(LineSource, StreamsEndLinesOnlyAtCrLf) {
    EXPECT_EQ(readAll("a\nb\r\nc\rd\r\n\x1A", LineEnds::CrLf), (L{"a\nb", "c\rd", "\x1A"}));
    EXPECT_EQ(readAll("end\r", LineEnds::CrLf), (L{"end\r"}));
    const L long1 = readAll(std::string(20005, 'x'), LineEnds::CrLf);
    ASSERT_EQ(long1.size(), 2u);
    EXPECT_EQ(long1[0].size(), 20000u);
    // A CR that ends one 64 KiB block and its LF that starts the next.
    std::string bytes;
    for (int i = 0; i < 65; ++i) bytes += std::string(1000, 'a') + "\r\n";
    bytes += std::string(405, 'b') + "\r\nlast\r\n";
    ASSERT_EQ(bytes.find("\r\nlast"), 65535u);
    const L lines = readAll(bytes, LineEnds::CrLf);
    ASSERT_EQ(lines.size(), 67u);
    EXPECT_EQ(lines[65], std::string(405, 'b'));
    EXPECT_EQ(lines[66], "last");
}

TEST(LineSource, PeekShowsTheNextLineWithoutTakingIt) {
    test::TempDir dir;
    const std::string path = dir / "f";
    std::ofstream(path, std::ios::binary) << "one\r\ntwo\r\n";
    LineSource source;
    ASSERT_TRUE(source.open(path, LineEnds::Text));
    std::string line, ahead;
    ASSERT_TRUE(source.peek(ahead));
    EXPECT_EQ(ahead, "one");
    EXPECT_EQ(source.consumed(), 0u);
    ASSERT_TRUE(source.next(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(source.next(line));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(source.peek(ahead));
    EXPECT_FALSE(source.next(line));
    EXPECT_FALSE(source.open(dir / "missing", LineEnds::Text));
}

}  // namespace
}  // namespace pm::capture
