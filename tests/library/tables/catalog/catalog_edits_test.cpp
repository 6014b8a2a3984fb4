// The catalog as the database windows read and change it.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/catalog_list.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/records/all_tables.h"
#include "support/installation_fixture.h"
#include "support/other_process.h"
#include "support/store_query.h"

namespace pm {
namespace {

namespace fs = std::filesystem;

using CatalogEdits = test::InstallationTest;

std::string names(const std::vector<CatalogEntry>& entries) {
    std::string out;
    for (const CatalogEntry& e : entries) out += e.name + "/" + e.directoryName() + " ";
    return out;
}

// Adds a catalog record directly (a database the rebuild attached, one
// with a name another has, ...).
void addRecord(ULONG id, const std::string& name, ULONG dir, BYTE type, BYTE noDir = 0) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = id;
    FOR.DESCRIPTION = name;
    FOR.DIRNUMBER = dir;
    FOR.TYPE = type;
    FOR.NODIR = noDir;
    ASSERT_EQ(Forums.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {2});
}

TEST_F(CatalogEdits, ListsInBothOrdersAndByType) {
    makeDatabase(TypeForum, "beta");
    makeDatabase(TypeNewsgroup, "Alpha");
    addRecord(300000, "mail box", 12, TypeMail);
    addRecord(300001, "Zulu mail", 3, TypeMail);
    EXPECT_EQ(names(readCatalog(CatalogOrder::ByName)), "Alpha/F2 beta/F1 mail box/F12 Zulu mail/F3 ");
    EXPECT_EQ(names(readCatalog(CatalogOrder::ByDirectory)), "beta/F1 Alpha/F2 Zulu mail/F3 mail box/F12 ");
    EXPECT_EQ(names(readCatalog(CatalogOrder::ByName, TypeMail)), "mail box/F12 Zulu mail/F3 ");
    EXPECT_EQ(catalogCount(), 4);
    EXPECT_EQ(mailDatabaseCount(), 2);
    EXPECT_TRUE(isUnknownDatabaseName("Unknown:F12", 12));
    EXPECT_FALSE(isUnknownDatabaseName("Unknown:F12", 1));
    EXPECT_FALSE(isUnknownDatabaseName("unknown:F12", 12));
}

// Looking a database up, activating it and asking for its word index each
// read in one read transaction: none may outlive its call, and each call
// sees what another process committed before it.
TEST_F(CatalogEdits, LookupsLeaveTheStoresFreeAndSeeOthersChanges) {
    const ULONG id = makeDatabase(TypeForum, "Forum");
    const std::string catalog = root / "CFG/postmoor.db";
    EXPECT_EQ(ForumLup("for", 0, 0, false).id, id);
    EXPECT_TRUE(test::otherProcessCanLockAlone(catalog));
    ASSERT_TRUE(activateDatabase(id));
    EXPECT_TRUE(test::otherProcessCanLockAlone(catalog));
    EXPECT_FALSE(activeDatabaseIsWordIndexed());
    EXPECT_TRUE(test::otherProcessCanLockAlone(root / "F1/postmoor.db"));

    ASSERT_TRUE(test::storeExecute(catalog, "UPDATE Forums SET DESCRIPTION = 'Renamed' WHERE ID = " +
                                                std::to_string(id)));
    EXPECT_EQ(ForumLup("ren", 0, 0, false).id, id);
    EXPECT_NE(ForumLup("for", 0, 0, false).outcome, ForumLookup::Chosen);
    ASSERT_TRUE(activateDatabase(id));
    EXPECT_EQ(Mem.Description, "Renamed");
}

TEST_F(CatalogEdits, ImportFlagIsWrittenOnlyWhenItChanges) {
    const ULONG id = makeDatabase(TypeForum, "Forum");
    bool changed = true;
    EXPECT_TRUE(setImportAllowed(id, true, &changed));
    EXPECT_FALSE(changed);  // already allowed
    EXPECT_TRUE(setImportAllowed(id, false, &changed));
    EXPECT_TRUE(changed);
    EXPECT_TRUE(setImportAllowed(id, false, &changed));
    EXPECT_FALSE(changed);  // already disallowed: nothing happens
    CatalogEntry e;
    ASSERT_TRUE(readCatalogEntry(id, e));
    EXPECT_EQ(e.noImport, 1);
    EXPECT_TRUE(ui.empty());
}

TEST_F(CatalogEdits, StatusFollowsIntoTheActiveDatabaseAndIndexingToggles) {
    const ULONG id = makeDatabase(TypeForum, "Forum");
    ASSERT_TRUE(setDatabaseStatus(id, StatusKeep));
    EXPECT_EQ(Mem.ForumCheck, StatusKeep);
    CatalogEntry e;
    ASSERT_TRUE(readCatalogEntry(id, e));
    EXPECT_EQ(e.status, StatusKeep);

    BYTE value = 9;
    ASSERT_TRUE(toggleAutoIndexing(id, value));
    EXPECT_EQ(value, 0);  // new databases start with auto indexing on
    ASSERT_TRUE(toggleAutoIndexing(id, value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(setDatabaseStatus(999, StatusDelete));
    EXPECT_TRUE(ui.sawText("The record has been deleted by another user!"));
}

TEST_F(CatalogEdits, RenameRefusesATakenNameAndKeepsTheIdentityRecordInStep) {
    makeDatabase(TypeForum, "Taken");
    const ULONG id = makeDatabase(TypeForum, "Unknown:F2");
    EXPECT_FALSE(renameDatabase(id, "taken"));
    EXPECT_TRUE(ui.sawText("A record with identical key already exists!"));
    CatalogEntry e;
    ASSERT_TRUE(readCatalogEntry(id, e));
    EXPECT_EQ(e.name, "Unknown:F2");

    EXPECT_FALSE(renameDatabase(id, "   "));
    ASSERT_TRUE(renameDatabase(id, "Found again  "));
    ASSERT_TRUE(readCatalogEntry(id, e));
    EXPECT_EQ(e.name, "Found again");
    EXPECT_EQ(Mem.Description, "Found again");  // it is the active one
    OP_CLOSE(OpenShared, {22});
    REFFile.setPhysical();
    ASSERT_EQ(REFFile.next(), StorageStatus::Ok);
    EXPECT_EQ(REF.DESCRIPTION.str(), "Found again");
    OP_CLOSE(ReleaseTable, {22});
}

TEST_F(CatalogEdits, ChoosingActivatesAndWritesTheIdentityRecordWhereADirectoryExists) {
    const ULONG first = makeDatabase(TypeForum, "First");
    const ULONG second = makeDatabase(TypeNewsgroup, "Second");
    ASSERT_TRUE(chooseDatabase(first));
    EXPECT_EQ(Mem.ForumNumber, first);
    EXPECT_EQ(Mem.Dirnamn, "F1");
    // A merged database without a directory of its own is activated, but
    // no identity record (and no directory) is made for it.
    addRecord(300000, "Merged away", 7, TypeForum, 1);
    ASSERT_TRUE(chooseDatabase(300000));
    EXPECT_EQ(Mem.ForumNumber, 300000u);
    EXPECT_FALSE(fs::exists(root / "F7"));
    EXPECT_FALSE(chooseDatabase(424242));
    EXPECT_EQ(Mem.ForumNumber, 300000u);
    (void)second;
}

TEST_F(CatalogEdits, StartDatabaseIsTheDefaultOrTheFirstThatCanBeEntered) {
    const ULONG a = makeDatabase(TypeForum, "A");
    const ULONG b = makeDatabase(TypeForum, "B");
    const ULONG c = makeDatabase(TypeForum, "C");
    deactivateDatabase();
    EXPECT_EQ(activateStartDatabase(b), b);
    EXPECT_EQ(Mem.ForumNumber, b);

    // The default's directory is gone, and so is the first one's.
    fs::remove_all(root / "F2");
    fs::remove_all(root / "F1");
    deactivateDatabase();
    EXPECT_EQ(activateStartDatabase(b), c);
    deactivateDatabase();
    EXPECT_EQ(activateStartDatabase(0), c);
    fs::remove_all(root / "F3");
    deactivateDatabase();
    EXPECT_EQ(activateStartDatabase(a), 0u);
    EXPECT_EQ(Mem.ForumNumber, 0u);
}

TEST_F(CatalogEdits, EmptyWordIndexMeansNotIndexed) {
    makeDatabase(TypeForum, "Forum");
    EXPECT_FALSE(activeDatabaseIsWordIndexed());
    OP_CLOSE(OpenShared, {29});
    MasIdx.clear();
    MAS.SYSID = 1;
    MAS.WORDID = 2;
    ASSERT_EQ(MasIdx.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {29});
    EXPECT_TRUE(activeDatabaseIsWordIndexed());
    deactivateDatabase();
    EXPECT_FALSE(activeDatabaseIsWordIndexed());
}

}  // namespace
}  // namespace pm
