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

TEST(FlatWordTable, TellsApartWordsThatDifferInOneByteAtAnyPosition) {
    // Words of every length up to past a slot's head, each beside its
    // variants with one byte changed: the comparison goes by whole 8-byte
    // pieces and then by bytes, and must look at every one. (Few enough
    // that the table does not grow, which would place them by their own
    // hashes.)
    FlatWordTable table;
    std::vector<std::string> words;
    for (std::size_t length = 1; length <= 30; ++length) {
        const std::string base(length, 'A');
        words.push_back(base);
        for (std::size_t at = 0; at < length; ++at) {
            std::string variant = base;
            variant[at] = 'B';
            words.push_back(variant);
        }
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        bool added = false;
        // All under one hash: every look-up compares with every word before.
        EXPECT_EQ(table.insert(words[i], 42, added), i) << words[i];
        EXPECT_TRUE(added) << words[i];
    }
    for (std::size_t i = 0; i < words.size(); ++i) EXPECT_EQ(table.find(words[i], 42), i) << words[i];
}

TEST(FlatWordTable, ResetForgetsEveryWordRoundAfterRound) {
    FlatWordTable table;
    const std::string longWord(30, 'L');
    for (int round = 0; round < 3; ++round) {
        // Colliding words (one hash), a long one, an erased one; the last
        // round grows the table past what a reset keeps (growth places the
        // colliding words by their own hashes).
        const int count = round == 2 ? 5000 : 100;
        const auto find = [&](const std::string& word) {
            return round == 2 ? table.find(word) : table.find(word, 7);
        };
        for (int i = 0; i < count; ++i) {
            bool added = false;
            const std::string word = "R" + std::to_string(round) + "W" + std::to_string(i);
            EXPECT_EQ(table.insert(word, i < 10 ? 7 : indexWordHash(word), added), static_cast<std::uint32_t>(i));
        }
        bool added = false;
        const std::uint32_t longPlace = table.insert(longWord, added);
        EXPECT_TRUE(added);
        table.erase(3);
        EXPECT_EQ(find("R" + std::to_string(round) + "W3"), FlatWordTable::kNone);
        EXPECT_EQ(find("R" + std::to_string(round) + "W4"), 4u);
        EXPECT_EQ(table.find(longWord), longPlace);
        table.reset();
        EXPECT_EQ(table.size(), 0u);
        EXPECT_EQ(table.places(), 0u);
        EXPECT_EQ(table.find(longWord), FlatWordTable::kNone);
        EXPECT_EQ(find("R" + std::to_string(round) + "W4"), FlatWordTable::kNone);
        EXPECT_EQ(table.find("R" + std::to_string(round) + "W50"), FlatWordTable::kNone);
    }
}

TEST(FlatWordTable, ErasesAWordMovedByGrowth) {
    FlatWordTable table;
    bool added = false;
    for (int i = 0; i < 3000; ++i) table.insert("G" + std::to_string(i), added);
    table.erase(0);
    table.erase(2999);
    EXPECT_EQ(table.find("G0"), FlatWordTable::kNone);
    EXPECT_EQ(table.find("G2999"), FlatWordTable::kNone);
    EXPECT_EQ(table.find("G1"), 1u);
    EXPECT_EQ(table.size(), 2998u);
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
