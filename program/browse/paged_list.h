#pragma once
// A list over a range of a key that reads only the rows asked for.
//
// The list counts its range once (reload) and then reads rows in blocks
// when they are first asked for: a block next to one already read is
// continued from that block's edge record with the key's sequence; any
// other block is reached by jumping to its first (or last) ordinal from the
// nearer end of the range. So opening, paging and going to either end cost
// one block of reads whatever the range holds; only a jump into the middle
// of a long range pays one pass over the key's index.
//
// States: counted (size known, no rows), then blocks loaded as asked; a
// change of the stored rows that keeps the order (a status mark) calls
// forgetRows(), a change of the range or of what it holds calls reload().
// Rows are kept for the most recently used blocks only.
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

// The records of `table` whose first `equalParts` components of `key`
// equal those of `prefix` (a record of the table), in key order.
struct KeyRange {
    Table* table = nullptr;
    const KeyDef* key = nullptr;
    std::size_t equalParts = 0;
    std::string prefix;

    // A range of `table` that takes its values from the table's buffer now.
    static KeyRange fromBuffer(Table& table, const KeyDef& key, std::size_t equalParts);
    // Copies the prefix into the table's buffer.
    void prime() const;
    // Copies the prefix and sets the key's other components to the values
    // that sort first (or last, when `last`) in key order, so that setAt()
    // and next() (previous()) read the range from its start (end).
    void primeEdge(bool last) const;
    // Whether the table's buffer holds a record of the range.
    bool holdsBuffer() const;
};

// One row of a list: the record it was read from and what the list shows.
struct ListRow {
    RecordPosition position = 0;     // of the range's record
    ULONG id = 0;                    // what the row stands for (message number, person id ...)
    BYTE status = 0;                 // effective status (colours)
    std::vector<std::string> cells;  // the texts of the columns
    bool missing = false;            // the range ended early: a blank row
};

// Fills a row from the range's record, which the table's buffer holds (the
// reader may read other tables, but not move the range's table).
using RowReader = std::function<void(ListRow& row)>;

class PagedList {
public:
    PagedList(KeyRange range, RowReader reader, std::size_t blockSize = 64, std::size_t keptBlocks = 64);

    // Counts the range again and forgets every row read. False when the
    // count cannot be read (error() says why); the list is then empty.
    bool reload();
    // Rows in the list (as last counted).
    std::int64_t size() const { return size_; }

    // The row at `ordinal`, reading its block when needed; nullptr outside
    // the list. A read that fails gives a blank row marked missing and sets
    // error().
    const ListRow* row(std::int64_t ordinal);
    // The row at `ordinal` if it has been read; nullptr otherwise.
    const ListRow* cachedRow(std::int64_t ordinal) const;

    // Forgets the rows read (their contents changed, their order did not).
    void forgetRows();

    // The ordinal of the range's record at `pos`; -1 when it is not in the
    // range.
    std::int64_t ordinalOf(RecordPosition pos);
    // The ordinal of the first record at or after the values that `prime`
    // puts into the table's buffer (after the range's prefix), in key order;
    // the last row when every record lies before them; -1 for an empty list.
    std::int64_t locate(const std::function<void()>& prime);

    const KeyRange& range() const { return range_; }
    const StorageError& error() const { return error_; }
    // Whether a block came up short of the count or a row read before has
    // gone (another user changed the range): a reload() brings the list in
    // step.
    bool outOfStep() const { return outOfStep_; }

private:
    using Block = std::vector<ListRow>;
    const Block& block(std::int64_t index);
    Block readBlock(std::int64_t index);
    bool continueFrom(RecordPosition anchor, int direction, std::size_t want, Block& rows);
    bool readFrom(RecordPosition start, int direction, std::size_t want, Block& rows);
    void noteError();

    KeyRange range_;
    RowReader reader_;
    std::size_t blockSize_;
    std::size_t keptBlocks_;
    std::int64_t size_ = 0;
    std::map<std::int64_t, Block> blocks_;
    std::list<std::int64_t> recent_;  // block indexes, most recent first
    StorageError error_;
    bool outOfStep_ = false;
};

}  // namespace pm
