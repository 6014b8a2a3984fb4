// The start-up settings: first start, upgrade, lost directories and the
// engine half of NewPath.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/control_blocks.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"
#include "settings_fixture.h"
#include "support/other_process.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using Startup = test::SettingsTest;

// The message names the directory that is missing.
std::string dataPathLost(const std::string& path) {
    return "The path to your data files cannot be found!\r\n" + path + "\r\nUpdate file path on next screen\r\n";
}
std::string wordPathLost(const std::string& path) {
    return "The path to your word indexing files cannot be found!\r\n" + path +
           "\r\nUpdate file path on next screen\r\n";
}

// Answers NewPath with a given directory (or gives up when it is empty).
class ScriptedPrompts final : public StartupPrompts {
public:
    explicit ScriptedPrompts(std::string answer) : answer_(std::move(answer)) {}
    bool askNewPath(int kind) override {
        kinds.push_back(kind);
        return !answer_.empty() && storeNewPath(kind, answer_);
    }
    std::vector<int> kinds;

private:
    std::string answer_;
};

TEST(StartupFresh, ANewInstallationIsAFirstStartAndTheNextIsReady) {
    test::TempDir root;
    test::RecorderScope recorder;
    Mem = MemGlobals{};
    EXPECT_FALSE(installationExists(root.path()));
    EXPECT_EQ(runStartupSettings(root.path(), nullptr), StartupOutcome::FirstStart);
    EXPECT_TRUE(installationExists(root.path()));
    EXPECT_TRUE(fs::is_directory(root / "CFG"));
    EXPECT_TRUE(fs::is_directory(root / "TEMP"));
    EXPECT_EQ(configValue(11), 401);
    closeAllTables();
    closeStorage();
    EXPECT_EQ(runStartupSettings(root.path(), nullptr), StartupOutcome::Ready);
    EXPECT_TRUE(recorder.ui.empty());
    closeAllTables();
    closeStorage();
}

TEST_F(Startup, OldSettingsAreUpgradedWithAMessageAndTheWindowTablesReset) {
    WindowPlace moved{7, 7, 333, 222};
    ASSERT_TRUE(WindowPos(StorePosition, 3, &moved));
    ASSERT_TRUE(WindowPos(SavePositions));
    ColumnWidths narrow{1, 1, 1, 1, 1};
    ASSERT_TRUE(ListCol(TakeColumns, 9, &narrow, 5));
    ASSERT_TRUE(ListCol(SaveColumns));
    for (LONG oldVersion : {0, 399}) {
        ASSERT_TRUE(setConfigValue(11, oldVersion));
        ui.clear();
        EXPECT_EQ(restart(), StartupOutcome::Ready) << oldVersion;  // not a first start: Control existed
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.last().caption, "Upgrading to version 4.01");
        EXPECT_EQ(ui.last().text,
                  "This new version needs new default values! All window positions, window sizes and list box "
                  "column widths will be reset to default!");
        EXPECT_EQ(configValue(11), 401);
    }
    WindowPlace now;
    ASSERT_TRUE(WindowPos(GetPosition, 3, &now));
    EXPECT_NE(now.width, 333);
    ColumnWidths widths;
    ASSERT_TRUE(ListCol(ApplyColumns, 9, &widths));
    EXPECT_NE(widths[0], 1);
    // Reset and saved: a further start finds nothing to upgrade.
    ui.clear();
    EXPECT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_TRUE(ui.empty());
    ASSERT_TRUE(WindowPos(GetPosition, 3, &now));
    EXPECT_NE(now.width, 333);
    EXPECT_EQ(stored(1)->nextNumber, 250000u);
}

TEST_F(Startup, ALostDatabaseDirectoryAbortsWithoutPromptsAndIsAskedForWithThem) {
    const std::string gone = root / "gone";
    std::string path = gone;
    ASSERT_TRUE(AutoPath(2, 18, &path));
    ASSERT_TRUE(AutoPath(4));

    ui.clear();
    EXPECT_EQ(restart(nullptr), StartupOutcome::Aborted);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Path not found!");
    EXPECT_EQ(ui.last().text, dataPathLost(gone));

    ScriptedPrompts givesUp("");
    EXPECT_EQ(restart(&givesUp), StartupOutcome::Aborted);
    EXPECT_EQ(givesUp.kinds, std::vector<int>{1});

    const std::string fresh = root / "databases";
    fs::create_directory(fresh);
    ScriptedPrompts answers(fresh);
    ui.clear();
    EXPECT_EQ(restart(&answers), StartupOutcome::Ready);
    EXPECT_EQ(answers.kinds, std::vector<int>{1});
    EXPECT_EQ(Mem.FileDir, fresh);
    // The word index follows the new top directory unless it has its own.
    EXPECT_EQ(MasIdxPath, root.path());
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), "databases");  // below the root: relative
    ui.clear();
    EXPECT_EQ(restart(nullptr), StartupOutcome::Ready);
    EXPECT_EQ(Mem.FileDir, fresh);
    EXPECT_TRUE(ui.empty());
}

