// The phrase check of a search's candidates, shared with a helper thread
// or not: the same messages are kept either way, for forums and for mail,
// and a search gives the same result when every check is shared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "index_test_support.h"
#include "storage/table.h"
#include "wordindex/phrase_check.h"
#include "wordindex/search_tables.h"
#include "wordindex/word_query.h"

namespace pm::test {
namespace {

class PhraseCheckTest : public IndexTest, public ::testing::WithParamInterface<BYTE> {
protected:
    void SetUp() override {
        IndexTest::SetUp();
        useDatabase(GetParam(), GetParam() == TypeMail ? "Mail" : "Forum");
    }
    void TearDown() override {
        PhraseCheck::setShareFrom(kPhraseShareFrom);
        IndexTest::TearDown();
    }

    // Messages of five kinds in turn; `holding` gets those that hold
    // "red apple", newest first, as the search hands them over.
    std::vector<ULONG> writeMessages(std::size_t count, std::vector<ULONG>& holding) {
        std::vector<ULONG> all, gone;
        {
            MessageWriter writer(type);
            for (std::size_t i = 0; i < count; ++i) {
                const std::string n = std::to_string(i);
                ULONG m = 0;
                switch (i % 5) {
                    case 0: m = writer.add("note " + n, "a red apple pie " + n); break;
                    case 1: m = writer.add("Red Apple " + n, "nothing of the kind"); break;  // the heading alone
                    case 2: m = writer.add("apple red " + n, "apple red, not a red fruit apple"); break;
                    case 3: m = writer.add("note " + n, "red,\r\napple " + n); break;
                    case 4: m = writer.add("red apple " + n, "red apple"); gone.push_back(m); break;
                }
                all.insert(all.begin(), m);
                if (i % 5 == 0 || i % 5 == 1 || i % 5 == 3) holding.insert(holding.begin(), m);
            }
            for (ULONG m : gone) writer.remove(m);
        }
        EXPECT_EQ(index(), IndexRun::State::Done);
        return all;
    }
};

std::vector<ULONG> without(const std::vector<ULONG>& all, const std::vector<ULONG>& kept) {
    std::vector<ULONG> out;
    for (ULONG m : all)
        if (std::find(kept.begin(), kept.end(), m) == kept.end()) out.push_back(m);
    return out;
}

TEST_P(PhraseCheckTest, TheHelperKeepsWhatOneThreadKeeps) {
    std::vector<ULONG> holding;
    const std::vector<ULONG> all = writeMessages(300, holding);
    const std::vector<ULONG> lacking = without(all, holding);
    SearchTables tables;
    ASSERT_TRUE(tables.open(type));

    for (std::size_t shareFrom : {std::size_t{1}, SIZE_MAX}) {
        PhraseCheck::setShareFrom(shareFrom, true);
        PhraseCheck check({"RED", "APPLE"}, type);
        {
            const ReadScope reads;
            EXPECT_EQ(check.lacking(all), lacking) << shareFrom;
            // A second run of checks, after the helper was let go.
            check.release();
            EXPECT_EQ(check.lacking({all.begin(), all.begin() + 7}), without({all.begin(), all.begin() + 7}, holding));
        }
        EXPECT_EQ(check.helperChecked(), shareFrom == 1 ? all.size() + 7 : 0u);
    }

    // Outside a read transaction the helper could not see what this
    // thread sees: it is not used.
    PhraseCheck::setShareFrom(1, true);
    PhraseCheck check({"RED", "APPLE"}, type);
    EXPECT_EQ(check.lacking(all), lacking);
    EXPECT_EQ(check.helperChecked(), 0u);
}

TEST_P(PhraseCheckTest, ASearchSharingEveryCheckFindsThePhrasesOfOneThread) {
    std::vector<ULONG> holding;
    writeMessages(120, holding);
    WordQuery query;
    query.words = {"red", "apple"};
    query.options.phrase = true;
    PhraseCheck::setShareFrom(1);
    const WordQueryResult shared = runWordQuery(query, type);
    PhraseCheck::setShareFrom(SIZE_MAX);
    const WordQueryResult alone = runWordQuery(query, type);
    ASSERT_EQ(shared.status, WordQueryResult::Found);
    EXPECT_EQ(shared.messages, alone.messages);
    EXPECT_EQ(shared.messages, holding);
}

INSTANTIATE_TEST_SUITE_P(Types, PhraseCheckTest, ::testing::Values(BYTE{TypeForum}, BYTE{TypeMail}),
                         [](const auto& info) { return info.param == TypeMail ? "Mail" : "Forum"; });

}  // namespace
}  // namespace pm::test
