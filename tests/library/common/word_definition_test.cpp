// The default word definition, its stored layout in the control records, the
// settings wizard's toggle rule and the indexer's caret rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/word_definition.h"

namespace pm {
namespace {

int nonZero(const WordHashTable& t) {
    return static_cast<int>(std::count_if(t.begin(), t.end(), [](BYTE b) { return b != 0; }));
}

TEST(WordDefinition, GlobalsHoldTheDefaultsFromTheStart) {
    EXPECT_EQ(currentWordDefinition(), defaultWordDefinition());
}

TEST(WordDefinition, DefaultEntries) {
    const WordDefinition d = defaultWordDefinition();
    struct Row {
        int code;
        int start, in, end, junk;
    };
    const Row rows[] = {
        {0, 1, 1, 1, 0},   {32, 1, 1, 1, 0},   {43, 1, 1, 1, 1},   {45, 1, 1, 1, 1},   {46, 1, 0, 1, 1},
        {47, 1, 1, 1, 0},  {48, 0, 0, 0, 1},   {57, 0, 0, 0, 1},   {58, 1, 0, 1, 2},   {59, 1, 1, 1, 0},
        {64, 1, 1, 1, 0},  {65, 0, 0, 0, 3},   {70, 0, 0, 0, 3},   {71, 0, 0, 0, 0},   {72, 0, 0, 0, 3},
        {77, 0, 0, 0, 2},  {80, 0, 0, 0, 2},   {88, 0, 0, 0, 2},   {91, 1, 1, 1, 2},   {92, 0, 0, 0, 0},
        {93, 1, 1, 1, 2},  {94, 0, 0, 0, 0},   {95, 1, 0, 1, 0},   {96, 1, 1, 1, 0},   {97, 0, 0, 0, 0},
        {123, 1, 1, 1, 0}, {126, 1, 0, 1, 0},  {127, 0, 0, 0, 0},  {133, 1, 1, 1, 0},  {135, 1, 1, 1, 2},
        {145, 1, 0, 1, 0}, {148, 1, 0, 1, 0},  {149, 0, 0, 0, 0},  {160, 1, 1, 1, 2},  {163, 0, 0, 0, 2},
        {180, 1, 1, 1, 2}, {255, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(d.startWord[r.code], r.start) << r.code;
        EXPECT_EQ(d.inWord[r.code], r.in) << r.code;
        EXPECT_EQ(d.endWord[r.code], r.end) << r.code;
        EXPECT_EQ(d.isJunk[r.code], r.junk) << r.code;
    }
    // Nothing beyond the listed codes.
    EXPECT_EQ(nonZero(d.startWord), 72);
    EXPECT_EQ(nonZero(d.inWord), 64);
    EXPECT_EQ(nonZero(d.endWord), 72);
    EXPECT_EQ(nonZero(d.isJunk), 30);
}

WordDefinition distinctDefinition() {
    WordDefinition d;
    for (int i = 0; i < 256; ++i) {
        d.isJunk[i] = static_cast<BYTE>(i);
        d.startWord[i] = static_cast<BYTE>(255 - i);
        d.inWord[i] = static_cast<BYTE>(i ^ 0x55);
        d.endWord[i] = static_cast<BYTE>(i ^ 0xAA);
    }
    return d;
}

TEST(WordDefinition, StoredStreamLayout) {
    const WordDefinition d = distinctDefinition();
    const WordDefinitionStream s = wordDefinitionStream(d);
    EXPECT_EQ(s[0], d.isJunk[0]);
    EXPECT_EQ(s[255], d.isJunk[255]);
    EXPECT_EQ(s[256], d.startWord[0]);
    EXPECT_EQ(s[512], d.inWord[0]);
    EXPECT_EQ(s[1023], d.endWord[255]);

    const auto blocks = wordDefinitionBlocks(d);
    EXPECT_EQ(blocks[0][199], d.isJunk[199]);           // record 11: stream 0-199
    EXPECT_EQ(blocks[1][55], d.isJunk[255]);            // record 12 begins with 56 IsJunk bytes
    EXPECT_EQ(blocks[1][56], d.startWord[0]);
    EXPECT_EQ(blocks[2][0], d.startWord[144]);          // record 13: stream 400-599
    EXPECT_EQ(blocks[2][112], d.inWord[0]);
    EXPECT_EQ(blocks[3][168], d.endWord[0]);            // record 14: stream 600-799
    EXPECT_EQ(blocks[4][0], d.endWord[32]);             // record 15: stream 800-999
    EXPECT_EQ(blocks[5][23], d.endWord[255]);           // record 16: 24 bytes
    for (std::size_t i = 24; i < kControlBlockSize; ++i) EXPECT_EQ(blocks[5][i], 0) << i;
}

TEST(WordDefinition, LoadingReadsStartInEndButNotIsJunk) {
    const WordDefinition d = distinctDefinition();
    const auto blocks = wordDefinitionBlocks(d);
    const WordDefinition loaded = wordDefinitionFromBlocks(std::span<const ControlBlock, 5>(blocks.data() + 1, 5));
    EXPECT_EQ(loaded.startWord, d.startWord);
    EXPECT_EQ(loaded.inWord, d.inWord);
    EXPECT_EQ(loaded.endWord, d.endWord);
    EXPECT_EQ(loaded.isJunk, defaultWordDefinition().isJunk);

    loadWordDefinitionBlocks(std::span<const ControlBlock, 5>(blocks.data() + 1, 5));
    EXPECT_EQ(StartWordHash, d.startWord);
    EXPECT_EQ(IsJunkHash, defaultWordDefinition().isJunk);
    buildDefaultWordDefinition();
    EXPECT_EQ(currentWordDefinition(), defaultWordDefinition());
}

TEST(WordDefinition, ToggleRule) {
    using C = WordDefinitionColumn;
    struct Row {
        WordDefinitionRow before;
        C column;
        WordDefinitionRow after;
    };
    const Row rows[] = {
        {{65, 0, 0, 0}, C::Start, {65, 1, 0, 0}},
        {{65, 1, 0, 0}, C::Start, {65, 0, 0, 0}},
        {{65, 0, 0, 0}, C::Inside, {65, 0, 1, 1}},   // Inside no takes End with it
        {{65, 0, 1, 1}, C::Inside, {65, 0, 0, 1}},   // Inside back to yes leaves End no
        {{65, 0, 0, 0}, C::End, {65, 0, 0, 1}},
        {{65, 0, 0, 1}, C::End, {65, 0, 0, 0}},      // End yes again while Inside is yes
        {{65, 0, 1, 1}, C::End, {65, 0, 1, 1}},      // ... but not while Inside is no
    };
    for (const Row& r : rows) EXPECT_EQ(toggleWordDefinitionCell(r.before, r.column), r.after);

    WordDefinition d = defaultWordDefinition();
    setWordDefinitionRow(d, {46, 0, 1, 1});
    EXPECT_EQ(wordDefinitionRow(d, 46), (WordDefinitionRow{46, 0, 1, 1}));
    EXPECT_EQ(wordDefinitionRow(d, 47), wordDefinitionRow(defaultWordDefinition(), 47));
}

TEST(WordDefinition, CaretRule) {
    buildDefaultWordDefinition();
    EXPECT_EQ(StartWordHash['^'], 0);
    applyIndexingCaretRule();
    EXPECT_EQ(StartWordHash['^'], 1);
    EXPECT_EQ(InWordHash['^'], 0);
    buildDefaultWordDefinition();
}

}  // namespace
}  // namespace pm
