// Ranges of a key: counting, jumping to an ordinal from either end and the
// ordinal of a record agree with a plain walk along the key, for ascending,
// descending and caseless components, in keyed and posting-list tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct RangeRowRecord {
    ULONG ID;
    FixedText<10> NAME;
    LONG DATE;
};
struct RangePairRecord {
    ULONG A;
    ULONG B;
};
#pragma pack(pop)

const TableDef& rangeRowDef() {
    static const TableDef def = makeTableDef(
        3, "Rows", "ROW", Location::Db, StorageClass::Keyed, sizeof(RangeRowRecord), true,
        {PM_FIELD(RangeRowRecord, ID, ULong), PM_FIELD(RangeRowRecord, NAME, String), PM_FIELD(RangeRowRecord, DATE, Long)}, {},
        {{"IdKey", Primary, {desc("ID")}}, {"NameKey", Dup, {asc("NAME"), desc("DATE"), asc("ID")}}});
    return def;
}

const TableDef& rangePairDef() {
    static const TableDef def = [] {
        TableDef d = makeTableDef(29, "Pairs", "PAI", Location::Db, StorageClass::Simple, sizeof(RangePairRecord), false,
                                  {PM_FIELD(RangePairRecord, A, ULong), PM_FIELD(RangePairRecord, B, ULong)}, {},
                                  {{"by_A", Primary, {asc("A"), asc("B")}}, {"by_B", Dup, {asc("B")}}});
        d.layout = PhysicalLayout::PostingLists;
        return d;
    }();
    return def;
}

struct KeyRange : ::testing::Test {
    test::TempDir root;
    RangeRowRecord ROW{};
    Table rows{rangeRowDef(), &ROW};
    RangePairRecord PAI{};
    Table pairs{rangePairDef(), &PAI};

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        rows.setFileName(root / "F1/IDX003.TPS");
        ASSERT_EQ(rows.create(), StorageStatus::Ok);
        ASSERT_EQ(rows.open(), StorageStatus::Ok);
        pairs.setFileName(root / "F1/IDX029.DAT");
        ASSERT_EQ(pairs.create(), StorageStatus::Ok);
        ASSERT_EQ(pairs.open(), StorageStatus::Ok);
    }
    void TearDown() override { closeStorage(); }

    // Positions of the range's records by walking the key.
    template <class Prime>
    std::vector<RecordPosition> walk(Table& t, const KeyDef& key, Prime inRange) {
        std::vector<RecordPosition> out;
        t.set(key);
        while (t.next() == StorageStatus::Ok)
            if (inRange()) out.push_back(t.position());
        return out;
    }

    // Checks every entry point against the walk; the buffer holds the prefix.
    void expectAgrees(Table& t, const KeyDef& key, std::size_t equalParts,
                      const std::vector<RecordPosition>& expected, const std::string& what) {
        const std::string prefix(static_cast<const char*>(t.record()), t.def().recordSize);
        ASSERT_EQ(t.rangeCount(key, equalParts), static_cast<std::int64_t>(expected.size())) << what;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            RecordPosition pos = 0;
            ASSERT_EQ(t.rangePosition(key, equalParts, static_cast<std::int64_t>(i), false, pos), StorageStatus::Ok);
            EXPECT_EQ(pos, expected[i]) << what << " ordinal " << i;
            ASSERT_EQ(t.rangePosition(key, equalParts, static_cast<std::int64_t>(i), true, pos), StorageStatus::Ok);
            EXPECT_EQ(pos, expected[expected.size() - 1 - i]) << what << " from the end " << i;
            EXPECT_EQ(t.rangeOrdinal(key, equalParts, expected[i]), static_cast<std::int64_t>(i)) << what;
        }
        RecordPosition pos = 0;
        EXPECT_EQ(t.rangePosition(key, equalParts, static_cast<std::int64_t>(expected.size()), false, pos),
                  StorageStatus::NotFound);
        EXPECT_EQ(std::string(static_cast<const char*>(t.record()), t.def().recordSize), prefix)
            << what << ": the buffer stays as it was";
    }
};

TEST_F(KeyRange, AgreesWithTheWalkForEveryPrefixOfAMixedKey) {
    // Names in several letter cases, equal dates and equal (name, date)
    // pairs, so that every component and the position break ties.
    const char* names[] = {"beta", "Alpha", "alpha", "ALPHA", "gamma", "Beta"};
    ULONG id = 1;
    for (int round = 0; round < 4; ++round)
        for (const char* name : names) {
            rows.clear();
            ROW.ID = id;
            ROW.NAME = name;
            ROW.DATE = 100 + static_cast<LONG>((id * 7) % 3);
            ++id;
            ASSERT_EQ(rows.add(), StorageStatus::Ok);
        }
    const KeyDef& byName = *rangeRowDef().key("NameKey");

    auto all = walk(rows, byName, [] { return true; });
    rows.clear();
    expectAgrees(rows, byName, 0, all, "whole key");

    // "alpha" in any letter case is one run under the caseless key.
    auto alphas = walk(rows, byName, [&] { return ROW.NAME.str() == "alpha" || ROW.NAME.str() == "Alpha" ||
                                                   ROW.NAME.str() == "ALPHA"; });
    ASSERT_EQ(alphas.size(), 12u);
    rows.clear();
    ROW.NAME = "ALPHA";
    expectAgrees(rows, byName, 1, alphas, "one component");

    auto alphas101 = walk(rows, byName, [&] { return ROW.NAME.view().size() == 5 &&
                                                     (ROW.NAME.str() == "alpha" || ROW.NAME.str() == "Alpha" ||
                                                      ROW.NAME.str() == "ALPHA") && ROW.DATE == 101; });
    rows.clear();
    ROW.NAME = "alpha";
    ROW.DATE = 101;
    expectAgrees(rows, byName, 2, alphas101, "two components");

    // A record of another run has no ordinal in this one.
    rows.clear();
    ROW.NAME = "gamma";
    EXPECT_EQ(rows.rangeOrdinal(byName, 1, alphas.front()), -1);
    rows.clear();
    ROW.NAME = "delta";
    EXPECT_EQ(rows.rangeCount(byName, 1), 0);
}

TEST_F(KeyRange, PostingListsAreWalked) {
    for (ULONG a = 1; a <= 30; ++a)
        for (ULONG b : {7u, 9u, 11u})
            if ((a + b) % 4 != 0) {
                PAI.A = a;
                PAI.B = b;
                ASSERT_EQ(pairs.add(), StorageStatus::Ok);
            }
    const KeyDef& byB = *rangePairDef().key("by_B");
    auto nines = walk(pairs, byB, [&] { return PAI.B == 9; });
    ASSERT_FALSE(nines.empty());
    pairs.clear();
    PAI.B = 9;
    expectAgrees(pairs, byB, 1, nines, "one list");
    auto everything = walk(pairs, byB, [] { return true; });
    pairs.clear();
    expectAgrees(pairs, byB, 0, everything, "every list");
}

}  // namespace
}  // namespace pm
