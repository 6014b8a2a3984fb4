#pragma once
// Phrase checking: whether the words of a phrase follow one another in a
// message. Every start is tried, so a phrase is found after a partial match
// that broke off ("NEW YORK" in "new new york").
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"
#include "wordindex/word_breaker.h"

namespace pm {

class PhraseMatcher {
public:
    // `phrase`: upper-case words as the search word input gives them.
    explicit PhraseMatcher(std::vector<std::string> phrase);

    // Whether the phrase stands in `text` (its words cut as the search cuts them).
    bool foundIn(std::string_view text);

    // Whether message `number` holds the phrase in its thread heading (forum,
    // newsgroup) or subject (mail), or in its text; the heading and the text
    // are checked apart. The message tables of the active database must be
    // open. A message that can not be read does not hold it.
    bool messageHolds(ULONG number, BYTE databaseType);

private:
    std::vector<std::string> phrase_;
    std::vector<std::size_t> fallback_;  // KMP failure function over the phrase words
    WordBreaker breaker_;
};

}  // namespace pm
