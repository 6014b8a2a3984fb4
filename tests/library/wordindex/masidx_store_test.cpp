// The word occurrences kept as posting lists: every Table operation checked
// against a plain ordered set of pairs, in both key orders and directions,
// through merges that interleave, blocks that split, erases and rollbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "storage/posting_prepare.h"
#include "storage/table.h"
#include "support/test_root.h"
#include "tables/records/wordindex_tables.h"

namespace pm {
namespace {

using Pair = std::pair<ULONG, ULONG>;  // (SYSID, WORDID)

struct MasIdxStore : ::testing::Test {
    test::TempDir root;
    std::set<Pair> model;

    void SetUp() override {
        std::filesystem::create_directory(root / "F1");
        MasIdx.setFileName(root / "F1/IDX029.TPS");
        ASSERT_EQ(MasIdx.create(), StorageStatus::Ok) << MasIdx.lastError().text;
        ASSERT_EQ(MasIdx.open(), StorageStatus::Ok) << MasIdx.lastError().text;
    }
    void TearDown() override { closeStorage(); }

    StorageStatus add(ULONG sys, ULONG word) {
        MAS.SYSID = sys;
        MAS.WORDID = word;
        StorageStatus st = MasIdx.add();
        if (st == StorageStatus::Ok) model.insert({sys, word});
        return st;
    }
    void append(ULONG sys, ULONG word) {
        MAS.SYSID = sys;
        MAS.WORDID = word;
        ASSERT_EQ(MasIdx.append(), StorageStatus::Ok);
        model.insert({sys, word});
    }

    // Everything in one order and direction, as pairs (SYSID, WORDID).
    std::vector<Pair> scan(const KeyDef* key, int dir) {
        if (key) MasIdx.set(*key);
        else MasIdx.setPhysical();
        std::vector<Pair> out;
        while ((dir > 0 ? MasIdx.next() : MasIdx.previous()) == StorageStatus::Ok) out.emplace_back(MAS.SYSID, MAS.WORDID);
        return out;
    }
    std::vector<Pair> expected(bool byWord, int dir) const {
        std::vector<Pair> out(model.begin(), model.end());
        if (byWord)
            std::stable_sort(out.begin(), out.end(),
                             [](const Pair& x, const Pair& y) { return x.second < y.second; });
        if (dir < 0) std::reverse(out.begin(), out.end());
        return out;
    }
    void expectAllOrders() {
        EXPECT_EQ(scan(nullptr, +1), expected(false, +1));
        EXPECT_EQ(scan(&MAS_by_SysID, +1), expected(false, +1));
        EXPECT_EQ(scan(&MAS_by_SysID, -1), expected(false, -1));
        EXPECT_EQ(scan(&MAS_by_WordId, +1), expected(true, +1));
        EXPECT_EQ(scan(&MAS_by_WordId, -1), expected(true, -1));
        EXPECT_EQ(MasIdx.records(), static_cast<std::int64_t>(model.size()));
    }
};

TEST_F(MasIdxStore, IsDeclaredAsPostingLists) {
    EXPECT_EQ(MasIdxDef().layout, PhysicalLayout::PostingLists);
    EXPECT_EQ(MasIdx.checkLayout(), StorageStatus::Ok);
}

TEST_F(MasIdxStore, KeyedAddGetAndDuplicates) {
    ASSERT_EQ(add(300, 7), StorageStatus::Ok);
    ASSERT_EQ(add(300, 2), StorageStatus::Ok);
    ASSERT_EQ(add(100, 7), StorageStatus::Ok);
    EXPECT_EQ(add(300, 7), StorageStatus::DuplicateKey);

    MAS.SYSID = 300;
    MAS.WORDID = 2;
    ASSERT_EQ(MasIdx.get(MAS_by_SysID), StorageStatus::Ok);
    const RecordPosition pos = MasIdx.position();
    MAS.WORDID = 3;
    EXPECT_EQ(MasIdx.get(MAS_by_SysID), StorageStatus::NotFound);
    // The word key finds the word's first message.
    MAS.SYSID = 0;
    MAS.WORDID = 7;
    ASSERT_EQ(MasIdx.get(MAS_by_WordId), StorageStatus::Ok);
    EXPECT_EQ(MAS.SYSID, 100u);
    MAS = {};
    ASSERT_EQ(MasIdx.getAt(pos), StorageStatus::Ok);
    EXPECT_EQ(MAS.SYSID, 300u);
    EXPECT_EQ(MAS.WORDID, 2u);
    expectAllOrders();
}

TEST_F(MasIdxStore, PositioningByValuesAndPositionsInBothKeys) {
    for (ULONG sys : {10u, 20u, 30u})
        for (ULONG word : {1u, 2u, 3u}) ASSERT_EQ(add(sys, word), StorageStatus::Ok);
    // (20, 2) and onwards in the primary order; backwards from it.
    MAS.SYSID = 20;
    MAS.WORDID = 2;
    MasIdx.setAt(MAS_by_SysID);
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 2));
    MasIdx.setAt(MAS_by_SysID);
    MAS.SYSID = 20;
    MAS.WORDID = 2;
    MasIdx.setAt(MAS_by_SysID);
    ASSERT_EQ(MasIdx.previous(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 2));
    ASSERT_EQ(MasIdx.previous(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 1));
    // The word key starts at the word's first message, or ends at its last.
    MAS.SYSID = 25;
    MAS.WORDID = 2;
    MasIdx.setAt(MAS_by_WordId);
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(10, 2));
    MasIdx.setAt(MAS_by_WordId);
    MAS.WORDID = 2;
    MasIdx.setAt(MAS_by_WordId);
    ASSERT_EQ(MasIdx.previous(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(30, 2));
    // A position resumes on its record, in either order.
    MAS.SYSID = 20;
    MAS.WORDID = 3;
    ASSERT_EQ(MasIdx.get(MAS_by_SysID), StorageStatus::Ok);
    const RecordPosition pos = MasIdx.position();
    MasIdx.setAtPosition(MAS_by_WordId, pos);
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 3));
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(30, 3));
    EXPECT_EQ(MasIdx.next(), StorageStatus::NotFound);
    MasIdx.setPhysicalAt(pos);
    ASSERT_EQ(MasIdx.previous(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 3));
    ASSERT_EQ(MasIdx.previous(), StorageStatus::Ok);
    EXPECT_EQ(Pair(MAS.SYSID, MAS.WORDID), Pair(20, 2));
}

