#pragma once
// Phrase checking: whether the words of a phrase follow one another in a
// message. Every start is tried, so a phrase is found after a partial match
// that broke off ("NEW YORK" in "new new york").
//
// When the first phrase word is ASCII, a text is not broken whole: its
// bytes are searched for that word (in any case; an ASCII word of a text is
// its own bytes upper-cased, unless the text holds a character that
// upper-cases to letters of that word, such as the sharp s to "SS"), and
// only a stretch around each place found is broken, from the last ASCII
// character before it that can neither start nor stand inside a word
// (where the breaking of the whole text passes too). Other texts are broken
// whole.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "wordindex/word_breaker.h"

namespace pm {

// A character whose upper case is ASCII letters alone ("\xc3\x9f", "SS").
struct AsciiUpperCase {
    char32_t code;
    std::string_view utf8;
    std::string_view upper;
};
// Every such character.
const std::vector<AsciiUpperCase>& asciiUpperCases();

class PhraseMatcher {
public:
    // `phrase`: upper-case words as the search word input gives them.
    explicit PhraseMatcher(std::vector<std::string> phrase);

    // Whether the phrase stands in `text` (its words cut as the search cuts them).
    bool foundIn(std::string_view text);

private:
    // The KMP walk over the words of `words`: true when the phrase is among them.
    bool matchWords(const std::vector<std::string>& words) const;
    // Whether every word of `text` equal to the first phrase word stands
    // in its bytes (see above).
    bool bytesShowFirstWord(std::string_view text) const;
    bool foundInWhole(std::string_view text);
    bool foundAround(std::string_view text);
    // Per ASCII character: whether no word of a text runs across it (it
    // can neither start nor stand inside one), under the current tables.
    const bool* boundaries();
    // The next place of the first phrase word (in any case) at or after `from`.
    std::size_t nextStart(std::string_view text, std::size_t from) const;

    std::vector<std::string> phrase_;
    std::vector<std::size_t> fallback_;  // KMP failure function over the phrase words
    WordBreaker breaker_;
    bool asciiPhrase_ = true;
    // The characters (UTF-8) that can hide the first phrase word from the
    // byte search.
    std::vector<std::string_view> hidingCharacters_;
    std::string firstLower_;  // the first phrase word in lower case
    // Its first two bytes as the search tests them: (byte | fold) == want.
    unsigned char fold_[2] = {0, 0};
    unsigned char want_[2] = {0, 0};
    std::size_t phraseBytes_ = 0;
    // boundaries() and the tables it was worked out from.
    bool boundary_[128] = {};
    WordHashTable startSeen_{}, inSeen_{};
    bool boundariesSeen_ = false;
    // The words of one broken stretch and where each begins in it.
    std::vector<std::string> stretchWords_;
    std::vector<std::size_t> stretchStarts_;
};

}  // namespace pm
