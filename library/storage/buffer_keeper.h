#pragma once
// Keeps a table's record buffer, memos and position across reads that must
// leave them as they were (internal to the storage layer).
#include <cstring>
#include <string>
#include <vector>

#include "storage/table.h"

namespace pm {

// The record buffer and memos as they were, put back on scope exit.
class BufferKeeper {
public:
    explicit BufferKeeper(Table& table)
        : table_(table),
          bytes_(static_cast<const char*>(table.record()), table.def().recordSize),
          position_(table.position()) {
        for (std::string* m : table.memoStrings()) memos_.push_back(*m);
    }
    ~BufferKeeper() {
        std::memcpy(table_.record(), bytes_.data(), bytes_.size());
        for (std::size_t i = 0; i < memos_.size(); ++i) *table_.memoStrings()[i] = std::move(memos_[i]);
        table_.setPosition(position_);
    }
    BufferKeeper(const BufferKeeper&) = delete;
    BufferKeeper& operator=(const BufferKeeper&) = delete;

    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(bytes_.data()); }

private:
    Table& table_;
    std::string bytes_;
    std::vector<std::string> memos_;
    RecordPosition position_;
};

}  // namespace pm
