#include "wordindex/search_words.h"

#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/records/config_tables.h"
#include "wordindex/word_case.h"

namespace pm {

SearchWordOptions SearchWordOptions::effective() const {
    SearchWordOptions o = *this;
    if (o.phrase) {
        o.wholeWord = o.startsWith = true;
        o.soundex = o.approximate = false;
    } else if (o.soundex) {
        o.wholeWord = o.startsWith = o.approximate = false;
    } else if (o.approximate) {
        o.startsWith = false;
    }
    if (o.degree < 0) o.degree = 0;
    return o;
}

MatchType SearchWordOptions::matchType() const {
    if (soundex) return MatchType::Soundex;
    if (approximate) return MatchType::Approximate;
    return startsWith ? MatchType::StartsWith : MatchType::Plain;
}

bool SearchWordOptions::exact() const { return wholeWord && startsWith && !soundex && !approximate; }

const WordBreakOptions& searchBreakOptions(bool wildcards) {
    static WordHashTable start;
    static WordBreakOptions plain, withWildcards;
    // Taken afresh on every call: the word definition may have been changed.
    start = StartWordHash;
    start['^'] = 1;
    plain = WordBreakOptions{};
    plain.startWord = &start;
    withWildcards = plain;
    withWildcards.wildcardsAreWordCharacters = true;
    return wildcards ? withWildcards : plain;
}

namespace {

bool isStopWord(std::string_view word) {
    STOFile.clear();
    STO.THEWORD = cutToStoredWord(word);
    return STOFile.get(STO_BY_THEWORD) == StorageStatus::Ok;
}

}  // namespace

std::optional<SearchWordRequest> prepareSearchWords(std::string_view typed, const SearchWordOptions& chosen) {
    SearchWordRequest request;
    request.options = chosen.effective();
    const SearchWordOptions& o = request.options;

    if ((o.phrase || o.soundex || o.approximate) && typed.find_first_of("?*") != std::string_view::npos) {
        message("Search Problem", "Wildcards can not be used in|phrases, soundex or approximate searches.",
                Icon::Exclamation);
        return std::nullopt;
    }
    const std::vector<std::string> typedWords = breakWords(typed, searchBreakOptions(true));
    if (typedWords.empty()) {
        message("Blank Search", "No searchwords!|Please type a what you want to find or press cancel.",
                Icon::Exclamation);
        return std::nullopt;
    }

    for (const std::string& word : typedWords) {
        if (o.exact()) {
            const std::size_t length = utf8Length(word);
            const bool indexed = length >= 2 && length <= kWordCharacters && !isStopWord(word);
            if (o.phrase) request.phrase.push_back({word, !indexed});
            if (!indexed) {
                if (!o.phrase)
                    message("Non-Indexed Word",
                            "The word: " + word + " is a Non-Indexed Word.|It has been removed from the search.");
                continue;
            }
        }
        request.words.push_back(word);
    }
    if (request.words.empty()) {
        message("No valid searchwords",
                "All of the words are on the stoplist (non-indexed).|Please type valid words or cancel!",
                Icon::Exclamation);
        return std::nullopt;
    }

    for (const std::string& word : request.words) {
        if (o.soundex) {
            switch (checkSoundexWord(word)) {
                case SoundexWordCheck::Ok: break;
                case SoundexWordCheck::TooFewLetters:
                    message("Too Few Letters", "To use Soundex you must type at least 2 letters.",
                            Icon::Exclamation);
                    return std::nullopt;
                case SoundexWordCheck::NotOnlyLetters:
                    message("Only Letters Please",
                            "Soundex Search Requests May Only Contain Letters and Must be a Single Word.",
                            Icon::Exclamation);
                    return std::nullopt;
                case SoundexWordCheck::NoSoundexCode:
                    message("Soundex Error",
                            "There is no Soundex equivalent for that word.  Please choose a different search word.",
                            Icon::Exclamation);
                    return std::nullopt;
            }
        } else if (o.approximate && tooShortForApproximateMatch(word)) {
            message("Too Few Letters", "To use Approximate Matching you must type at least 2 letters.",
                    Icon::Exclamation);
            return std::nullopt;
        }
    }
    return request;
}

}  // namespace pm
