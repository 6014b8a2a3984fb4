#pragma once
// The word breaker: cuts a UTF-8 text into upper-case index words with the
// word definition tables.
//
// A word starts at a character that may start one, runs over characters that
// may stand inside one (a second period in a row ends it before the first of
// the two: "wait...then" is WAIT and THEN), and loses trailing characters
// that may not end one ("abc." is ABC). Each character meets the tables by its
// Windows-1252 code (see character_class.h). Words are upper-cased (see
// word_case.h) and cut to 40 characters; a word that begins with a caret is
// dropped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/word_definition.h"

namespace pm {

struct WordBreakOptions {
    // The tables to use; the process-wide ones unless a caller supplies others.
    const WordHashTable* startWord = &StartWordHash;
    const WordHashTable* inWord = &InWordHash;
    const WordHashTable* endWord = &EndWordHash;
    // Cut each word to its first 40 characters (indexing, search words, phrase
    // matching). Off for hit positions, which compare whole words.
    bool cutWords = true;
    // Drop words that begin with a caret. Off for hit positions.
    bool dropCaretWords = true;
    // Let "?" and "*" start, continue and end words, for search input with
    // wildcards.
    bool wildcardsAreWordCharacters = false;
};

// One word found in a text.
struct BrokenWord {
    // The word in upper case, cut as the options say. Points into the
    // breaker's buffer: valid only until the visitor returns.
    std::string_view text;
    // Index (0-based, in characters) of the word's first and last character
    // in the text that was broken.
    std::size_t firstCharacter = 0;
    std::size_t lastCharacter = 0;
    // The word's bytes in that text: [byteBegin, byteEnd).
    std::size_t byteBegin = 0;
    std::size_t byteEnd = 0;
};

// A non-owning reference to a callable taking `const BrokenWord&` and returning
// void (go on) or bool (false stops the breaking). Valid while the callable lives.
class WordVisitor {
public:
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, WordVisitor>)
    WordVisitor(F&& f)  // NOLINT: implicit, so that lambdas pass straight in
        : object_(const_cast<void*>(static_cast<const void*>(&f))), call_(&invoke<std::remove_reference_t<F>>) {}

    bool operator()(const BrokenWord& word) const { return call_(object_, word); }

private:
    template <class F>
    static bool invoke(void* object, const BrokenWord& word) {
        F& f = *static_cast<F*>(object);
        if constexpr (std::is_void_v<std::invoke_result_t<F&, const BrokenWord&>>) {
            f(word);
            return true;
        } else {
            return static_cast<bool>(f(word));
        }
    }

    void* object_;
    bool (*call_)(void*, const BrokenWord&);
};

// Breaks texts into words. Keeps its buffers between calls, so one breaker
// used for many texts allocates only when a text is longer than any before.
// Not for use by two threads at once.
class WordBreaker {
public:
    explicit WordBreaker(WordBreakOptions options = {});

    const WordBreakOptions& options() const { return options_; }

    // Delivers every word of `text` to `visit`, in text order. The tables are
    // read when the call starts. Returns false when the visitor stopped the
    // breaking, true when the whole text was broken.
    bool breakText(std::string_view text, WordVisitor visit);

private:
    using CodeFlags = std::array<std::uint8_t, 256>;
    const CodeFlags& codeFlags();
    void classify(std::string_view text);
    void buildWord(std::string_view text, std::size_t first, std::size_t last);

    WordBreakOptions options_;
    CodeFlags codeFlags_{};                   // see codeFlags()
    std::array<WordHashTable, 3> tablesSeen_{};  // the start, inside and end tables they came from
    bool flagsSeen_ = false;
    // The current text's characters_ characters (the buffers may be longer).
    std::size_t characters_ = 0;
    std::vector<std::uint8_t> flags_;     // per character: what the tables allow
    std::vector<std::uint32_t> offsets_;  // per character: byte offset; one more at the end
    bool illFormed_ = false;              // the current text holds ill-formed bytes
    bool ascii_ = true;                   // the current text is all ASCII
    std::string raw_;                     // a word's bytes with ill-formed bytes replaced
    std::string word_;                    // the word delivered to the visitor
};

// All words of `text`, in order. For tests and small texts; the indexer uses
// a WordBreaker and a visitor.
std::vector<std::string> breakWords(std::string_view text, WordBreakOptions options = {});

}  // namespace pm