TEST_F(MasIdxStore, RandomAppendsMergesAndErasesMatchAnOrderedSet) {
    std::mt19937 random(11);
    // Few words with many messages (blocks split), many rare words, and
    // batches that land before, between and after what is stored.
    for (int round = 0; round < 6; ++round) {
        std::uniform_int_distribution<ULONG> sys(1000, 9000), word(1, round % 2 ? 4 : 400);
        for (int i = 0; i < 3000; ++i) {
            const Pair p(sys(random), word(random));
            if (model.count(p)) continue;
            append(p.first, p.second);
        }
        ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok) << MasIdx.lastError().text;
        // Erase some, inside one transaction (a commit per erase is slow).
        ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
        for (int i = 0; i < 200 && !model.empty(); ++i) {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            MAS.SYSID = it->first;
            MAS.WORDID = it->second;
            ASSERT_EQ(MasIdx.get(MAS_by_SysID), StorageStatus::Ok);
            ASSERT_EQ(MasIdx.erase(), StorageStatus::Ok) << MasIdx.lastError().text;
            model.erase(it);
        }
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
        expectAllOrders();
    }
}

TEST_F(MasIdxStore, AWordsMessagesComeInOneReadAsAWalkDeliversThem) {
    // A word in enough messages to fill several blocks, its neighbours, and
    // pairs appended after the last merge.
    for (ULONG sys = 1; sys <= 3000; ++sys) {
        if (sys % 3 != 0) append(sys, 3);
        if (sys % 100 == 0) append(sys, sys % 200 == 0 ? 2 : 4);
    }
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok) << MasIdx.lastError().text;
    append(3003, 3);
    append(3, 3);
    const auto messagesOf = [&](ULONG word) {
        std::vector<std::uint32_t> out;
        for (const Pair& p : model)
            if (p.second == word) out.push_back(p.first);
        return out;
    };
    // A walk of word 2 stands at its first record while word 3 is read.
    MasIdx.clear();
    MAS.WORDID = 2;
    MasIdx.setAt(MAS_by_WordId);
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    const ULONG walked = MAS.SYSID;
    std::vector<std::uint32_t> values{7};  // appended to, not replaced
    ASSERT_EQ(MasIdx.firstValuesOf(3, values), StorageStatus::Ok) << MasIdx.lastError().text;
    std::vector<std::uint32_t> want{7};
    for (std::uint32_t v : messagesOf(3)) want.push_back(v);
    EXPECT_EQ(values, want);
    EXPECT_EQ(MAS.SYSID, walked) << "the buffer stays";
    ASSERT_EQ(MasIdx.next(), StorageStatus::Ok);
    EXPECT_EQ(MAS.WORDID, 2u) << "the walk goes on where it stood";
    EXPECT_GT(MAS.SYSID, walked);

    values.clear();
    EXPECT_EQ(MasIdx.firstValuesOf(99, values), StorageStatus::Ok);
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(WordList.firstValuesOf(3, values), StorageStatus::Other) << "no pair lists there";
    MasIdx.close();
    EXPECT_EQ(MasIdx.firstValuesOf(3, values), StorageStatus::NotOpen);
}

