// The paged list: whatever order rows are asked in (down, up from the end,
// jumps, with blocks evicted), each ordinal gives the row the key order
// puts there; locating; a range that shrank under the list.
#include <gtest/gtest.h>

#include <random>

#include "browse/browse_views.h"
#include "browse_fixture.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::BrowseTest;

std::vector<ULONG> walkAll(const KeyRange& range) {
    std::vector<ULONG> ids;
    range.primeEdge(false);
    range.table->setAt(*range.key);
    while (range.table->next() == StorageStatus::Ok && range.holdsBuffer()) ids.push_back(listedMessage(range));
    return ids;
}

TEST_F(BrowseTest, EveryAccessOrderGivesTheKeyOrder) {
    openSample(TypeForum);
    for (BYTE view : {ViewByNumber, ViewByThread, ViewBySender, ViewByReceiver, ViewByDate}) {
        BrowseContext c = zeroBrowseContext();
        c.SORTORDER = view;
        const KeyRange range = messageViewRange(c);
        const std::vector<ULONG> expected = walkAll(range);
        ASSERT_EQ(expected.size(), 8u);
        auto id = [](ListRow& row) { row.id = MSG.MSGNUMBER; };
        // Blocks of 3, two kept: every pattern reads, evicts and re-reads.
        std::vector<std::vector<std::int64_t>> patterns = {{0, 1, 2, 3, 4, 5, 6, 7},
                                                           {7, 6, 5, 4, 3, 2, 1, 0},
                                                           {4, 0, 7, 3, 5, 1, 6, 2}};
        std::mt19937 rng(view);
        for (int i = 0; i < 5; ++i) {
            std::vector<std::int64_t> p = patterns[0];
            std::shuffle(p.begin(), p.end(), rng);
            patterns.push_back(p);
        }
        for (const auto& pattern : patterns) {
            PagedList list(range, id, 3, 2);
            ASSERT_TRUE(list.reload());
            ASSERT_EQ(list.size(), 8);
            for (std::int64_t ordinal : pattern) {
                const ListRow* r = list.row(ordinal);
                ASSERT_NE(r, nullptr);
                EXPECT_EQ(r->id, expected[static_cast<std::size_t>(ordinal)]) << int(view) << " ordinal " << ordinal;
            }
            EXPECT_FALSE(list.outOfStep());
            EXPECT_EQ(list.row(8), nullptr);
            EXPECT_EQ(list.row(-1), nullptr);
        }
    }
}

TEST_F(BrowseTest, ARangeThatShrankGivesBlankRowsAndSaysSo) {
    openSample(TypeForum);
    BrowseContext c = zeroBrowseContext();
    c.SORTORDER = ViewByNumber;
    PagedList list(messageViewRange(c), [](ListRow& row) { row.id = MSG.MSGNUMBER; }, 4, 4);
    ASSERT_TRUE(list.reload());
    ASSERT_EQ(list.row(0)->id, 120u);
    // Another user deletes two messages after the list was counted.
    for (ULONG m : {105u, 100u}) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = m;
        ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
        ASSERT_EQ(MsgNmbr.erase(), StorageStatus::Ok);
    }
    // The first block's last row has gone: the next block is found from
    // the end instead, and the list knows it is out of step.
    EXPECT_EQ(list.row(4)->id, 110u);
    EXPECT_EQ(list.row(7)->id, 101u);
    EXPECT_TRUE(list.outOfStep());
    ASSERT_TRUE(list.reload());
    EXPECT_EQ(list.size(), 6);
    EXPECT_FALSE(list.outOfStep());
}

}  // namespace
}  // namespace pm
