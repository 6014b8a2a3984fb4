// Topics of a database: names, attaching and removing by message and by
// set, the counts the browse titles show, deleting a topic that messages
// carry, and topics of mail databases.
#include <gtest/gtest.h>

#include "browse/topics.h"
#include "browse_fixture.h"
#include "common/globals.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::BrowseTest;
using Ids = std::vector<ULONG>;

std::int64_t attachmentsOf(ULONG topic) {
    SIndex.clear();
    SIN.ID = topic;
    return SIndex.rangeCount(SIN_IdKey, 1);
}

ULONG storedCount(ULONG topic) {
    Topic t;
    return findTopic(topic, t) ? t.count : 9999;
}

TEST_F(BrowseTest, AttachedTopicsNarrowTheBrowseAndKeepTheirCount) {
    openSample(TypeForum);
    const ULONG topic = addTopic("Hardware");
    ASSERT_NE(topic, 0u);

    TopicSetResult r = attachTopic(topic, {101, 111, 999, 101});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.changed, 2u);
    EXPECT_EQ(r.missing, Ids{999});
    EXPECT_EQ(storedCount(topic), 2u);

    BrowseSession& b = session();
    b.chooseTopic(topic);
    EXPECT_EQ(ids(), (Ids{111, 101}));
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [2]");
    EXPECT_EQ(b.filterText(), "Hardware");

    // Attaching again adds nothing.
    r = attachTopic(topic, {111, 101});
    EXPECT_EQ(r.changed, 0u);
    EXPECT_EQ(r.unchanged, 2u);
    EXPECT_EQ(attachmentsOf(topic), 2);
    EXPECT_EQ(storedCount(topic), 2u);

    r = detachTopic(topic, {101, 100, 500});
    EXPECT_EQ(r.changed, 1u);
    EXPECT_EQ(r.unchanged, 1u);  // 100 exists without the topic
    EXPECT_EQ(r.missing, Ids{500});
    b.rebuild();
    EXPECT_EQ(ids(), Ids{111});
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [1]");

    // Toggling twice leaves message and count where they started.
    bool ok = false;
    EXPECT_TRUE(toggleTopic(topic, 120, ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(topicsOf(120), Ids{topic});
    EXPECT_FALSE(toggleTopic(topic, 120, ok));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(topicsOf(120).empty());
    EXPECT_EQ(storedCount(topic), 1u);
    EXPECT_TRUE(ui.empty());
}

TEST_F(BrowseTest, TopicNamesAreUniqueWithoutRegardToCase) {
    openSample(TypeNewsgroup);
    const ULONG b = addTopic("beta");
    const ULONG a = addTopic("  Alpha  ");
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(addTopic("ALPHA"), 0u);
    EXPECT_TRUE(ui.sawText("The topic Alpha already exists!"));
    EXPECT_EQ(addTopic("   "), 0u);
    EXPECT_TRUE(ui.sawText("A topic needs a name!"));
    EXPECT_FALSE(renameTopic(b, "alpha"));

    // A long name is cut to the field without splitting a character.
    const ULONG c = addTopic(std::string(39, 'x') + "ü and more");
    Topic t;
    ASSERT_TRUE(findTopic(c, t));
    EXPECT_EQ(t.name, std::string(39, 'x'));

    ASSERT_TRUE(renameTopic(b, "Gamma"));
    std::vector<std::string> names;
    for (const Topic& each : listTopics()) names.push_back(each.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Gamma", std::string(39, 'x')}));
    ASSERT_TRUE(findTopicNamed("gamma", t));
    EXPECT_EQ(t.id, b);
    EXPECT_GT(t.date, 0);
}

TEST_F(BrowseTest, DeletingACarriedTopicRemovesEveryAttachmentAndNoOther) {
    openSample(TypeForum);
    const ULONG keep = addTopic("Keep");
    const ULONG gone = addTopic("Gone");
    ASSERT_TRUE(attachTopic(keep, {100, 101}).ok);
    ASSERT_TRUE(attachTopic(gone, {100, 102}).ok);
    // More attachments than one commit removes (older stores may hold
    // attachments of messages since purged).
    ASSERT_EQ(beginTransaction({&SIndex}), StorageStatus::Ok);
    for (ULONG m = 5000; m < 5000 + TopicBatchWrites + 50; ++m) {
        SIN.ID = gone;
        SIN.MSGNUMBER = m;
        ASSERT_EQ(SIndex.add(), StorageStatus::Ok);
    }
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);

    ASSERT_TRUE(deleteTopic(gone));
    Topic t;
    EXPECT_FALSE(findTopic(gone, t));
    EXPECT_EQ(attachmentsOf(gone), 0);
    EXPECT_EQ(attachmentsOf(keep), 2);
    EXPECT_EQ(topicsOf(100), Ids{keep});

    // The gone topic can no longer be attached, deleted or renamed.
    ui.clear();
    EXPECT_FALSE(attachTopic(gone, {101}).ok);
    EXPECT_FALSE(deleteTopic(gone));
    EXPECT_FALSE(renameTopic(gone, "Back"));
    EXPECT_TRUE(ui.sawText("This topic no longer exists!"));
    EXPECT_EQ(attachmentsOf(gone), 0);
}

TEST_F(BrowseTest, RecountRepairsCountsThatDisagreeWithTheAttachments) {
    openSample(TypeForum);
    const ULONG a = addTopic("A");
    const ULONG b = addTopic("B");
    ASSERT_TRUE(attachTopic(a, {100, 101, 102}).ok);
    // B claims messages it does not have; A lost one behind its back.
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    COD.INDEX = "B";
    ASSERT_EQ(Codes.get(COD_ClassKey), StorageStatus::Ok);
    COD.COUNT = 40;
    ASSERT_EQ(Codes.put(), StorageStatus::Ok);
    SIndex.clear();
    SIN.ID = a;
    SIN.MSGNUMBER = 101;
    ASSERT_EQ(SIndex.get(SIN_IdKey), StorageStatus::Ok);
    ASSERT_EQ(SIndex.erase(), StorageStatus::Ok);

    EXPECT_EQ(recountTopics(), 2);
    EXPECT_EQ(storedCount(a), 2u);
    EXPECT_EQ(storedCount(b), 0u);
}

TEST_F(BrowseTest, MailTopicsNameMailsAndEachDatabaseHasItsOwn) {
    openSample(TypeMail);
    const ULONG mailTopic = addTopic("Family");
    TopicSetResult r = attachTopic(mailTopic, {1001, 1003, 100});
    EXPECT_EQ(r.changed, 2u);
    EXPECT_EQ(r.missing, Ids{100});  // a forum message number, not a mail here
    BrowseSession& b = session();
    b.chooseTopic(mailTopic);
    EXPECT_EQ(ids(), (Ids{1003, 1001}));
    browse.reset();
    tables.reset();

    // The same name in a forum database is another topic.
    openSample(TypeForum);
    EXPECT_TRUE(listTopics().empty());
    const ULONG forumTopic = addTopic("Family");
    ASSERT_NE(forumTopic, 0u);
    EXPECT_NE(forumTopic, mailTopic);
    EXPECT_EQ(attachTopic(forumTopic, {1001}).missing, Ids{1001});
}

}  // namespace
}  // namespace pm
