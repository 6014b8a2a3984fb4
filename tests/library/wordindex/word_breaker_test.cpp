// The word breaker under the default tables: separators, periods, trimming,
// carets, the 40-character cut, non-ASCII text, byte/character positions, and
// a comparison with a literal step-by-step transcription of the algorithm
// under random tables (which also guards the skip that keeps it linear).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/word_definition.h"
#include "wordindex/word_breaker.h"
#include "wordindex/word_case.h"

namespace pm {
namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : "|") + w;
    return out;
}

struct BreakerTest : ::testing::Test {
    void SetUp() override { buildDefaultWordDefinition(); }
    void TearDown() override { buildDefaultWordDefinition(); }
};

struct BreakCase {
    const char* text;
    const char* words;
};

TEST_F(BreakerTest, DefaultTables) {
    const std::string letters45(45, 'x');
    const BreakCase cases[] = {
        {"I like Windows.", "I|LIKE|WINDOWS"},
        {"", ""},
        {" \t\r\n!\"#$%&'()*+,-./:;<=>?@[]`{|}~_", ""},
        {"abc..def", "ABC|DEF"},
        {"abc.", "ABC"},
        {".INI", "INI"},
        {"WIN.INI", "WIN.INI"},
        {"file_name", "FILE_NAME"},
        {"_name", "NAME"},
        {"wait...then", "WAIT|THEN"},
        {"a.b..c", "A.B|C"},
        {"a:..b", "A|B"},
        {"end: x~ y_", "END|X|Y"},
        {"C:\\DOS\\file.txt", "C:\\DOS\\FILE.TXT"},
        {"don't e-mail", "DON|T|E|MAIL"},
        {"1.5 3,14 v2", "1.5|3|14|V2"},
        {"^words are ^dropped", "ARE"},
        {"a^b", "A^B"},
        {"(a)[b]{c}<d>", "A|B|C|D"},
    };
    for (const BreakCase& c : cases) EXPECT_EQ(joined(breakWords(c.text)), c.words) << c.text;

    EXPECT_EQ(joined(breakWords(letters45)), std::string(40, 'X'));
    EXPECT_EQ(joined(breakWords("a " + letters45 + " b")), "A|" + std::string(40, 'X') + "|B");
}

TEST_F(BreakerTest, NonAsciiText) {
    const BreakCase cases[] = {
        {"café crème", "CAFÉ|CRÈME"},
        {"straße", "STRASSE"},
        {"Привет, мир", "ПРИВЕТ|МИР"},
        {"東京タワー 大阪", "東京タワー|大阪"},
        {"Ωμέγα", "ΩΜΈΓΑ"},
        // Ellipsis (133): no start, no inside, no end.
        {"wait…then", "WAIT|THEN"},
        // Curly quotes (145-148): not at start or end, but inside.
        {"“quoted” word", "QUOTED|WORD"},
        {"it’s ‘tis’", "IT’S|TIS"},
        // No-break space (160), acute accent (180) and dagger (134) separate.
        {"a\u00A0b c\u00B4d note†x", "A|B|C|D|NOTE|X"},
        // The en dash (150) is allowed everywhere by default.
        {"foo–bar", "FOO–BAR"},
        // An ill-formed byte behaves as a letter and becomes U+FFFD.
        {"ab\xFF" "cd, \xC3", "AB\uFFFDCD|\uFFFD"},
    };
    for (const BreakCase& c : cases) EXPECT_EQ(joined(breakWords(c.text)), c.words) << c.text;
}

TEST_F(BreakerTest, CutCountsCharactersAfterUpperCasing) {
    // 41 characters once upper-cased: the cut keeps 40.
    EXPECT_EQ(joined(breakWords(std::string(39, 'a') + "ß")), std::string(39, 'A') + "S");
    std::string e40;
    for (int i = 0; i < 45; ++i) e40 += "é";
    const std::vector<std::string> words = breakWords(e40);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(utf8Length(words[0]), 40u);
    EXPECT_EQ(words[0].size(), 80u);
}

