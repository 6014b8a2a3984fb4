#pragma once
// The storage engines behind Table: SQLite stores for keyed tables, plain
// files for chunk and line files, the dBase reader for other programs' tables.
#include "storage/table.h"

namespace pm {

class TableBackend {
public:
    explicit TableBackend(Table& table) : table_(table) {}
    virtual ~TableBackend() = default;

    virtual StorageStatus open(ShareMode mode) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual StorageStatus create() = 0;
    virtual bool exists() = 0;
    virtual StorageStatus remove() = 0;
    virtual StorageStatus empty() = 0;
    virtual StorageStatus pack() = 0;
    virtual StorageStatus buildKeys() = 0;
    // Table::completeKeys; backends that can not tell which keys are current build all.
    virtual StorageStatus completeKeys() { return buildKeys(); }
    // Table::buildKeysSome; backends that build keys at once do it all.
    virtual StorageStatus buildKeysSome(std::size_t budget, bool& done) {
        (void)budget;
        done = true;
        return buildKeys();
    }
    virtual StorageStatus checkLayout() = 0;
    // Backends that cannot grow a stored layout leave it as it is.
    virtual StorageStatus extendLayout() { return checkLayout(); }
    virtual std::int64_t storedRecords() { return isOpen() ? records() : -1; }

    virtual void setPhysical(RecordPosition from) = 0;  // 0 = from the first
    virtual void setKey(const KeyDef& key, int mode, RecordPosition pos) = 0;
    virtual StorageStatus next() = 0;
    virtual StorageStatus previous() = 0;
    virtual StorageStatus get(const KeyDef& key) = 0;
    virtual StorageStatus getAt(RecordPosition pos) = 0;
    // Table::getText. The default reads the whole record with get() and puts
    // the buffer, the memos and the position back afterwards.
    virtual StorageStatus getText(const KeyDef& key, const std::string& column, std::string& value);

    // Table::firstValuesOf and eraseFirstPairsOf; only the posting-list layout has them.
    virtual StorageStatus firstValuesOf(std::uint32_t second, std::vector<std::uint32_t>& out);
    virtual StorageStatus eraseFirstPairsOf(std::uint32_t second, std::size_t limit, std::size_t& erased);

    virtual StorageStatus add(bool append) = 0;
    // Table::appendPairs; only tables of pairs take them.
    virtual StorageStatus appendPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>&) {
        return StorageStatus::Other;
    }
    // Table::addToNumber; backends without it refuse (Other).
    virtual StorageStatus addToNumber(const KeyDef&, int, std::int64_t) { return StorageStatus::Other; }
    virtual StorageStatus put() = 0;
    virtual StorageStatus erase() = 0;
    virtual std::int64_t records() = 0;
    // Table::othersVersion; -1 where the backend cannot tell.
    virtual std::int64_t othersVersion() { return -1; }

    // Ranges of a key (Table::rangeCount ...). The defaults walk the key
    // with the sequence and serve ranges of no component or of all of them.
    virtual std::int64_t rangeCount(const KeyDef& key, std::size_t equalParts);
    virtual StorageStatus rangePosition(const KeyDef& key, std::size_t equalParts, std::int64_t ordinal,
                                        bool fromEnd, RecordPosition& pos);
    virtual std::int64_t rangeOrdinal(const KeyDef& key, std::size_t equalParts, RecordPosition pos);

    virtual StorageStatus lock(int waitSeconds) = 0;
    virtual void unlock() = 0;
    virtual StorageStatus hold(int waitSeconds) = 0;
    virtual void release() = 0;
    // Ok unless another user holds the file lock (IsLocked, the error naming
    // them). Files without locks between users are never locked.
    virtual StorageStatus checkLock() { return StorageStatus::Ok; }
    virtual void flush() {}

    // setKey modes.
    enum { FromStart = 0, FromValues = 1, FromPosition = 2 };

protected:
    Table& table_;
};

std::unique_ptr<TableBackend> makeSqlBackend(Table& table);
// Tables declared with PhysicalLayout::PostingLists.
std::unique_ptr<TableBackend> makePostingBackend(Table& table);
std::unique_ptr<TableBackend> makeChunkBackend(Table& table);
std::unique_ptr<TableBackend> makeLineBackend(Table& table);
std::unique_ptr<TableBackend> makeDBaseBackend(Table& table);

}  // namespace pm
