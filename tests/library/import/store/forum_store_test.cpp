// Storing forum messages: threads, sections, reimport, the import register,
// count write-back and a write failing in the middle of a message.
#include <gtest/gtest.h>

#include <new>

#include "common/globals.h"
#include "store_fixture.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::StoreTest;
using ForumStore = StoreTest;

TEST_F(ForumStore, ThreadsJoinByExactSubjectWithinTheirSection) {
    openDatabase(TypeForum, "Test Forum");
    auto msg = [&](ULONG n, ULONG ref, ULONG section, const std::string& subject) {
        return message().number(n).replyTo(ref).section(section, "Sec " + std::to_string(section))
            .subject(subject).from("John Smith", "12345,678").to("All").text("text " + std::to_string(n));
    };
    const ULONG hello = store(msg(100, 0, 1, "Hello")).threadNumber;
    struct Case {
        ULONG number, ref, section;
        const char* subject;
        bool sameThread;  // as message 100
    } cases[] = {
        {101, 99, 1, "Hello", true},          // parent missing: joins by subject
        {102, 0, 1, "hello", false},          // subjects compare with letter case
        {103, 0, 2, "Hello", false},          // another section, another thread
        {104, 0, 1, "Hello   ", true},        // trailing blanks do not count
        {105, 100, 1, "Re: other", true},     // a present parent gives its thread
        {106, 106, 1, "Self", false},         // refers to itself: by subject
    };
    for (const Case& c : cases) {
        StoreOutcome out = store(msg(c.number, c.ref, c.section, c.subject));
        ASSERT_EQ(out.result, StoreStored) << c.number;
        EXPECT_TRUE(out.isNew);
        EXPECT_EQ(out.threadNumber == hello, c.sameThread) << c.number;
    }
    ASSERT_TRUE(header(101));
    EXPECT_EQ(MSG.REFNUMBER, 99u);  // the missing parent stays named
    ASSERT_TRUE(header(106));
    EXPECT_EQ(MSG.REFNUMBER, 0u);
    ASSERT_TRUE(header(105));
    EXPECT_EQ(MSG.REFNUMBER, 100u);
    EXPECT_EQ(MSG.THREADALPHA.str(), "Hello");

    // Same first ten bytes, different rest: two threads; the same again: one.
    const ULONG a = store(msg(110, 0, 1, "Discussion about A")).threadNumber;
    const ULONG b = store(msg(111, 0, 1, "Discussion about B")).threadNumber;
    EXPECT_NE(a, b);
    EXPECT_EQ(store(msg(112, 0, 1, "Discussion about B")).threadNumber, b);
    ASSERT_TRUE(thread(b));
    EXPECT_EQ(THR.HEADING.str(), "Discussion about B");
    EXPECT_EQ(THR.ALPHA.str(), "Discussion");
}

TEST_F(ForumStore, ThreadHeadingsNeverSplitACharacter) {
    openDatabase(TypeForum, "Test Forum");
    // "Grüße aus " puts the ü and ß before byte 10 and "é" across it.
    const std::string subject = "Grüße ausé Köln";
    auto m = message().number(1).section(1, "S").subject(subject).from("A B").to("All");
    const ULONG t = store(m).threadNumber;
    ASSERT_TRUE(thread(t));
    EXPECT_EQ(THR.ALPHA.str(), "Grüße au");  // 9 bytes: "s" and "é" go on
    EXPECT_EQ(THR.BETA.str(), "sé Köln");
    EXPECT_EQ(store(m.number(2)).threadNumber, t);
    ASSERT_TRUE(header(2));
    EXPECT_EQ(MSG.THREADALPHA.str(), "Grüße au");
}

