#pragma once
// Fixed-width text fields of the record buffers.
//
// A field holds UTF-8 bytes padded with blanks on the right. Assigning a
// longer text cuts it at the last whole character that fits, so a field never
// ends in half a UTF-8 sequence. Comparisons ignore trailing blanks.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace pm {

// Number of bytes of `text` that fit into `width` bytes without splitting a
// UTF-8 sequence.
inline std::size_t utf8FitLength(std::string_view text, std::size_t width) {
    if (text.size() <= width) return text.size();
    std::size_t n = width;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

// `text` without trailing blanks.
inline std::string_view trimRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return text.substr(0, n);
}

template <std::size_t N>
struct FixedText {
    char bytes[N];

    static constexpr std::size_t width = N;

    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    void assign(std::string_view text) {
        std::size_t n = utf8FitLength(text, N);
        std::memcpy(bytes, text.data(), n);
        std::memset(bytes + n, ' ', N - n);
    }

    void clear() { std::memset(bytes, ' ', N); }

    // The text without trailing blanks.
    std::string_view view() const { return trimRight(std::string_view(bytes, N)); }
    std::string str() const { return std::string(view()); }

    // All N bytes, blanks included.
    std::string_view raw() const { return std::string_view(bytes, N); }

    bool empty() const { return view().empty(); }

    bool operator==(std::string_view other) const { return view() == trimRight(other); }
    template <std::size_t M>
    bool operator==(const FixedText<M>& other) const { return view() == other.view(); }
};

}  // namespace pm