TEST(StoredWordCut, KeepsWholeCharactersWithinFortyBytes) {
    std::string e40;
    for (int i = 0; i < 40; ++i) e40 += "É";
    EXPECT_EQ(cutToStoredWord(e40).size(), 40u);
    EXPECT_EQ(utf8Length(cutToStoredWord(e40)), 20u);
    const std::string mixed = std::string(39, 'A') + "É";  // 41 bytes
    EXPECT_EQ(cutToStoredWord(mixed), std::string(39, 'A'));
    EXPECT_EQ(cutToStoredWord("WINDOWS"), "WINDOWS");
    const std::string cjk = "東京東京東京東京東京東京東京";  // 14 x 3 bytes
    EXPECT_EQ(cutToStoredWord(cjk).size(), 39u);
}

TEST_F(BreakerTest, Options) {
    EXPECT_EQ(joined(breakWords("win* w?n")), "WIN|W|N");
    WordBreakOptions wild;
    wild.wildcardsAreWordCharacters = true;
    EXPECT_EQ(joined(breakWords("win* w?n *x", wild)), "WIN*|W?N|*X");

    WordBreakOptions whole;
    whole.cutWords = false;
    whole.dropCaretWords = false;
    EXPECT_EQ(joined(breakWords(std::string(45, 'q') + " ^x", whole)), std::string(45, 'Q') + "|^X");
}

TEST_F(BreakerTest, CaretRuleMakesCaretWordsIndexable) {
    applyIndexingCaretRule();
    EXPECT_EQ(joined(breakWords("^words a^b")), "WORDS|A^B");
}

TEST_F(BreakerTest, ReportsCharacterAndBytePositions) {
    WordBreaker breaker;
    std::vector<BrokenWord> seen;
    std::vector<std::string> texts;
    breaker.breakText("é  abc…Ünd.", [&](const BrokenWord& w) {
        seen.push_back(w);
        texts.emplace_back(w.text);
    });
    ASSERT_EQ(texts, (std::vector<std::string>{"É", "ABC", "ÜND"}));
    EXPECT_EQ(seen[1].firstCharacter, 3u);
    EXPECT_EQ(seen[1].lastCharacter, 5u);
    EXPECT_EQ(seen[1].byteBegin, 4u);
    EXPECT_EQ(seen[1].byteEnd, 7u);
    EXPECT_EQ(seen[2].firstCharacter, 7u);
    EXPECT_EQ(seen[2].lastCharacter, 9u);
    EXPECT_EQ(seen[2].byteBegin, 10u);
    EXPECT_EQ(seen[2].byteEnd, 14u);
}

TEST_F(BreakerTest, VisitorCanStop) {
    WordBreaker breaker;
    int count = 0;
    EXPECT_FALSE(breaker.breakText("one two three", [&](const BrokenWord&) { return ++count < 2; }));
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(breaker.breakText("one two", [&](const BrokenWord&) {}));
}

// The algorithm transcribed step by step with 1-based positions, for ASCII.
std::vector<std::string> referenceBreak(const std::string& s, const WordDefinition& d) {
    std::vector<std::string> out;
    const long L = static_cast<long>(s.size());
    auto ch = [&](long pos) { return static_cast<unsigned char>(s[static_cast<std::size_t>(pos - 1)]); };
    long p = 1;
    for (;;) {
        while (p <= L && d.startWord[ch(p)]) ++p;
        if (p > L) return out;
        long q = p + 1;
        unsigned char previous = ch(p);
        bool stopped = false;
        while (q <= L) {
            if (ch(q) == '.' && previous == '.') {
                q -= 2;
                stopped = true;
                break;
            }
            previous = ch(q);
            if (d.inWord[ch(q)] == 0) {
                ++q;
            } else {
                q -= 1;
                stopped = true;
                break;
            }
        }
        if (!stopped) q = L;
        while (q >= p && d.endWord[ch(q)]) --q;
        if (q < p) {
            ++p;
            continue;
        }
        std::string word = upperCase(s.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(q - p + 1)));
        word.resize(std::min<std::size_t>(word.size(), 40));
        if (word[0] != '^') out.push_back(word);
        p = q + 1;
    }
}

