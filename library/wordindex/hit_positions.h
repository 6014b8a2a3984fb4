#pragma once
// Where the hit words stand in a message text, for highlighting.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pm {

// A word's first and last character in a text, 1-based, in characters.
struct HitPosition {
    std::size_t first = 0;
    std::size_t last = 0;
    bool operator==(const HitPosition&) const = default;
};

// Clears `positions` and adds, in text order, the position of every word of
// the first `length` bytes of `text` that equals `word` (compared in upper
// case). The text is cut into words with the word definition, without stop
// words, without the 40-character cut and without dropping caret words.
void BUILDWORDPOSQ(std::string_view text, std::size_t length, std::string_view word,
                   std::vector<HitPosition>& positions);

// The same for every word equal to any of `words` (the hit-word list).
void BUILDWORDPOSQ1(std::string_view text, std::size_t length, std::vector<HitPosition>& positions,
                    const std::vector<std::string>& words);

}  // namespace pm
