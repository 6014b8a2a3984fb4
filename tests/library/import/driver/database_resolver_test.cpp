// Database resolution for the format parsers.
#include <gtest/gtest.h>

#include "import_fixture.h"
#include "import/driver/database_resolver.h"
#include "tables/access/open_close.h"
#include "tables/records/scratch_tables.h"

namespace pm::test {
namespace {

class Resolver : public ImportTest {
protected:
    void load() {
        OP_CLOSE(OpenShared, {2});
        resolver.load(&running);
        OP_CLOSE(ReleaseTable, {2});
    }
    LONG running = 500000;
    DatabaseResolver resolver;
};

TEST_F(Resolver, KnownNamesResolveCaseBlindAndNewOnesTakeTheRunningCounter) {
    const ULONG photo = makeDatabase(TypeForum, "Photo Forum");
    setDirectoryNumber("Photo Forum", 4);
    load();
    EXPECT_EQ(resolver.nextDirectoryNumber(), 5u);

    Resolution r = resolver.resolve("  photo FORUM ", ResolveForum);
    EXPECT_EQ(r.id, photo);
    EXPECT_TRUE(r.importAllowed);
    EXPECT_EQ(r.type, TypeForum);

    r = resolver.resolve("Travel", ResolveForum);
    EXPECT_EQ(r.id, 500000u);
    EXPECT_EQ(running, 500001);
    const DatabaseEntry* travel = resolver.entry(r.id);
    ASSERT_NE(travel, nullptr);
    EXPECT_TRUE(travel->isNew);
    EXPECT_EQ(travel->dirNumber, 5u);
    EXPECT_EQ(resolver.resolve("TRAVEL", ResolveForum).id, 500000u);
    EXPECT_EQ(resolver.resolve("rec.news", ResolveNewsgroup).type, TypeNewsgroup);
    EXPECT_EQ(resolver.entry(500001)->dirNumber, 6u);

    // An unknown mailbox or a blank name is not found; nothing is invented.
    EXPECT_FALSE(resolver.resolve("Nobody's Mail", ResolveMail).found());
    EXPECT_FALSE(resolver.resolve("   ", ResolveForum).found());
    EXPECT_FALSE(resolver.resolveByName("Unheard Of").found());
    EXPECT_EQ(running, 500002);
    EXPECT_EQ(resolver.used().size(), 3u);
}

TEST_F(Resolver, NoImportDatabasesResolveButAreNotUsed) {
    makeDatabase(TypeForum, "Closed");
    setNoImport("Closed", true);
    load();
    const Resolution r = resolver.resolve("Closed", ResolveForum);
    EXPECT_TRUE(r.found());
    EXPECT_FALSE(r.importAllowed);
    EXPECT_TRUE(resolver.used().empty());
    resolver.keepUsedOnly();
    EXPECT_TRUE(resolver.empty());
}

TEST_F(Resolver, NewsgroupsSetTheSectionAndFollowUsableRedirections) {
    const ULONG target = makeDatabase(TypeNewsgroup, "comp.all");
    const ULONG source = makeDatabase(TypeNewsgroup, "comp.one");
    const ULONG chained = makeDatabase(TypeNewsgroup, "comp.two");
    const ULONG dangling = makeDatabase(TypeNewsgroup, "comp.three");
    setRedirect("comp.one", target);
    setRedirect("comp.two", source);      // to a redirected database: ignored
    setRedirect("comp.three", 4242424);   // to nothing: ignored
    load();

    WorkRecord record;
    Resolution r = resolver.resolve("comp.one", ResolveNewsgroup, &record);
    EXPECT_EQ(r.id, target);
    // The section names the newsgroup the message came from.
    EXPECT_EQ(record.SECTIONNUMBER, source);
    EXPECT_EQ(record.SEC_DESCRIPTION.str(), "comp.one");
    EXPECT_EQ(resolver.resolve("comp.two", ResolveNewsgroup).id, chained);
    EXPECT_EQ(resolver.resolve("comp.three", ResolveNewsgroup).id, dangling);
    EXPECT_EQ(resolver.resolveByName("comp.one").id, source);

    resolver.keepUsedOnly();
    std::vector<ULONG> ids;
    for (const DatabaseEntry& e : resolver.queue()) ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<ULONG>{target, chained, dangling}));
}

}  // namespace
}  // namespace pm::test
