// Merging persons automatically (shared addresses) and by hand, renaming
// and alias swaps on the sample databases: who survives, where the
// messages and aliases go, what the mailbox owner is spared, and counts
// equal to a fresh count afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/globals.h"
#include "common/text.h"
#include "fresh_counts.h"
#include "maintenance_fixture.h"
#include "maintenance/address_normaliser.h"
#include "maintenance/duplicate_run.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/person_edits.h"
#include "maintenance/person_merge.h"
#include "support/installation_fixture.h"
#include "support/sample_databases.h"
#include "tables/persons/person_store.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

TEST(AddressNormaliser, BringsTheFormsOfAnIdentifierTogether) {
    EXPECT_EQ(normaliseAddress("12345.678"), "12345,678");
    EXPECT_EQ(normaliseAddress("12345, 678"), "12345,678");
    EXPECT_EQ(normaliseAddress("[12345,678]"), "12345,678");
    EXPECT_EQ(normaliseAddress("12345.678@CompuServe.COM"), "12345,678");
    EXPECT_EQ(normaliseAddress("fred@else.org"), "fred@else.org");
    EXPECT_EQ(normaliseAddress("abc"), "abc");
    EXPECT_EQ(normaliseAddress("   "), "");
}

TEST(SurvivorChoice, NamedAndNewerWinsAndTheOwnerAlways) {
    std::vector<Suspect> group = {{1, "Smith", 3, 100}, {2, "", 5, 200}, {3, "S", 1, 150}, {4, "X", 0, 0}};
    EXPECT_EQ(chooseSurvivor(group, 0), 3u);   // 2 has no name; 3 is named and newer than 1
    EXPECT_EQ(chooseSurvivor(group, 4), 4u);   // the mailbox owner
    EXPECT_EQ(chooseSurvivor({{7, "A", 0, 0}, {8, "B", 0, 0}}, 0), 0u);
}

class PersonMergeTest : public test::MaintenanceTest {
protected:
    // A further person; returns its id.
    static ULONG addPerson(ULONG id, const std::string& string, const std::string& last, const std::string& address) {
        Person.clear();
        PER.PERSONID = id;
        PER.PERSONSTRING = string;
        PER.LASTNAME = last;
        PER.ADDRESS = address;
        EXPECT_EQ(Person.add(), StorageStatus::Ok);
        return id;
    }
    // Makes `person` the sender of forum message `number`.
    static void sentBy(ULONG number, ULONG person, const std::string& alpha) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = number;
        ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
        MSG.FROMID = person;
        MSG.FROMALPHA = alpha;
        ASSERT_EQ(MsgNmbr.put(), StorageStatus::Ok);
    }
    static PersonRecord person(ULONG id) {
        Person.clear();
        PER.PERSONID = id;
        return Person.get(PER_PersonKey) == StorageStatus::Ok ? PER : PersonRecord{};
    }
    static MsgNmbrRecord header(ULONG number) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = number;
        return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok ? MSG : MsgNmbrRecord{};
    }
};

TEST_F(PersonMergeTest, PersonsSharingAnAddressMergeIntoTheNamedOneWithTheNewerMessage) {
    open(TypeForum);
    const ULONG smith = test::personNamed("Smith");
    const PersonRecord smithBefore = person(smith);
    // The same identifier written with a dot, sending the newest message;
    // and a second person without an address, never merged.
    const ULONG s = addPerson(990001, "JOHN S 12345.678", "S", "12345.678");
    sentBy(105, s, "S");
    const ULONG blank = addPerson(990002, "ALL OTHERS", "All", "");
    sentBy(110, blank, "All");
    const std::int64_t before = Person.records();

    DuplicateRun run;
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(reportCounter(run.report(), duplicate_counter::Duplicates), 1);
    EXPECT_EQ(reportCounter(run.report(), duplicate_counter::Before), before);
    EXPECT_EQ(person(smith).PERSONID, 0u);
    EXPECT_EQ(std::string(person(s).ADDRESS.view()), "12345,678");
    for (ULONG m : {100u, 103u, 120u}) {
        EXPECT_EQ(header(m).FROMID, s) << m;
        EXPECT_EQ(std::string(header(m).FROMALPHA.view()), "S") << m;
    }
    EXPECT_EQ(header(101).TOID, s);
    EXPECT_EQ(person(blank).PERSONID, blank);
    // The merged person's string leads to the survivor.
    EXPECT_EQ(aliasesOf(s), std::vector<std::string>{std::string(trim(smithBefore.PERSONSTRING.view()))});
    ASSERT_EQ(AddPers("John Smith", "12345,678"), 0);
    EXPECT_EQ(PER.PERSONID, s);
    EXPECT_EQ(test::countDifferences(), "");

    // Run again: nothing left to merge.
    DuplicateRun again;
    ASSERT_EQ(runToEnd(again), JobStatus::Done);
    EXPECT_EQ(reportCounter(again.report(), duplicate_counter::Duplicates), 0);
}

