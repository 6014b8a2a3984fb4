// The catalog: directory numbers, creation, activation, the identity record
// and finding a database by a typed name.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/catalog/identity_record.h"
#include "tables/records/all_tables.h"
#include "support/installation_fixture.h"

namespace pm {
namespace {

using Catalog = test::InstallationTest;

TEST_F(Catalog, DirectoryNumbersFollowTheHighestAndNamesAreUnique) {
    ULONG first = makeDatabase(TypeForum, "Alpha Forum");
    EXPECT_EQ(first, 250000u);  // a new installation hands out 250,000 first
    EXPECT_EQ(Mem.Dirnamn, "F1");
    makeDatabase(TypeNewsgroup, "comp.lang.c");
    EXPECT_EQ(Mem.Dirnamn, "F2");

    // F7 exists (say, restored from elsewhere): the next one is F8, not F3.
    OP_CLOSE(OpenShared, {2, 8});
    Forums.clear();
    FOR.ID = 260000;
    FOR.DIRNUMBER = 7;
    FOR.TYPE = TypeForum;
    FOR.DESCRIPTION = "Seventh";
    ASSERT_EQ(Forums.add(), StorageStatus::Ok);
    EXPECT_EQ(nextDirectoryNumber(), 8u);

    // A second database of the same name (in any letter case) is refused.
    EXPECT_EQ(createDatabase(TypeForum, "ALPHA FORUM"), 0u);
    EXPECT_TRUE(ui.sawText("A record with identical key already exists!"));
    OP_CLOSE(ReleaseTable, {2, 8});
    EXPECT_TRUE(std::filesystem::is_directory(root / "F1"));
    EXPECT_TRUE(std::filesystem::is_directory(root / "F2"));
}

TEST_F(Catalog, ActivationSetsTheGlobalsAndAFailedLookupChangesNothing) {
    ULONG id = makeDatabase(TypeNewsgroup, "comp.lang.c");
    deactivateDatabase();
    EXPECT_EQ(Mem.ForumNumber, 0u);
    EXPECT_TRUE(activateDatabase(id));
    EXPECT_EQ(Mem.ForumNumber, id);
    EXPECT_EQ(Mem.Description, "comp.lang.c");
    EXPECT_EQ(Mem.Dirnamn, "F1");
    EXPECT_EQ(Mem.ForumType, TypeNewsgroup);
    EXPECT_EQ(Mem.WordListIndexNeedsUpdate, 1);
    EXPECT_FALSE(activateDatabase(12345));
    EXPECT_EQ(Mem.ForumNumber, id);
    EXPECT_EQ(useCount(2), 0);
}

TEST_F(Catalog, IdentityRecordIsWrittenOnceAndKeptInStep) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {2, 22});
    EXPECT_EQ(REFFile.records(), 1);
    REFFile.setPhysical();
    ASSERT_EQ(REFFile.next(), StorageStatus::Ok);
    EXPECT_EQ(REF.DESCRIPTION.str(), "Alpha");
    EXPECT_EQ(REF.TYPE, TypeForum);

    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    FOR.DESCRIPTION = "Alpha renamed";
    ASSERT_TRUE(UpdREF());
    ASSERT_TRUE(UpdREF());  // unchanged: nothing written
    EXPECT_EQ(REFFile.records(), 1);
    REFFile.setPhysical();
    ASSERT_EQ(REFFile.next(), StorageStatus::Ok);
    EXPECT_EQ(REF.DESCRIPTION.str(), "Alpha renamed");
    OP_CLOSE(ReleaseTable, {2, 22});
}

TEST_F(Catalog, LookupByPrefixWithoutRegardToCase) {
    makeDatabase(TypeForum, "Windows Forum");
    makeDatabase(TypeForum, "Winapps Forum");
    makeDatabase(TypeNewsgroup, "comp.lang.c");

    ForumLookup one = ForumLup("COMP", 0, 0, false);
    EXPECT_EQ(one.outcome, ForumLookup::Chosen);
    EXPECT_EQ(one.name, "comp.lang.c");
    EXPECT_EQ(one.type, TypeNewsgroup);

    ForumLookup two = ForumLup("win", 0, 0, false);
    EXPECT_EQ(two.outcome, ForumLookup::ShowList);
    EXPECT_TRUE(two.ambiguous);
    EXPECT_EQ(two.listStart, "Winapps Forum");  // the list opens on the first match

    EXPECT_EQ(ForumLup("windows", 0, 0, false).outcome, ForumLookup::Chosen);
    EXPECT_EQ(ForumLup("windows", 0, 0, true).outcome, ForumLookup::ShowList);
    EXPECT_EQ(ForumLup("", 0, 0, true).outcome, ForumLookup::ShowList);
    ForumLookup none = ForumLup("nothing", 0, 0, false);
    EXPECT_EQ(none.outcome, ForumLookup::ShowList);
    EXPECT_FALSE(none.ambiguous);

    // Restricted to forums, the newsgroup is not found.
    EXPECT_EQ(ForumLup("comp", 1, TypeForum, false).outcome, ForumLookup::ShowList);
}

TEST_F(Catalog, AnExactNameWinsOverTheLongerNamesItBegins) {
    makeDatabase(TypeForum, "Alphabet");
    const ULONG alpha = makeDatabase(TypeForum, "Alpha");
    makeDatabase(TypeForum, "Alpha Centauri");

    ForumLookup exact = ForumLup("alpha", 0, 0, false);
    EXPECT_EQ(exact.outcome, ForumLookup::Chosen);
    EXPECT_EQ(exact.id, alpha);
    EXPECT_EQ(exact.name, "Alpha");
    EXPECT_FALSE(exact.ambiguous);
    // Asked to show the list, it opens on the exact name.
    EXPECT_EQ(ForumLup("Alpha", 0, 0, true).outcome, ForumLookup::ShowList);
    EXPECT_EQ(ForumLup("Alpha", 0, 0, true).listStart, "Alpha");
    // A prefix of all three stays ambiguous.
    EXPECT_TRUE(ForumLup("Alph", 0, 0, false).ambiguous);
}

}  // namespace
}  // namespace pm
