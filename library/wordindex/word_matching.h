#pragma once
// Matching a search word against index words, for finding the words of the
// word list that a search asks for. Both sides are upper case (see
// word_case.h); a character is a code point, so "?" stands for one letter
// whatever its UTF-8 length. An index word may be given with its field's
// trailing blanks: "the end of the word" includes "before a blank".
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"

namespace pm {

// The match types of word finding.
enum class MatchType : BYTE { Soundex = 1, Approximate = 2, Plain = 3, StartsWith = 4 };

// ---- Soundex ----

inline constexpr std::size_t kMaxSoundexLength = 256;

// The Soundex code of `word`: its first letter, then the codes of the letters
// after it (B F P V = 1, C G J K Q S X Z = 2, D T = 3, L = 4, M N = 5, R = 6),
// leaving out A E I O U H W Y and any code equal to the last one written. The
// first letter's own code is neither written nor compared; the code is not cut
// to four characters (at most 256). Only A-Z are coded; other characters are
// passed over. Empty when the word does not begin with A-Z. A code of the
// first letter alone means the word has no Soundex equivalent.
std::string soundexCode(std::string_view word);
void soundexCodeInto(std::string_view word, std::string& out);  // reuses `out`

// Why a search word can not be used for a Soundex search, in the order the
// checks are made.
enum class SoundexWordCheck {
    Ok,
    TooFewLetters,      // shorter than 2 characters
    NotOnlyLetters,     // a character outside A-Z
    NoSoundexCode,      // nothing coded after the first letter
};
SoundexWordCheck checkSoundexWord(std::string_view searchWord);

// True when `searchWord` is too short for an approximate search (under 2 characters).
bool tooShortForApproximateMatch(std::string_view searchWord);

// ---- Plain matching with "?" ----

// Finds the search word in index words by a Boyer-Moore-Horspool scan in
// which "?" matches any one character. Without flags the word may stand
// anywhere; `startsWith` pins it to the start, `wholeWord` makes it end at
// the end of the index word (or before a blank); both mean equality.
class PlainMatcher {
public:
    PlainMatcher(std::string_view searchWord, bool startsWith, bool wholeWord);
    bool matches(std::string_view indexWord);

private:
    bool matchesAt(std::size_t at) const;
    bool endsWord(std::size_t end) const;

    std::u32string pattern_;
    std::array<std::size_t, 256> shift_{};  // by the low 8 bits of a code point
    bool startsWith_;
    bool wholeWord_;
    std::u32string word_;
};

// ---- Wildcard matching with "*" ----

// The search word cut at each "*" into at most 50 pieces (empty pieces from
// "**" do not count), which must occur in the index word in this order
// without overlapping. A first piece not preceded by "*" must stand at the
// start; with `wholeWord`, a last piece not followed by "*" must end at the
// end of the word (or before a blank). "?" in a piece matches any one
// character. "WIN*" finds WINDOWS and WIN.INI.
class WildcardMatcher {
public:
    static constexpr std::size_t kMaxPieces = 50;

    WildcardMatcher(std::string_view searchWord, bool wholeWord);
    bool matches(std::string_view indexWord);

private:
    bool pieceAt(const std::u32string& piece, std::size_t at) const;

    std::vector<std::u32string> pieces_;
    bool anchoredStart_ = false;
    bool anchoredEnd_ = false;
    std::u32string word_;
};

// ---- Approximate matching ----

// True when some stretch of the index word lies within `degree` edits
// (insertion, deletion or replacement of one character, each counting 1) of
// the search word: Sellers' dynamic-programming scan, which lets a match
// start anywhere. With `wholeWord` the stretch must end at the end of the word
// (or before a blank).
class ApproximateMatcher {
public:
    ApproximateMatcher(std::string_view searchWord, int degree, bool wholeWord);
    bool matches(std::string_view indexWord);

private:
    std::u32string pattern_;
    int degree_;
    bool wholeWord_;
    std::u32string word_;
    std::vector<int> column_;
};

// ---- Word finding ----

// Matches index words against one search word by the chosen match type:
// Soundex (equal codes), Approximate (within `degree` edits), Plain
// (contained, or the whole word with `wholeWord`), StartsWith (at the start,
// equal with `wholeWord`). A search word holding "*" is matched as wildcards
// under Plain and StartsWith. Keeps buffers between calls; one thread at a time.
class WordMatcher {
public:
    WordMatcher(std::string_view searchWord, MatchType type, bool wholeWord, int degree = 1);

    bool matches(std::string_view indexWord);

private:
    MatchType type_;
    std::string soundex_;
    std::string soundexBuffer_;
    std::optional<PlainMatcher> plain_;
    std::optional<WildcardMatcher> wildcard_;
    std::optional<ApproximateMatcher> approximate_;
};

}  // namespace pm