TEST_F(ForumStore, SectionsAreToldApartByNumberAndDescription) {
    openDatabase(TypeForum, "Test Forum");
    auto in = [&](ULONG n, ULONG section, const std::string& description) {
        return message().number(n).section(section, description).subject("S").from("A B").to("All");
    };
    store(in(1, 3, "Hardware"));
    store(in(2, 3, "Software"));  // same number, other description
    store(in(3, 3, "Hardware"));
    EXPECT_EQ(Sections.records(), 2);
    EXPECT_EQ(ms.sectionCount(), 2u);
    ASSERT_TRUE(header(1));
    const ULONG hardware = MSG.SECSYSID;
    ASSERT_TRUE(header(3));
    EXPECT_EQ(MSG.SECSYSID, hardware);
    ASSERT_TRUE(header(2));
    EXPECT_NE(MSG.SECSYSID, hardware);

    // A later run finds the sections in the table instead of adding them again.
    newRun(false);
    store(in(4, 3, "Software"));
    EXPECT_EQ(Sections.records(), 2);
    ASSERT_TRUE(header(4));
    EXPECT_NE(MSG.SECSYSID, hardware);
}

TEST_F(ForumStore, ReimportUpdatesHeaderAndTextCountsOnceAndResetsTheStatus) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().number(300).section(1, "S").subject("First").from("John Smith", "1,2").to("All").text("old");
    ASSERT_TRUE(store(m).isNew);
    finishDatabase();
    ASSERT_TRUE(header(300));
    MSG.DUMMY = StatusDelete;
    MSG.FG = 7;
    ASSERT_EQ(MsgNmbr.put(), StorageStatus::Ok);

    newRun(true);
    StoreOutcome out = store(m.to("Someone Else", "3,4").text("new text"));
    EXPECT_EQ(out.result, StoreStored);
    EXPECT_FALSE(out.isNew);
    finishDatabase();
    ASSERT_TRUE(header(300));
    EXPECT_EQ(MSG.DUMMY, StatusNormal);
    EXPECT_EQ(MSG.FG, 7);  // fields the store does not own stay
    EXPECT_EQ(MSG.TOID, personIdOf("Someone Else", "3,4"));
    EXPECT_EQ(storedText(300), "new text");
    EXPECT_EQ(TXT.DATE, ImportDate);
    ASSERT_TRUE(person(out.senderId));
    EXPECT_EQ(PER.FROMCOUNT, 1u);
    ASSERT_TRUE(thread(out.threadNumber));
    EXPECT_EQ(THR.MSGCOUNT, 1u);
    EXPECT_EQ(MsgNmbr.records(), 1);
    IMPFile.buildKeys();
    EXPECT_EQ(IMPFile.records(), 1);  // registered once
}

TEST_F(ForumStore, TheRegisterHoldsEachMessageOnceAndItsKeyCanBeRebuilt) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().section(1, "S").subject("S").from("A B").to("All");
    store(m.number(1));
    store(m.number(2));
    store(m.number(1));  // the same message twice in one run
    commit();
    EXPECT_EQ(IMPFile.records(), 2);
    EXPECT_EQ(IMPFile.buildKeys(), StorageStatus::Ok);
    IMPFile.clear();
    IMP.FORUMNUMBER = database;
    IMP.MSGNUMBER = 2;
    EXPECT_EQ(IMPFile.get(IMP_IDKEY), StorageStatus::Ok);
}