TEST_F(MasIdxStore, AWordsFirstPairsGoInRunsThatKeepBothListsInStep) {
    // Word 3 fills several blocks; messages holding only word 3 lose their
    // row; pairs appended since the last merge are erased too.
    for (ULONG sys = 1; sys <= 3000; ++sys) {
        if (sys % 3 != 0) append(sys, 3);
        if (sys % 100 == 0) append(sys, sys % 200 == 0 ? 2 : 4);
    }
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok) << MasIdx.lastError().text;
    std::size_t erased = 0;
    // A rolled back run leaves all.
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.eraseFirstPairsOf(3, 777, erased), StorageStatus::Ok) << MasIdx.lastError().text;
    EXPECT_EQ(erased, 777u);
    rollbackTransaction();
    expectAllOrders();
    // Runs of odd sizes end inside blocks.
    append(3001, 3);
    std::vector<ULONG> left;
    for (const Pair& p : model)
        if (p.second == 3) left.push_back(p.first);
    for (std::size_t run : {1u, 777u, 1024u, 5000u}) {
        ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
        ASSERT_EQ(MasIdx.eraseFirstPairsOf(3, run, erased), StorageStatus::Ok) << MasIdx.lastError().text;
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
        EXPECT_EQ(erased, std::min(run, left.size()));
        for (std::size_t i = 0; i < erased; ++i) model.erase({left[i], 3});
        left.erase(left.begin(), left.begin() + static_cast<long>(erased));
        expectAllOrders();
    }
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(MasIdx.eraseFirstPairsOf(3, 10, erased), StorageStatus::Ok);
    EXPECT_EQ(erased, 0u);
    EXPECT_EQ(WordList.eraseFirstPairsOf(3, 10, erased), StorageStatus::Other) << "no pair lists there";
}

TEST_F(MasIdxStore, AppendedPairsGoWithARolledBackTransaction) {
    ASSERT_EQ(add(5, 5), StorageStatus::Ok);
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    MAS.SYSID = 6;
    MAS.WORDID = 6;
    ASSERT_EQ(MasIdx.append(), StorageStatus::Ok);
    rollbackTransaction();
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
    expectAllOrders();

    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    append(7, 7);
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    // A merged write inside a rolled-back transaction goes too.
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    MAS.SYSID = 8;
    MAS.WORDID = 8;
    ASSERT_EQ(MasIdx.add(), StorageStatus::Ok);
    rollbackTransaction();
    expectAllOrders();
}

// Pairs appended at once (in any order) join the single appends: merged
// with the stored ones, gone with a rolled-back transaction, and a
// duplicate among them fails the key build.
TEST_F(MasIdxStore, PairsAppendedAtOnceBehaveAsSingleAppends) {
    ASSERT_EQ(add(3, 3), StorageStatus::Ok);
    append(3, 1);
    const std::vector<Pair> bulk{{1, 9}, {3, 2}, {2, 4}, {1, 2}};
    ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
    model.insert(bulk.begin(), bulk.end());
    EXPECT_EQ(MasIdx.records(), 6);
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
    expectAllOrders();

    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs({{4, 4}, {5, 5}}), StorageStatus::Ok);
    rollbackTransaction();
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
    expectAllOrders();

    ASSERT_EQ(MasIdx.appendPairs({{6, 1}, {3, 2}}), StorageStatus::Ok);
    EXPECT_EQ(MasIdx.buildKeys(), StorageStatus::DuplicateKey);
    expectAllOrders();
}

