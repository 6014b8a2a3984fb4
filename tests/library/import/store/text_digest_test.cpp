// The digests behind the duplicate test of mail: an index of digests finds
// every duplicate the text rule finds (checked against the rule over texts
// made to be near one another), and offers hardly any text that is not one,
// so many mails in one minute do not mean reading every stored text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "import/store/dup_string.h"
#include "import/store/text_digest.h"

namespace pm {
namespace {

// Texts near one another: shared beginnings, a few characters more or less
// (one-byte and multi-byte), trailing blanks and line ends short and long,
// one byte changed before, inside and after the digest's tail, empty and
// tiny texts.
std::vector<std::string> nearTexts(unsigned seed, int count) {
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> pieces = {"a", "b", "\xc3\xa9", "\xe2\x82\xac", " ", "\r\n", "\n", "\t", "x"};
    std::vector<std::string> bases = {"", "a", "ab", "Hello", std::string(31, 'q'), std::string(33, 'q'),
                                      std::string(250, 'r'), std::string(600, 's')};
    for (int i = 0; i < 6; ++i) {
        std::string base;
        const int length = below(400);
        for (int j = 0; j < length; ++j) base += pieces[static_cast<std::size_t>(below(4))];
        bases.push_back(base);
    }
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string t = bases[static_cast<std::size_t>(below(static_cast<int>(bases.size())))];
        switch (below(6)) {
            case 0:  // cut short
                t = t.substr(0, t.size() - static_cast<std::size_t>(below(static_cast<int>(t.size()) + 1) / 4));
                break;
            case 1:  // one byte changed
                if (!t.empty()) t[static_cast<std::size_t>(below(static_cast<int>(t.size())))] = 'Z';
                break;
            default:
                break;
        }
        const int more = below(3) == 0 ? below(30) : below(4);
        for (int j = 0; j < more; ++j) t += pieces[static_cast<std::size_t>(below(static_cast<int>(pieces.size())))];
        switch (below(5)) {
            case 0:
                t += std::string(static_cast<std::size_t>(below(300)), '\n');
                break;
            case 1:
                t += "\r\n";
                break;
            case 2:  // words after a long run of line ends
                t += std::string(static_cast<std::size_t>(below(300)), '\n') + pieces[static_cast<std::size_t>(below(2))];
                break;
            default:
                break;
        }
        texts.push_back(t);
    }
    return texts;
}

TEST(TextDigestIndex, FindsEveryDuplicateTheTextRuleFinds) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<std::string> texts = nearTexts(seed, 150);
        TextDigestIndex index;
        for (std::uint32_t n = 0; n < texts.size(); ++n) {
            bool expected = false;
            for (std::uint32_t s = 0; s < n && !expected; ++s) expected = textsAreDuplicates(texts[s], texts[n]);
            const bool found = index.findDuplicate(TextPrefixes(texts[n]), [&](std::uint32_t s) {
                return textsAreDuplicates(texts[s], texts[n]);
            });
            ASSERT_EQ(found, expected) << "seed " << seed << ", text " << n << " of " << texts[n].size() << " bytes";
            index.add(n, digestOf(texts[n]));
        }
    }
}

TEST(TextDigestIndex, OffersCopiesAndHardlyAnyTextThatDiffers) {
    // Short numbered texts, long texts that differ only near their end, and
    // texts that only begin alike: none is a duplicate of another.
    std::vector<std::string> texts;
    for (int i = 0; i < 1500; ++i) texts.push_back("Item " + std::to_string(i) + " done\r\n");
    const std::string long_(2000, 'w');
    for (int i = 0; i < 1500; ++i) texts.push_back(long_ + " ending " + std::to_string(i * 7919) + ".\r\n");
    for (int i = 0; i < 1500; ++i)
        texts.push_back(long_.substr(0, 40) + "#" + std::to_string(i) + "#" + std::string(static_cast<std::size_t>(i % 50), 'v'));
    TextDigestIndex index;
    long offered = 0;
    for (std::uint32_t n = 0; n < texts.size(); ++n) {
        EXPECT_FALSE(index.findDuplicate(TextPrefixes(texts[n]), [&](std::uint32_t) {
            ++offered;
            return false;
        }));
        index.add(n, digestOf(texts[n]));
    }
    // Offering each text the ones before it would make millions.
    EXPECT_LT(offered, 50);
    // A copy saved without the words after a long run of line ends is
    // found as well (the rule looks past the shorter text's line ends).
    const std::string lines = "Hello" + std::string(200, '\n');
    index.add(9000, digestOf(lines + "more"));
    EXPECT_TRUE(index.findDuplicate(TextPrefixes(lines), [&](std::uint32_t s) { return s == 9000; }));
    // A re-delivered copy with a line end more is found.
    EXPECT_TRUE(index.findDuplicate(TextPrefixes(texts[1700] + "\r\n"),
                                    [&](std::uint32_t s) { return textsAreDuplicates(texts[s], texts[1700] + "\r\n"); }));
}

TEST(TextDigest, TheOnePassDigestHoldsWhatThePrefixHashesGive) {
    // Around the tail (96), the mark reach (256) and the mark steps.
    std::vector<std::string> texts = nearTexts(7, 300);
    for (const std::size_t n : {0, 1, 3, 4, 31, 32, 33, 95, 96, 97, 255, 256, 257, 288, 352, 353, 1000})
        for (const char* trail : {"", "  \r\n", "\r\n\r\n   \t"}) texts.push_back(std::string(n, 'z') + trail);
    for (const std::string& text : texts) {
        const TextDigest slow = TextPrefixes(text).digest();
        const TextDigest fast = digestOf(text);
        ASSERT_EQ(fast.rawBytes, slow.rawBytes) << text;
        ASSERT_EQ(fast.trimmedBytes, slow.trimmedBytes) << text;
        ASSERT_EQ(fast.trimmedHash, slow.trimmedHash) << text;
        ASSERT_EQ(fast.headHash, slow.headHash) << text;
        ASSERT_EQ(fast.tail, slow.tail) << text;
        ASSERT_EQ(fast.marks, slow.marks) << text;
    }
}

}  // namespace
}  // namespace pm
