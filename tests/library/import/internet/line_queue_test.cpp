#include "import/internet/line_queue.h"

#include <gtest/gtest.h>

#include <string>

#include "internet_test_support.h"

namespace pm::inet {
namespace {

TEST(LineQueue, LongSourceLinesBecomeContinuedPieces) {
    struct Case {
        std::size_t length;
        std::vector<std::size_t> pieces;
    };
    const Case cases[] = {
        {0, {0}}, {400, {400}}, {401, {400, 1}}, {1000, {400, 400, 200}}, {1200, {400, 400, 400}},
        {1500, {400, 400, 400, 300}},  // kept whole
    };
    for (const Case& c : cases) {
        LineQueue q;
        q.push(std::string(c.length, 'x'));
        ASSERT_EQ(q.size(), c.pieces.size()) << c.length;
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(q.length(i + 1), c.pieces[i]) << c.length << " piece " << i;
            EXPECT_EQ(q.continued(i + 1), i + 1 < c.pieces.size()) << c.length << " piece " << i;
        }
    }
}

TEST(LineQueue, OnlyWhatLiesBeyondTheLongestKeptLineIsDropped) {
    LineQueue q;
    q.push(std::string(MaxSourceLineBytes + 1000, 'x'));
    EXPECT_EQ(q.size(), MaxSourceLineBytes / LineEntryWidth);
    std::string scratch;
    EXPECT_EQ(q.sourceLine(1, scratch).size(), MaxSourceLineBytes);
}

TEST(LineQueue, CutsNeverSplitAUtf8Character) {
    // 399 ASCII bytes, then "é" (2 bytes) straddling the 400-byte cut.
    LineQueue q;
    q.push(std::string(399, 'a') + "\xC3\xA9" + std::string(10, 'b'));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q.length(1), 399u);
    EXPECT_EQ(q.text(2), "\xC3\xA9" + std::string(10, 'b'));

    // A 4-byte character at 398..401.
    LineQueue q4;
    q4.push(std::string(398, 'a') + "\xF0\x9F\x98\x80" + "z");
    EXPECT_EQ(q4.length(1), 398u);
    EXPECT_EQ(q4.text(2), "\xF0\x9F\x98\x80z");

    // Latin-1 bytes are no UTF-8: cut at 400 exactly.
    LineQueue latin;
    latin.push(std::string(500, '\xE9'));
    EXPECT_EQ(latin.length(1), 400u);
}

TEST(LineQueue, TrailingBlanksAndLineEnds) {
    LineQueue q = test::queueOf("one  \r\ntwo\nthree\rfour\r\n\r\nlast");
    ASSERT_EQ(q.size(), 6u);
    EXPECT_EQ(q.text(1), "one");
    EXPECT_EQ(q.text(2), "two");
    EXPECT_EQ(q.text(3), "three");
    EXPECT_EQ(q.text(4), "four");
    EXPECT_EQ(q.text(5), "");
    EXPECT_EQ(q.text(6), "last");
    EXPECT_EQ(q.text(0), "");
    EXPECT_EQ(q.text(7), "");
}

TEST(LineQueue, RemovalMarksAndSourceLines) {
    LineQueue q;
    q.push("keep");
    q.push(std::string(450, 'y'));
    q.push("!!!Remove this!!! written by a parser");
    q.markRemoved(1);
    EXPECT_TRUE(q.isRemoved(1));
    EXPECT_EQ(q.text(1), RemovalMark);
    EXPECT_FALSE(q.isRemoved(2));
    EXPECT_TRUE(q.isRemoved(4));

    std::string scratch;
    EXPECT_EQ(q.sourceLine(2, scratch), std::string(450, 'y'));
    EXPECT_EQ(q.nextSourceLine(2), 4u);
    EXPECT_EQ(q.nextSourceLine(4), 5u);

    q.setText(4, "changed");
    EXPECT_EQ(q.text(4), "changed");
    q.setText(1, std::string(600, 'z'));
    EXPECT_EQ(q.length(1), 400u);
    EXPECT_FALSE(q.isRemoved(1));
}

TEST(LineQueue, DropFrontAndReuse) {
    LineQueue q;
    for (int i = 0; i < 100; ++i) q.push("line " + std::to_string(i));
    q.dropFront(60);
    ASSERT_EQ(q.size(), 40u);
    EXPECT_EQ(q.text(1), "line 60");
    EXPECT_EQ(q.text(40), "line 99");
    q.push("line 100");
    EXPECT_EQ(q.text(41), "line 100");
    q.dropFront(1000);
    EXPECT_TRUE(q.empty());
    q.push("again");
    EXPECT_EQ(q.text(1), "again");
}

}  // namespace
}  // namespace pm::inet
