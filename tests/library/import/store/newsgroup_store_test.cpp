// Storing newsgroup messages: Message-IDs, parents that arrive late,
// replies addressed to the parent's sender, reimport.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "store_fixture.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::addTempId;
using test::StoreTest;
using NewsgroupStore = StoreTest;

ULONG numberOfMessageId(const std::string& id) {
    MsgString.clear();
    MST.IDSTRING = id;
    return MsgString.get(MST_IDStringKey) == StorageStatus::Ok ? MST.MSGNUMBER : 0;
}

TEST_F(NewsgroupStore, AMessageWithoutMessageIdIsSkipped) {
    openDatabase(TypeNewsgroup, "comp.test");
    StoreOutcome out = store(message().number(500).subject("No id").from("A B", "a@b").to("comp.test"));
    EXPECT_EQ(out.result, StoreSkipped);
    EXPECT_FALSE(header(500));
    EXPECT_EQ(Person.records(), 0);  // nothing half-written for it
}

TEST_F(NewsgroupStore, AReplyBeforeItsParentReservesTheParentsNumber) {
    openDatabase(TypeNewsgroup, "comp.test");
    // Provisional numbers as a parser hands them out: the reply 11 refers to 12.
    addTempId(11, "<reply@x>");
    addTempId(12, "<parent@x>");
    StoreOutcome reply = store(message().number(11).replyTo(12).subject("Re: Topic")
                                   .from("Rita Reply", "rita@x").to("comp.test").text("reply"));
    ASSERT_EQ(reply.result, StoreStored);
    ASSERT_TRUE(header(11));
    EXPECT_EQ(MSG.REFNUMBER, 12u);
    EXPECT_EQ(numberOfMessageId("<parent@x>"), 12u);

    // The parent arrives in a later run under another provisional number.
    newRun(false);
    addTempId(21, "<parent@x>");
    StoreOutcome parent = store(message().number(21).subject("Topic").from("Paul Parent", "paul@x")
                                    .to("comp.test").text("parent"));
    ASSERT_EQ(parent.result, StoreStored);
    EXPECT_TRUE(parent.isNew);
    EXPECT_FALSE(header(21));
    ASSERT_TRUE(header(12));
    EXPECT_EQ(storedText(12), "parent");
    EXPECT_NE(parent.threadNumber, reply.threadNumber);  // the reply found its thread by subject

    // A second reply now finds the parent: its thread and its sender.
    addTempId(31, "<reply2@x>");
    addTempId(32, "<parent@x>");
    StoreOutcome second = store(message().number(31).replyTo(32).subject("Re: Topic")
                                    .from("Sam Second", "sam@x").to("comp.test"));
    ASSERT_TRUE(header(31));
    EXPECT_EQ(MSG.REFNUMBER, 12u);
    EXPECT_EQ(second.threadNumber, parent.threadNumber);
    EXPECT_EQ(second.receiverId, parent.senderId);
    EXPECT_EQ(stored.R_NAME.str(), "Paul Parent");
    EXPECT_EQ(stored.R_CISADRESS.str(), "paul@x");
}

TEST_F(NewsgroupStore, AReplyIsAddressedToTheParentsSenderWhateverHisName) {
    openDatabase(TypeNewsgroup, "comp.test");
    struct Case {
        const char* name;
        const char* joined;  // first and last name as the reply names the receiver
    } cases[] = {
        {"John Smith", "John Smith"},
        {"Sysop", "Sysop"},  // no first name: no leading blank
        {"Maximilian Alexander Fitzgerald-Montgomery-Worthington", "Maximilian Alexander Fitzgerald-Montgomery-"},
    };
    ULONG n = 100;
    for (const Case& c : cases) {
        const std::string id = "<p" + std::to_string(n) + "@x>";
        addTempId(n, id);
        StoreOutcome parent = store(message().number(n).subject("Q").from(c.name, "p@x").to("comp.test"));
        addTempId(n + 1, "<r" + std::to_string(n) + "@x>");
        addTempId(n + 2, id);
        StoreOutcome reply = store(message().number(n + 1).replyTo(n + 2).subject("Re: Q")
                                       .from("Rita Reply", "r@x").to("comp.test"));
        EXPECT_EQ(reply.receiverId, parent.senderId) << c.name;
        EXPECT_EQ(stored.R_NAME.str().substr(0, 25), std::string(c.joined).substr(0, 25)) << c.name;
        n += 10;
    }
    const LONG persons = static_cast<LONG>(Person.records());
    EXPECT_EQ(persons, 5);  // three senders, Rita, and the newsgroup as receiver
}

