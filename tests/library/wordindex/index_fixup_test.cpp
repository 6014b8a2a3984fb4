// What the index start window recommends, and the checkpoint it corrects.
#include <gtest/gtest.h>

#include "index_test_support.h"
#include "wordindex/index_fixup.h"

namespace pm::test {
namespace {

struct Fixup {
    BYTE result = 0;
    ULONG position = 0;
    ULONG count = 0;
};

Fixup fixup(ULONG position, ULONG count, bool quick) {
    Fixup f{0, position, count};
    WSIndexFixup(f.result, 4, f.position, f.count, quick, !quick);
    return f;
}

using IndexFixupTest = IndexTest;

TEST_F(IndexFixupTest, RecommendsByWhatIsIndexedAndWhatIsNew) {
    useDatabase(TypeForum);
    Fixup f = fixup(123, 7, true);
    EXPECT_EQ(f.result, NoIndexingNeeded);  // no messages at all
    EXPECT_EQ(f.position, 0u);
    EXPECT_EQ(f.count, 0u);

    std::vector<ULONG> numbers;
    {
        MessageWriter writer(type);
        for (int i = 0; i < 4; ++i) numbers.push_back(writer.add("", "word" + std::to_string(i)));
    }
    EXPECT_EQ(fixup(0, 0, true).result, FullNeeded);

    ASSERT_EQ(index(), IndexRun::State::Done);
    const CatalogIndexState s = catalogState(db);
    EXPECT_EQ(fixup(s.lastPosition, s.indexedCount, true).result, NoIndexingNeeded);
    markForDeletion({"WORD1"});
    EXPECT_EQ(fixup(s.lastPosition, s.indexedCount, true).result, PartialForMarks);
    {
        MessageWriter writer(type);
        writer.add("", "newer");
    }
    f = fixup(s.lastPosition, s.indexedCount, true);
    EXPECT_EQ(f.result, PartialForNewMessages);
    EXPECT_EQ(f.position, numbers.back());
    EXPECT_EQ(f.count, 4u);
}

TEST_F(IndexFixupTest, ARecountFindsTheNewestIndexedMessageThatStillExists) {
    useDatabase(TypeForum);
    std::vector<ULONG> numbers;
    {
        MessageWriter writer(type);
        for (int i = 0; i < 5; ++i) numbers.push_back(writer.add("", "text " + std::to_string(i)));
    }
    ASSERT_EQ(index(), IndexRun::State::Done);
    {
        MessageWriter writer(type);
        writer.remove(numbers[4]);  // the newest indexed message is gone
        writer.add("", "unindexed");
    }
    // A lost checkpoint, or a count too small to trust: the recount finds it again.
    for (Fixup stored : {Fixup{0, 0, 0}, Fixup{0, numbers[4], 1}}) {
        const Fixup f = fixup(stored.position, stored.count, true);
        EXPECT_EQ(f.result, PartialForNewMessages);
        EXPECT_EQ(f.position, numbers[3]);
        EXPECT_EQ(f.count, 4u);  // five messages, one after the position
    }
    // Full mode recounts even a checkpoint that looks good.
    const Fixup f = fixup(numbers[4], 5, false);
    EXPECT_EQ(f.position, numbers[3]);
    EXPECT_EQ(f.count, 4u);
}

}  // namespace
}  // namespace pm::test
