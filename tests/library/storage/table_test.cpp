// The keyed-table layer over SQLite: ordering of ascending, descending and
// mixed keys, positioning, writes during a scan, transactions across stores,
// appends with a later key build, layout checks and record holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct TableItemRecord {
    ULONG ID;
    FixedText<10> NAME;
    LONG DATE;
    BYTE DUMMY;
};
#pragma pack(pop)
static_assert(sizeof(TableItemRecord) == 19);

const TableDef& tableItemDef() {
    static const TableDef def = makeTableDef(
        3, "Item", "ITM", Location::Db, StorageClass::Keyed, sizeof(TableItemRecord), true,
        {PM_FIELD(TableItemRecord, ID, ULong), PM_FIELD(TableItemRecord, NAME, String),
         PM_FIELD(TableItemRecord, DATE, Long), PM_FIELD(TableItemRecord, DUMMY, Byte)},
        {{"Text", 64000}},
        {{"IdKey", Primary, {desc("ID")}},
         {"NameKey", Dup, {asc("NAME"), desc("DATE"), desc("ID")}},
         {"DateKey", Dup, {desc("DATE")}},
         {"UniqueName", Unique, {asc("NAME"), asc("DATE")}}});
    return def;
}

struct Fixture : ::testing::Test {
    test::TempDir root;
    TableItemRecord ITM{};
    std::string ITM_Text;
    Table items{tableItemDef(), &ITM, {&ITM_Text}};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        items.setFileName(root / "F1/IDX003.TPS");
        ASSERT_EQ(items.create(), StorageStatus::Ok);
        ASSERT_EQ(items.open(), StorageStatus::Ok);
    }

    void add(ULONG id, const char* name, LONG date) {
        items.clear();
        ITM.ID = id;
        ITM.NAME = name;
        ITM.DATE = date;
        ITM_Text = "text of " + std::to_string(id);
        ASSERT_EQ(items.add(), StorageStatus::Ok) << items.lastError().text;
    }

    std::vector<ULONG> readAll(int direction = 1) {
        std::vector<ULONG> ids;
        while ((direction > 0 ? items.next() : items.previous()) == StorageStatus::Ok) ids.push_back(ITM.ID);
        return ids;
    }
};

TEST_F(Fixture, KeysOrderAscendingDescendingAndMixed) {
    add(5, "beta", 100);
    add(3, "Alpha", 100);
    add(9, "alpha", 200);
    add(1, "Gamma", 50);
    add(7, "ALPHA", 150);

    items.set(*tableItemDef().key("IdKey"));
    EXPECT_EQ(readAll(), (std::vector<ULONG>{9, 7, 5, 3, 1}));  // newest first

    // Name case-blind ascending, then date descending, then id descending.
    items.set(*tableItemDef().key("NameKey"));
    EXPECT_EQ(readAll(), (std::vector<ULONG>{9, 7, 3, 5, 1}));
    items.set(*tableItemDef().key("NameKey"));
    EXPECT_EQ(readAll(-1), (std::vector<ULONG>{1, 5, 3, 7, 9}));

    // Equal dates keep the order of addition.
    items.set(*tableItemDef().key("DateKey"));
    EXPECT_EQ(readAll(), (std::vector<ULONG>{9, 7, 5, 3, 1}));
    EXPECT_EQ(items.records(), 5);
}

TEST_F(Fixture, PositioningByValuesAndPositionAndGet) {
    for (ULONG i = 1; i <= 40; ++i) add(i, i % 2 ? "odd" : "even", static_cast<LONG>(1000 + i));

    items.clear();
    ITM.NAME = "ODD";
    ITM.DATE = 1020;
    ITM.ID = 0;
    items.setAt(*tableItemDef().key("NameKey"));
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 19u);  // the first odd one dated 1020 or earlier
    ASSERT_EQ(items.previous(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 21u);

    // From a record's position, inclusive.
    items.clear();
    ITM.ID = 30;
    ASSERT_EQ(items.get(*tableItemDef().key("IdKey")), StorageStatus::Ok);
    EXPECT_EQ(ITM_Text, "text of 30");
    items.setAtPosition(*tableItemDef().key("IdKey"), items.position());
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 30u);
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 29u);

    // A clear-to-highest value positions behind every record.
    items.clear(1);
    items.setAt(*tableItemDef().key("DateKey"));
    EXPECT_EQ(items.next(), StorageStatus::Ok);  // DateKey is descending: highest comes first
    EXPECT_EQ(ITM.ID, 40u);
    items.clear(-1);
    items.setAt(*tableItemDef().key("NameKey"));
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.NAME.str(), "even");

    items.clear();
    ITM.ID = 99;
    EXPECT_EQ(items.get(*tableItemDef().key("IdKey")), StorageStatus::NotFound);
}

