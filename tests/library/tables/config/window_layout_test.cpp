// Window positions, list column widths and the speed values.
#include <gtest/gtest.h>

#include "tables/config/browse_columns.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"
#include "settings_fixture.h"

namespace pm {
namespace {

using WindowLayout = test::SettingsTest;

std::string text(const WindowPlace& p) {
    return std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.width) + "," +
           std::to_string(p.height);
}

WindowPlace placeOf(bool (*service)(int, int, WindowPlace*), int slot) {
    WindowPlace p;
    EXPECT_TRUE(service(GetPosition, slot, &p));
    return p;
}

TEST_F(WindowLayout, StoringKeepsValuesOfAMinimizedOrOffScreenWindow) {
    WindowPlace before = placeOf(WindowPos, 4);
    struct Row {
        WindowPlace given;
        WindowPlace expected;
    };
    const Row rows[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}},
        {{11, 21, 2000, 201}, {11, 21, 300, 201}},     // width of 2,000: kept
        {{2500, 22, 301, 4000}, {11, 22, 301, 201}},   // left and height out
        {{1999, -1999, 1999, 1999}, {1999, -1999, 1999, 1999}},
        {{-2000, -32000, 5, 6}, {1999, -1999, 5, 6}},  // minimized: far to the left and top
    };
    ASSERT_NE(text(before), "10,20,300,200");
    for (const Row& r : rows) {
        WindowPlace given = r.given;
        ASSERT_TRUE(WindowPos(StorePosition, 4, &given));
        EXPECT_EQ(text(placeOf(WindowPos, 4)), text(r.expected)) << text(r.given);
    }
    EXPECT_FALSE(WindowPos(GetPosition, 0, &before));
    EXPECT_FALSE(WindowPos(StorePosition, 26, &before));
    EXPECT_FALSE(WindowPos(GetPosition, 1, nullptr));
}

TEST_F(WindowLayout, BothSetsAreSeparateSavedAndResetToTheBuiltInTable) {
    const WindowPlace builtIn = placeOf(WindowPos, 25);
    const WindowPlace builtIn2 = placeOf(WindowPos2, 25);
    EXPECT_GT(builtIn.width, 0);
    EXPECT_GT(builtIn2.height, 0);
    WindowPlace a{1, 2, 3, 4}, b{5, 6, 7, 8};
    ASSERT_TRUE(WindowPos(StorePosition, 25, &a));
    ASSERT_TRUE(WindowPos2(StorePosition, 25, &b));
    ASSERT_TRUE(WindowPos(SavePositions));
    ASSERT_TRUE(WindowPos2(SavePositions));
    // Stored as four arrays of 25: slot 25's left is the 25th short.
    EXPECT_EQ(blockShort(stored(3)->block, 48), 1);
    EXPECT_EQ(blockShort(stored(3)->block, 198), 4);
    EXPECT_EQ(blockShort(stored(8)->block, 148), 7);

    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_EQ(text(placeOf(WindowPos, 25)), "1,2,3,4");
    EXPECT_EQ(text(placeOf(WindowPos2, 25)), "5,6,7,8");
    // The defaults records were written once and stay as built in.
    EXPECT_EQ(blockShort(stored(2)->block, 148), builtIn.width);

    ASSERT_TRUE(WindowPos(ResetPositions));
    EXPECT_EQ(text(placeOf(WindowPos, 25)), text(builtIn));
    EXPECT_EQ(text(placeOf(WindowPos2, 25)), "5,6,7,8");
}

TEST_F(WindowLayout, ColumnWidthsTakeOnlyTheListsColumnsExceptInTheStringSlots) {
    ColumnWidths builtIn;
    ASSERT_TRUE(ListCol(ApplyColumns, 7, &builtIn));
    ColumnWidths mine{11, 12, 13, 14, 15};
    ASSERT_TRUE(ListCol(TakeColumns, 7, &mine, 3));
    ColumnWidths now;
    ASSERT_TRUE(ListCol(ApplyColumns, 7, &now));
    EXPECT_EQ(now, (ColumnWidths{11, 12, 13, builtIn[3], builtIn[4]}));

    // Slots 1 and 2 keep all five, from their lists' 10-byte strings.
    const std::string packed = packColumnWidths({21, 22, 23, 24, -25});
    ASSERT_EQ(packed.size(), 10u);
    ColumnWidths fromString = unpackColumnWidths(packed);
    EXPECT_EQ(fromString, (ColumnWidths{21, 22, 23, 24, -25}));
    ASSERT_TRUE(ListCol(TakeColumns, 2, &fromString, 2));
    ASSERT_TRUE(ListCol(ApplyColumns, 2, &now));
    EXPECT_EQ(now, fromString);
    EXPECT_FALSE(ListCol(TakeColumns, 21, &mine, 5));

    ASSERT_TRUE(ListCol(SaveColumns));
    // Five arrays of 20: slot 7's third width is short 2 * 20 + 6.
    EXPECT_EQ(blockShort(stored(6)->block, 2 * (2 * 20 + 6)), 13);
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    ASSERT_TRUE(ListCol(ApplyColumns, 7, &now));
    EXPECT_EQ(now[2], 13);
    ASSERT_TRUE(ListCol(ResetColumns));
    ASSERT_TRUE(ListCol(ApplyColumns, 7, &now));
    EXPECT_EQ(now, builtIn);
}

