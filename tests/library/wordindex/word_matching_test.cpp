// Word finding: Soundex codes, plain matching with "?", wildcards with "*",
// and approximate matching by edit distance, on upper-case words.
#include <gtest/gtest.h>

#include <string>

#include "wordindex/word_matching.h"

namespace pm {
namespace {

TEST(Soundex, Codes) {
    struct Row {
        const char* word;
        const char* code;
    };
    const Row rows[] = {
        {"ROBERT", "R163"},
        {"RUPERT", "R163"},
        {"PFISTER", "P1236"},         // the first letter's code does not absorb F
        {"LLOYD", "L43"},
        {"TYMCZAK", "T52"},           // vowels do not separate equal codes
        {"ASHCRAFT", "A2613"},
        {"WASHINGTONIANS", "W252352"},  // not cut to four
        {"AEIOU", "A"},               // no code after the first letter
        {"MÜLLER", "M46"},            // characters outside A-Z are passed over
        {"WIN.INI", "W5"},              // N after I after N: still the same code
        {"ÉCOLE", ""},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(soundexCode(r.word), r.code) << r.word;
    EXPECT_EQ(soundexCode(std::string(300, 'B') + std::string(300, 'A')).size(), 2u);
    std::string alternating;
    for (int i = 0; i < 300; ++i) alternating += (i % 2) ? "B" : "C";
    EXPECT_EQ(soundexCode(alternating).size(), kMaxSoundexLength);
}

TEST(Soundex, SearchWordChecks) {
    EXPECT_EQ(checkSoundexWord("R"), SoundexWordCheck::TooFewLetters);
    EXPECT_EQ(checkSoundexWord("É"), SoundexWordCheck::TooFewLetters);
    EXPECT_EQ(checkSoundexWord("R2D2"), SoundexWordCheck::NotOnlyLetters);
    EXPECT_EQ(checkSoundexWord("ÉA"), SoundexWordCheck::NotOnlyLetters);
    EXPECT_EQ(checkSoundexWord("AE"), SoundexWordCheck::NoSoundexCode);
    EXPECT_EQ(checkSoundexWord("ROBERT"), SoundexWordCheck::Ok);
    EXPECT_TRUE(tooShortForApproximateMatch("Ä"));
    EXPECT_FALSE(tooShortForApproximateMatch("ÄB"));
}

struct MatchRow {
    const char* search;
    MatchType type;
    bool wholeWord;
    const char* word;
    bool expected;
};

void expectRows(std::initializer_list<MatchRow> rows, int degree = 1) {
    for (const MatchRow& r : rows) {
        WordMatcher matcher(r.search, r.type, r.wholeWord, degree);
        EXPECT_EQ(matcher.matches(r.word), r.expected)
            << r.search << " type " << int(r.type) << (r.wholeWord ? " whole " : " ") << r.word;
    }
}

constexpr MatchType Plain = MatchType::Plain;
constexpr MatchType Starts = MatchType::StartsWith;

TEST(WordMatcher, PlainAndStartsWith) {
    expectRows({
        {"WIN", Plain, false, "WINDOWS", true},
        {"WIN", Plain, false, "TWIN", true},
        {"WIN", Plain, false, "WAN", false},
        {"WIN", Starts, false, "WINDOWS", true},
        {"WIN", Starts, false, "TWIN", false},
        {"WIN", Plain, true, "TWIN", true},
        {"WIN", Plain, true, "WINDOWS", false},
        {"WIN", Starts, true, "WIN", true},
        {"WIN", Starts, true, "WINDOWS", false},
        {"WIN", Starts, true, "WIN       ", true},  // before the field's padding
        {"WIN", Plain, true, "TWIN  ", true},
        {"W?N", Starts, true, "WIN", true},
        {"W?N", Starts, true, "WAN", true},
        {"W?N", Starts, true, "WN", false},
        {"W?N", Plain, false, "SWANS", true},
        {"CAF?", Starts, true, "CAFÉ", true},   // "?" is one character, not one byte
        {"A?C", Plain, false, "XXABCXX", true},
        {"ABC", Plain, false, "ABABABC", true},
        {"ŁA", Plain, false, "AAŁA", true},     // U+0141 shares a shift slot with 'A'
        {"ÉTÉ", Plain, false, "BELLE ÉTÉ", true},
        {"WINDOWS", Plain, false, "WIN", false},
    });
}

TEST(WordMatcher, Wildcards) {
    expectRows({
        {"WIN*", Plain, false, "WINDOWS", true},
        {"WIN*", Plain, false, "WIN.INI", true},
        {"WIN*", Plain, false, "TWIN", false},
        {"*DOWS", Plain, false, "WINDOWSXP", true},
        {"*DOWS", Plain, true, "WINDOWS", true},
        {"*DOWS", Plain, true, "WINDOWSXP", false},
        {"W*S", Plain, false, "WISH", true},
        {"W*S", Plain, true, "WISH", false},
        {"W*S", Plain, true, "WINDOWS", true},
        {"W*S", Plain, false, "SW", false},
        {"W?N*", Plain, false, "WONDER", true},
        {"W?N*", Plain, false, "WNX", false},
        {"*I*I*", Plain, false, "WIN.INI", true},
        {"A*A", Plain, true, "A", false},        // pieces do not overlap
        {"A*A", Plain, true, "AA", true},
        {"*B*A", Plain, false, "AB", false},     // pieces keep their order
        {"*B*A", Plain, false, "BA", true},
        {"**WIN**", Plain, false, "TWINS", true},
        {"*", Plain, true, "ANYTHING", true},
        {"WIN*", Starts, true, "WINDOWS", true},  // starts-with gives way to the pieces
    });
    // Only 50 pieces count: 51 "A" pieces still match a word of 50 A's.
    std::string pattern = "A";
    for (int i = 0; i < 50; ++i) pattern += "*A";
    WildcardMatcher matcher(pattern, true);
    EXPECT_TRUE(matcher.matches(std::string(50, 'A')));
    EXPECT_FALSE(matcher.matches(std::string(49, 'A')));
}

TEST(WordMatcher, Soundex) {
    expectRows({
        {"ROBERT", MatchType::Soundex, false, "RUPERT", true},
        {"ROBERT", MatchType::Soundex, false, "ROBIN", false},
        {"MULLER", MatchType::Soundex, false, "MÜLLER", true},
        {"AE", MatchType::Soundex, false, "A", false},  // no code matches nothing
    });
}

TEST(WordMatcher, Approximate) {
    constexpr MatchType A = MatchType::Approximate;
    expectRows({
        {"ROBERT", A, false, "ROBERTS", true},
        {"ROBERT", A, false, "RUPERT", false},   // two replacements
        {"WINDOWS", A, false, "WINDOW", true},   // one deletion
        {"WNDOWS", A, false, "WINDOWS", true},   // one insertion
        {"DOW", A, true, "WINDOWS", true},       // DOWS: one insertion at the end
        {"DOX", A, true, "WINDOWS", false},
        {"DOWZ", A, true, "WINDOWS", true},
        {"DOW", A, true, "WINDOW  ", true},      // before the field's padding
        {"CAFE", A, false, "CAFÉ", true},
        {"XYZ", A, false, "ABC", false},
        {"XY", A, false, "", false},
    });
    expectRows({
        {"ROBERT", A, false, "RUPERT", true},
        {"XY", A, true, "", true},               // within two edits of nothing
        {"CAFE", A, false, "BAKERY", true},    // AKE: C deleted, F replaced
        {"CAFE", A, false, "XYZ", false},
    }, 2);
    expectRows({
        {"CAFE", A, false, "CAFÉ", false},
        {"DOW", A, false, "WINDOWS", true},
        {"DOW", A, true, "WINDOWS", false},
    }, 0);
}

}  // namespace
}  // namespace pm
