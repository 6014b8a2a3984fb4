#include "common/word_definition.h"

#include <algorithm>
#include <initializer_list>

namespace pm {

namespace {

constexpr void setRange(WordHashTable& table, int first, int last, BYTE value) {
    for (int code = first; code <= last; ++code) table[static_cast<std::size_t>(code)] = value;
}

constexpr void setCodes(WordHashTable& table, std::initializer_list<int> codes, BYTE value) {
    for (int code : codes) table[static_cast<std::size_t>(code)] = value;
}

constexpr std::size_t kTableSize = 256;
constexpr std::size_t kJunkOffset = 0;
constexpr std::size_t kStartOffset = 256;
constexpr std::size_t kInOffset = 512;
constexpr std::size_t kEndOffset = 768;

constexpr WordDefinition makeDefaultWordDefinition() {
    WordDefinition d;

    // Control characters, blank and "!" to "/" never start a word; neither do
    // most punctuation marks, the ellipsis, daggers, curly quotes, the
    // no-break space and the acute accent. Letters, digits, backslash, caret
    // and the other codes from 127 up may.
    setRange(d.startWord, 0, 47, 1);
    setCodes(d.startWord, {58}, 1);
    setRange(d.startWord, 59, 64, 1);
    setCodes(d.startWord, {91, 93, 95, 96, 123, 124, 125, 126, 133, 134, 135, 145, 146, 147, 148, 160, 180},
             1);

    // Inside a word the period, colon, underscore, tilde, backslash, caret and
    // curly quotes are allowed ("WIN.INI", "file_name").
    setRange(d.inWord, 0, 47, 1);
    d.inWord[46] = 0;
    setRange(d.inWord, 59, 64, 1);
    setCodes(d.inWord, {91, 93, 96, 123, 124, 125, 133, 134, 135, 160, 180}, 1);

    // A word never ends in the characters that are only allowed inside it.
    d.endWord = d.inWord;
    setCodes(d.endWord, {46, 58, 95, 126, 145, 146, 147, 148}, 1);

    setRange(d.isJunk, 48, 57, 1);
    setCodes(d.isJunk, {43, 45, 46}, 1);
    setCodes(d.isJunk, {58, 77, 80, 88, 91, 93, 135, 160, 163, 180}, 2);
    setRange(d.isJunk, 65, 70, 3);
    d.isJunk[72] = 3;
    return d;
}

constexpr WordDefinition kDefaultWordDefinition = makeDefaultWordDefinition();

}  // namespace

// Constant-initialised, so the tables hold the defaults before anything loads them.
WordHashTable StartWordHash = kDefaultWordDefinition.startWord;
WordHashTable InWordHash = kDefaultWordDefinition.inWord;
WordHashTable EndWordHash = kDefaultWordDefinition.endWord;
WordHashTable IsJunkHash = kDefaultWordDefinition.isJunk;

WordDefinition defaultWordDefinition() { return kDefaultWordDefinition; }

void buildDefaultWordDefinition() { setCurrentWordDefinition(defaultWordDefinition()); }

WordDefinition currentWordDefinition() {
    return WordDefinition{StartWordHash, InWordHash, EndWordHash, IsJunkHash};
}

void setCurrentWordDefinition(const WordDefinition& definition) {
    StartWordHash = definition.startWord;
    InWordHash = definition.inWord;
    EndWordHash = definition.endWord;
    IsJunkHash = definition.isJunk;
}

void applyIndexingCaretRule() { StartWordHash['^'] = 1; }

WordDefinitionStream wordDefinitionStream(const WordDefinition& definition) {
    WordDefinitionStream stream{};
    std::copy(definition.isJunk.begin(), definition.isJunk.end(), stream.begin() + kJunkOffset);
    std::copy(definition.startWord.begin(), definition.startWord.end(), stream.begin() + kStartOffset);
    std::copy(definition.inWord.begin(), definition.inWord.end(), stream.begin() + kInOffset);
    std::copy(definition.endWord.begin(), definition.endWord.end(), stream.begin() + kEndOffset);
    return stream;
}

WordDefinitionStream wordDefinitionStream() { return wordDefinitionStream(currentWordDefinition()); }

std::array<ControlBlock, 6> wordDefinitionBlocks(const WordDefinition& definition) {
    const WordDefinitionStream stream = wordDefinitionStream(definition);
    std::array<ControlBlock, 6> blocks{};
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::size_t from = i * kControlBlockSize;
        const std::size_t count = std::min(kControlBlockSize, stream.size() - from);
        std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(from), count, blocks[i].begin());
    }
    return blocks;
}

std::array<ControlBlock, 6> wordDefinitionBlocks() { return wordDefinitionBlocks(currentWordDefinition()); }

WordDefinition wordDefinitionFromBlocks(std::span<const ControlBlock, 5> records12to16) {
    // Reassemble stream bytes 200-1023; bytes 0-199 (record 11) are IsJunk only.
    WordDefinitionStream stream{};
    for (std::size_t i = 0; i < records12to16.size(); ++i) {
        const std::size_t from = (i + 1) * kControlBlockSize;
        const std::size_t count = std::min(kControlBlockSize, stream.size() - from);
        std::copy_n(records12to16[i].begin(), count, stream.begin() + static_cast<std::ptrdiff_t>(from));
    }
    WordDefinition d;
    d.isJunk = defaultWordDefinition().isJunk;
    auto take = [&](WordHashTable& table, std::size_t offset) {
        std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(offset), kTableSize, table.begin());
    };
    take(d.startWord, kStartOffset);
    take(d.inWord, kInOffset);
    take(d.endWord, kEndOffset);
    return d;
}

void loadWordDefinitionBlocks(std::span<const ControlBlock, 5> records12to16) {
    setCurrentWordDefinition(wordDefinitionFromBlocks(records12to16));
}

WordDefinitionRow toggleWordDefinitionCell(WordDefinitionRow row, WordDefinitionColumn column) {
    const auto flip = [](BYTE value) -> BYTE { return value == 0 ? 1 : 0; };
    switch (column) {
        case WordDefinitionColumn::Start:
            row.startWord = flip(row.startWord);
            break;
        case WordDefinitionColumn::Inside:
            row.inWord = flip(row.inWord);
            // A character that can not stand inside a word can not end one either.
            if (row.inWord != 0) row.endWord = 1;
            break;
        case WordDefinitionColumn::End:
            if (row.endWord == 0)
                row.endWord = 1;
            else if (row.inWord == 0)
                row.endWord = 0;
            break;
    }
    return row;
}

WordDefinitionRow wordDefinitionRow(const WordDefinition& definition, BYTE code) {
    return WordDefinitionRow{code, definition.startWord[code], definition.inWord[code], definition.endWord[code]};
}

void setWordDefinitionRow(WordDefinition& definition, const WordDefinitionRow& row) {
    definition.startWord[row.code] = row.startWord;
    definition.inWord[row.code] = row.inWord;
    definition.endWord[row.code] = row.endWord;
}

}  // namespace pm
