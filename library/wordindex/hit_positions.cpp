#include "wordindex/hit_positions.h"

#include <algorithm>

#include "wordindex/word_breaker.h"
#include "wordindex/word_case.h"

namespace pm {

namespace {

void findWords(std::string_view text, std::size_t length, std::vector<HitPosition>& positions,
               const std::vector<std::string>& wanted) {
    positions.clear();
    if (wanted.empty()) return;
    WordBreakOptions options;
    options.cutWords = false;
    options.dropCaretWords = false;
    WordBreaker breaker(options);
    breaker.breakText(text.substr(0, std::min(length, text.size())), [&](const BrokenWord& w) {
        if (std::find(wanted.begin(), wanted.end(), w.text) != wanted.end())
            positions.push_back({w.firstCharacter + 1, w.lastCharacter + 1});
    });
}

}  // namespace

void BUILDWORDPOSQ(std::string_view text, std::size_t length, std::string_view word,
                   std::vector<HitPosition>& positions) {
    findWords(text, length, positions, {upperCase(word)});
}

void BUILDWORDPOSQ1(std::string_view text, std::size_t length, std::vector<HitPosition>& positions,
                    const std::vector<std::string>& words) {
    std::vector<std::string> wanted;
    wanted.reserve(words.size());
    for (const std::string& w : words) wanted.push_back(upperCase(w));
    findWords(text, length, positions, wanted);
}

}  // namespace pm
