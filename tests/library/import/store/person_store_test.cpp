// Persons: the person string, aliases left by merging, and the recounts of
// the maintenance windows.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "import/store/person_recount.h"
#include "store_fixture.h"
#include "tables/persons/person_store.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::StoreTest;
using PersonStore = StoreTest;

TEST(PersonString, IsTheUpperCaseOfNameBlankAndAddressCutToAWholeCharacter) {
    EXPECT_EQ(personString("John Smith   ", "12345,678   "), "JOHN SMITH 12345,678");
    EXPECT_EQ(personString("Sysop", ""), "SYSOP");
    EXPECT_EQ(personString("jörg müller", "j@x.de"), "JÖRG MÜLLER J@X.DE");
    // 98 + blank + "É" (2 bytes) is 101 bytes: the É goes whole, the blank trails.
    EXPECT_EQ(personString(std::string(98, 'a'), "é@x"), std::string(98, 'A'));
    EXPECT_EQ(personString(std::string(97, 'a'), "é@x"), std::string(97, 'A') + " É");
}

TEST_F(PersonStore, FindsByStringThenByAliasAndRepairsADanglingAlias) {
    openDatabase(TypeForum, "Test Forum");
    ASSERT_EQ(AddPers("Ann Lee", "1,1"), 0);
    const ULONG ann = PER.PERSONID;
    EXPECT_EQ(PER.LASTNAME.str(), "Lee");
    EXPECT_EQ(PER.FIRSTNAME.str(), "Ann");
    EXPECT_EQ(PER.ADDRESS.str(), "1,1");
    ASSERT_EQ(AddPers("ANN LEE", "1,1"), 0);  // the person string is upper case
    EXPECT_EQ(PER.PERSONID, ann);

    // An alias left by merging "Annie Lee" into Ann.
    PLINK.clear();
    PLI.PERSONSTRING = personString("Annie Lee", "1,1");
    PLI.PERSONID = ann;
    ASSERT_EQ(PLINK.add(), StorageStatus::Ok);
    ASSERT_EQ(AddPers("Annie Lee", "1,1"), 0);
    EXPECT_EQ(PER.PERSONID, ann);
    EXPECT_EQ(Person.records(), 1);

    // An alias whose person is gone: a new person, and the alias goes.
    PLINK.clear();
    PLI.PERSONSTRING = personString("Bob Gone", "2,2");
    PLI.PERSONID = 999999;
    ASSERT_EQ(PLINK.add(), StorageStatus::Ok);
    const long writesBefore = ms.writes();
    ASSERT_EQ(AddPers("Bob Gone", "2,2"), 0);
    const ULONG bob = PER.PERSONID;
    EXPECT_NE(bob, 999999u);
    EXPECT_EQ(PER.PERSONSTRING.str(), "BOB GONE 2,2");
    EXPECT_EQ(ms.writes() - writesBefore, 2);
    PLINK.clear();
    PLI.PERSONSTRING = "BOB GONE 2,2";
    EXPECT_EQ(PLINK.get(PLI_StringKey), StorageStatus::NotFound);
    ASSERT_EQ(AddPers("Bob Gone", "2,2"), 0);
    EXPECT_EQ(PER.PERSONID, bob);
    EXPECT_EQ(PLINK.records(), 1);
}

TEST_F(PersonStore, MessageRecountComparesWithTheStoredCounts) {
    openDatabase(TypeForum, "Test Forum");
    auto m = message().section(1, "S").subject("S");
    store(m.number(1).from("Ann Lee").to("Bob Ray"));
    store(m.number(2).from("Ann Lee").to("All"));
    store(m.number(3).from("Bob Ray").to("Ann Lee"));
    finishDatabase();

    ASSERT_TRUE(person(personIdOf("Ann Lee", "")));
    EXPECT_EQ(personMessageRecount(), RecountUnchanged);
    PER.FROMCOUNT = 7;
    EXPECT_EQ(personMessageRecount(), RecountChanged);
    EXPECT_EQ(PER.FROMCOUNT, 2u);
    EXPECT_EQ(PER.TOCOUNT, 1u);

    // A person of the same short name but another identifier counts apart.
    ASSERT_EQ(AddPers("Other Lee", "9,9"), 0);
    EXPECT_EQ(personMessageRecount(), RecountNoMessages);
}

TEST_F(PersonStore, MailRecountModes) {
    openMailDatabase("Inbox", "me@home.org");
    store(message().replyTo(11).mailType(1).date(1).subject("S").from("Fred Foreign", "f@x").to("Me", "me@home.org"));
    store(message().replyTo(12).mailType(1).date(2).subject("S").from("Fred Foreign", "f@x").to("Me", "me@home.org"));
    finishDatabase();

    ASSERT_TRUE(person(personIdOf("Fred Foreign", "f@x")));
    EXPECT_EQ(CFromToMail(0), RecountUnchanged);
    PER.TOCOUNT = 5;
    EXPECT_EQ(CFromToMail(0), RecountChanged);
    EXPECT_EQ(PER.FROMCOUNT, 2u);
    EXPECT_EQ(PER.TOCOUNT, 0u);

    ASSERT_EQ(AddPers("Nobody Here", "n@x"), 0);
    PER.FROMCOUNT = 3;
    const struct {
        int mode;
        BYTE result;
        ULONG fromCount;
    } modes[] = {{0, RecountNoMessages, 3}, {2, RecountUnchanged, 3}, {1, RecountChanged, 0}};
    for (const auto& c : modes) {
        EXPECT_EQ(CFromToMail(c.mode), c.result) << c.mode;
        EXPECT_EQ(PER.FROMCOUNT, c.fromCount) << c.mode;
    }
}

}  // namespace
}  // namespace pm
