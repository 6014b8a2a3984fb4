#include "wordindex/phrase_match.h"

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "wordindex/search_words.h"

namespace pm {

namespace {

bool isAscii(std::string_view text) {
    const char* p = text.data();
    std::size_t n = text.size();
    std::uint64_t bits = 0;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        bits |= v;
    }
    for (; n > 0; ++p, --n) bits |= static_cast<unsigned char>(*p);
    return (bits & 0x8080808080808080ull) == 0;
}

}  // namespace

// The characters whose upper case is made of ASCII letters alone (ICU's
// full mapping in the root locale; no other character maps to ASCII, as
// the tests check over every code point): the one way a word of a text can
// upper-case to an ASCII word that its bytes do not show.
const std::vector<AsciiUpperCase>& asciiUpperCases() {
    static const std::vector<AsciiUpperCase> table = {
        {0x00DF, "\xc3\x9f", "SS"},   {0x0131, "\xc4\xb1", "I"},    {0x017F, "\xc5\xbf", "S"},
        {0xFB00, "\xef\xac\x80", "FF"}, {0xFB01, "\xef\xac\x81", "FI"}, {0xFB02, "\xef\xac\x82", "FL"},
        {0xFB03, "\xef\xac\x83", "FFI"}, {0xFB04, "\xef\xac\x84", "FFL"}, {0xFB05, "\xef\xac\x85", "ST"},
        {0xFB06, "\xef\xac\x86", "ST"},
    };
    return table;
}

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Sixteen bytes of a text at once, for the search of a word's first two
// letters (the compiler's vector extension: SSE2 on x86-64, plain code
// elsewhere).
using Bytes16 = unsigned char __attribute__((vector_size(16)));

Bytes16 splat(unsigned char c) {
    Bytes16 v;
    for (int i = 0; i < 16; ++i) v[i] = c;
    return v;
}

// Case folding of a word's byte for the search: a letter matches in either
// case (its bit 0x20 set), any other byte only itself.
unsigned char foldMask(char c) { return (c >= 'A' && c <= 'Z') ? 0x20 : 0x00; }

// A stretch broken first holds this many bytes beyond the phrase; it grows
// when its words run out before the phrase could be checked.
constexpr std::size_t kStretchSlack = 16;
// A place with no boundary this far before it has the whole text broken.
constexpr std::size_t kLongestBackStep = 4096;

}  // namespace

PhraseMatcher::PhraseMatcher(std::vector<std::string> phrase)
    : phrase_(std::move(phrase)), breaker_(searchBreakOptions(false)) {
    // For each prefix of the phrase, the longest proper prefix that is also
    // its suffix: where a broken-off match can go on.
    fallback_.assign(phrase_.size(), 0);
    for (std::size_t i = 1, k = 0; i < phrase_.size(); ++i) {
        while (k > 0 && phrase_[i] != phrase_[k]) k = fallback_[k - 1];
        if (phrase_[i] == phrase_[k]) ++k;
        fallback_[i] = k;
    }
    for (const std::string& w : phrase_) {
        if (w.empty() || !isAscii(w)) asciiPhrase_ = false;
        phraseBytes_ += w.size() + 1;
    }
    if (asciiPhrase_ && !phrase_.empty()) {
        // Only a character whose upper case stands inside the first word
        // can help make it.
        for (const AsciiUpperCase& a : asciiUpperCases())
            if (phrase_.front().find(a.upper) != std::string::npos) hidingCharacters_.push_back(a.utf8);
        const std::string& first = phrase_.front();
        for (char c : first) firstLower_ += lowerAscii(c);
        fold_[0] = foldMask(first[0]);
        want_[0] = static_cast<unsigned char>(firstLower_[0]);
        // A one-letter word: the second byte matches whatever it is.
        fold_[1] = first.size() > 1 ? foldMask(first[1]) : 0xFF;
        want_[1] = first.size() > 1 ? static_cast<unsigned char>(firstLower_[1]) : 0xFF;
    }
}

bool PhraseMatcher::matchWords(const std::vector<std::string>& words) const {
    std::size_t matched = 0;
    for (const std::string& w : words) {
        while (matched > 0 && w != phrase_[matched]) matched = fallback_[matched - 1];
        if (w == phrase_[matched]) ++matched;
        if (matched == phrase_.size()) return true;
    }
    return false;
}

bool PhraseMatcher::foundIn(std::string_view text) {
    if (phrase_.empty()) return true;
    if (asciiPhrase_ && bytesShowFirstWord(text)) return foundAround(text);
    return foundInWhole(text);
}

bool PhraseMatcher::bytesShowFirstWord(std::string_view text) const {
    if (hidingCharacters_.empty() || isAscii(text)) return true;
    for (std::string_view c : hidingCharacters_)
        if (text.find(c) != std::string_view::npos) return false;
    return true;
}

