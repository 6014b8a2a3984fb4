#pragma once
// A dBase table written by another program, read only: dBase II, III, IV
// and 7, FoxPro and Visual FoxPro tables with their memo files.
//
// The header gives the record count, the header and record lengths, the
// language driver (code page) and the column descriptors; records follow the
// header at fixed length, each starting with its deletion mark (blank, or
// "*" for a deleted record; a few writers put NUL for blank). Every number taken from the file is checked
// against the file's size before it is used, so a damaged or cut-off table
// gives errors, never a crash or an endless read.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"
#include "storage/dbase_code_page.h"
#include "storage/dbase_memo.h"

namespace pm::dbase {

enum class Variant { DBase2, DBase3, DBase4, DBase7, FoxPro, VisualFoxPro };

struct Column {
    std::string name;           // as stored (upper case by convention)
    char type = 'C';            // C N F D L M G P B I Y T V O + @ 0 ...
    std::uint32_t offset = 0;   // in the record; byte 0 is the deletion mark
    std::uint32_t length = 0;
    std::uint8_t decimals = 0;

    // Whether the column refers to a text or object in the memo file.
    bool isMemo(Variant variant) const;
};

enum class RecordRead {
    Ok,
    Deleted,  // marked deleted; its values are still readable
    Damaged,  // cannot be read; see the error text
    End,      // past the last record
};

class TableFile {
public:
    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens the table and, when it has memo columns, its memo file (same
    // name, ".dbt" or ".fpt" in any letter case). False with `error` set
    // when the file cannot be opened, is not a dBase table (its first byte
    // or its header does not fit any variant), or its memo file is missing
    // or unreadable.
    bool open(const std::string& path, std::string& error);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    Variant variant() const { return variant_; }
    std::uint8_t versionByte() const { return version_; }
    // Records as the header declares them (deleted ones included).
    std::uint32_t recordCount() const { return recordCount_; }
    // Records the file really holds in full (fewer when it is cut off).
    std::uint32_t completeRecords() const;
    std::uint32_t recordLength() const { return recordLength_; }
    const std::vector<Column>& columns() const { return columns_; }
    // The column named `name` (letter case ignored); nullptr when absent.
    const Column* column(std::string_view name) const;
    const CodePage& codePage() const { return *codePage_; }
    bool hasMemoColumns() const;
    // The memo file in use; nullptr when the table has no memo columns.
    const MemoFile* memoFile() const { return memo_.isOpen() ? &memo_ : nullptr; }

    // Reads record `index` (0-based) into the record buffer. Damaged when
    // the file ends inside the record or its deletion mark is none of blank,
    // NUL and "*"; End past the declared count. The values below read the
    // record last read.
    RecordRead read(std::uint32_t index, std::string& error);

    std::string_view raw(const Column& column) const;
    // Any column as text: character columns converted to UTF-8, others in
    // their usual written form; trailing blanks and NULs removed.
    std::string text(const Column& column) const;
    // Numeric columns (N F I Y B O +): false when blank or not a number.
    bool number(const Column& column, double& value) const;
    // Date columns (D, and the date of T): the day number; 0 when blank or
    // not a date.
    LONG date(const Column& column) const;
    // The memo block a memo column refers to (0: no memo). False when the
    // reference is not a number.
    bool memoBlock(const Column& column, std::uint32_t& block) const;
    // The memo of a memo column, at most `maxBytes` bytes of it, a text
    // memo (M) converted to UTF-8.
    MemoRead memo(const Column& column, std::uint32_t maxBytes, std::string& out, std::string& error) const;

private:
    bool readHeader(const std::string& path, std::string& error);
    bool readDBase2Header(std::string& error);
    bool readDescriptors(std::uint32_t first, std::uint32_t size, std::string& error);
    bool openMemo(const std::string& path, std::string& error);

    int fd_ = -1;
    std::uint64_t fileSize_ = 0;
    std::uint8_t version_ = 0;
    Variant variant_ = Variant::DBase3;
    std::uint32_t recordCount_ = 0;
    std::uint32_t headerLength_ = 0;
    std::uint32_t recordLength_ = 0;
    std::vector<Column> columns_;
    std::unique_ptr<CodePage> codePage_;
    MemoFile memo_;
    std::string record_;
};

// The memo file that belongs to table `path`: the same name with one of
// `extensions` (".dbt", ".fpt"), letter case ignored in both; "" when none
// exists.
std::string findMemoFile(const std::string& path, std::initializer_list<const char*> extensions);

}  // namespace pm::dbase