TEST_F(Fixture, WritesDuringAScanDoNotLoseThePlace) {
    for (ULONG i = 1; i <= 300; ++i) add(i, "n", static_cast<LONG>(i));
    items.set(*tableItemDef().key("IdKey"));
    std::vector<ULONG> seen;
    while (items.next() == StorageStatus::Ok) {
        seen.push_back(ITM.ID);
        if (ITM.ID % 3 == 0) {
            ASSERT_EQ(items.erase(), StorageStatus::Ok);
        } else {
            ITM.DUMMY = 2;
            ASSERT_EQ(items.put(), StorageStatus::Ok);
        }
    }
    ASSERT_EQ(seen.size(), 300u);
    EXPECT_EQ(seen.front(), 300u);
    EXPECT_EQ(seen.back(), 1u);
    EXPECT_EQ(items.records(), 200);
}

TEST_F(Fixture, UniqueKeysRefuseDuplicatesCaseBlind) {
    add(1, "Smith", 1);
    items.clear();
    ITM.ID = 1;
    ITM.NAME = "other";
    EXPECT_EQ(items.add(), StorageStatus::DuplicateKey);
    // The unique name key compares without regard to case, Unicode-aware.
    add(2, "Straße", 1);
    items.clear();
    ITM.ID = 3;
    ITM.NAME = "STRASSE";
    ITM.DATE = 1;
    EXPECT_EQ(items.add(), StorageStatus::DuplicateKey);
    ITM.NAME = "ÉCOLE";
    ASSERT_EQ(items.add(), StorageStatus::Ok);
    ITM.ID = 4;
    ITM.NAME = "école";
    EXPECT_EQ(items.add(), StorageStatus::DuplicateKey);
    EXPECT_EQ(items.records(), 3);
}

TEST_F(Fixture, GetTextReadsOneColumnAndLeavesTheBufferAndSequence) {
    for (ULONG i = 1; i <= 6; ++i) add(i, i % 2 ? "odd" : "even", static_cast<LONG>(100 + i));
    const KeyDef& idKey = *tableItemDef().key("IdKey");
    items.set(idKey);
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    ASSERT_EQ(ITM.ID, 6u);
    const RecordPosition at = items.position();

    std::string value = "left over";
    ITM.ID = 3;
    ASSERT_EQ(items.getText(idKey, "Text", value), StorageStatus::Ok) << items.lastError().text;
    EXPECT_EQ(value, "text of 3");
    ASSERT_EQ(items.getText(idKey, "NAME", value), StorageStatus::Ok);
    EXPECT_EQ(value, "odd");
    // By a key of several parts, texts compared as the key compares them.
    ITM.NAME = "EVEN";
    ITM.DATE = 104;
    ITM.ID = 4;
    ASSERT_EQ(items.getText(*tableItemDef().key("NameKey"), "Text", value), StorageStatus::Ok);
    EXPECT_EQ(value, "text of 4");

    // Nothing but the key values set above was touched: the sequence goes on.
    EXPECT_EQ(ITM.ID, 4u);
    EXPECT_EQ(ITM.NAME.view(), "EVEN");
    EXPECT_EQ(ITM_Text, "text of 6");
    EXPECT_EQ(items.position(), at);
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 5u);

    ITM.ID = 99;
    EXPECT_EQ(items.getText(idKey, "Text", value), StorageStatus::NotFound);
    ITM.ID = 1;
    EXPECT_EQ(items.getText(idKey, "DATE", value), StorageStatus::Other);  // no text
    EXPECT_EQ(items.getText(idKey, "NOSUCH", value), StorageStatus::Other);
    EXPECT_NE(items.lastError().text.find("NOSUCH"), std::string::npos);
}