TEST_F(MasIdxStore, ADuplicateAmongAppendsFailsTheKeyBuildAndStoresNoneOfThem) {
    ASSERT_EQ(add(1, 1), StorageStatus::Ok);
    for (ULONG w : {2u, 3u, 1u}) {
        MAS.SYSID = 1;
        MAS.WORDID = w;
        ASSERT_EQ(MasIdx.append(), StorageStatus::Ok);
    }
    EXPECT_EQ(MasIdx.buildKeys(), StorageStatus::DuplicateKey);
    expectAllOrders();
}

TEST_F(MasIdxStore, AScanGoesOnAfterWritesBehindAndAhead) {
    for (ULONG sys = 1; sys <= 5; ++sys) ASSERT_EQ(add(sys * 10, 1), StorageStatus::Ok);
    MasIdx.set(MAS_by_WordId);
    std::vector<ULONG> seen;
    while (MasIdx.next() == StorageStatus::Ok) {
        seen.push_back(MAS.SYSID);
        if (MAS.SYSID == 20) {
            ASSERT_EQ(MasIdx.erase(), StorageStatus::Ok);  // the record just read
            model.erase({20, 1});
            ASSERT_EQ(add(35, 1), StorageStatus::Ok);       // ahead of the scan
            ASSERT_EQ(add(15, 1), StorageStatus::Ok);       // behind it
        }
    }
    EXPECT_EQ(seen, (std::vector<ULONG>{10, 20, 30, 35, 40, 50}));
    expectAllOrders();
}

TEST_F(MasIdxStore, EmptyAndReopenKeepTheCount) {
    for (ULONG w = 1; w <= 3; ++w) append(9, w);
    MasIdx.close();  // merges what was appended
    ASSERT_EQ(MasIdx.open(), StorageStatus::Ok);
    EXPECT_EQ(MasIdx.records(), 3);
    EXPECT_EQ(MasIdx.storedRecords(), 3);
    ASSERT_EQ(MasIdx.empty(), StorageStatus::Ok);
    model.clear();
    expectAllOrders();
    MasIdx.close();
    ASSERT_EQ(MasIdx.remove(), StorageStatus::Ok);
    EXPECT_FALSE(MasIdx.exists());
    EXPECT_EQ(MasIdx.open(), StorageStatus::FileNotFound);
}

// Keys built a part at a time inside a transaction: whatever the parts,
// the lists come out as one build makes them, the count holds while the
// build is under way, and any other access finishes the build first.
TEST_F(MasIdxStore, AKeyBuildInPartsStoresWhatOneBuildStores) {
    std::mt19937 random(5);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        // Pairs before, between and after those stored, a few words with
        // many messages (blocks split) and many with few.
        std::uniform_int_distribution<ULONG> sys(1, 6000), word(1, round % 2 ? 5 : 300);
        std::vector<Pair> bulk;
        std::set<Pair> added;
        while (bulk.size() < 4000) {
            const Pair p(sys(random), word(random));
            if (!model.count(p) && added.insert(p).second) bulk.push_back(p);
        }
        ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
        ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
        model.insert(bulk.begin(), bulk.end());
        int parts = 0;
        bool done = false;
        while (!done) {
            ASSERT_EQ(MasIdx.buildKeysSome(round == 3 ? 1 : 700, done), StorageStatus::Ok) << MasIdx.lastError().text;
            ++parts;
            EXPECT_EQ(MasIdx.records(), static_cast<std::int64_t>(model.size()));
            if (round == 2 && parts == 4) {
                expectAllOrders();  // a read finishes the build
                ASSERT_EQ(MasIdx.buildKeysSome(700, done), StorageStatus::Ok);
                EXPECT_TRUE(done);
            }
        }
        if (round == 2) EXPECT_EQ(parts, 4);
        else EXPECT_GT(parts, 6);
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
        expectAllOrders();
    }
}

