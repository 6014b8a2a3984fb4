// Command mode's progress lines.
#include <gtest/gtest.h>

#include "cli/stderr_user_interface.h"

namespace pm::cli {
namespace {

TEST(ProgressLine, NamesThePhaseAndTheCountersByTheirCaptions) {
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