TEST_F(PersonMergeTest, ManualMergeCarriesAliasesAndNeverMergesTheMailboxOwnerAway) {
    open(TypeMail);
    const ULONG fred = test::personNamed("Foreign"), zola = test::personNamed("Zola");
    const ULONG owner = Mem.PersonID;
    // An alias of Zola's from an earlier merge.
    PLINK.clear();
    PLI.PERSONSTRING = "EMILE Z EMILE@ZOLA.FR";
    PLI.PERSONID = zola;
    ASSERT_EQ(PLINK.add(), StorageStatus::Ok);
    const std::string zolaString(trim(person(zola).PERSONSTRING.view()));

    // The owner on the list is refused and left out; Zola goes into Fred.
    DuplicateRun run(fred, {owner, zola});
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_TRUE(ui.sawText("You are not allowed to change the mail default address!"));
    EXPECT_EQ(run.merged(), std::vector<ULONG>{zola});
    EXPECT_EQ(person(owner).PERSONID, owner);
    EXPECT_EQ(person(zola).PERSONID, 0u);
    Mail.clear();
    MAI.MAILID = 1003;
    ASSERT_EQ(Mail.get(MAI_IdKey), StorageStatus::Ok);
    EXPECT_EQ(MAI.FROMID, fred);
    EXPECT_EQ(MAI.PAIRID, fred);
    EXPECT_EQ(std::string(MAI.PAIRALPHA.view()), "Foreign");
    const std::vector<std::string> aliases = aliasesOf(fred);
    EXPECT_EQ(aliases.size(), 2u);
    EXPECT_NE(std::find(aliases.begin(), aliases.end(), zolaString), aliases.end());
    EXPECT_EQ(person(fred).FROMCOUNT, 2u);  // 1001 and 1003

    // A partner merged into the owner: the owner survives with its mails.
    ui.clear();
    DuplicateRun intoOwner(owner, {fred});
    ASSERT_EQ(runToEnd(intoOwner), JobStatus::Done);
    EXPECT_EQ(person(fred).PERSONID, 0u);
    // Every mail is the owner's now, on both sides (1004 only received).
    EXPECT_EQ(person(owner).FROMCOUNT, 3u);
    EXPECT_EQ(person(owner).TOCOUNT, 4u);
}

TEST_F(PersonMergeTest, RenamingRenewsShortNamesOnlyWhenTheLastNameChanges) {
    open(TypeForum);
    const ULONG smith = test::personNamed("Smith");
    EXPECT_EQ(renamePerson(person(smith), "Smith", "Jonathan"), PersonEdit::Saved);
    EXPECT_EQ(std::string(person(smith).FIRSTNAME.view()), "Jonathan");
    EXPECT_EQ(std::string(header(100).FROMALPHA.view()), "Smith");

    // The form may hand over the record buffer itself.
    person(smith);
    EXPECT_EQ(renamePerson(PER, "Smithsonian-Jones", "John"), PersonEdit::Saved);
    for (ULONG m : {100u, 103u, 120u}) EXPECT_EQ(std::string(header(m).FROMALPHA.view()), "Smithsonia") << m;
    EXPECT_EQ(std::string(header(101).TOALPHA.view()), "Smithsonia");

    // A copy read before someone else's change is refused.
    PersonRecord stale = person(smith);
    stale.FROMCOUNT += 1;
    EXPECT_EQ(renamePerson(stale, "Other", "Name"), PersonEdit::ChangedMeanwhile);
    EXPECT_TRUE(ui.sawText("The record has just been changed by another user!"));
    EXPECT_EQ(std::string(person(smith).LASTNAME.view()), "Smithsonian-Jones");
}

TEST_F(PersonMergeTest, SwappingAnAliasExchangesTheStrings) {
    open(TypeForum);
    const ULONG smith = test::personNamed("Smith");
    const std::string current(trim(person(smith).PERSONSTRING.view()));
    PLINK.clear();
    PLI.PERSONSTRING = "J SMITH 12345,999";
    PLI.PERSONID = smith;
    ASSERT_EQ(PLINK.add(), StorageStatus::Ok);
    EXPECT_EQ(swapAlias(smith, "J SMITH 12345,999"), PersonEdit::Saved);
    EXPECT_EQ(std::string(person(smith).PERSONSTRING.view()), "J SMITH 12345,999");
    EXPECT_EQ(std::string(person(smith).ADDRESS.view()), "12345,999");
    EXPECT_EQ(aliasesOf(smith), std::vector<std::string>{current});
}

}  // namespace
}  // namespace pm
