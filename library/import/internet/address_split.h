#pragma once
// The address split of Internet mail and news: a sender or receiver text
// becomes an address and a name.
#include <string>
#include <string_view>

namespace pm::inet {

inline constexpr std::size_t AddressWidth = 60;
inline constexpr std::size_t NameWidth = 60;

struct AddressParts {
    std::string address;  // lower case, at most 60 bytes
    std::string name;     // as written (encoded words decoded), at most 60 bytes
};

// Splits a raw header text (left-aligned and trimmed first):
// 1. without an "@" the whole text is the address and the name is blank;
// 2. a text ending in ">" gives the address between the last "<" and the
//    ">" and the name before the "<" (without a "<" the whole text is the
//    address);
// 3. otherwise the address is the word holding the "@"; the name is the text
//    after the blank that follows it, or, when no blank follows, the text
//    before the blank that precedes it;
// 4. one pair of enclosing double quotes and one pair of enclosing
//    parentheses are removed from the name.
// A list of several addresses ("a@x, B <b@y>") is split at its commas first
// and the first entry with an "@" is taken. Raw bytes are read by the
// no-charset rule; encoded words in the name are decoded; the address is
// lower-cased by Unicode case mapping. Both are cut to 60 bytes at a
// character boundary.
AddressParts splitAddress(std::string_view text);

// One pair of enclosing double quotes, then one pair of enclosing
// parentheses removed from `name` (trimmed before and after each step).
std::string_view unwrapName(std::string_view name);

}  // namespace pm::inet
