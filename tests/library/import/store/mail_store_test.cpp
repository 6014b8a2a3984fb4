// Storing mail: the owner's side, partners, the minute cut, duplicates,
// topics and carbon copies.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "common/message_text.h"
#include "import/addresses/mailbox_addresses.h"
#include "store_fixture.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::MessageBuilder;
using test::StoreTest;
using MailStore = StoreTest;

constexpr LONG Day = 73100;

TEST(MailTime, EveryTimeOfAMinuteIsCutToTheMinutesStart) {
    // 11:00:00 and 11:00:30 are one minute; so is a time stored by the older
    // cut (start + 1).
    const struct {
        LONG in, out;
    } cases[] = {
        {3960000, 3960000}, {3963000, 3960000}, {3960001, 3960000}, {6123, 6000}, {12000, 12000},
        {0, 0}, {1, 0}, {5999, 0}, {8639999, 8634000}, {-50, -6000}, {-6000, -6000}, {-6001, -12000},
    };
    for (const auto& c : cases) EXPECT_EQ(cutTimeToMinute(c.in), c.out) << c.in;
}

class MailStoreTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        owner = openMailDatabase("Inbox", "Me@Home.org", {"me@work.org"});
        ownerPerson = Mem.PersonID;
    }
    MessageBuilder received(ULONG id) {
        return message().replyTo(id).mailType(MailReceived).date(Day).time(6123).subject("Hello World")
            .from("Fred Foreign", "fred@else.org").to("Mary Me", "me@home.org").text("Dear Mary,\r\nhello.");
    }
    ULONG owner = 0;
    ULONG ownerPerson = 0;
};

TEST_F(MailStoreTest, TheOwnersSideIsTheOwnerAndThePartnerTheOtherSide) {
    EXPECT_NE(ownerPerson, 0u);
    StoreOutcome in = store(received(1001));
    ASSERT_EQ(in.result, StoreStored);
    EXPECT_EQ(in.receiverId, ownerPerson);  // the first received mail too
    EXPECT_EQ(ms.ownerNameCache(), "Me");
    ASSERT_TRUE(mail(1001));
    EXPECT_EQ(MAI.PAIRID, in.senderId);
    EXPECT_EQ(MAI.PAIRALPHA.str(), "Foreign");
    EXPECT_EQ(MAI.FROMALPHA.str(), "Foreign");
    EXPECT_EQ(MAI.TOALPHA.str(), "Me");
    EXPECT_EQ(MAI.TIME, 6000);
    EXPECT_EQ(MAI.CCR, 0);
    EXPECT_EQ(storedText(1001), "Dear Mary,\r\nhello.");

    // Sent mail under another owner name: still the owner, named from the cache.
    StoreOutcome out = store(message().replyTo(1002).mailType(MailSent).date(Day).time(9000).subject("Re: Hello")
                                 .from("M. Me-Too", "me@home.org").to("Fred Foreign", "fred@else.org"));
    EXPECT_EQ(out.senderId, ownerPerson);
    EXPECT_EQ(out.receiverId, in.senderId);
    ASSERT_TRUE(mail(1002));
    EXPECT_EQ(MAI.FROMALPHA.str(), "Me");
    EXPECT_EQ(MAI.PAIRID, in.senderId);

    // Neither sent nor received: no partner; empty names become "Name Unknown".
    StoreOutcome other = store(message().replyTo(1003).mailType(0).date(Day).subject("?").from("", "x@y").to(""));
    ASSERT_TRUE(mail(1003));
    EXPECT_EQ(MAI.PAIRID, 0u);
    EXPECT_EQ(MAI.PAIRALPHA.str(), "");
    ASSERT_TRUE(person(other.senderId));
    EXPECT_EQ(PER.LASTNAME.str(), "Unknown");
    EXPECT_EQ(PER.FIRSTNAME.str(), "Name");

    finishDatabase();
    ASSERT_TRUE(person(ownerPerson));
    EXPECT_EQ(PER.FROMCOUNT, 1u);
    EXPECT_EQ(PER.TOCOUNT, 1u);
    ASSERT_TRUE(person(in.senderId));
    EXPECT_EQ(PER.FROMCOUNT, 1u);
    EXPECT_EQ(PER.TOCOUNT, 1u);
    Forums.clear();
    FOR.ID = owner;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    EXPECT_EQ(FOR.MSGCOUNT, 3u);
}