bool PhraseMatcher::foundInWhole(std::string_view text) {
    std::size_t matched = 0;
    bool found = false;
    breaker_.breakText(text, [&](const BrokenWord& w) {
        while (matched > 0 && w.text != phrase_[matched]) matched = fallback_[matched - 1];
        if (w.text == phrase_[matched]) ++matched;
        if (matched == phrase_.size()) {
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

std::size_t PhraseMatcher::nextStart(std::string_view text, std::size_t from) const {
    const std::string& upper = phrase_.front();
    const std::size_t n = upper.size();
    if (text.size() < n || from > text.size() - n) return std::string_view::npos;
    const std::size_t lastStart = text.size() - n;
    const char* const t = text.data();
    const auto wordAt = [&](std::size_t at) {
        std::size_t k = 0;
        while (k < n && (t[at + k] == upper[k] || t[at + k] == firstLower_[k])) ++k;
        return k == n;
    };
    // Sixteen places at a time are tested for the word's first two letters
    // (in either case); only where they stand is the whole word compared.
    const Bytes16 fold0 = splat(fold_[0]), want0 = splat(want_[0]);
    const Bytes16 fold1 = splat(fold_[1]), want1 = splat(want_[1]);
    // One bit per place of the sixteen from `at` where the two letters stand.
    const auto hitMask = [&](std::size_t at) -> std::uint32_t {
        Bytes16 here, next;
        std::memcpy(&here, t + at, 16);
        std::memcpy(&next, t + at + 1, 16);
        const auto hits = ((here | fold0) == want0) & ((next | fold1) == want1);
#ifdef __SSE2__
        return static_cast<std::uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(hits)));
#else
        std::uint64_t halves[2];
        std::memcpy(halves, &hits, 16);
        if ((halves[0] | halves[1]) == 0) return 0;
        std::uint32_t mask = 0;
        for (unsigned j = 0; j < 16; ++j) mask |= hits[j] ? 1u << j : 0u;
        return mask;
#endif
    };
    // The places of a mask in order; most masks have none.
    const auto firstWordIn = [&](std::size_t at, std::uint32_t mask) {
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t place = at + static_cast<std::size_t>(__builtin_ctz(mask));
            if (place <= lastStart && wordAt(place)) return place;
        }
        return std::string_view::npos;
    };
    std::size_t at = from;
    for (; at + 33 <= text.size(); at += 32) {
        const std::uint32_t mask = hitMask(at) | hitMask(at + 16) << 16;
        if (mask == 0) continue;
        if (const std::size_t found = firstWordIn(at, mask); found != std::string_view::npos) return found;
    }
    for (; at + 17 <= text.size(); at += 16)
        if (const std::size_t found = firstWordIn(at, hitMask(at)); found != std::string_view::npos) return found;
    for (; at <= lastStart; ++at)
        if (wordAt(at)) return at;
    return std::string_view::npos;
}

// In a text where ASCII words stand in their bytes (see above), a word
// equal to the first phrase word is its bytes upper-cased (cut), so the
// phrase can only begin where those bytes stand. Around each
// such place the text is broken from a boundary: the character before it
// can neither start a word nor stand inside one, so no word of the whole
// text runs across it and the whole text's breaking resumes right there.
// The words of a stretch are those of the whole text, but for its last one
// (cut off by the stretch's end) unless the stretch ends with the text.
const bool* PhraseMatcher::boundaries() {
    // The tables are read on each text, as the breaker reads them; the
    // flags are worked out again only when they changed.
    const WordBreakOptions& o = breaker_.options();
    if (!boundariesSeen_ || *o.startWord != startSeen_ || *o.inWord != inSeen_) {
        startSeen_ = *o.startWord;
        inSeen_ = *o.inWord;
        for (unsigned c = 0; c < 128; ++c) boundary_[c] = startSeen_[c] && inSeen_[c];
        boundariesSeen_ = true;
    }
    return boundary_;
}

bool PhraseMatcher::foundAround(std::string_view text) {
    const bool* const boundary = boundaries();

    std::size_t checked = 0;  // phrases beginning with a word before this were checked
    for (std::size_t at = nextStart(text, 0); at != std::string_view::npos; at = nextStart(text, at + 1)) {
        if (at < checked) continue;
        std::size_t from = at;
        while (from > 0 && !(static_cast<unsigned char>(text[from - 1]) < 128 &&
                             boundary[static_cast<unsigned char>(text[from - 1])])) {
            if (at - from > kLongestBackStep) return foundInWhole(text);
            --from;
        }
        std::size_t slack = kStretchSlack;
        for (;;) {
            const std::size_t end = std::min(text.size(), at + phraseBytes_ + slack);
            stretchWords_.clear();
            stretchStarts_.clear();
            breaker_.breakText(text.substr(from, end - from), [&](const BrokenWord& w) {
                stretchWords_.emplace_back(w.text);
                stretchStarts_.push_back(from + w.byteBegin);
            });
            if (end < text.size() && !stretchWords_.empty()) {
                stretchWords_.pop_back();
                stretchStarts_.pop_back();
            }
            std::size_t fromAt = 0;  // whole words at or after `at`
            for (std::size_t s : stretchStarts_) fromAt += s >= at ? 1 : 0;
            if (end == text.size() || fromAt >= phrase_.size()) break;
            slack *= 4;
        }
        if (matchWords(stretchWords_)) return true;
        // Phrases beginning with each word but the last few were checked whole.
        if (stretchWords_.size() >= phrase_.size())
            checked = std::max(checked, stretchStarts_[stretchWords_.size() - phrase_.size()] + 1);
        else
            checked = std::max(checked, at + 1);
    }
    return false;
}

}  // namespace pm
