// The UTF-8 check every stored text passes: ASCII is skipped eight bytes at
// a time, so a bad or multi-byte sequence must be seen wherever it falls
// against those blocks.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace pm {
namespace {

TEST(Utf8Check, SeesEveryBadSequenceWhereverItFalls) {
    const std::string ascii(24, 'a');
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        std::string lone = ascii;
        lone[at] = '\xE9';  // a Windows-1252 letter, not UTF-8
        EXPECT_FALSE(isValidUtf8(lone)) << at;

        std::string good = ascii;
        good.replace(at, 0, "\xC3\xA9");  // the same letter in UTF-8, across any block edge
        EXPECT_TRUE(isValidUtf8(good)) << at;

        std::string four = ascii;
        four.replace(at, 0, "\xF0\x9F\x93\xA7");
        EXPECT_TRUE(isValidUtf8(four)) << at;
        EXPECT_FALSE(isValidUtf8(four.substr(0, at + 3))) << at;  // cut inside the sequence
    }
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8(ascii));
    EXPECT_FALSE(isValidUtf8(ascii + "\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(isValidUtf8(ascii + "\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isValidUtf8(ascii + "\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8(std::string(16, 'b') + "\x80" + ascii));  // a stray continuation byte
}

}  // namespace
}  // namespace pm
