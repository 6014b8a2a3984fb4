#pragma once
// Compressed lists of ascending 32-bit numbers, as the posting-list layout
// stores them: each number as the unsigned LEB128 varint of its distance
// from the one before (the first from `base`).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pm::postings {

// Appends the varint of `value` to `out`.
inline void putVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

// Bytes the varint of `value` takes.
inline std::size_t varintSize(std::uint32_t value) {
    std::size_t n = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++n;
    }
    return n;
}

// Appends ascending `values` to `out` as distances starting from `base`
// (which must not exceed the first value).
inline void appendEncoded(std::string& out, const std::uint32_t* values, std::size_t count, std::uint32_t base) {
    std::uint32_t previous = base;
    for (std::size_t i = 0; i < count; ++i) {
        putVarint(out, values[i] - previous);
        previous = values[i];
    }
}

// The same, into a string of their own.
inline std::string encode(const std::uint32_t* values, std::size_t count, std::uint32_t base) {
    std::string out;
    out.reserve(count * 2);
    appendEncoded(out, values, count, base);
    return out;
}

// Decodes `bytes` into `out` (appending), starting from `base`. Returns false
// on a truncated or overlong varint, or a value past 32 bits.
inline bool decode(std::string_view bytes, std::uint32_t base, std::vector<std::uint32_t>& out) {
    std::uint64_t previous = base;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint64_t delta = 0;
        int shift = 0;
        for (;;) {
            if (i >= bytes.size() || shift > 28) return false;
            const auto byte = static_cast<unsigned char>(bytes[i++]);
            delta |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) break;
            shift += 7;
        }
        previous += delta;
        if (previous > 0xFFFFFFFFull) return false;
        out.push_back(static_cast<std::uint32_t>(previous));
    }
    return true;
}

}  // namespace pm::postings
