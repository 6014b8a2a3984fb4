#pragma once
// Case-blind searching for ASCII markers ("CONTENT-TYPE:", "BOUNDARY=") in
// texts that may hold any UTF-8.
#include <cstddef>
#include <string_view>

namespace pm {

inline char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// True when `text` begins with `upperNeedle` (given in upper case), ignoring
// the case of ASCII letters.
inline bool startsWithNoCase(std::string_view text, std::string_view upperNeedle) {
    if (text.size() < upperNeedle.size()) return false;
    for (std::size_t i = 0; i < upperNeedle.size(); ++i)
        if (asciiUpper(text[i]) != upperNeedle[i]) return false;
    return true;
}

// Offset of the first occurrence of `upperNeedle` in `text` at or after
// `from`, ignoring the case of ASCII letters; npos when there is none.
inline std::size_t findNoCase(std::string_view text, std::string_view upperNeedle, std::size_t from = 0) {
    if (upperNeedle.empty()) return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < upperNeedle.size()) return std::string_view::npos;
    for (std::size_t i = from; i + upperNeedle.size() <= text.size(); ++i)
        if (startsWithNoCase(text.substr(i), upperNeedle)) return i;
    return std::string_view::npos;
}

}  // namespace pm
