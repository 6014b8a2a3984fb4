#include "wordindex/word_breaker.h"

#include <algorithm>

#include "wordindex/character_class.h"
#include "common/utf8.h"
#include "wordindex/word_case.h"

namespace pm {
namespace {

// What the tables say about one character of the text being broken.
enum : std::uint8_t {
    kNotAtStart = 1,   // StartWordHash non-zero
    kNotInside = 2,    // InWordHash non-zero
    kNotAtEnd = 4,     // EndWordHash non-zero
    kPeriod = 8,       // "." (two in a row end a word)
    kIllFormed = 16,   // a byte that is no well-formed UTF-8
};

}  // namespace

WordBreaker::WordBreaker(WordBreakOptions options) : options_(options) {
    word_.reserve(256);
}

// The flags of the 256 Windows-1252 codes under the tables as they are now:
// comparing the tables costs less than working the flags out again, which
// counts when many short texts are broken (the phrase check's stretches).
const WordBreaker::CodeFlags& WordBreaker::codeFlags() {
    const WordBreakOptions& o = options_;
    if (flagsSeen_ && *o.startWord == tablesSeen_[0] && *o.inWord == tablesSeen_[1] && *o.endWord == tablesSeen_[2])
        return codeFlags_;
    tablesSeen_ = {*o.startWord, *o.inWord, *o.endWord};
    for (unsigned code = 0; code < 256; ++code) {
        std::uint8_t v = 0;
        if ((*o.startWord)[code]) v |= kNotAtStart;
        if ((*o.inWord)[code]) v |= kNotInside;
        if ((*o.endWord)[code]) v |= kNotAtEnd;
        codeFlags_[code] = v;
    }
    codeFlags_['.'] |= kPeriod;
    if (o.wildcardsAreWordCharacters) {
        codeFlags_['?'] = 0;
        codeFlags_['*'] = 0;
    }
    flagsSeen_ = true;
    return codeFlags_;
}

void WordBreaker::classify(std::string_view text) {
    const CodeFlags& table = codeFlags();
    // A text has at most one character a byte: the buffers only grow, and
    // are written through pointers (push_back would reload the vector's
    // end after each byte stored).
    if (flags_.size() < text.size()) flags_.resize(text.size());
    if (offsets_.size() < text.size() + 1) offsets_.resize(text.size() + 1);
    std::uint8_t* flags = flags_.data();
    std::uint32_t* offsets = offsets_.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t n = 0;
    illFormed_ = false;
    ascii_ = true;
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = bytes[at];
        offsets[n] = static_cast<std::uint32_t>(at);
        if (lead < 0x80) {
            flags[n++] = table[lead];
            ++at;
            continue;
        }
        ascii_ = false;
        const Utf8Char c = decodeUtf8At(text, at);
        if (!c.wellFormed) {
            // Behaves as a letter, like every character outside Windows-1252.
            flags[n++] = kIllFormed;
            illFormed_ = true;
        } else {
            const int code = windows1252Code(c.codePoint);
            flags[n++] = code < 0 ? std::uint8_t{0} : table[static_cast<std::size_t>(code)];
        }
        at += c.length;
    }
    offsets[n] = static_cast<std::uint32_t>(text.size());
    characters_ = n;
}

void WordBreaker::buildWord(std::string_view text, std::size_t first, std::size_t last) {
    std::string_view raw = text.substr(offsets_[first], offsets_[last + 1] - offsets_[first]);

    // Most texts are all ASCII (classify() tells); in the others each word is looked at.
    const bool ascii = ascii_ || std::all_of(raw.begin(), raw.end(), [](char c) {
                           return static_cast<unsigned char>(c) < 0x80;
                       });
    if (ascii) {
        // One byte per character: cut first, then upper-case only what is kept.
        const std::size_t n = options_.cutWords ? std::min(raw.size(), kWordCharacters) : raw.size();
        word_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const char c = raw[i];
            word_[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        return;
    }

    if (illFormed_) {
        raw_.clear();
        for (std::size_t i = first; i <= last; ++i) {
            if (flags_[i] & kIllFormed)
                appendUtf8(raw_, kReplacementCharacter);
            else
                raw_.append(text.substr(offsets_[i], offsets_[i + 1] - offsets_[i]));
        }
        raw = raw_;
    }
    // Full case mapping can change the number of characters, so the cut
    // follows the upper-casing.
    upperCaseInto(raw, word_);
    if (options_.cutWords) word_.resize(utf8PrefixLength(word_, kWordCharacters));
}

bool WordBreaker::breakText(std::string_view text, WordVisitor visit) {
    classify(text);
    const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(characters_) - 1;
    const std::uint8_t* f = flags_.data();

    std::ptrdiff_t p = 0;
    for (;;) {
        // 1. Skip what can not start a word.
        while (p <= last && (f[p] & kNotAtStart)) ++p;
        if (p > last) return true;

        // 2. Scan to the end of the word: the character before one that can not
        // stand inside a word, or before a second period in a row.
        std::ptrdiff_t q = p + 1;
        bool previousIsPeriod = f[p] & kPeriod;
        for (;;) {
            if (q > last) {
                q = last;
                break;
            }
            const std::uint8_t c = f[q];
            if ((c & kPeriod) && previousIsPeriod) {
                q -= 2;
                break;
            }
            previousIsPeriod = c & kPeriod;
            if (c & kNotInside) {
                q -= 1;
                break;
            }
            ++q;
        }
        const std::ptrdiff_t scanned = q;

        // 3. Trim what can not end a word.
        while (q >= p && (f[q] & kNotAtEnd)) --q;

        // 4. Nothing left. A start anywhere up to `scanned` would stop at the
        // same place and trim away just the same, so resume after it; stepping
        // one character at a time gives the same words but can take quadratic
        // time under tables where a character may start but not end a word.
        if (q < p) {
            p = std::max(p + 1, scanned + 1);
            continue;
        }

        // 5. and 6. The word, unless it begins with a caret.
        buildWord(text, static_cast<std::size_t>(p), static_cast<std::size_t>(q));
        if (!(options_.dropCaretWords && !word_.empty() && word_[0] == '^')) {
            const BrokenWord word{word_, static_cast<std::size_t>(p), static_cast<std::size_t>(q),
                                  offsets_[static_cast<std::size_t>(p)], offsets_[static_cast<std::size_t>(q) + 1]};
            if (!visit(word)) return false;
        }

        // 7. Go on after the word.
        p = q + 1;
    }
}

std::vector<std::string> breakWords(std::string_view text, WordBreakOptions options) {
    std::vector<std::string> words;
    WordBreaker breaker(options);
    breaker.breakText(text, [&](const BrokenWord& w) { words.emplace_back(w.text); });
    return words;
}

}  // namespace pm
