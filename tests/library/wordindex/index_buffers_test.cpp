// The word tables of an indexing run: many words through several growths,
// long words that share their first bytes, erased words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wordindex/index_buffers.h"

namespace pm {
namespace {

TEST(FlatWordTable, KeepsEveryWordThroughGrowthAndTellsLongOnesApart) {
    FlatWordTable table;
    std::vector<std::string> words;
    for (int i = 0; i < 5000; ++i) words.push_back("W" + std::to_string(i));
    // Longer than a slot's head, equal in it: only the rest tells them apart.
    const std::string head(30, 'L');
    for (int i = 0; i < 50; ++i) words.push_back(head + std::to_string(i));
    for (std::size_t i = 0; i < words.size(); ++i) {
        bool added = false;
        EXPECT_EQ(table.insert(words[i], added), i);
        EXPECT_TRUE(added);
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        bool added = true;
        EXPECT_EQ(table.insert(words[i], added), i);
        EXPECT_FALSE(added);
        EXPECT_EQ(table.word(static_cast<std::uint32_t>(i)), words[i]);
    }
    EXPECT_EQ(table.find(head), FlatWordTable::kNone);
    EXPECT_EQ(table.find(head + "0x"), FlatWordTable::kNone);
    EXPECT_EQ(table.find("W50000"), FlatWordTable::kNone);

    // Erased words are not found, before and after the table grows, and
    // come back under a new place when added again.
    table.erase(7);
    table.erase(5020);
    EXPECT_EQ(table.find("W7"), FlatWordTable::kNone);
    EXPECT_EQ(table.find(words[5020]), FlatWordTable::kNone);
    EXPECT_EQ(table.size(), words.size() - 2);
    for (int i = 0; i < 20000; ++i) {
        bool added = false;
        table.insert("X" + std::to_string(i), added);
    }
    EXPECT_EQ(table.find("W7"), FlatWordTable::kNone);
    EXPECT_EQ(table.find("W8"), 8u);
    EXPECT_EQ(table.find(words[5021]), 5021u);
    bool added = false;
    EXPECT_EQ(table.insert("W7", added), words.size() + 20000);
    EXPECT_TRUE(added);
}

TEST(WordListBuffer, VisitsLiveWordsInTheOrderAdded) {
    WordListBuffer buffer;
    BufferedWord entry;
    for (const char* w : {"GAMMA", "ALPHA", "BETA"}) {
        entry.id++;
        buffer.insert(w, entry);
    }
    buffer.erase("ALPHA");
    buffer.find("BETA")->count = 9;
    std::string seen;
    buffer.forEach([&](std::string_view word, const BufferedWord& e) {
        seen += std::string(word) + "=" + std::to_string(e.id) + "/" + std::to_string(e.count) + " ";
    });
    EXPECT_EQ(seen, "GAMMA=1/0 BETA=3/9 ");
    EXPECT_EQ(buffer.size(), 2u);
}

}  // namespace
}  // namespace pm
