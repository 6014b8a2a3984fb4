// WSVars: the settings record with its blank-byte rule, the word-index
// directory, and the word definition kept in records 11-16 beside the
// output items.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "tables/config/control_blocks.h"
#include "tables/config/settings.h"
#include "settings_fixture.h"

namespace pm {
namespace {

using WordSearch = test::SettingsTest;

struct ByteItems {
    BYTE i49, i51, i52, i53, i54, i55, i56;
    LONG i50;
};

ByteItems readItems() {
    ByteItems r{};
    BYTE* bytes[] = {&r.i49, &r.i51, &r.i52, &r.i53, &r.i54, &r.i55, &r.i56};
    const int items[] = {49, 51, 52, 53, 54, 55, 56};
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(WSVars(3, items[i], nullptr, bytes[i]));
    EXPECT_TRUE(WSVars(3, 50, nullptr, nullptr, &r.i50));
    return r;
}

void expectDefaults(const ByteItems& r) {
    EXPECT_EQ(r.i49, 1);
    EXPECT_EQ(r.i50, 10000);
    EXPECT_EQ(r.i51, 0);
    EXPECT_EQ(r.i52, 0);
    EXPECT_EQ(r.i53, 1);
    EXPECT_EQ(r.i54, 1);
    EXPECT_EQ(r.i55, 1);
    EXPECT_EQ(r.i56, 1);
}

TEST_F(WordSearch, ANewRecordHoldsTheDefaultsAndTheDatabaseTopDirectory) {
    expectDefaults(readItems());
    std::string directory;
    ASSERT_TRUE(WSVars(3, 44, &directory));
    EXPECT_EQ(directory, root.path());
    EXPECT_EQ(MasIdxPath, root.path());
    const ControlBlock block = stored(10)->block;
    EXPECT_EQ(block[100], 1);
    EXPECT_EQ(blockLong(block, 101), 10000);
    EXPECT_EQ(block[105], 0);
    EXPECT_EQ(block[110], 1);
}

TEST_F(WordSearch, ABlankByteOfItem49MeansNeverInitialisedButAZeroIsAValue) {
    ControlBlock blank;
    blank.fill(' ');
    store(10, {0, blank});
    ASSERT_TRUE(WSVars(1));
    expectDefaults(readItems());
    std::string directory;
    ASSERT_TRUE(WSVars(3, 44, &directory));
    EXPECT_EQ(directory, root.path());  // a blank directory takes the default too

    // Zeros written on purpose stay zeros.
    ControlBlock chosen{};
    setBlockText(chosen, 0, 100, root.path());
    chosen[100] = 0;
    setBlockLong(chosen, 101, 2500);
    chosen[107] = 0;  // item 53
    store(10, {0, chosen});
    ASSERT_TRUE(WSVars(1));
    const ByteItems r = readItems();
    EXPECT_EQ(r.i49, 0);
    EXPECT_EQ(r.i50, 2500);
    EXPECT_EQ(r.i53, 0);
    EXPECT_EQ(r.i51, 0);
}

TEST_F(WordSearch, ItemsAndTheWordDefinitionSurviveARestart) {
    BYTE off = 0, on = 1;
    LONG pause = 4000;
    ASSERT_TRUE(WSVars(2, 53, nullptr, &off));
    ASSERT_TRUE(WSVars(2, 52, nullptr, &on));
    ASSERT_TRUE(WSVars(2, 50, nullptr, nullptr, &pause));
    WordDefinition changed = defaultWordDefinition();
    changed.startWord['_'] = 0;
    changed.inWord['-'] = 0;
    changed.endWord['-'] = 0;
    changed.endWord[255] = 1;
    changed.isJunk['Z'] = 3;  // stored, never read back
    setCurrentWordDefinition(changed);
    ASSERT_TRUE(WSVars(4));

    buildDefaultWordDefinition();
    ASSERT_NE(restart(), StartupOutcome::Aborted);
    const ByteItems r = readItems();
    EXPECT_EQ(r.i53, 0);
    EXPECT_EQ(r.i52, 1);
    EXPECT_EQ(r.i50, 4000);
    WordDefinition expected = changed;
    expected.isJunk = defaultWordDefinition().isJunk;
    EXPECT_EQ(currentWordDefinition(), expected);

    // The six records hold exactly the stream of the tables saved.
    const auto blocks = wordDefinitionBlocks(changed);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(stored(static_cast<BYTE>(11 + i))->block, blocks[i]) << 11 + i;
    buildDefaultWordDefinition();
}

TEST_F(WordSearch, AMissingWordDefinitionRecordIsRecreatedFromTheTablesInMemory) {
    WordDefinition changed = defaultWordDefinition();
    changed.inWord['/'] = 0;  // stream byte 512 + 47: record 13
    changed.inWord['a'] = 1;   // stream byte 512 + 97: record 14
    setCurrentWordDefinition(changed);
    ASSERT_TRUE(WSVars(4));
    erase(14);
    ASSERT_TRUE(WSVars(1));
    // Record 14 came back from the defaults; record 13 still holds the change.
    EXPECT_EQ(currentWordDefinition().inWord['/'], 0);
    EXPECT_EQ(currentWordDefinition().inWord['a'], 0);
    EXPECT_EQ(stored(14)->block, wordDefinitionBlocks()[3]);
    buildDefaultWordDefinition();
}

TEST_F(WordSearch, AnUnreadableRecordOf12To16KeepsTheDefaults) {
    WordDefinition changed = defaultWordDefinition();
    changed.startWord[200] = 1;  // stream byte 456: record 13
    const auto blocks = wordDefinitionBlocks(changed);
    std::array<StoredWordDefinitionRecord, 6> records;
    for (int i = 0; i < 6; ++i) records[i] = {StoredWordDefinitionRecord::Read, blocks[i]};
    EXPECT_EQ(resolveStoredWordDefinition(records).startWord[200], 1);

    records[5].state = StoredWordDefinitionRecord::Unreadable;  // record 16
    EXPECT_EQ(resolveStoredWordDefinition(records), defaultWordDefinition());
    records[5].state = StoredWordDefinitionRecord::Read;
    records[0].state = StoredWordDefinitionRecord::Unreadable;  // record 11 is never read back
    EXPECT_EQ(resolveStoredWordDefinition(records).startWord[200], 1);
    records[1].state = StoredWordDefinitionRecord::Missing;  // record 12 counts as the defaults
    EXPECT_EQ(resolveStoredWordDefinition(records).startWord[200], 1);
}

TEST_F(WordSearch, OutputItemsAndTheWordDefinitionNeverOverwriteEachOther) {
    for (int item : {61, 62, 63}) ASSERT_TRUE(setConfigValue(item, item * 10));
    WordDefinition changed = defaultWordDefinition();
    changed.isJunk[0] = 2;  // the first byte of record 11
    setCurrentWordDefinition(changed);
    ASSERT_TRUE(WSVars(4));
    ASSERT_TRUE(Konfig(SaveOutput));
    EXPECT_EQ(stored(11)->block, wordDefinitionBlocks(changed)[0]);
    ASSERT_NE(restart(), StartupOutcome::Aborted);
    for (int item : {61, 62, 63}) EXPECT_EQ(configValue(item), item * 10) << item;
    buildDefaultWordDefinition();
}

}  // namespace
}  // namespace pm
