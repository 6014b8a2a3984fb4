#pragma once
// Splitting a person's full name into the last and first name of a Person
// record.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm {

// Widths of PER.LASTNAME and PER.FIRSTNAME in bytes.
inline constexpr std::size_t LastNameWidth = 25;
inline constexpr std::size_t FirstNameWidth = 25;

// Splits `fullName` (trailing blanks ignored) at its last blank: the last word
// is the last name, everything before it the first name. A last word that is
// a generation suffix ("I", "II", "III", "IV", "V" or the look-alikes written
// with a lower-case L: "l", "ll", "lll", "lV"; case-sensitive, whole word)
// stays with the surname before it. A name without an inner blank is all last
// name. Both outputs are replaced, have no trailing blanks and are cut to
// their field widths (25 bytes) at a whole UTF-8 character. Never fails.
void ParseName(std::string_view fullName, std::string& lastName, std::string& firstName);

}  // namespace pm