// Appended pairs are held a run of one message at a time: messages that
// come back later in the appends, words far apart (grouped by sorting
// rather than counting) and a pair repeated in two runs of its message.
TEST_F(MasIdxStore, RunsOfOneMessageSplitOrSparseMergeAsPairs) {
    ASSERT_EQ(add(50, 0xFFFFFF00u), StorageStatus::Ok);
    std::mt19937 random(11);
    std::uniform_int_distribution<ULONG> sys(1, 400), sparse(1, 0xFFFFFFFEu), dense(1, 40);
    std::vector<Pair> bulk;
    std::set<Pair> added;
    while (bulk.size() < 3000) {
        const ULONG message = sys(random);
        for (int k = 0; k < 5; ++k) {
            const Pair p(message, k % 2 ? sparse(random) : dense(random));
            if (!model.count(p) && added.insert(p).second) bulk.push_back(p);
        }
    }
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
    model.insert(bulk.begin(), bulk.end());
    bool done = false;
    int parts = 0;
    for (; !done; ++parts) ASSERT_EQ(MasIdx.buildKeysSome(500, done), StorageStatus::Ok) << MasIdx.lastError().text;
    EXPECT_GT(parts, 3);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();

    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs({{500, 3}, {500, 4}, {501, 3}, {500, 3}}), StorageStatus::Ok);
    StorageStatus st = StorageStatus::Ok;
    for (done = false; st == StorageStatus::Ok && !done;) st = MasIdx.buildKeysSome(500, done);
    EXPECT_EQ(st, StorageStatus::DuplicateKey);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();
}

