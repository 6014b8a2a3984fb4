// Konfig and AutoPath: record creation, defaults at load, the counter floor,
// items surviving a restart, and the program error of an unknown item.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/date_formats.h"
#include "common/dates.h"
#include "common/fatal_error.h"
#include "common/globals.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"
#include "tables/identifiers/next_number.h"
#include "settings_fixture.h"

namespace pm {
namespace {

using Konfig_ = test::SettingsTest;
using ::testing::HasSubstr;

TEST_F(Konfig_, FreshInstallationHasEveryRecordAndStartsTheCounterAt250000) {
    for (int id = 1; id <= 17; ++id) EXPECT_TRUE(stored(static_cast<BYTE>(id)).has_value()) << "record " << id;
    EXPECT_EQ(stored(1)->nextNumber, 250000u);
    EXPECT_EQ(makeDatabase(TypeForum, "First"), 250000u);
    EXPECT_EQ(stored(1)->nextNumber, 250001u);
    EXPECT_TRUE(ui.empty());
}

TEST_F(Konfig_, CounterBelowTheFloorIsRaisedAtTheNextStartAndAHigherOneKept) {
    for (ULONG storedCounter : {1u, 249999u, 250000u, 731000u}) {
        auto record = *stored(1);
        record.nextNumber = storedCounter;
        store(1, record);
        ASSERT_NE(restart(), StartupOutcome::Aborted);
        EXPECT_EQ(stored(1)->nextNumber, std::max<ULONG>(storedCounter, 250000u)) << storedCounter;
    }
    // Saving the general block keeps a counter advanced meanwhile.
    OP_CLOSE(OpenShared, {8});
    EXPECT_EQ(NextNr(), 731000u);
    OP_CLOSE(ReleaseTable, {8});
    EXPECT_TRUE(Konfig(SaveGeneral));
    EXPECT_EQ(stored(1)->nextNumber, 731001u);
}

TEST_F(Konfig_, ItemsStoredAsZeroOrBlankTakeTheirDefaultsAtLoad) {
    // Wipe every block, then start again on a fixed day.
    for (BYTE id : {1, 9, 17}) store(id, {id == 1 ? 250000u : 0u, {}});
    TestClock clock({dayNumber(2001, 3, 4), 0});
    ScopedClock scoped(clock);
    ASSERT_NE(restart(), StartupOutcome::Aborted);
    struct Row {
        int item;
        LONG expected;
    };
    const Row rows[] = {
        {2, 1},   {3, 15},        {4, 1},       {5, dayNumber(2001, 3, 4)}, {6, 0},   {9, 1},   {10, 17},
        {11, 401}, {12, 17},      {13, 7},      {16, 2},                    {19, 0},  {22, 255}, {23, 12632256},
        {24, 8388608}, {25, 255}, {26, 4},      {27, 4},  {28, 4}, {29, 4}, {30, 4},  {32, 0},   {37, 0},
        {38, 1},  {39, 1},        {40, 0},      {42, 0},  {46, 0}, {47, 0}, {48, 0},  {57, 0},   {58, 78},
        {59, 1},  {60, 0},        {61, 1},      {62, 1},  {63, 3},
    };
    for (const Row& r : rows) EXPECT_EQ(configValue(r.item), r.expected) << "item " << r.item;
    for (int font = 33; font <= 36; ++font) {
        EXPECT_EQ(configText(font), "Arial") << font;
        EXPECT_EQ(configValue(font), 8) << font;
    }
    EXPECT_EQ(configText(14), "");
    // The defaults went back to the store with the load.
    EXPECT_EQ(blockLong(stored(9)->block, 4), 12632256);
}

TEST_F(Konfig_, AStoredValueIsKeptAndAZeroRevertsToTheDefault) {
    ASSERT_TRUE(setConfigValue(3, 0));
    ASSERT_TRUE(setConfigValue(10, 6));
    ASSERT_TRUE(setConfigValue(59, 0));
    ASSERT_TRUE(setConfigValue(63, 7));
    ASSERT_NE(restart(), StartupOutcome::Aborted);
    EXPECT_EQ(configValue(3), 15);
    EXPECT_EQ(configValue(10), 6);
    EXPECT_EQ(configValue(59), 1);
    EXPECT_EQ(configValue(63), 7);
}

TEST_F(Konfig_, SettingsSurviveARestartAndUnsavedChangesDoNot) {
    LONG size = 0;
    std::string path = "/archive/import files/ünïcode";
    ASSERT_TRUE(Konfig(SetGeneral, 14, &size, &path));
    LONG database = 250123;
    ASSERT_TRUE(Konfig(SetGeneral, 6, &database));
    ASSERT_TRUE(Konfig(SaveGeneral));
    std::string font = "Courier New";
    LONG fontSize = 11;
    ASSERT_TRUE(Konfig(SetDisplay, 35, &fontSize, &font));
    LONG colour = 0x00FF00;
    ASSERT_TRUE(Konfig(SetDisplay, 22, &colour));
    ASSERT_TRUE(Konfig(SaveDisplay));
    LONG output = 2;
    ASSERT_TRUE(Konfig(SetOutput, 61, &output));
    ASSERT_TRUE(Konfig(SaveOutput));
    // Changed in memory only: the restart forgets it.
    LONG forgotten = 99;
    ASSERT_TRUE(Konfig(SetGeneral, 3, &forgotten));

    ASSERT_EQ(restart(), StartupOutcome::Ready);
    std::string text;
    EXPECT_TRUE(Konfig(GetGeneral, 14, nullptr, &text));
    EXPECT_EQ(text, path);
    EXPECT_EQ(configValue(6), 250123);
    EXPECT_TRUE(Konfig(GetDisplay, 35, &fontSize, &text));
    EXPECT_EQ(text, "Courier New");
    EXPECT_EQ(fontSize, 11);
    EXPECT_EQ(configValue(22), 0x00FF00);
    EXPECT_EQ(configValue(61), 2);
    EXPECT_EQ(configValue(3), 15);
}

TEST_F(Konfig_, TextsAreCutToTheirWidthWithoutSplittingACharacter) {
    std::string longPath(99, 'a');
    longPath += "é";  // two bytes, only one fits
    ASSERT_TRUE(setConfigText(14, longPath));
    EXPECT_EQ(configText(14), std::string(99, 'a'));
    ASSERT_TRUE(setConfigText(34, "A font name of thirty bytes!!"));
    EXPECT_EQ(configText(34), "A font name of thirt");  // 20 bytes
}

TEST_F(Konfig_, AnItemABlockDoesNotHoldEndsTheProgramForGeneralAndDirectoryItems) {
    LONG v = 0;
    std::string text;
    for (int item : {0, 1, 7, 8, 15, 17, 18, 20}) {
        try {
            Konfig(GetGeneral, item, &v);
            ADD_FAILURE() << "no fatal error for general item " << item;
        } catch (const FatalError& e) {
            EXPECT_THAT(e.text(), HasSubstr("Internal Error - invalid xType")) << item;
        }
        EXPECT_THROW(Konfig(SetGeneral, item, &v), FatalError) << item;
    }
    EXPECT_THROW(AutoPath(3, 19, &text), FatalError);
    EXPECT_THROW(AutoPath(2, 44, &text), FatalError);
    BYTE b = 0;
    EXPECT_THROW(WSVars(3, 48, &text, &b, &v), FatalError);
    EXPECT_THROW(SpeedVal(31), FatalError);

    // Display and output operations pass over numbers they do not hold.
    v = 12345;
    for (int item : {21, 44, 49, 56, 61}) EXPECT_FALSE(Konfig(SetDisplay, item, &v)) << item;
    for (int item : {60, 64}) EXPECT_FALSE(Konfig(GetOutput, item, &v)) << item;
    EXPECT_EQ(v, 12345);
    EXPECT_FALSE(Konfig(5, 2, &v));  // no such operation
}

TEST_F(Konfig_, StoredDateAndTimeCodesGiveTheirPicturesAndAnUnknownCodeNone) {
    struct Row {
        LONG code;
        const char* picture;
    };
    for (const Row& r : {Row{2, "@D2-"}, Row{6, "@D6-"}, Row{10, "@D10-"}, Row{17, "@D17"}, Row{5, ""},
                         Row{18, ""}}) {
        ASSERT_TRUE(setConfigValue(10, r.code));
        ASSERT_NE(restart(), StartupOutcome::Aborted);
        std::string description, picture;
        EXPECT_EQ(SetDate(configValue(10), description, picture), r.code);
        EXPECT_EQ(picture, r.picture) << r.code;
        EXPECT_EQ(description.empty(), std::string(r.picture).empty()) << r.code;
    }
    ASSERT_TRUE(setConfigValue(13, 4));
    std::string description, picture = "x";
    SetTime(configValue(13), description, picture);
    EXPECT_EQ(picture, "");
}

TEST_F(Konfig_, DirectoriesDefaultToTheRootAndBlankItemsReadAsDefaults) {
    std::string temporary, databases;
    ASSERT_TRUE(AutoPath(3, 17, &temporary));
    ASSERT_TRUE(AutoPath(3, 18, &databases));
    EXPECT_EQ(temporary, root / "TEMP");
    EXPECT_EQ(databases, root.path());
    EXPECT_EQ(Mem.TempDir, root / "TEMP");

    store(4, {0, {}});  // both blank (NUL bytes)
    ASSERT_TRUE(AutoPath(1));
    ASSERT_TRUE(AutoPath(3, 18, &databases));
    EXPECT_EQ(databases, root.path());
    std::string other = "/elsewhere";
    ASSERT_TRUE(AutoPath(2, 18, &other));
    ASSERT_TRUE(AutoPath(4));
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), "/elsewhere");
    EXPECT_EQ(blockText(stored(4)->block, 0, 100), "TEMP");
}

