// Where hit words stand in a text, for highlighting.
#include <gtest/gtest.h>

#include "wordindex/hit_positions.h"

namespace pm {
namespace {

using P = std::vector<HitPosition>;

TEST(HitPositions, EveryEqualWordInTextOrderWithCharacterPositions) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
        P positions;
    };
    const Case cases[] = {
        {"Windows and windows. WINDOWSXP", {"windows"}, {{1, 7}, {13, 19}}},
        {"Edit win.ini, not win", {"WIN.INI", "win"}, {{6, 12}, {19, 21}}},
        // Characters, not bytes: "Ärger" is five characters.
        {"Ärger über Ärger", {"ärger"}, {{1, 5}, {12, 16}}},
        // No caret drop and no 40-character cut on the text side.
        {"^caret", {"^CARET"}, {{1, 6}}},
        {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopq", {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN"}, {}},
        {"nothing to see", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        P positions{{99, 99}};
        BUILDWORDPOSQ1(c.text, std::string_view(c.text).size(), positions, c.words);
        EXPECT_EQ(positions, c.positions);
    }
    P positions{{99, 99}};
    BUILDWORDPOSQ("Windows and windows", 11, "windows", positions);  // only the first 11 bytes
    EXPECT_EQ(positions, (P{{1, 7}}));
}

}  // namespace
}  // namespace pm