// A number changed in place by a unique key: the keys over it follow, the
// buffer and the other fields stay, and a rollback takes it back.
TEST_F(Fixture, AddToNumberChangesOneFieldByAUniqueKey) {
    add(1, "one", 10);
    add(2, "two", 20);
    add(3, "three", 30);
    const KeyDef& idKey = *tableItemDef().key("IdKey");
    const int date = tableItemDef().fieldIndex("DATE");
    items.clear();
    ITM.ID = 1;
    ASSERT_EQ(items.addToNumber(idKey, date, 25), StorageStatus::Ok) << items.lastError().text;
    EXPECT_EQ(ITM.DATE, 0) << "the buffer stays";
    ITM.NAME = "TWO";  // case-blind, as the key compares
    ITM.DATE = 20;
    ASSERT_EQ(items.addToNumber(*tableItemDef().key("UniqueName"), date, -15), StorageStatus::Ok);
    items.set(*tableItemDef().key("DateKey"));
    EXPECT_EQ(readAll(), (std::vector<ULONG>{1, 3, 2}));  // 35, 30, 5
    ITM.ID = 1;
    ASSERT_EQ(items.get(idKey), StorageStatus::Ok);
    EXPECT_EQ(ITM.NAME.view(), "one");
    EXPECT_EQ(ITM_Text, "text of 1");

    ASSERT_EQ(beginTransaction({&items}), StorageStatus::Ok);
    ITM.ID = 3;
    ASSERT_EQ(items.addToNumber(idKey, date, 100), StorageStatus::Ok);
    rollbackTransaction();
    ASSERT_EQ(items.get(idKey), StorageStatus::Ok);
    EXPECT_EQ(ITM.DATE, 30);

    ITM.ID = 99;
    EXPECT_EQ(items.addToNumber(idKey, date, 1), StorageStatus::NotFound);
    ITM.ID = 1;
    EXPECT_EQ(items.addToNumber(*tableItemDef().key("DateKey"), date, 1), StorageStatus::Other);  // not unique
    EXPECT_EQ(items.addToNumber(idKey, tableItemDef().fieldIndex("NAME"), 1), StorageStatus::Other);
    ASSERT_EQ(items.get(idKey), StorageStatus::Ok);
    EXPECT_EQ(ITM.DATE, 35);
}

TEST_F(Fixture, TextFieldsCutWholeCharactersAndMemosHaveALimit) {
    items.clear();
    ITM.ID = 1;
    ITM.NAME = "abcdefghiä";  // 'ä' is two bytes and does not fit into the tenth byte
    EXPECT_EQ(ITM.NAME.view(), "abcdefghi");
    ITM_Text = std::string(64001, 'x');
    EXPECT_NE(items.add(), StorageStatus::Ok);
    ITM_Text.resize(64000);
    EXPECT_EQ(items.add(), StorageStatus::Ok);
}

TEST_F(Fixture, AppendDefersTheKeysUntilBuilt) {
    for (ULONG i = 1; i <= 50; ++i) {
        items.clear();
        ITM.ID = i;
        ITM.NAME = "x";
        ITM.DATE = static_cast<LONG>(i);
        ASSERT_EQ(items.append(), StorageStatus::Ok);
    }
    items.close();
    // Another open finds the keys missing.
    EXPECT_EQ(items.open(), StorageStatus::BadKeys);
    EXPECT_EQ(items.buildKeys(), StorageStatus::Ok);
    ASSERT_EQ(items.open(), StorageStatus::Ok);
    items.set(*tableItemDef().key("IdKey"));
    ASSERT_EQ(items.next(), StorageStatus::Ok);
    EXPECT_EQ(ITM.ID, 50u);
}

