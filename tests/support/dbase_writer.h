#pragma once
// Writes small dBase tables with their memo files, byte by byte from the
// published layouts, for the tests of the dBase reader and of the navigator
// table importers: dBase III (.DBT without lengths), dBase IV (.DBT with
// block headers) and FoxPro (.FPT, big-endian).
#include <cstdint>
#include <string>
#include <vector>

namespace pm::test {

enum class DbfFlavour { DBase3, DBase4, FoxPro };

struct DbfColumn {
    std::string name;  // up to 10 characters
    char type = 'C';   // C N D L M
    int length = 10;   // M columns: 10 (ignored)
    int decimals = 0;
};

struct DbfRecord {
    // One value per column, as written: C text (bytes, blank padded), N
    // the number's text (right-aligned), D "YYYYMMDD", L "T"/"F", M the memo
    // text ("" writes no memo).
    std::vector<std::string> values;
    bool deleted = false;
};

struct DbfTable {
    DbfFlavour flavour = DbfFlavour::DBase3;
    std::uint8_t languageDriver = 0;
    std::uint32_t memoBlockSize = 512;  // dBase IV and FoxPro
    std::vector<DbfColumn> columns;
    std::vector<DbfRecord> records;
};

// Where things landed, for tests that damage the files afterwards.
struct DbfLayout {
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    std::vector<std::uint32_t> columnOffsets;       // in the record (0 = deletion mark)
    std::vector<std::vector<std::uint32_t>> memos;  // block of record r, column c (0: none)
    std::string memoPath;                           // "" when the table has no memo column

    // Byte offset of record `r`'s column `c` in the table file.
    std::uint64_t fieldAt(std::size_t r, std::size_t c) const {
        return headerLength + static_cast<std::uint64_t>(r) * recordLength + columnOffsets.at(c);
    }
};

// Writes `path` and, when a column is a memo, the memo file beside it
// (same stem, ".DBT" or ".FPT"). Fails the test on an I/O error.
DbfLayout writeDbf(const std::string& path, const DbfTable& table);

// Overwrites bytes of a file at `offset`.
void patchFile(const std::string& path, std::uint64_t offset, const std::string& bytes);
// Cuts a file to `size` bytes.
void truncateFile(const std::string& path, std::uint64_t size);

}  // namespace pm::test
