#pragma once
// Decoding and encoding single UTF-8 characters. Texts are expected to
// be well-formed; a byte that does not begin a well-formed sequence counts as
// a one-byte character of its own, so scanning never stalls or skips text.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pm {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct Utf8Char {
    char32_t codePoint = 0;    // kReplacementCharacter when ill-formed
    std::uint8_t length = 1;   // bytes taken, 1 to 4
    bool wellFormed = true;
};

// The character that starts at byte `at` of `text` (at < text.size()).
inline Utf8Char decodeUtf8At(std::string_view text, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const std::size_t available = text.size() - at;
    const unsigned lead = p[0];
    if (lead < 0x80) return {lead, 1, true};
    const Utf8Char bad{kReplacementCharacter, 1, false};
    std::size_t length;
    char32_t cp;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return bad;
    }
    if (available < length) return bad;
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return bad;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return bad;
    return {cp, static_cast<std::uint8_t>(length), true};
}

// Byte offset of the character that ends just before byte `at` (at > 0):
// the start of a well-formed sequence ending there, else at - 1.
inline std::size_t utf8CharStartBefore(std::string_view text, std::size_t at) {
    std::size_t start = at - 1;
    const std::size_t lowest = at >= 4 ? at - 4 : 0;
    while (start > lowest && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    const Utf8Char c = decodeUtf8At(text, start);
    return (c.wellFormed && start + c.length == at) ? start : at - 1;
}

// Number of characters of `text`: bytes that do not continue a sequence.
inline std::size_t utf8CharCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Number of bytes the first `chars` characters of `text` take (all of
// `text` when it is shorter); never ends inside a character.
inline std::size_t utf8PrefixBytes(std::string_view text, std::size_t chars) {
    if (text.size() <= chars) return text.size();
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (n++ == chars) break;
    }
    return i;
}

// Appends code point `cp` to `out` as UTF-8.
template <class String>
void appendUtf8(String& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace pm