// Completing the keys builds a key kept on demand once, then leaves the
// kept keys alone; after appends it builds what they left out.
TEST_F(Fixture, CompletingTheKeysBuildsOnlyWhatIsMissing) {
    static const TableDef counted = makeTableDef(
        4, "Counted", "CNT", Location::Db, StorageClass::Keyed, sizeof(TableItemRecord), true,
        {PM_FIELD(TableItemRecord, ID, ULong), PM_FIELD(TableItemRecord, DATE, Long)}, {},
        {{"IdKey", Primary, {asc("ID")}}, {"DateKey", Dup | OnDemand, {asc("DATE")}}});
    TableItemRecord record{};
    Table table{counted, &record};
    table.setFileName(root / "F1/IDX004.TPS");
    ASSERT_EQ(table.create(), StorageStatus::Ok);
    ASSERT_EQ(table.open(), StorageStatus::Ok);
    const std::string store = root / "F1/postmoor.db";
    const auto indexes = [&] {
        return test::storeRows(store, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Counted' "
                                      "ORDER BY name");
    };
    const auto version = [&] { return test::storeRows(store, "PRAGMA schema_version"); };
    for (ULONG id : {2u, 1u}) {
        record.ID = id;
        record.DATE = static_cast<LONG>(10 - id);
        ASSERT_EQ(table.add(), StorageStatus::Ok);
    }
    EXPECT_EQ(indexes().find("DateKey"), std::string::npos);
    ASSERT_EQ(table.completeKeys(), StorageStatus::Ok) << table.lastError().text;
    EXPECT_NE(indexes().find("DateKey"), std::string::npos);
    const std::string built = version();
    ASSERT_EQ(table.completeKeys(), StorageStatus::Ok);
    EXPECT_EQ(version(), built) << "nothing built again";

    record.ID = 1;  // a duplicate of the unique key
    ASSERT_EQ(table.append(), StorageStatus::Ok);
    EXPECT_EQ(table.completeKeys(), StorageStatus::DuplicateKey);
    table.set(*counted.key("DateKey"));
    std::vector<ULONG> ids;
    while (table.next() == StorageStatus::Ok) ids.push_back(record.ID);
    EXPECT_EQ(ids.size(), 3u);
}

TEST_F(Fixture, RecordsStayReadableWhenAppendedDuplicatesBlockTheKeys) {
    for (ULONG id : {3u, 1u, 3u, 2u}) {
        items.clear();
        ITM.ID = id;
        ITM.NAME = "dup";
        ITM.DATE = static_cast<LONG>(id);
        ASSERT_EQ(items.append(), StorageStatus::Ok);
    }
    EXPECT_EQ(items.buildKeys(), StorageStatus::DuplicateKey);
    items.set(*tableItemDef().key("IdKey"));
    EXPECT_EQ(readAll(), (std::vector<ULONG>{3, 3, 2, 1}));
    items.setPhysical();
    EXPECT_EQ(readAll(), (std::vector<ULONG>{3, 1, 3, 2}));
}

TEST_F(Fixture, OpenReportsMissingPathsFilesAndOtherLayouts) {
    TableItemRecord other{};
    Table missing{tableItemDef(), &other};
    missing.setFileName(root / "F9/IDX003.TPS");
    EXPECT_EQ(missing.open(), StorageStatus::PathNotFound);
    missing.setFileName(root / "F1/IDX004.TPS");
    std::filesystem::create_directory(root / "F2");
    missing.setFileName(root / "F2/IDX003.TPS");
    EXPECT_EQ(missing.open(), StorageStatus::FileNotFound);
    missing.setFileName("");
    EXPECT_EQ(missing.open(), StorageStatus::InvalidName);

    // A table of the same name with other columns.
    static const TableDef older = makeTableDef(3, "Item", "ITM", Location::Db, StorageClass::Keyed, 4, true,
                                               {PM_FIELD(TableItemRecord, ID, ULong)}, {}, {{"IdKey", Primary, {asc("ID")}}});
    TableItemRecord buffer{};
    Table old{older, &buffer};
    old.setFileName(root / "F2/IDX003.TPS");
    ASSERT_EQ(old.create(), StorageStatus::Ok);
    EXPECT_EQ(old.checkLayout(), StorageStatus::Ok);
    missing.setFileName(root / "F2/IDX003.TPS");
    EXPECT_EQ(missing.open(), StorageStatus::LayoutDiffers);
    EXPECT_TRUE(missing.exists());
    EXPECT_EQ(missing.remove(), StorageStatus::Ok);
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.remove(), StorageStatus::Ok);  // a missing file counts as deleted
}

