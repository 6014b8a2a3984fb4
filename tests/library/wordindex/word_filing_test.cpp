// Filing broken messages into batches: wherever the batches are cut, their
// occurrences and word counts add up to those of one batch, and only the
// words the buffer does not know are asked for.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "wordindex/word_filing.h"

namespace pm {
namespace {

BrokenMessage filingMessage(ULONG number, const std::vector<std::string>& words) {
    BrokenMessage m;
    m.number = number;
    for (const std::string& w : words) {
        m.bytes += w;
        m.ends.push_back(static_cast<std::uint32_t>(m.bytes.size()));
        m.hashes.push_back(indexWordHash(w));
    }
    return m;
}

struct FiledTotals {
    std::set<std::pair<ULONG, ULONG>> occurrences;
    std::map<std::string, LONG> counts;  // as the flushes would leave the word list
    std::map<std::string, LONG> ids;
};

void addBatch(FlushBatch batch, FiledTotals& totals) {
    std::vector<OccurrenceBuffer::Pair> pairs;
    batch.occurrences.takeFront(batch.occurrences.size(), pairs);
    for (const auto& p : pairs) EXPECT_TRUE(totals.occurrences.insert(p).second) << p.first << " " << p.second;
    for (const FlushWord& w : batch.words) {
        if (w.action == BufferedWord::Add) {
            EXPECT_FALSE(totals.ids.count(w.word)) << w.word;
            totals.ids[w.word] = w.id;
            totals.counts[w.word] = w.count;
        } else {
            EXPECT_EQ(totals.ids.at(w.word), w.id);
            totals.counts[w.word] += w.count - w.storedCount;
        }
    }
}

TEST(WordFiler, BatchesCutAnywhereAddUpToOneBatch) {
    std::vector<BrokenMessage> messages;
    for (ULONG n = 1; n <= 40; ++n)
        messages.push_back(filingMessage(n, {"ALL", "M" + std::to_string(n % 7), "ALL", "N" + std::to_string(n / 5)}));
    StopList stops;
    stops.add("N0");

    FiledTotals whole;
    {
        WordFiler filer({stops, 10, true, true, std::size_t{1} << 20});
        for (std::size_t i = 0; i < messages.size(); ++i) filer.file(messages[i], static_cast<long long>(i + 1));
        addBatch(filer.takeBatch(), whole);
    }
    EXPECT_EQ(whole.counts.at("ALL"), 40);
    EXPECT_EQ(whole.ids.at("ALL"), 11);  // ids go on from the highest stored
    EXPECT_FALSE(whole.counts.count("N0"));

    for (std::size_t every : {1u, 3u, 7u}) {
        SCOPED_TRACE(every);
        FiledTotals cut;
        WordFiler filer({stops, 10, true, true, std::size_t{1} << 20});
        for (std::size_t i = 0; i < messages.size(); ++i) {
            filer.file(messages[i], static_cast<long long>(i + 1));
            if ((i + 1) % every == 0) addBatch(filer.takeBatch(), cut);
        }
        addBatch(filer.takeBatch(), cut);
        EXPECT_EQ(cut.occurrences, whole.occurrences);
        EXPECT_EQ(cut.counts, whole.counts);
        EXPECT_EQ(cut.ids, whole.ids);
    }
}

TEST(WordFiler, AsksOnlyForUnknownWordsAndKeepsWhatTheWordListHolds) {
    StopList stops;
    stops.add("THE");
    WordFiler filer({stops, 100, false, true, 0});  // nothing kept after a batch
    ASSERT_TRUE(filer.needsLookups());
    const BrokenMessage m = filingMessage(5, {"THE", "OLD", "NEW", "OLD"});
    FlatWordTable pending;
    std::vector<WordLookup> asked;
    filer.misses(m, pending, asked);
    ASSERT_EQ(asked.size(), 2u);  // no stop word, no repeat
    EXPECT_EQ(asked[0].word, "OLD");
    EXPECT_EQ(asked[1].word, "NEW");
    asked[0].found = true;
    asked[0].id = 7;
    asked[0].count = 3;
    filer.addStored(asked[0]);
    filer.file(m, 1);

    FiledTotals totals;
    totals.ids["OLD"] = 7;
    totals.counts["OLD"] = 3;
    addBatch(filer.takeBatch(), totals);
    EXPECT_EQ(totals.counts.at("OLD"), 4);  // the stored count plus this message
    EXPECT_EQ(totals.ids.at("NEW"), 101);
    EXPECT_EQ(totals.occurrences, (std::set<std::pair<ULONG, ULONG>>{{5, 7}, {5, 101}}));

    // More than the room kept: the words are forgotten and asked for again.
    EXPECT_EQ(filer.drops(), 1);
    asked.clear();
    pending.clear();
    filer.misses(m, pending, asked);
    EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
}  // namespace pm
