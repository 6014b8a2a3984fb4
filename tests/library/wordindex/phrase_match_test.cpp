// The phrase check of texts: the byte search with stretches broken around
// its finds must agree with breaking the whole text, under any tables.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/word_definition.h"
#include "wordindex/phrase_match.h"
#include "wordindex/search_words.h"
#include "wordindex/word_breaker.h"

namespace pm {
namespace {

struct PhraseMatchTest : ::testing::Test {
    void SetUp() override { buildDefaultWordDefinition(); }
    void TearDown() override { buildDefaultWordDefinition(); }
};

// The phrase among the words of the whole text, broken as a search breaks.
bool wholeTextHolds(const std::string& text, const std::vector<std::string>& phrase) {
    const std::vector<std::string> words = breakWords(text, searchBreakOptions(false));
    for (std::size_t i = 0; i + phrase.size() <= words.size(); ++i)
        if (std::equal(phrase.begin(), phrase.end(), words.begin() + static_cast<long>(i))) return true;
    return false;
}

TEST_F(PhraseMatchTest, FindsThePhraseWhereverTheWordsStandTogether) {
    PhraseMatcher matcher({"NUMBER", "ROOM"});
    EXPECT_TRUE(matcher.foundIn("the Number room"));
    EXPECT_TRUE(matcher.foundIn("NUMBER,\r\n\r\n> room."));
    EXPECT_FALSE(matcher.foundIn("renumber room"));
    EXPECT_FALSE(matcher.foundIn("number rooms"));
    EXPECT_FALSE(matcher.foundIn("number the room"));
    EXPECT_TRUE(matcher.foundIn("number number room"));
    // Far apart, past the first stretch broken.
    EXPECT_TRUE(matcher.foundIn("number" + std::string(3000, ' ') + "room"));
    EXPECT_FALSE(matcher.foundIn("number" + std::string(3000, ' ') + "x room"));
    // Latin-1 letters keep the byte search; the sharp s and ligatures do not.
    EXPECT_TRUE(matcher.foundIn("caf\xc3\xa9 number room"));
    EXPECT_FALSE(matcher.foundIn("caf\xc3\xa9number room"));
    PhraseMatcher sharp({"SSX", "Y"});
    EXPECT_TRUE(sharp.foundIn("\xc3\x9fx y"));
    PhraseMatcher ligature({"FIX", "Y"});
    EXPECT_TRUE(ligature.foundIn("\xef\xac\x81x y"));
}

TEST_F(PhraseMatchTest, AgreesWithBreakingTheWholeTextUnderRandomTables) {
    // Letters of the phrase, signs the tables may make anything, a Latin-1
    // letter, the sharp s and a dotless i (upper case "I").
    const std::vector<std::string> pieces = {"ab", "ba", "AB", "Ba", "c", "a", "i", "I", " ", " ", ".", "-",
                                             "'", "^", "\n", "\xc3\xa9", "\xc3\x9f", "\xc4\xb1"};
    const std::vector<std::vector<std::string>> phrases = {{"AB", "BA"}, {"AB", "AB"}, {"AB", "AB", "C"},
                                                           {"I", "AB"}, {"SS", "A"}};
    std::mt19937 random(2024);
    for (int round = 0; round < 300; ++round) {
        WordDefinition d = defaultWordDefinition();
        for (char c : std::string(".-'^ \n")) {
            const auto code = static_cast<unsigned char>(c);
            d.startWord[code] = random() % 2;
            d.inWord[code] = random() % 2;
            d.endWord[code] = random() % 2;
        }
        setCurrentWordDefinition(d);
        for (const auto& phrase : phrases) {
            PhraseMatcher matcher(phrase);
            for (int i = 0; i < 30; ++i) {
                std::string text;
                const std::size_t length = random() % 60;
                while (text.size() < length) text += pieces[random() % pieces.size()];
                ASSERT_EQ(matcher.foundIn(text), wholeTextHolds(text, phrase))
                    << '"' << text << "\" round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace pm
