// Deleting the active database: files, directories, catalog record and the
// import procedures that named it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/globals.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_deletion.h"
#include "tables/records/all_tables.h"
#include "tables/records/table_path.h"
#include "support/installation_fixture.h"

namespace pm {
namespace {

namespace fs = std::filesystem;

class DatabaseDeletionTest : public test::InstallationTest {
protected:
    // Opens (and so creates) a few tables of the active database.
    void fillActiveDatabase() {
        OP_CLOSE(OpenShared, {3, 4, 5, 29});
        OP_CLOSE(ReleaseTable, {3, 4, 5, 29});
    }

    void addProcedure(ULONG id, ULONG database, ULONG mailbox) {
        OP_CLOSE(OpenShared, {27, 34, 35});
        BATFile.clear();
        BAT.ID = id;
        BAT.DATABASE = database;
        BAT.MAILBOX = mailbox;
        BAT.DESCRIPTION = "procedure " + std::to_string(id);
        ASSERT_EQ(BATFile.add(), StorageStatus::Ok);
        TIMFile.clear();
        TIM.TASKID = 900;
        TIM.BATCHID = id;
        ASSERT_EQ(TIMFile.add(), StorageStatus::Ok);
        FLIFile.clear();
        FLI.ID = id;
        FLI.FILESPEC = "/import/*.txt";
        ASSERT_EQ(FLIFile.add(), StorageStatus::Ok);
        OP_CLOSE(ReleaseTable, {27, 34, 35});
    }

    // "id:database:mailbox" of every procedure, plus the count of task
    // steps and file specifications.
    std::string procedures() {
        std::string out;
        OP_CLOSE(OpenShared, {27, 34, 35});
        BATFile.set(BAT_IDKEY);
        while (BATFile.next() == StorageStatus::Ok)
            out += std::to_string(BAT.ID) + ":" + std::to_string(BAT.DATABASE) + ":" + std::to_string(BAT.MAILBOX) + " ";
        out += "tim=" + std::to_string(TIMFile.records()) + " fli=" + std::to_string(FLIFile.records());
        OP_CLOSE(ReleaseTable, {27, 34, 35});
        return out;
    }

    bool catalogued(ULONG id) {
        OP_CLOSE(OpenShared, {2});
        Forums.clear();
        FOR.ID = id;
        const bool found = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
        OP_CLOSE(ReleaseTable, {2});
        return found;
    }
};

TEST_F(DatabaseDeletionTest, FilesDirectoryAndCatalogRecordGoAndNothingStaysActive) {
    const ULONG keep = makeDatabase(TypeForum, "Keep me");
    fillActiveDatabase();
    const ULONG gone = makeDatabase(TypeForum, "Delete me");
    fillActiveDatabase();
    // Key and index files of another engine are removed as well.
    std::ofstream(root / "F2/OLD.K01") << "x";
    std::ofstream(root / "F2/OLD.IDX") << "x";
    ASSERT_TRUE(fs::exists(root / "F2/postmoor.db"));

    DatabaseDeletion d = deleteActiveDatabase();
    EXPECT_TRUE(d.filesRemoved);
    EXPECT_TRUE(d.directoryRemoved);
    EXPECT_TRUE(d.catalogRemoved);
    EXPECT_TRUE(d.wordIndexRemoved);
    EXPECT_FALSE(fs::exists(root / "F2"));
    EXPECT_TRUE(fs::exists(root / "F1/postmoor.db"));
    EXPECT_FALSE(catalogued(gone));
    EXPECT_TRUE(catalogued(keep));
    EXPECT_EQ(Mem.ForumNumber, 0u);
    EXPECT_TRUE(Mem.Dirnamn.empty());
    EXPECT_TRUE(ui.empty());
}

TEST_F(DatabaseDeletionTest, ForeignFilesKeepTheDirectoryButTheCatalogRecordGoes) {
    const ULONG gone = makeDatabase(TypeNewsgroup, "comp.lang.c");
    fillActiveDatabase();
    std::ofstream(root / "F1/notes.txt") << "mine";

    DatabaseDeletion d = deleteActiveDatabase();
    EXPECT_TRUE(d.filesRemoved);
    EXPECT_FALSE(d.directoryRemoved);
    EXPECT_TRUE(d.catalogRemoved);
    EXPECT_TRUE(fs::exists(root / "F1/notes.txt"));
    EXPECT_FALSE(fs::exists(root / "F1/postmoor.db"));
    EXPECT_FALSE(catalogued(gone));
}

TEST_F(DatabaseDeletionTest, ProceduresLoseTheDatabaseAndEmptyOnesGoWithTheirStepsAndFiles) {
    const ULONG other = makeDatabase(TypeForum, "Other");
    const ULONG gone = makeDatabase(TypeForum, "Gone");
    addProcedure(1, gone, 0);       // left without a database: deleted
    addProcedure(2, other, gone);   // keeps its target database
    addProcedure(3, gone, other);   // keeps its mailbox
    addProcedure(4, 0, 0);          // never named one: untouched
    addProcedure(5, other, 0);      // does not name it: untouched

    ASSERT_TRUE(removeActiveDatabaseFromCatalog());
    const std::string o = std::to_string(other);
    EXPECT_EQ(procedures(), "2:" + o + ":0 3:0:" + o + " 4:0:0 5:" + o + ":0 tim=4 fli=4");
    EXPECT_FALSE(catalogued(gone));
    // The service itself leaves the globals alone.
    EXPECT_EQ(Mem.ForumNumber, gone);
}

TEST_F(DatabaseDeletionTest, SeparateWordIndexDirectoryIsRemovedToo) {
    const std::string wix = root / "WIX";
    fs::create_directory(wix);
    MasIdxPath = wix;
    makeDatabase(TypeForum, "Indexed");
    fillActiveDatabase();  // MasIdx goes to WIX/F1
    ASSERT_TRUE(fs::exists(wix + "/F1/postmoor.db"));

    DatabaseDeletion d = deleteActiveDatabase();
    EXPECT_TRUE(d.wordIndexRemoved);
    EXPECT_TRUE(d.directoryRemoved);
    EXPECT_FALSE(fs::exists(wix + "/F1"));
    EXPECT_TRUE(fs::exists(wix));
}

TEST_F(DatabaseDeletionTest, NothingActiveRemovesNothing) {
    makeDatabase(TypeForum, "Stays");
    deactivateDatabase();
    DatabaseDeletion d = deleteActiveDatabase();
    EXPECT_FALSE(d.catalogRemoved);
    EXPECT_FALSE(removeActiveDatabaseFromCatalog());
    EXPECT_TRUE(fs::exists(root / "F1"));
}

}  // namespace
}  // namespace pm
