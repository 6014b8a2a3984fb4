#pragma once
// Step 1 of the professional search: what the person typed, checked and cut
// into the words to look up in the word list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wordindex/word_breaker.h"
#include "wordindex/word_matching.h"

namespace pm {

// The choices of the search word window.
struct SearchWordOptions {
    bool wholeWord = true;    // "  Whole Word Only?"
    bool startsWith = true;   // " Starts With...?"
    bool soundex = false;     // " Soundex?"
    bool approximate = false; // " Approximate Match?"
    int degree = 1;           // "Degree of Mismatch:"
    bool phrase = false;      // " Phrase Search": whole word and starts with, no Soundex or approximate

    // The options as the window leaves them: phrase search sets whole word
    // and starts with and clears the others; Soundex clears whole word,
    // starts with and approximate; approximate clears starts with.
    SearchWordOptions effective() const;
    MatchType matchType() const;
    // Exact mode: whole word and starts with, neither Soundex nor approximate.
    bool exact() const;
};

// A word of a phrase, in the order typed; non-indexed words (stop words and
// one-letter words) take part in the phrase check but are not looked up.
struct PhraseWord {
    std::string word;
    bool nonIndexed = false;
    bool operator==(const PhraseWord&) const = default;
};

struct SearchWordRequest {
    SearchWordOptions options;       // effective options
    std::vector<std::string> words;  // to look up, in the order typed
    std::vector<PhraseWord> phrase;  // phrase mode: every word typed
};

// The word definition the search uses for typed words and for message texts:
// the process-wide tables with the indexing run's caret rule, so that the
// search cuts words as the index holds them.
const WordBreakOptions& searchBreakOptions(bool wildcards);

// Checks and splits `typed`, showing the window's messages ("Search
// Problem", "Blank Search", "Non-Indexed Word", "No valid searchwords",
// "Too Few Letters", "Only Letters Please", "Soundex Error"). Stop words are
// read from STO, which must be open. Empty when the search can not go on.
std::optional<SearchWordRequest> prepareSearchWords(std::string_view typed, const SearchWordOptions& options);

}  // namespace pm
