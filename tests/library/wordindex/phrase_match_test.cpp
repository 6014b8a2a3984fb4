// The phrase check of texts: the byte search with stretches broken around
// its finds must agree with breaking the whole text, under any tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "common/word_definition.h"
#include "wordindex/phrase_match.h"
#include "wordindex/search_words.h"
#include "wordindex/word_breaker.h"
#include "wordindex/word_case.h"

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
    // Letters beyond Latin-1 around the words.
    EXPECT_TRUE(matcher.foundIn("\xd0\xb4\xd0\xb0 \xe2\x80\x94 number\n room \xe4\xb8\xad"));
    EXPECT_FALSE(matcher.foundIn("\xd0\xb4number room"));
    EXPECT_FALSE(matcher.foundIn("number room\xe4\xb8\xad"));
}

// Texts as the archive stores them (decoded bodies, HTML left as markup,
// quoted replies, signatures): every pair and triple of neighbouring words,
// in the case the text has them or not, and pairs that are not neighbours,
// are found by the byte search exactly where the whole text holds them.
TEST_F(PhraseMatchTest, AgreesWithBreakingTheWholeTextOnStoredTexts) {
    const std::vector<std::string> texts = {
        "Number room.",
        "See the number room",
        "number\r\nroom and NUMBER\r\n> ROOM, Number-room; number...room (number)room",
        "number number number room room",
        "Stra\xc3\x9f" "e number \xe2\x80\x9cNum\xc3\xa9ro\xe2\x80\x9d room caf\xc3\xa9 \xef\xac\x81le fixed",
        "<html><body><p>The <b>number</b>&nbsp;room is <i>here</i>.</p>\n<br>number<br>room</body></html>",
        "Soft=20broken line with number=\nroom and =E9t=E9 number room=\n",
        "On Mon, 3 May, Ann wrote:\n> the number\n> room was full\n>> number room\n-- \nAnn \xd0\x90\xd0\xbd\xd0\xbd\xd0\xb0",
        "\xe4\xb8\xad\xe6\x96\x87 number room \xe4\xb8\xad \xce\xb1\xce\xb2 NUMBER \xe2\x80\x94 ROOM",
        "'number' \"room\" number's room ^number room number ^room it's done",
        "a number" + std::string(5000, '-') + "room, then\tnumber \t room",
        "room number",
    };
    std::mt19937 random(7);
    int checked = 0, held = 0;
    for (const std::string& text : texts) {
        const std::vector<std::string> words = breakWords(text, searchBreakOptions(false));
        std::vector<std::vector<std::string>> phrases;
        for (std::size_t i = 0; i + 1 < words.size(); ++i) {
            phrases.push_back({words[i], words[i + 1]});
            if (i + 2 < words.size()) phrases.push_back({words[i], words[i + 1], words[i + 2]});
            phrases.push_back({words[i], words[random() % words.size()]});
        }
        for (const auto& phrase : phrases) {
            PhraseMatcher matcher(phrase);
            const bool expected = wholeTextHolds(text, phrase);
            EXPECT_EQ(matcher.foundIn(text), expected) << phrase[0] << ' ' << phrase[1] << " in \"" << text << '"';
            ++checked;
            held += expected ? 1 : 0;
        }
    }
    EXPECT_GT(held, 0);
    EXPECT_LT(held, checked);  // both outcomes were tried
}

// The byte search trusts that no character but those listed upper-cases to
// ASCII letters alone; a new Unicode version could add one.
TEST_F(PhraseMatchTest, ListsEveryCharacterThatUpperCasesToAscii) {
    std::map<char32_t, std::string> found;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string utf8;
        appendUtf8(utf8, c);
        const std::string upper = upperCase(utf8);
        if (std::all_of(upper.begin(), upper.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; }))
            found[c] = upper;
    }
    std::map<char32_t, std::string> listed;
    for (const AsciiUpperCase& a : asciiUpperCases()) {
        listed[a.code] = std::string(a.upper);
        std::string utf8;
        appendUtf8(utf8, a.code);
        EXPECT_EQ(utf8, a.utf8) << static_cast<unsigned>(a.code);
    }
    EXPECT_EQ(found, listed);
}

// Random texts under random tables, each checked by the byte search and by
// breaking the whole text. With `keepMatchers` one matcher per phrase lives
// through every change of the tables: what it worked out from the tables
// before must not outlive them.
void agreeUnderRandomTables(bool keepMatchers) {
    // Letters of the phrase, signs the tables may make anything, a Latin-1
    // letter, the sharp s and a dotless i (upper case "I").
    // Beyond Latin-1: a Cyrillic letter, a dash and an apostrophe of
    // Windows-1252, a CJK letter, the long s and the ligature fi.
    const std::vector<std::string> pieces = {"ab", "ba", "AB", "Ba", "c", "a", "i", "I", " ", " ", ".", "-",
                                             "'", "^", "\n", "\xc3\xa9", "\xc3\x9f", "\xc4\xb1",
                                             "s", "f", "\xd0\xb4", "\xe2\x80\x94", "\xe2\x80\x99",
                                             "\xe4\xb8\xad", "\xc5\xbf", "\xef\xac\x81"};
    const std::vector<std::vector<std::string>> phrases = {{"AB", "BA"}, {"AB", "AB"}, {"AB", "AB", "C"},
                                                           {"I", "AB"}, {"SS", "A"},  {"FI", "AB"},
                                                           {"AS", "AB"}, {"AB", "\xd0\x94"}};
    std::vector<PhraseMatcher> kept;
    for (const auto& phrase : phrases) kept.emplace_back(phrase);
    std::mt19937 random(keepMatchers ? 77 : 2024);
    for (int round = 0; round < 300; ++round) {
        WordDefinition d = defaultWordDefinition();
        for (char c : std::string(".-'^ \n")) {
            const auto code = static_cast<unsigned char>(c);
            d.startWord[code] = random() % 2;
            d.inWord[code] = random() % 2;
            d.endWord[code] = random() % 2;
        }
        setCurrentWordDefinition(d);
        for (std::size_t k = 0; k < phrases.size(); ++k) {
            const auto& phrase = phrases[k];
            PhraseMatcher fresh(phrase);
            PhraseMatcher& matcher = keepMatchers ? kept[k] : fresh;
            for (int i = 0; i < 30; ++i) {
                std::string text;
                // Some texts longer than one block of the byte search.
                const std::size_t length = random() % (i % 3 == 0 ? 120 : 60);
                while (text.size() < length) text += pieces[random() % pieces.size()];
                ASSERT_EQ(matcher.foundIn(text), wholeTextHolds(text, phrase))
                    << '"' << text << "\" round " << round;
            }
        }
    }
}

TEST_F(PhraseMatchTest, AgreesWithBreakingTheWholeTextUnderRandomTables) {
    agreeUnderRandomTables(false);
    agreeUnderRandomTables(true);
}

}  // namespace
}  // namespace pm
