// Orders and uniqueness that the rest of the system relies on: newest first,
// same-date order, the unique catalog and person keys, the heading split of
// threads, and the two case attributes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records_fixture.h"

namespace pm {
namespace {

using Keys = test::Installation;

template <typename Value>
std::vector<Value> readAll(Table& table, const KeyDef& key, const Value& field) {
    std::vector<Value> seen;
    table.set(key);
    while (table.next() == StorageStatus::Ok) seen.push_back(field);
    return seen;
}

TEST_F(Keys, IdentifierKeysRunNewestFirst) {
    struct Case {
        int number;
        const KeyDef& key;
        ULONG& id;
    };
    for (Case c : {Case{3, MSG_IdKey, MSG.MSGNUMBER}, Case{13, MAI_IdKey, MAI.MAILID}, Case{32, SEA_IdKey, SEA.ID}}) {
        Table& table = prepare(c.number);
        SCOPED_TRACE(table.label());
        for (ULONG id : {5u, 3000000000u, 900u, 12u}) {
            table.clear();
            c.id = id;
            ASSERT_EQ(table.add(), StorageStatus::Ok) << table.lastError().text;
        }
        EXPECT_EQ(readAll(table, c.key, c.id), (std::vector<ULONG>{3000000000u, 900u, 12u, 5u}));
        table.clear();
        c.id = 900;
        EXPECT_EQ(table.add(), StorageStatus::DuplicateKey);
    }
}

TEST_F(Keys, MessagesOfOneDateRunByDescendingNumber) {
    prepare(3);
    const std::pair<ULONG, LONG> messages[] = {{1, 70999}, {2, 71000}, {3, 70999}, {4, 70999}, {5, 1}};
    for (auto [id, date] : messages) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = id;
        MSG.DATE = date;
        ASSERT_EQ(MsgNmbr.add(), StorageStatus::Ok);
    }
    EXPECT_EQ(readAll(MsgNmbr, MSG_DateKey, MSG.MSGNUMBER), (std::vector<ULONG>{2, 4, 3, 1, 5}));
}

TEST_F(Keys, CatalogNamesAndDirectoriesAreUniqueWithoutRegardToCase) {
    prepare(2);
    struct Row {
        ULONG id;
        const char* name;
        ULONG dir;
        StorageStatus expected;
    };
    const Row rows[] = {
        {1, "Alpha", 1, StorageStatus::Ok},
        {2, "ALPHA", 2, StorageStatus::DuplicateKey},  // same name in other letters
        {3, "Beta", 1, StorageStatus::DuplicateKey},   // same directory
        {4, "Beta", 2, StorageStatus::Ok},
        {4, "Gamma", 3, StorageStatus::DuplicateKey},  // same identifier
    };
    for (const Row& row : rows) {
        Forums.clear();
        FOR.ID = row.id;
        FOR.DESCRIPTION = row.name;
        FOR.DIRNUMBER = row.dir;
        EXPECT_EQ(Forums.add(), row.expected) << row.name;
    }
    EXPECT_EQ(Forums.records(), 2);
    Forums.clear();
    FOR.DESCRIPTION = "alpha";
    ASSERT_EQ(Forums.get(FOR_AlphaKey), StorageStatus::Ok);
    EXPECT_EQ(FOR.ID, 1u);
}

TEST_F(Keys, APersonStringLeadsToOnePerson) {
    prepare(5);
    prepare(23);
    Person.clear();
    PER.PERSONID = 1;
    PER.PERSONSTRING = "Smith John 70000,1";
    ASSERT_EQ(Person.add(), StorageStatus::Ok);
    PER.PERSONID = 2;
    PER.PERSONSTRING = "SMITH JOHN 70000,1";
    EXPECT_EQ(Person.add(), StorageStatus::DuplicateKey);

    for (ULONG person : {1u, 2u}) {
        PLINK.clear();
        PLI.PERSONSTRING = person == 1 ? "John Smith <js@example.org>" : "john smith <JS@example.org>";
        PLI.PERSONID = person;
        EXPECT_EQ(PLINK.add(), person == 1 ? StorageStatus::Ok : StorageStatus::DuplicateKey);
    }
    PLINK.clear();
    PLI.PERSONSTRING = "John Smith <js@example.org>";
    ASSERT_EQ(PLINK.get(PLI_StringKey), StorageStatus::Ok);
    EXPECT_EQ(PLI.PERSONID, 1u);
}

TEST_F(Keys, WritingTheHeadingFillsAlphaAndBeta) {
    prepare(7);
    Threads.clear();
    THR.THREADNUMBER = 1;
    THR.HEADING = "Printing problems with the new driver";
    EXPECT_EQ(THR.ALPHA.str(), "Printing p");
    EXPECT_EQ(THR.BETA.str(), "roblems with the new driver");
    ASSERT_EQ(Threads.add(), StorageStatus::Ok);

    // A character across the boundary: its bytes stay split between the two
    // parts and come back exactly.
    Threads.clear();
    THR.THREADNUMBER = 2;
    THR.HEADING = "Übergrößen im Test";
    const std::string heading(THR.HEADING.raw());
    ASSERT_EQ(static_cast<unsigned char>(THR.ALPHA.raw().back()), 0xC3);  // first byte of 'ß'
    ASSERT_EQ(Threads.add(), StorageStatus::Ok);
    const RecordPosition pos = Threads.position();
    Threads.clear();
    ASSERT_EQ(Threads.getAt(pos), StorageStatus::Ok);
    EXPECT_EQ(THR.HEADING.raw(), heading);

    // The sort part with half a character still finds its record.
    Threads.clear();
    std::memcpy(THR.ALPHA.bytes, heading.data(), 10);
    ASSERT_EQ(Threads.get(THR_AlphaKey), StorageStatus::Ok);
    EXPECT_EQ(THR.THREADNUMBER, 2u);
    EXPECT_EQ(readAll(Threads, THR_AlphaKey, THR.THREADNUMBER), (std::vector<ULONG>{1, 2}));
}

TEST_F(Keys, WordIndexKeysCompareExactlyOtherKeysIgnoreCase) {
    prepare(28);
    prepare(30);
    prepare(2);
    LONG id = 0;
    for (const char* word : {"Word", "WORD", "word"}) {
        WordList.clear();
        WOR.WORDID = ++id;
        WOR.THEWORD = word;
        WOR.WORDCOUNT = 10 - id;
        EXPECT_EQ(WordList.add(), StorageStatus::Ok) << word;
        STOFile.clear();
        STO.THEWORD = word;
        EXPECT_EQ(STOFile.add(), StorageStatus::Ok) << word;
    }
    WordList.clear();
    WOR.THEWORD = "wORD";
    EXPECT_EQ(WordList.get(WOR_by_theWord), StorageStatus::NotFound);
    WOR.THEWORD = "WORD";
    ASSERT_EQ(WordList.get(WOR_by_theWord), StorageStatus::Ok);
    EXPECT_EQ(WOR.WORDID, 2);
    // The count key is built on demand and still reads in its order.
    ASSERT_EQ(WordList.buildKeys(), StorageStatus::Ok);
    EXPECT_EQ(readAll(WordList, WOR_by_WordCount, WOR.WORDID), (std::vector<LONG>{3, 2, 1}));

    Forums.clear();
    FOR.ID = 1;
    FOR.DIRNUMBER = 1;
    FOR.DESCRIPTION = "Word";
    ASSERT_EQ(Forums.add(), StorageStatus::Ok);
    FOR.ID = 2;
    FOR.DIRNUMBER = 2;
    FOR.DESCRIPTION = "WORD";
    EXPECT_EQ(Forums.add(), StorageStatus::DuplicateKey);
}

}  // namespace
}  // namespace pm
