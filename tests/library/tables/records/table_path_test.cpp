// The file names of the tables by the path rule, and when the word-index
// directory of the active database is made.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/globals.h"
#include "support/test_root.h"
#include "tables/records/registry.h"
#include "tables/records/table_path.h"

namespace pm {
namespace {

namespace fs = std::filesystem;

struct TablePath : ::testing::Test {
    test::TempDir root;

    void SetUp() override {
        Mem.Net = "/pm/root  ";
        Mem.FileDir = "/pm/data ";
        Mem.TempDir = "/pm/tmp ";
        Mem.Dirnamn = "F3   ";
        MasIdxPath = Mem.FileDir;
        FileTmpName = "/import/NAVCIS/HRE.DBF ";
    }
    void TearDown() override {
        Mem = MemGlobals{};
        MasIdxPath.clear();
        FileTmpName.clear();
    }
};

TEST_F(TablePath, NamesFollowTheLocationOfEachTable) {
    const std::pair<int, const char*> expected[] = {
        {2, "/pm/root/CFG/IDX002.TPS"},   {8, "/pm/root/CFG/IDX008.TPS"},
        {42, "/pm/root/CFG/IDX042.TPS"},  {3, "/pm/data/F3/IDX003.TPS"},
        {22, "/pm/data/F3/IDX022.DAT"},   {1, "/pm/data/F3/IDX001.TPS"},
        {10, "/pm/tmp/IDX010.TPS"},       {32, "/pm/tmp/IDX032.TPS"},
        {28, "/pm/data/F3/IDX028.DAT"},   {29, "/pm/data/F3/IDX029.TPS"},
        {33, "/pm/data/F3/IDX033.DAT"},   {39, "/pm/data/F3/IDX039.TPS"},
        {11, "/import/NAVCIS/HRE.DBF "},  {12, "/import/NAVCIS/HRE.DBF "},
    };
    for (auto [number, name] : expected) EXPECT_EQ(tableFileName(number), name) << number;

    MasIdxPath = "/pm/words";
    EXPECT_EQ(tableFileName(28), "/pm/words/F3/IDX028.DAT");
    EXPECT_EQ(tableFileName(3), "/pm/data/F3/IDX003.TPS");
    EXPECT_EQ(tableBaseName(22), "IDX022.DAT");
    EXPECT_EQ(tableBaseName(12), "");
}

TEST_F(TablePath, ABlankPartOrAnUnknownNumberGivesNoName) {
    for (int n : {0, 14, 36, 43, -5}) EXPECT_EQ(tableFileName(n), "") << n;

    Mem.Dirnamn = "  ";
    EXPECT_EQ(tableFileName(3), "");
    EXPECT_EQ(tableFileName(28), "");
    EXPECT_EQ(tableFileName(2), "/pm/root/CFG/IDX002.TPS");
    Mem.Net = " ";
    EXPECT_EQ(tableFileName(2), "");
    Mem.TempDir.clear();
    EXPECT_EQ(tableFileName(10), "");
    FileTmpName.clear();
    EXPECT_EQ(tableFileName(12), "");
    Mem.Dirnamn = "F3";
    MasIdxPath = "";
    EXPECT_EQ(tableFileName(29), "");
}

TEST_F(TablePath, TheWordIndexDirectoryIsMadeOnlyWhenTheTopDirectoriesDiffer) {
    fs::create_directory(root / "Data");
    fs::create_directory(root / "Words");
    Mem.FileDir = root / "Data";
    Mem.Dirnamn = "F3";

    // Equal tops, even in other letter case: the word index lives in the
    // database directory and nothing is made.
    for (const char* top : {"Data", "DATA", "data "}) {
        MasIdxPath = root / top;
        const std::string trimmedTop = root / std::string(top).substr(0, 4);
        EXPECT_EQ(tableFileName(29), trimmedTop + "/F3/IDX029.TPS");
        EXPECT_FALSE(fs::exists(trimmedTop + "/F3")) << top;
    }

    // A table of the database directory never makes a word-index directory.
    MasIdxPath = root / "Words";
    EXPECT_EQ(tableFileName(3), root / "Data/F3/IDX003.TPS");
    EXPECT_FALSE(fs::exists(root / "Words/F3"));

    for (int number : {28, 29, 33, 39}) {
        fs::remove(root / "Words/F3");
        EXPECT_EQ(tableFileName(number), root / "Words/F3/" + tableBaseName(number));
        EXPECT_TRUE(fs::is_directory(root / "Words/F3")) << number;
    }
    // An existing directory is fine; a missing top makes nothing and leaves
    // the open to report the path.
    EXPECT_EQ(tableFileName(28), root / "Words/F3/IDX028.DAT");
    MasIdxPath = root / "Gone";
    EXPECT_EQ(tableFileName(28), root / "Gone/F3/IDX028.DAT");
    EXPECT_FALSE(fs::exists(root / "Gone"));
}

}  // namespace
}  // namespace pm
