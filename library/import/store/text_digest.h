#pragma once
// A digest of a message text that rules out most non-duplicates without the
// text itself: the duplicate test of mail compares a new text with the digest
// of every stored mail of its minute, and reads a stored text only when the
// digest cannot rule it out.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pm {

// A remainder of fewer than 20 characters (the duplicate rule) has fewer
// than this many bytes.
inline constexpr std::size_t kDupRemainderBytes = 80;

// The digest of a stored text as textsAreDuplicates() sees it (dupRawText()
// and dupTrimmedText() of dup_string.h).
struct TextDigest {
    static constexpr std::size_t kTail = 96;       // trimmed bytes kept at the end
    static constexpr std::size_t kMarkReach = 256;  // marks over this many bytes before the end

    std::uint32_t rawBytes = 0;
    std::uint32_t trimmedBytes = 0;
    std::uint64_t trimmedHash = 0;  // of all trimmed bytes
    std::uint64_t headHash = 0;     // of the trimmed bytes before the tail
    std::string tail;               // the last kTail trimmed bytes (all when fewer)
    // Prefix hashes (markKey()) at the mark positions (markPositionAtOrBelow())
    // from kMarkReach before the trimmed end (or 0) up to it: a text that
    // may begin this one is found by its own mark (markOf()).
    std::vector<std::uint64_t> marks;
};

// The mark position at or below `bytes`: every 4th byte in the first 32
// (short texts are told apart early), every 32nd beyond.
std::size_t markPositionAtOrBelow(std::size_t bytes);

// The key of a mark: a prefix of `bytes` bytes with hash `hash`.
std::uint64_t markKey(std::size_t bytes, std::uint64_t hash);

// A text about to be stored, with the hash of every prefix of its trimmed
// bytes, so each comparison with a digest takes constant time (plus the
// tail's bytes).
class TextPrefixes {
public:
    explicit TextPrefixes(std::string_view text);

    TextDigest digest() const;

    // False when `stored` cannot be a duplicate of this text (exact: a hash
    // that differs means different bytes); true when it may be, and only
    // textsAreDuplicates() on both texts can tell.
    bool mayDuplicate(const TextDigest& stored) const;

    // Trimmed bytes of this text and of the text cut to its limit.
    std::size_t trimmedBytes() const { return trimmed_.size(); }
    std::size_t rawBytes() const { return raw_.size(); }
    // The hash of the first `bytes` trimmed bytes (at most trimmedBytes()).
    std::uint64_t prefixHash(std::size_t bytes) const { return hashes_[bytes]; }
    // The mark a stored text that this one may begin carries, unless it is
    // longer than this text by more than markReachBeyond() bytes.
    std::uint64_t markOf() const;
    std::size_t markReachBeyond() const;

private:
    std::string_view raw_;      // dupRawText()
    std::string_view trimmed_;  // dupTrimmedText()
    std::vector<std::uint64_t> hashes_;  // hashes_[n]: the first n trimmed bytes
};

// The digest of a text read from the store.
TextDigest digestOf(std::string_view text);

// Texts by their digests, each under a number, found by the hashes of their
// texts: the whole trimmed text (texts as long as, or shorter than, a new
// one) and the marks (longer ones), so a look-up does not visit every text.
class TextDigestIndex {
public:
    void add(std::uint32_t number, TextDigest digest);
    std::size_t size() const { return entries_.size(); }

    // Calls `confirm` with the number of each text the digests cannot rule
    // out as a duplicate of `text`, until it returns true; true then. Every
    // duplicate (textsAreDuplicates()) is offered.
    bool findDuplicate(const TextPrefixes& text, const std::function<bool(std::uint32_t)>& confirm) const;

private:
    struct Entry {
        std::uint32_t number = 0;
        TextDigest digest;
    };
    std::vector<Entry> entries_;
    std::unordered_multimap<std::uint64_t, std::uint32_t> byText_, byMark_;  // -> entry
    std::size_t longestTrail_ = 0;  // raw bytes past the trimmed end, most of all
};

}  // namespace pm