TEST_F(MailStoreTest, DuplicatesNeedTheSameMinuteSubjectPeopleAndNearlyTheSameText) {
    const std::string text(200, 'x');
    ASSERT_EQ(store(received(1).text(text)).result, StoreStored);
    struct Case {
        const char* what;
        LONG time;
        const char* subject;
        const char* sender;
        std::string text;
        bool duplicate;
    } cases[] = {
        {"same everything", 6123, "Hello World", "Fred Foreign", text, true},
        {"same minute", 6500, "HELLO world", "Fred Foreign", text, true},
        {"19 more characters", 6123, "Hello World", "Fred Foreign", text + std::string(19, 'y'), true},
        {"20 more characters", 6123, "Hello World", "Fred Foreign", text + std::string(20, 'y'), false},
        {"15 fewer characters", 6123, "Hello World", "Fred Foreign", text.substr(0, 185), true},
        {"trailing blanks", 6123, "Hello World", "Fred Foreign", text + std::string(30, ' '), true},
        {"another text", 6123, "Hello World", "Fred Foreign", "y" + text.substr(1), false},
        {"next minute", 12123, "Hello World", "Fred Foreign", text, false},
        {"start of the minute", 6000, "Hello World", "Fred Foreign", text, true},
        {"end of the minute", 11999, "Hello World", "Fred Foreign", text, true},
        {"end of the minute before", 5999, "Hello World", "Fred Foreign", text, false},
        {"another subject", 6123, "Hello Word", "Fred Foreign", text, false},
        {"another sender", 6123, "Hello World", "Frank Foreign", text, false},
    };
    ULONG id = 100;
    for (const Case& c : cases) {
        const StoreOutcome out = store(received(++id).time(c.time).subject(c.subject)
                                           .from(c.sender, "fred@else.org").text(c.text));
        EXPECT_EQ(out.result, c.duplicate ? StoreSkipped : StoreStored) << c.what;
        if (out.result == StoreStored) {
            // Take it out again so each row is judged against the first mail only.
            ASSERT_TRUE(mail(id));
            ASSERT_EQ(Mail.erase(), StorageStatus::Ok);
        }
    }
}

TEST_F(MailStoreTest, TheSameMailSavedTwiceWithinAMinuteIsOneMail) {
    // Saved at 11:00:00, then again at 11:00:30 with a short signature added
    // to its last line.
    ASSERT_EQ(store(received(1).time(3960000).text("See you there.\r\n")).result, StoreStored);
    EXPECT_EQ(store(received(2).time(3963000).text("See you there. -- Fred\r\n")).result, StoreSkipped);
    // A mail stored by the older minute cut (start + 1) is found too.
    ASSERT_TRUE(mail(1));
    MAI.TIME = 3960001;
    ASSERT_EQ(Mail.put(), StorageStatus::Ok);
    EXPECT_EQ(store(received(3).time(3965900).text("See you there.\r\n\r\n")).result, StoreSkipped);
    EXPECT_EQ(store(received(4).time(3966000).text("See you there.\r\n")).result, StoreStored);
}

TEST_F(MailStoreTest, ATopicEntryIsAddedOnce) {
    ms.beginDatabase(TypeMail, false, 4711, ImportDate, ImportTime);
    store(received(5));
    SIndex.clear();
    SIN.ID = 4711;
    SIN.MSGNUMBER = 6;
    ASSERT_EQ(SIndex.add(), StorageStatus::Ok);
    store(received(6).subject("Other"));
    EXPECT_EQ(SIndex.records(), 2);
    SIndex.clear();
    SIN.ID = 4711;
    SIN.MSGNUMBER = 5;
    EXPECT_EQ(SIndex.get(SIN_IdKey), StorageStatus::Ok);
}