TEST_F(Startup, ALostWordIndexDirectoryIsAskedForSecond) {
    const std::string words = root / "words";
    fs::create_directory(words);
    std::string path = words;
    ASSERT_TRUE(WSVars(2, 44, &path));
    ASSERT_TRUE(WSVars(4));
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_EQ(MasIdxPath, words);

    fs::remove(words);
    ui.clear();
    EXPECT_EQ(restart(nullptr), StartupOutcome::Aborted);
    EXPECT_EQ(ui.last().caption, "Path not found!");
    EXPECT_EQ(ui.last().text, wordPathLost(words));

    const std::string other = root / "index";
    fs::create_directory(other);
    ScriptedPrompts answers(other);
    EXPECT_EQ(restart(&answers), StartupOutcome::Ready);
    EXPECT_EQ(answers.kinds, std::vector<int>{2});
    EXPECT_EQ(MasIdxPath, other);
    EXPECT_EQ(Mem.FileDir, root.path());
}

TEST_F(Startup, ALostTemporaryDirectoryFallsBackToTheRootsAndIsCreated) {
    std::string elsewhere = root / "elsewhere-temp";
    ASSERT_TRUE(changeDirectory(17, elsewhere));
    EXPECT_TRUE(fs::is_directory(elsewhere));
    EXPECT_EQ(Mem.TempDir, elsewhere);
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_EQ(Mem.TempDir, elsewhere);

    closeAllTables();
    closeStorage();
    fs::remove_all(elsewhere);
    fs::remove_all(root / "TEMP");
    ASSERT_EQ(runStartupSettings(root.path(), nullptr), StartupOutcome::Ready);
    EXPECT_EQ(Mem.TempDir, root / "TEMP");
    EXPECT_TRUE(fs::is_directory(root / "TEMP"));
    EXPECT_EQ(blockText(stored(4)->block, 0, 100), "TEMP");  // below the root: relative
    EXPECT_TRUE(ui.empty());
}

// A start that only reads runs its loads in a read pass first: a change
// there is noted, not written, and written only outside the pass.
TEST_F(Startup, AReadPassHoldsBackControlWritesAndNotesThem) {
    const test::StoredControl before = *stored(4);
    ControlBlock changed = before.block;
    setBlockText(changed, 0, 100, "other-temp");
    {
        ControlReadPass pass;
        EXPECT_TRUE(saveControlBlock(4, before.block));
        EXPECT_FALSE(pass.writeWanted());  // stored as it stands: nothing to write
        EXPECT_TRUE(saveControlBlock(4, changed));
        EXPECT_TRUE(addControlBlock(99, changed));
        EXPECT_TRUE(pass.writeWanted());
    }
    EXPECT_EQ(stored(4)->block, before.block);
    EXPECT_FALSE(stored(99).has_value());
    EXPECT_TRUE(saveControlBlock(4, changed));
    EXPECT_EQ(blockText(stored(4)->block, 0, 100), "other-temp");
    EXPECT_TRUE(ui.empty());
}

// The loads share one read transaction each, the table's opening too: when
// the start is over, none of them may still hold the store, whether the
// start only read or had to write a missing record.
TEST_F(Startup, AStartLeavesTheConfigurationStoreFreeForOthers) {
    const std::string store = root / "CFG/postmoor.db";
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_TRUE(test::otherProcessCanLockAlone(store));
    erase(10);
    ASSERT_EQ(restart(), StartupOutcome::Ready);
    EXPECT_TRUE(stored(10).has_value());
    EXPECT_TRUE(test::otherProcessCanLockAlone(store));
    EXPECT_TRUE(ui.empty());
}

TEST_F(Startup, StoreNewPathTakesOnlyAnExistingDirectory) {
    const std::string missing = root / "missing";
    EXPECT_FALSE(storeNewPath(1, missing));
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(Mem.FileDir, root.path());
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), ".");
    EXPECT_FALSE(storeNewPath(3, root.path()));

    const std::string there = root / "there";
    fs::create_directory(there);
    EXPECT_TRUE(storeNewPath(1, there + "/"));
    EXPECT_EQ(Mem.FileDir, there);
    EXPECT_EQ(blockText(stored(4)->block, 100, 100), "there");
    EXPECT_TRUE(storeNewPath(2, there));
    EXPECT_EQ(MasIdxPath, there);
    EXPECT_EQ(blockText(stored(10)->block, 0, 100), "there");
}

}  // namespace
}  // namespace pm