TEST_F(Fixture, ATransactionRollsBackAcrossTwoStores) {
    TableItemRecord second{};
    std::string secondText;
    Table other{tableItemDef(), &second, {&secondText}};
    std::filesystem::create_directory(root / "F2");
    other.setFileName(root / "F2/IDX003.TPS");
    ASSERT_EQ(other.create(), StorageStatus::Ok);
    ASSERT_EQ(other.open(), StorageStatus::Ok);

    add(1, "kept", 1);
    ASSERT_EQ(beginTransaction({&items, &other}), StorageStatus::Ok);
    add(2, "gone", 2);
    other.clear();
    second.ID = 2;
    ASSERT_EQ(other.add(), StorageStatus::Ok);
    rollbackTransaction();
    EXPECT_EQ(items.records(), 1);
    EXPECT_EQ(other.records(), 0);

    ASSERT_EQ(beginTransaction({&items, &other}), StorageStatus::Ok);
    add(3, "kept", 3);
    second.ID = 3;
    ASSERT_EQ(other.add(), StorageStatus::Ok);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    closeStorage();
    ASSERT_EQ(items.open(), StorageStatus::Ok);
    ASSERT_EQ(other.open(), StorageStatus::Ok);
    EXPECT_EQ(items.records(), 2);
    EXPECT_EQ(other.records(), 1);
}

TEST_F(Fixture, HoldRereadsTheRecordAndLocksAreReleased) {
    add(1, "one", 1);
    add(2, "two", 2);
    items.clear();
    ITM.ID = 1;
    ASSERT_EQ(items.get(*tableItemDef().key("IdKey")), StorageStatus::Ok);
    ITM.NAME = "changed in buffer";
    ASSERT_EQ(items.hold(1), StorageStatus::Ok);
    EXPECT_EQ(ITM.NAME.str(), "one");
    items.release();
    ASSERT_EQ(items.lock(), StorageStatus::Ok);
    items.unlock();
    ASSERT_EQ(items.erase(), StorageStatus::Ok);
    EXPECT_EQ(items.hold(1), StorageStatus::NotFound);
}

TEST_F(Fixture, ClearSetsLowestAndHighest) {
    items.clear(1);
    EXPECT_EQ(ITM.ID, 0xFFFFFFFFu);
    EXPECT_EQ(ITM.DATE, 0x7FFFFFFF);
    EXPECT_EQ(ITM.DUMMY, 255);
    items.clear(-1);
    EXPECT_EQ(ITM.DATE, INT32_MIN);
    EXPECT_EQ(ITM.NAME.raw(), std::string(10, ' '));
    items.clear();
    EXPECT_EQ(ITM.DATE, 0);
    EXPECT_TRUE(ITM.NAME.empty());
}

// Messages name a table as a person finds it: its label and its store,
// below the installation root when it lies there; a file of its own by name.
TEST_F(Fixture, MessagesNameATableByItsLabelAndStore) {
    setDisplayRoot(root.path() + "/");
    EXPECT_EQ(items.displayName(), "Item in F1/postmoor.db");
    setDisplayRoot(root / "F1");
    EXPECT_EQ(items.displayName(), "Item in postmoor.db");
    setDisplayRoot(root / "F");  // "F1" begins with "F" but lies elsewhere
    EXPECT_EQ(items.displayName(), "Item in " + root.path() + "/F1/postmoor.db");
    setDisplayRoot("");
    EXPECT_EQ(items.displayName(), "Item in " + root.path() + "/F1/postmoor.db");

    static const TableDef lines = makeTableDef(31, "Lines", "LIN", Location::Ext, StorageClass::Lines, 4, false,
                                               {PM_FIELD(TableItemRecord, ID, ULong)}, {}, {});
    TableItemRecord buffer{};
    Table file{lines, &buffer};
    EXPECT_EQ(file.displayName(), "Lines");
    file.setFileName(root / "export.txt");
    EXPECT_EQ(file.displayName(), root / "export.txt");
}

}  // namespace
}  // namespace pm