TEST_F(Konfig_, DirectoriesBelowTheRootAreStoredRelativeToIt) {
    std::string data = root / "data/files";
    ASSERT_TRUE(AutoPath(2, 18, &data));
    std::string words = root.path();
    ASSERT_TRUE(WSVars(2, 44, &words));
    ASSERT_TRUE(AutoPath(4));
    ASSERT_TRUE(WSVars(4));
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), "data/files");
    EXPECT_EQ(blockText(stored(10)->block, 0, 100), ".");
    std::string read;
    ASSERT_TRUE(AutoPath(3, 18, &read));
    EXPECT_EQ(read, root / "data/files");
    ASSERT_TRUE(WSVars(3, 44, &read));
    EXPECT_EQ(read, root.path());

    // Written in full by an older version: stored relative at the next load.
    test::StoredControl old = *stored(4);
    setBlockText(old.block, 0, 100, root / "TEMP");
    setBlockText(old.block, 100, 100, root / "data/files");
    store(4, old);
    ASSERT_TRUE(AutoPath(1));
    EXPECT_EQ(blockText(stored(4)->block, 0, 100), "TEMP");
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), "data/files");
    // A directory elsewhere, or beside the root under a longer name, stays whole.
    EXPECT_EQ(storedDirectoryText("/elsewhere/data"), "/elsewhere/data");
    EXPECT_EQ(storedDirectoryText(root.path() + "-other/data"), root.path() + "-other/data");
    EXPECT_EQ(storedDirectoryText(root / "x/../y/"), "y");
    EXPECT_EQ(directoryFromStored("y"), root / "y");
    EXPECT_EQ(directoryFromStored("/abs"), "/abs");
}

}  // namespace
}  // namespace pm