TEST_F(MailStoreTest, CarbonCopiesLeaveTheOwnerOutButMarkTheMail) {
    store(received(1));
    store(received(2).subject("Second"));
    auto cc = [](ULONG mailId, const char* name, const char* address) {
        CCTFile.clear();
        CCT.MAILID = mailId;
        CCT.R_NAME = name;
        CCT.R_CISADRESS = address;
        CCT.RECIPTYPE = "CC";
        ASSERT_EQ(CCTFile.append(), StorageStatus::Ok);
    };
    cc(1, "Mary Me", "ME@WORK.ORG");        // the owner under an alternative address
    cc(2, "Ann Other", "ann@else.org");
    cc(2, "Ann Other", "ANN@else.org");     // the same receiver again, other case
    cc(2, "Bob Other", "bob@else.org");
    cc(9, "Lost Mail", "lost@else.org");    // its mail is not stored
    finishDatabase();

    ASSERT_TRUE(mail(1));
    EXPECT_EQ(MAI.CCR, 1);
    ASSERT_TRUE(mail(2));
    EXPECT_EQ(MAI.CCR, 1);
    EXPECT_EQ(CCRFile.records(), 2);
    CCRFile.set(CCR_IdKey);
    ASSERT_EQ(CCRFile.next(), StorageStatus::Ok);
    EXPECT_EQ(CCR.MAILID, 2u);
    EXPECT_EQ(CCR.R_NAME.str(), "Ann Other");
    EXPECT_EQ(CCR.RECIPTYPE.str(), "CC");
}

TEST_F(MailStoreTest, AFailedTextWriteLeavesNoHeader) {
    MsgText.clear();
    TXT.MSGNUMBER = 77;
    ASSERT_EQ(MsgText.add(), StorageStatus::Ok);
    EXPECT_EQ(store(received(77)).result, StoreFatal);
    EXPECT_FALSE(mail(77));
    EXPECT_EQ(personIdOf("Fred Foreign", "fred@else.org"), 0u);
    EXPECT_TRUE(ui.sawText("The last transaction is rolled back."));
}

TEST_F(MailStoreTest, ManyMailsOfOneMinuteAreToldApartAndTheirCopiesFound) {
    // A batch sent at once: the same people, subject and minute, texts that
    // differ after a long common start; each is then delivered again with a
    // line end more, in this run and in the next (which reads the minute
    // from the store).
    const std::string start(300, 'b');
    auto text = [&](int i) { return start + " report " + std::to_string(i * 7) + " ends\r\n"; };
    for (int i = 0; i < 120; ++i) EXPECT_EQ(store(received(1000 + i).text(text(i))).result, StoreStored) << i;
    for (int i = 0; i < 120; i += 2) EXPECT_EQ(store(received(2000 + i).text(text(i) + "\r\n")).result, StoreSkipped) << i;
    newRun(false);
    for (int i = 1; i < 120; i += 2) EXPECT_EQ(store(received(3000 + i).text(text(i) + "\r\n")).result, StoreSkipped) << i;
    EXPECT_EQ(store(received(4000).text(text(120))).result, StoreStored);
    EXPECT_EQ(store(received(4001).text(text(120))).result, StoreSkipped);
}

TEST_F(MailStoreTest, TextsBeyondTheStoredLengthAreComparedAsStored) {
    // The stored text keeps the first MessageTextChars characters (a
    // two-byte character where the cut falls); mails of this run are
    // compared by what the store holds of them.
    const std::string start = "\xC3\xA9" + std::string(MessageTextChars, 'z');
    ASSERT_EQ(store(received(1).text(start + "first ending")).result, StoreStored);
    EXPECT_EQ(storedText(1).size(), MessageTextChars + 1);
    ASSERT_EQ(store(received(2).subject("Other").text("short")).result, StoreStored);
    // Differs only past the cut: the same text as stored.
    EXPECT_EQ(store(received(3).text(start + "another ending")).result, StoreSkipped);
    EXPECT_EQ(store(received(4).subject("Other").text("short\r\n")).result, StoreSkipped);
    EXPECT_EQ(store(received(5).text(start.substr(0, 1000))).result, StoreStored);
}

}  // namespace
}  // namespace pm
