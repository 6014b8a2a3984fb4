// Counts as sentences show them: grouped digits, the noun in the right number.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/counts.h"

namespace pm {
namespace {

TEST(Counts, AreGroupedAndTakeTheirNounInTheRightNumber) {
    EXPECT_EQ(countOf(0, "message"), "0 messages");
    EXPECT_EQ(countOf(1, "message"), "1 message");
    EXPECT_EQ(countOf(59819, "message"), "59,819 messages");
    EXPECT_EQ(countOf(2, "index", "indexes"), "2 indexes");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(groupedNumber(1000), "1,000");
    EXPECT_EQ(groupedNumber(-1234567), "-1,234,567");
    EXPECT_EQ(groupedNumber(INT64_MIN), "-9,223,372,036,854,775,808");
}

}  // namespace
}  // namespace pm
