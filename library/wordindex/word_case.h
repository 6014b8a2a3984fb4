#pragma once
// Upper-casing and length cuts of index words, shared by the indexer and the
// search so that both produce the same words.
//
// Upper-casing is ICU's full Unicode case mapping in the root locale, the
// same on every machine whatever its locale: "straße" becomes "STRASSE",
// "ﬁ" becomes "FI", "i" always becomes "I". ASCII takes a fast path with the
// same result. Ill-formed UTF-8 bytes become U+FFFD.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm {

// An index word keeps its first 40 characters (code points).
inline constexpr std::size_t kWordCharacters = 40;
// The stored word (WOR:THEWORD, STO:THEWORD ...) is 40 bytes wide.
inline constexpr std::size_t kStoredWordBytes = 40;

// Replaces `out` with `text` in upper case. Reuses out's capacity; `text`
// must not view `out`.
// Throws FatalError when the Unicode case tables can not be loaded.
void upperCaseInto(std::string_view text, std::string& out);

// `text` in upper case.
std::string upperCase(std::string_view text);

// Number of bytes taken by the first `maxCharacters` characters of `text`
// (all of it when it is shorter). Counts an ill-formed byte as one character.
std::size_t utf8PrefixLength(std::string_view text, std::size_t maxCharacters);

// Number of characters (code points; an ill-formed byte counts as one) in `text`.
std::size_t utf8Length(std::string_view text);

// The first 40 characters of `word`: the cut every index word gets.
std::string_view cutToWordLength(std::string_view word);

// The longest prefix of `word` that fits 40 bytes without splitting a
// character: the form in which a word is stored and looked up. Words made of
// ASCII are unchanged by it; a 40-character word with non-ASCII letters may
// lose its last characters, so the indexer and the search must both look
// words up in this form.
std::string_view cutToStoredWord(std::string_view word);

}  // namespace pm
