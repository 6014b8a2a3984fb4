// Counts in command mode's sentences and progress lines.
#include <gtest/gtest.h>

#include "cli/plain_text.h"
#include "cli/stderr_user_interface.h"

namespace pm::cli {
namespace {

TEST(PlainText, CountsAreGroupedAndTakeTheirNounInTheRightNumber) {
    EXPECT_EQ(countOf(0, "message"), "0 messages");
    EXPECT_EQ(countOf(1, "message"), "1 message");
    EXPECT_EQ(countOf(59819, "message"), "59,819 messages");
    EXPECT_EQ(countOf(1, "database"), "1 database");
    EXPECT_EQ(countOf(2, "index", "indexes"), "2 indexes");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(groupedNumber(1000), "1,000");
    EXPECT_EQ(groupedNumber(-1234567), "-1,234,567");
    EXPECT_EQ(groupedNumber(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(PlainText, AProgressLineNamesThePhaseAndTheCountersByTheirCaptions) {
    ProgressReport r;
    r.title = " PRO Word Indexing [My Mail] ";
    r.phase = "indexing messages";
    r.counters = {{"messages", 1200}, {"of", 3000}};
    r.captions = {{"messages", "Messages indexed"}};
    r.percent = 40;
    EXPECT_EQ(progressLine(r), "PRO Word Indexing [My Mail] - indexing messages: Messages indexed 1,200, of 3,000 (40%)");
    r.counters.clear();
    r.percent = -1;
    r.phase.clear();
    EXPECT_EQ(progressLine(r), "PRO Word Indexing [My Mail]");
}

}  // namespace
}  // namespace pm::cli