TEST_F(NewsgroupStore, SelfReferencesHaveNoParent) {
    openDatabase(TypeNewsgroup, "comp.test");
    addTempId(40, "<self@x>");
    addTempId(41, "<self@x>");  // the message's own id among its references
    store(message().number(40).replyTo(41).subject("Me").from("A B", "a@x").to("comp.test"));
    ASSERT_TRUE(header(40));
    EXPECT_EQ(MSG.REFNUMBER, 0u);
    addTempId(50, "<self2@x>");
    store(message().number(50).replyTo(50).subject("Me").from("A B", "a@x").to("comp.test"));
    ASSERT_TRUE(header(50));
    EXPECT_EQ(MSG.REFNUMBER, 0u);
}

TEST_F(NewsgroupStore, AKnownMessageIsADuplicateUnlessReimportIsAllowed) {
    openDatabase(TypeNewsgroup, "comp.test");
    addTempId(60, "<m@x>");
    auto m = message().number(60).subject("S").from("A B", "a@x").to("comp.test").text("one");
    StoreOutcome first = store(m);
    finishDatabase();
    ASSERT_TRUE(header(60));
    MSG.DUMMY = StatusKeep;
    ASSERT_EQ(MsgNmbr.put(), StorageStatus::Ok);

    newRun(false);
    addTempId(70, "<m@x>");
    EXPECT_EQ(store(m.number(70).text("two")).result, StoreSkipped);
    EXPECT_EQ(storedText(60), "one");

    newRun(true);
    addTempId(80, "<m@x>");
    StoreOutcome again = store(m.number(80).text("three"));
    EXPECT_EQ(again.result, StoreStored);
    EXPECT_FALSE(again.isNew);
    finishDatabase();
    ASSERT_TRUE(header(60));
    EXPECT_EQ(MSG.DUMMY, StatusNormal);
    EXPECT_EQ(storedText(60), "three");
    EXPECT_FALSE(header(80));
    ASSERT_TRUE(person(first.senderId));
    EXPECT_EQ(PER.FROMCOUNT, 1u);
    ASSERT_TRUE(thread(first.threadNumber));
    EXPECT_EQ(THR.MSGCOUNT, 1u);
}

TEST_F(NewsgroupStore, OneSectionPerNewsgroupAndNoSectionCounts) {
    // A redirect target: a group redirected to it arrives first, then the
    // target's own group, then the redirected one again.
    openDatabase(TypeNewsgroup, "comp.test");
    addTempId(1, "<1@x>");
    addTempId(2, "<2@x>");
    addTempId(3, "<3@x>");
    store(message().number(1).section(77, "comp.other").subject("S").from("A B").to("comp.test"));
    store(message().number(2).section(database, "comp.test").subject("S").from("A B").to("comp.test"));
    store(message().number(3).section(77, "comp.other").subject("S").from("A B").to("comp.test"));
    EXPECT_EQ(Sections.records(), 2);
    finishDatabase();
    ASSERT_TRUE(header(2));
    EXPECT_EQ(MSG.SECSYSID, database);
    ASSERT_TRUE(header(3));
    EXPECT_EQ(MSG.SECSYSID, 77u);
    Sections.clear();
    SEC.SECSYSID = database;
    ASSERT_EQ(Sections.get(SEC_SysIdKey), StorageStatus::Ok);
    EXPECT_EQ(SEC.DESCRIPTION.str(), "comp.test");
    EXPECT_EQ(SEC.MSGCOUNT, 0u);  // newsgroups keep no section counts
    EXPECT_EQ(IMPFile.isOpen(), false);
}

TEST_F(NewsgroupStore, ANumberAlreadyTakenRejectsTheIdentifierWithoutLosingTheTransaction) {
    openDatabase(TypeNewsgroup, "comp.test");
    addTempId(1, "<first@x>");
    store(message().number(1).subject("S").from("A B").to("comp.test"));
    addTempId(2, "<second@x>");
    MsgString.clear();
    MST.IDSTRING = "<elsewhere@x>";
    MST.MSGNUMBER = 2;  // number 2 already stands for another Message-ID
    ASSERT_EQ(MsgString.add(), StorageStatus::Ok);
    EXPECT_EQ(store(message().number(2).subject("S").from("A B").to("comp.test")).result, StoreSkipped);
    EXPECT_TRUE(inTransaction());
    EXPECT_TRUE(header(1));
    EXPECT_TRUE(ui.empty());
}

}  // namespace
}  // namespace pm