TEST_F(BreakerTest, AgreesWithStepByStepAlgorithmUnderRandomTables) {
    const std::string alphabet = "ab.:x^ _";
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        WordDefinition d = defaultWordDefinition();
        for (char c : alphabet) {
            const auto code = static_cast<unsigned char>(c);
            d.startWord[code] = random() % 2;
            d.inWord[code] = random() % 2;
            d.endWord[code] = random() % 2;
        }
        WordBreakOptions options;
        options.startWord = &d.startWord;
        options.inWord = &d.inWord;
        options.endWord = &d.endWord;
        for (int i = 0; i < 20; ++i) {
            std::string text(random() % 14, ' ');
            for (char& c : text) c = alphabet[random() % alphabet.size()];
            ASSERT_EQ(joined(breakWords(text, options)), joined(referenceBreak(text, d))) << '"' << text << '"';
        }
    }
}

std::string brokenBy(WordBreaker& breaker, std::string_view text) {
    std::vector<std::string> words;
    breaker.breakText(text, [&](const BrokenWord& w) { words.emplace_back(w.text); });
    return joined(words);
}

TEST_F(BreakerTest, OneBreakerFollowsChangesOfItsTables) {
    // A breaker kept between texts reads the tables as they are at each
    // call, whether they change in place or a new definition is applied.
    WordDefinition d = defaultWordDefinition();
    WordBreakOptions options;
    options.startWord = &d.startWord;
    options.inWord = &d.inWord;
    options.endWord = &d.endWord;
    WordBreaker breaker(options);
    EXPECT_EQ(brokenBy(breaker, "e-mail x"), "E|MAIL|X");
    d.inWord[static_cast<unsigned char>('-')] = 0;
    EXPECT_EQ(brokenBy(breaker, "e-mail x"), "E-MAIL|X");
    d.endWord[static_cast<unsigned char>('l')] = 1;
    EXPECT_EQ(brokenBy(breaker, "e-mail x"), "E-MAI|X");
    d.startWord[static_cast<unsigned char>('x')] = 1;
    EXPECT_EQ(brokenBy(breaker, "e-mail x"), "E-MAI");

    WordBreaker global;
    EXPECT_EQ(brokenBy(global, "a-b"), "A|B");
    WordDefinition changed = defaultWordDefinition();
    changed.inWord[static_cast<unsigned char>('-')] = 0;
    setCurrentWordDefinition(changed);
    EXPECT_EQ(brokenBy(global, "a-b"), "A-B");
}

TEST_F(BreakerTest, OneMegabyteBreaksInOnePass) {
    const std::string paragraph = "The quick brown fox jumps over WIN.INI... and the lazy dog; café Ünïcode!\r\n";
    std::string text;
    while (text.size() < (1u << 20)) text += paragraph;
    const std::size_t perParagraph = breakWords(paragraph).size();
    WordBreaker breaker;
    std::size_t words = 0;
    breaker.breakText(text, [&](const BrokenWord&) { ++words; });
    EXPECT_EQ(words, perParagraph * (text.size() / paragraph.size()));

    // A character that may start but not end a word: one megabyte of it has no
    // words and must not take quadratic time to find that out.
    WordDefinition d = defaultWordDefinition();
    d.startWord['x'] = 0;
    d.inWord['x'] = 0;
    d.endWord['x'] = 1;
    WordBreakOptions options;
    options.startWord = &d.startWord;
    options.inWord = &d.inWord;
    options.endWord = &d.endWord;
    EXPECT_TRUE(breakWords(std::string(1u << 20, 'x'), options).empty());
}

}  // namespace
}  // namespace pm
