#include "import/formats/envelope.h"

#include <vector>

namespace pm::formats {

namespace {

constexpr std::string_view FromWord = "From ";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The blank-separated words of `text`, as views into it.
std::vector<std::string_view> wordsOf(std::string_view text, std::size_t most) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size() && words.size() < most) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

// The text of `text` after `lastWord`, one of its words.
std::string_view afterWords(std::string_view text, std::string_view lastWord) {
    return text.substr(static_cast<std::size_t>(lastWord.data() + lastWord.size() - text.data()));
}

}  // namespace

Envelope readEnvelope(std::string_view line) {
    Envelope envelope;
    if (line.substr(0, FromWord.size()) != FromWord) return envelope;
    const std::string_view rest = line.substr(FromWord.size());
    const std::vector<std::string_view> words = wordsOf(rest, 4);
    if (words.empty()) return envelope;
    // The sender is one word, or "name at host".
    const bool obfuscated = words.size() >= 4 && words[1] == "at";
    for (std::size_t senderWords : {std::size_t{1}, std::size_t{3}}) {
        if (senderWords == 3 && !obfuscated) break;
        const inet::MessageDate date = inet::parseMessageDate(afterWords(rest, words[senderWords - 1]));
        if (date.date != 0) {
            envelope.isEnvelope = true;
            envelope.date = date;
            return envelope;
        }
    }
    envelope.isEnvelope =
        words.size() == 1 && (words[0] == "-" || words[0].find('@') != std::string_view::npos);
    return envelope;
}

}  // namespace pm::formats
