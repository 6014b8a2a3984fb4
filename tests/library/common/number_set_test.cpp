#include "common/number_set.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <vector>

namespace pm {
namespace {

// Inserts `numbers` into a NumberSet and a std::set side by side; every
// answer of the NumberSet must be the std::set's.
void checkAgainstPlainSet(const std::vector<std::uint64_t>& numbers) {
    NumberSet set;
    std::set<std::uint64_t> plain;
    for (std::uint64_t n : numbers) {
        ASSERT_EQ(set.insert(n), plain.insert(n).second) << n;
        ASSERT_TRUE(set.contains(n)) << n;
    }
    EXPECT_EQ(set.size(), plain.size());
    for (std::uint64_t n : numbers)
        for (std::uint64_t probe : {n - 1, n, n + 1}) ASSERT_EQ(set.contains(probe), plain.count(probe) == 1) << probe;
    // A second round adds nothing.
    for (std::uint64_t n : numbers) ASSERT_FALSE(set.insert(n)) << n;
}

TEST(NumberSetTest, AnswersAsAPlainSetInEveryOrder) {
    std::mt19937_64 random(7);
    std::vector<std::uint64_t> ascending, descending, interleaved, scattered, doubled;
    for (std::uint64_t n = 1000; n < 21000; ++n) ascending.push_back(n);
    for (std::uint64_t n = 21000; n > 1000; --n) descending.push_back(n);
    // Two counters' numbers taken turn about (two databases filled at once).
    for (std::uint64_t n = 0; n < 20000; ++n) interleaved.push_back(n % 2 ? pairKey(3, n) : pairKey(4, n));
    // Enough numbers far apart that the recent ranges are folded many times.
    for (int i = 0; i < 30000; ++i) scattered.push_back(random() % 100000);
    // Ranges that grow towards each other from both ends and meet.
    for (std::uint64_t n = 0; n < 10000; ++n) {
        doubled.push_back(2 * n);
        doubled.push_back(40000 - 2 * n);
        doubled.push_back(2 * n + 1);
    }
    for (const auto* numbers : {&ascending, &descending, &interleaved, &scattered, &doubled}) {
        SCOPED_TRACE(numbers - &ascending);
        checkAgainstPlainSet(*numbers);
    }
}

TEST(NumberSetTest, ExtremesAndConsecutiveRunsStaySmall) {
    constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    NumberSet set;
    EXPECT_TRUE(set.insert(top));
    EXPECT_TRUE(set.insert(0));
    EXPECT_TRUE(set.insert(top - 1));
    EXPECT_TRUE(set.insert(1));
    EXPECT_FALSE(set.insert(top));
    EXPECT_FALSE(set.contains(2));
    EXPECT_FALSE(set.contains(top - 2));
    EXPECT_EQ(set.ranges(), 2u);

    // A million numbers of two counters, one after the other: two ranges,
    // whatever was folded on the way.
    set.clear();
    EXPECT_FALSE(set.contains(0));
    for (std::uint32_t n = 1; n <= 500000; ++n) ASSERT_TRUE(set.insert(pairKey(1, n)));
    for (std::uint32_t n = 1; n <= 500000; ++n) ASSERT_TRUE(set.insert(pairKey(2, n)));
    EXPECT_EQ(set.size(), 1000000u);
    EXPECT_EQ(set.ranges(), 2u);
    EXPECT_TRUE(set.contains(pairKey(2, 1)));
    EXPECT_FALSE(set.contains(pairKey(1, 500001)));
    EXPECT_FALSE(set.contains(pairKey(3, 1)));
}

}  // namespace
}  // namespace pm
