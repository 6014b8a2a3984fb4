#include "tables/persons/parse_name.h"

#include <array>

#include "common/fixed_text.h"

namespace pm {
namespace {

bool isGenerationSuffix(std::string_view word) {
    // The "l" forms are how the suffixes often arrive when typed with a
    // lower-case L instead of a capital i.
    static constexpr std::array<std::string_view, 9> suffixes = {
        "I", "II", "III", "IV", "V", "l", "ll", "lll", "lV"};
    for (std::string_view s : suffixes)
        if (word == s) return true;
    return false;
}

// Byte index of the last blank in text[1, end), or npos. A blank at index 0
// never splits: it would leave an empty first name.
std::size_t lastInnerBlank(std::string_view text, std::size_t end) {
    for (std::size_t i = end; i > 1; --i)
        if (text[i - 1] == ' ') return i - 1;
    return std::string_view::npos;
}

void assignCut(std::string& out, std::string_view text, std::size_t width) {
    text = trimRight(text);
    out.assign(text.substr(0, utf8FitLength(text, width)));
}

}  // namespace

void ParseName(std::string_view fullName, std::string& lastName, std::string& firstName) {
    const std::string_view name = trimRight(fullName);
    std::string_view last = name;
    std::string_view first;

    std::size_t blank = lastInnerBlank(name, name.size());
    if (blank != std::string_view::npos) {
        last = name.substr(blank + 1);
        first = name.substr(0, blank);
        if (isGenerationSuffix(last)) {
            // Look before the whole run of blanks in front of the suffix, so
            // "Smith  III" does not yield the last name " III".
            std::size_t runStart = blank;
            while (runStart > 0 && name[runStart - 1] == ' ') --runStart;
            std::size_t previous = lastInnerBlank(name, runStart);
            if (previous != std::string_view::npos) {
                last = name.substr(previous + 1);
                first = name.substr(0, previous);
            } else {
                last = name;
                first = {};
            }
        }
    }
    assignCut(lastName, last, LastNameWidth);
    assignCut(firstName, first, FirstNameWidth);
}

}  // namespace pm
