#pragma once
// A set of 64-bit numbers kept as ranges of consecutive numbers.
//
// Runs hand out numbers from counters, so the numbers a run meets mostly
// follow one another: a set of a million of them is then a handful of
// ranges, where a node-based set would take some 48 bytes a number. Numbers
// in no order still cost at most 16 bytes each once folded: ranges are kept
// in a sorted flat array, and the ones added lately in a small map that is
// folded into the array when it grows.
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace pm {

class NumberSet {
public:
    // Adds `n`; false when it was there already.
    bool insert(std::uint64_t n);
    bool contains(std::uint64_t n) const;
    void clear();

    // Numbers held.
    std::uint64_t size() const { return size_; }
    // Ranges the numbers take (a measure of the memory held).
    std::size_t ranges() const;

private:
    struct Range {
        std::uint64_t first = 0, last = 0;  // inclusive
    };
    // Ranges added since the last fold, by first number; apart from each
    // other and from the folded ones' numbers (they may touch them).
    using Recent = std::map<std::uint64_t, std::uint64_t>;
    static constexpr std::size_t kFoldAt = 4096;

    bool inFolded(std::uint64_t n) const;
    void fold();

    std::vector<Range> folded_;  // sorted, apart, not touching
    Recent recent_;
    std::uint64_t size_ = 0;
};

// Both numbers of a pair as one key of a NumberSet; the second one varies
// fastest, so consecutive seconds under one first are consecutive keys.
inline std::uint64_t pairKey(std::uint32_t first, std::uint32_t second) {
    return (std::uint64_t{first} << 32) | second;
}

}  // namespace pm
