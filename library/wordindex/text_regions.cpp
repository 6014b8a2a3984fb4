#include "wordindex/text_regions.h"

#include "common/fixed_text.h"
#include "wordindex/ascii_search.h"
#include "wordindex/character_class.h"
#include "common/utf8.h"

namespace pm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

class FooterScan {
public:
    FooterScan(std::string_view text, const WordHashTable& startWord) : text_(text), startWord_(startWord) {}

    bool canStartWord(std::size_t at) const {
        return wordTableEntry(startWord_, decodeUtf8At(text_, at).codePoint) == 0;
    }

    // Moves `end` back over the characters before it that can not start a word.
    std::size_t backOverNonStarters(std::size_t end) const {
        while (end > 0) {
            const std::size_t start = utf8CharStartBefore(text_, end);
            if (canStartWord(start)) break;
            end = start;
        }
        return end;
    }

    // Moves `start` back over the characters before it that can start a word.
    std::size_t backOverStarters(std::size_t start) const {
        while (start > 0) {
            const std::size_t before = utf8CharStartBefore(text_, start);
            if (!canStartWord(before)) break;
            start = before;
        }
        return start;
    }

private:
    std::string_view text_;
    const WordHashTable& startWord_;
};

}  // namespace

TextRange textWithoutFooter(std::string_view text, const WordHashTable& startWord) {
    text = trimRight(text);
    const FooterScan scan(text, startWord);
    std::size_t end = text.size();

    // A closing line whose last word starts with REPL ("Reply", "Replies: 3")
    // is dropped, when a line break stands before it.
    const std::size_t wordEnd = scan.backOverNonStarters(end);
    if (wordEnd > 0) {
        const std::size_t wordStart = scan.backOverStarters(wordEnd);
        if (startsWithNoCase(text.substr(wordStart, wordEnd - wordStart), "REPL") && wordStart > 0) {
            const std::size_t lineBreak = text.rfind('\n', wordStart - 1);
            if (lineBreak != npos) {
                end = lineBreak;
                if (end > 0 && text[end - 1] == '\r') --end;
            }
        }
    }

    end = scan.backOverNonStarters(end);
    if (end == 0) return {};

    // Walk back line by line: the gap before a line, made of characters below
    // '0', holding two or more line feeds is an empty line, and what follows it
    // is the footer.
    for (std::size_t current = end;;) {
        const std::size_t lineBreak = text.rfind('\n', current - 1);
        if (lineBreak == npos) return {0, end};
        std::size_t at = lineBreak + 1;
        int lineFeeds = 0;
        while (at > 0 && static_cast<unsigned char>(text[at - 1]) < '0') {
            if (text[at - 1] == '\n') ++lineFeeds;
            --at;
        }
        if (at == 0) return {0, end};
        if (lineFeeds >= 2) return {0, at};
        current = at;
    }
}

IndexRegions forumIndexRegions(std::string_view threadHeading, std::string_view text, BYTE indexFooters,
                               const WordHashTable& startWord) {
    IndexRegions regions{trimRight(threadHeading), trimRight(text)};
    if (indexFooters == 0) regions.text = textWithoutFooter(regions.text, startWord).of(regions.text);
    return regions;
}

IndexRegions mailIndexRegions(std::string_view subject, std::string_view text) {
    return IndexRegions{trimRight(subject), mailBodyRange(text).of(text)};
}

IndexRegions messageIndexRegions(DatabaseType type, std::string_view headingOrSubject, std::string_view text,
                                 BYTE indexFooters, const WordHashTable& startWord) {
    if (type == TypeMail) return mailIndexRegions(headingOrSubject, text);
    return forumIndexRegions(headingOrSubject, text, indexFooters, startWord);
}

}  // namespace pm