TEST_F(ForumStore, CountsAreWrittenBackOncePerKey) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().section(1, "S").subject("Topic").text("t");
    StoreOutcome first = store(m.number(1).from("Ann Lee", "1,1").to("Bob Ray", "2,2"));
    store(m.number(2).from("Bob Ray", "2,2").to("Ann Lee", "1,1"));
    store(m.number(3).from("Ann Lee", "1,1").to("All"));
    store(m.number(4).section(2, "T").subject("Other").from("Ann Lee", "1,1").to("All"));
    finishDatabase();

    ASSERT_TRUE(person(personIdOf("Ann Lee", "1,1")));
    EXPECT_EQ(PER.FROMCOUNT, 3u);
    EXPECT_EQ(PER.TOCOUNT, 1u);
    ASSERT_TRUE(person(personIdOf("Bob Ray", "2,2")));
    EXPECT_EQ(PER.FROMCOUNT, 1u);
    EXPECT_EQ(PER.TOCOUNT, 1u);
    ASSERT_TRUE(person(personIdOf("All", "")));
    EXPECT_EQ(PER.TOCOUNT, 2u);
    ASSERT_TRUE(thread(first.threadNumber));
    EXPECT_EQ(THR.MSGCOUNT, 3u);
    ASSERT_TRUE(header(1));
    Sections.clear();
    SEC.SECSYSID = MSG.SECSYSID;
    ASSERT_EQ(Sections.get(SEC_SysIdKey), StorageStatus::Ok);
    EXPECT_EQ(SEC.MSGCOUNT, 3u);
    Forums.clear();
    FOR.ID = database;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    EXPECT_EQ(FOR.MSGCOUNT, 4u);
    EXPECT_EQ(FOR.COUNTFLAG, 0);
}

TEST_F(ForumStore, AFailedWriteRollsBackTheWholeTransactionAndNothingIsWrittenBack) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().section(1, "S").subject("S").to("All").text("t");
    store(m.number(1).from("Kept Person", "1,1"));
    commit();
    ASSERT_TRUE(MessageStore::beginTransactionFor(TypeForum));
    store(m.number(2).from("Lost Person", "2,2"));
    // A text already stored under number 3: the header goes in, the text collides.
    MsgText.clear();
    TXT.MSGNUMBER = 3;
    ASSERT_EQ(MsgText.add(), StorageStatus::Ok);
    StoreOutcome out = store(m.number(3).from("New Person", "3,3").subject("New subject"));
    EXPECT_EQ(out.result, StoreFatal);
    EXPECT_FALSE(inTransaction());
    EXPECT_TRUE(ui.sawText("Record add error!\r\nA record with identical key already exists!\r\n"
                           "The last transaction is rolled back."));

    EXPECT_TRUE(header(1));
    EXPECT_FALSE(header(2));
    EXPECT_FALSE(header(3));
    EXPECT_EQ(personIdOf("Lost Person", "2,2"), 0u);
    EXPECT_EQ(personIdOf("New Person", "3,3"), 0u);
    EXPECT_EQ(Threads.records(), 1);
    EXPECT_EQ(MsgText.records(), 1);
    EXPECT_TRUE(ms.counts().discarded());
    finishDatabase();
    ASSERT_TRUE(person(personIdOf("Kept Person", "1,1")));
    EXPECT_EQ(PER.FROMCOUNT, 0u);  // the user's recount has to do it
}

TEST_F(ForumStore, RunningOutOfMemoryForCountsSkipsTheirWriteBack) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().section(1, "S").subject("S").from("A B").to("All");
    store(m.number(1));
    ms.counts().beforeInsert = [] { throw std::bad_alloc(); };
    EXPECT_EQ(store(m.number(2).from("C D")).result, StoreStored);  // the message itself is kept
    EXPECT_TRUE(ui.sawText("Queue access error"));
    EXPECT_TRUE(ms.counts().discarded());
    finishDatabase();
    ASSERT_TRUE(person(personIdOf("A B", "")));
    EXPECT_EQ(PER.FROMCOUNT, 0u);
    EXPECT_TRUE(header(2));
}

TEST_F(ForumStore, EncodedWordsInNamesAndSubjectsAreDecoded) {
    openDatabase(TypeForum, "Test Forum");
    StoreOutcome out = store(message().number(1).section(1, "S").subject("=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=")
                                 .from("=?ISO-8859-1?Q?Andr=E9_M=FCller?=", "9,9").to("All"));
    ASSERT_TRUE(person(out.senderId));
    EXPECT_EQ(PER.LASTNAME.str(), "Müller");
    EXPECT_EQ(PER.FIRSTNAME.str(), "André");
    ASSERT_TRUE(thread(out.threadNumber));
    EXPECT_EQ(THR.HEADING.str(), "Grüße");
}

}  // namespace
}  // namespace pm