TEST_F(WindowLayout, BrowseColumnWidthsAreSavedBesideWhatAnotherProgramSaved) {
    EXPECT_EQ(browseColumnWidths(BrowseMailMessages), BrowseColumnWidths{});  // none stored: the lists' own
    storeBrowseColumnWidth(BrowseMailMessages, 2, 180);
    storeBrowseColumnWidth(BrowsePersons, 9, 55);
    // Not kept: a width off the screen or none, a column past the tenth, a slot past the twentieth.
    storeBrowseColumnWidth(BrowsePersons, 0, 2000);
    storeBrowseColumnWidth(BrowsePersons, 1, 0);
    storeBrowseColumnWidth(BrowsePersons, 10, 70);
    storeBrowseColumnWidth(21, 0, 70);
    EXPECT_EQ(browseColumnWidths(BrowsePersons), (BrowseColumnWidths{0, 0, 0, 0, 0, 0, 0, 0, 0, 55}));
    EXPECT_EQ(browseColumnWidths(21), BrowseColumnWidths{});

    // Meanwhile another program saved widths of a list of its own.
    test::StoredControl other;
    setBlockShort(other.block, 2 * (0 * 10 + 4), 99);  // slot 1, fifth column
    store(19, other);
    ASSERT_TRUE(saveBrowseColumns());
    ASSERT_TRUE(stored(19));
    EXPECT_EQ(blockShort(stored(19)->block, 2 * 4), 99);
    EXPECT_EQ(blockShort(stored(19)->block, 2 * ((BrowseMailMessages - 1) * 10 + 2)), 180);
    EXPECT_FALSE(stored(20));  // no slot of the second record changed

    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_EQ(browseColumnWidths(BrowseMailMessages)[2], 180);
    EXPECT_EQ(browseColumnWidths(BrowseForumMessages)[4], 99);
    EXPECT_EQ(browseColumnWidths(BrowsePersons)[9], 55);
    resetBrowseColumns();
    ASSERT_TRUE(saveBrowseColumns());
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_EQ(browseColumnWidths(BrowseMailMessages), BrowseColumnWidths{});
}

TEST_F(WindowLayout, SpeedSlidersDoubleOrHalveTheSliceAroundTheDefault) {
    struct Row {
        LONG slider;
        int importSlice;
        int indexingSlice;
    };
    const Row rows[] = {{1, 13, 4},     {2, 25, 7},     {3, 50, 13},    {4, 100, 25},
                        {5, 200, 50},   {6, 400, 100},  {7, 800, 200},  {12, 800, 200}, {-3, 13, 4}};
    for (const Row& r : rows) {
        ASSERT_TRUE(setConfigValue(SpeedImportMerge, r.slider));
        ASSERT_TRUE(setConfigValue(SpeedIndexing, r.slider));
        ASSERT_TRUE(loadSpeedValues());
        EXPECT_EQ(SpeedVal(SpeedImportMerge), r.importSlice) << r.slider;
        EXPECT_EQ(SpeedVal(SpeedIndexing), r.indexingSlice) << r.slider;
    }
    // A slider stored as 0 reads as its default position at the next start.
    ASSERT_TRUE(setConfigValue(SpeedCountPurge, 0));
    ASSERT_NE(restart(), StartupOutcome::Aborted);
    EXPECT_EQ(SpeedVal(SpeedCountPurge), 200);
    EXPECT_EQ(SpeedVal(SpeedFindText), 200);
    EXPECT_EQ(SpeedVal(SpeedDuplicates), 100);
}

}  // namespace
}  // namespace pm