// The word lists of a build are written from windows of about a million
// pairs: a word in every message (a list larger than a window) beside a few
// that share the window after it.
TEST_F(MasIdxStore, ABuildLargerThanItsWindowsKeepsEveryList) {
    std::vector<Pair> bulk;
    for (ULONG sys = 1; sys <= 2'200'000; ++sys) {
        bulk.emplace_back(sys, 1);
        if (sys % 4 == 0) bulk.emplace_back(sys, 2 + sys % 7);
    }
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
    bool done = false;
    while (!done) ASSERT_EQ(MasIdx.buildKeysSome(600'000, done), StorageStatus::Ok) << MasIdx.lastError().text;
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    std::sort(bulk.begin(), bulk.end(), [](const Pair& x, const Pair& y) {
        return x.second != y.second ? x.second < y.second : x.first < y.first;
    });
    EXPECT_EQ(MasIdx.records(), static_cast<std::int64_t>(bulk.size()));
    EXPECT_EQ(scan(&MAS_by_WordId, +1), bulk);
}

// A build in parts is one savepoint: a part that fails takes the parts
// before it back, a rollback drops the build, and a commit finishes it.
TEST_F(MasIdxStore, AKeyBuildInPartsEndsWhole) {
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    for (ULONG sys = 1001; sys <= 1050; ++sys) ASSERT_EQ(add(sys, sys % 4 + 1), StorageStatus::Ok);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    const std::set<Pair> before = model;
    const auto appendMany = [&](ULONG from, ULONG to) {
        std::vector<Pair> bulk;
        for (ULONG sys = from; sys <= to; ++sys)
            for (ULONG w = 1; w <= 6; ++w)
                if (!before.count({sys, w})) bulk.emplace_back(sys, w);
        return MasIdx.appendPairs(bulk);
    };
    bool done = false;

    // A pair stored before turns up late among the appended.
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(appendMany(100, 400), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs({{1050, 1050 % 4 + 1}}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.buildKeysSome(300, done), StorageStatus::Ok);
    ASSERT_FALSE(done);
    StorageStatus st = StorageStatus::Ok;
    while (st == StorageStatus::Ok && !done) st = MasIdx.buildKeysSome(300, done);
    EXPECT_EQ(st, StorageStatus::DuplicateKey);
    expectAllOrders();  // still in the transaction: nothing of the build stayed
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();

    // Rolled back halfway.
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(appendMany(100, 400), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.buildKeysSome(300, done), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.buildKeysSome(300, done), StorageStatus::Ok);
    ASSERT_FALSE(done);
    rollbackTransaction();
    expectAllOrders();
    ASSERT_EQ(MasIdx.buildKeysSome(300, done), StorageStatus::Ok);
    EXPECT_TRUE(done) << "nothing left of the build";
    expectAllOrders();

    // Committed halfway: the commit finishes it.
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(appendMany(100, 400), StorageStatus::Ok);
    for (ULONG sys = 100; sys <= 400; ++sys)
        for (ULONG w = 1; w <= 6; ++w) model.insert({sys, w});
    ASSERT_EQ(MasIdx.buildKeysSome(300, done), StorageStatus::Ok);
    ASSERT_FALSE(done);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();
}

// Merges whose sorting and gathering run ahead on a thread of their own,
// handed over in small parts.
struct MasIdxStoreReckonedAhead : MasIdxStore {
    void SetUp() override {
        postings::setMergeReckoning(1, 64);
        MasIdxStore::SetUp();
    }
    void TearDown() override {
        MasIdxStore::TearDown();
        postings::setMergeReckoning(postings::kThreadFromPairs, postings::kRowPartPairs);
    }
    // Random pairs not stored yet: messages before, among and after the
    // stored ones; words from 1 to `words` (few: long lists, blocks that
    // fill and split; many: short lists joined to their last block).
    std::vector<Pair> fresh(std::mt19937& random, std::size_t count, ULONG words) {
        std::uniform_int_distribution<ULONG> sys(1, 5000), word(1, words);
        std::vector<Pair> bulk;
        std::set<Pair> added;
        while (bulk.size() < count) {
            const Pair p(sys(random), word(random));
            if (!model.count(p) && added.insert(p).second) bulk.push_back(p);
        }
        return bulk;
    }
    // Builds the keys in parts of `budget` until done; the number of parts.
    int buildAll(std::size_t budget) {
        bool done = false;
        int parts = 0;
        for (; !done; ++parts) {
            const StorageStatus st = MasIdx.buildKeysSome(budget, done);
            EXPECT_EQ(st, StorageStatus::Ok) << MasIdx.lastError().text;
            if (st != StorageStatus::Ok) break;
        }
        return parts;
    }
};

TEST_F(MasIdxStoreReckonedAhead, BuildsStoreWhatOneBuildStores) {
    std::mt19937 random(17);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const std::vector<Pair> bulk = fresh(random, 6000, round % 2 ? 6 : 2500);
        ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
        ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
        model.insert(bulk.begin(), bulk.end());
        if (round == 4) ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
        else EXPECT_GT(buildAll(round == 3 ? 1 : 400), 10);
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
        expectAllOrders();
    }
}

// A stop between the parts (the transaction rolled back) leaves the lists
// as they were, whether the rows or the word lists were being written; the
// next run does the whole build. A repeated pair found late fails it.
TEST_F(MasIdxStoreReckonedAhead, ABuildBrokenOffLeavesTheListsAsTheyWere) {
    std::mt19937 random(23);
    const std::vector<Pair> first = fresh(random, 3000, 400);
    ASSERT_EQ(MasIdx.appendPairs(first), StorageStatus::Ok);
    model.insert(first.begin(), first.end());
    ASSERT_EQ(MasIdx.buildKeys(), StorageStatus::Ok);
    const std::vector<Pair> bulk = fresh(random, 8000, 400);
    std::set<ULONG> messages;
    for (const Pair& p : bulk) messages.insert(p.first);
    const std::size_t runs = messages.size();  // a part each, with a budget of 1
    for (const int stopAt : {3, static_cast<int>(runs) + 20}) {
        SCOPED_TRACE(stopAt);
        ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
        ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
        bool done = false;
        for (int part = 0; part < stopAt; ++part) ASSERT_EQ(MasIdx.buildKeysSome(1, done), StorageStatus::Ok);
        ASSERT_FALSE(done);
        rollbackTransaction();
        expectAllOrders();
    }
    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs({{5001, 1}, {5001, 2}, {5001, 1}}), StorageStatus::Ok);
    bool done = false;
    StorageStatus st = StorageStatus::Ok;
    while (st == StorageStatus::Ok && !done) st = MasIdx.buildKeysSome(300, done);
    EXPECT_EQ(st, StorageStatus::DuplicateKey);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();

    ASSERT_EQ(beginTransaction({&MasIdx}), StorageStatus::Ok);
    ASSERT_EQ(MasIdx.appendPairs(bulk), StorageStatus::Ok);
    model.insert(bulk.begin(), bulk.end());
    buildAll(300);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    expectAllOrders();
}

}  // namespace
}  // namespace pm
