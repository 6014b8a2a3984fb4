#include "browse/paged_list.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstring>

namespace pm {

KeyRange KeyRange::fromBuffer(Table& table, const KeyDef& key, std::size_t equalParts) {
    KeyRange r;
    r.table = &table;
    r.key = &key;
    r.equalParts = equalParts;
    r.prefix.assign(static_cast<const char*>(table.record()), table.def().recordSize);
    return r;
}

void KeyRange::prime() const { std::memcpy(table->record(), prefix.data(), prefix.size()); }

void KeyRange::primeEdge(bool last) const {
    prime();
    auto* bytes = static_cast<unsigned char*>(table->record());
    for (std::size_t i = equalParts; i < key->parts.size(); ++i) {
        const KeyPart& part = key->parts[i];
        const FieldDef& f = table->def().fields[static_cast<std::size_t>(part.field)];
        const bool highest = (part.direction == Direction::Descending) != last;
        unsigned char* p = bytes + f.offset;
        switch (f.type) {
            case FieldType::Long:
            case FieldType::DbDate: {
                const std::int32_t v = highest ? INT32_MAX : INT32_MIN;
                std::memcpy(p, &v, sizeof v);
                break;
            }
            case FieldType::Real: {
                const double v = highest ? DBL_MAX : -DBL_MAX;
                std::memcpy(p, &v, sizeof v);
                break;
            }
            case FieldType::String:
                // Blank is the lowest text; bytes of 0xFF sort after any character.
                std::memset(p, highest ? 0xFF : ' ', f.totalWidth());
                break;
            default: std::memset(p, highest ? 0xFF : 0, f.totalWidth()); break;
        }
    }
}

bool KeyRange::holdsBuffer() const {
    return sameKeyComponents(table->def(), *key, equalParts, prefix.data(), table->record());
}

PagedList::PagedList(KeyRange range, RowReader reader, std::size_t blockSize, std::size_t keptBlocks)
    : range_(std::move(range)), reader_(std::move(reader)), blockSize_(std::max<std::size_t>(1, blockSize)),
      keptBlocks_(std::max<std::size_t>(2, keptBlocks)) {}

bool PagedList::reload() {
    forgetRows();
    outOfStep_ = false;
    error_ = {};
    range_.prime();
    const std::int64_t n = range_.table->rangeCount(*range_.key, range_.equalParts);
    if (n < 0) {
        noteError();
        size_ = 0;
        return false;
    }
    size_ = n;
    return true;
}

void PagedList::forgetRows() {
    blocks_.clear();
    recent_.clear();
}

void PagedList::noteError() {
    error_ = range_.table->lastError();
    if (error_.status == StorageStatus::Ok) error_ = {StorageStatus::Other, "The list could not be read"};
}

const ListRow* PagedList::row(std::int64_t ordinal) {
    if (ordinal < 0 || ordinal >= size_) return nullptr;
    const auto b = static_cast<std::int64_t>(ordinal / static_cast<std::int64_t>(blockSize_));
    const Block& rows = block(b);
    const auto i = static_cast<std::size_t>(ordinal - b * static_cast<std::int64_t>(blockSize_));
    return i < rows.size() ? &rows[i] : nullptr;
}

const ListRow* PagedList::cachedRow(std::int64_t ordinal) const {
    if (ordinal < 0 || ordinal >= size_) return nullptr;
    const auto b = static_cast<std::int64_t>(ordinal / static_cast<std::int64_t>(blockSize_));
    auto it = blocks_.find(b);
    if (it == blocks_.end()) return nullptr;
    const auto i = static_cast<std::size_t>(ordinal - b * static_cast<std::int64_t>(blockSize_));
    return i < it->second.size() ? &it->second[i] : nullptr;
}

const PagedList::Block& PagedList::block(std::int64_t index) {
    auto it = blocks_.find(index);
    if (it != blocks_.end()) {
        recent_.remove(index);
        recent_.push_front(index);
        return it->second;
    }
    Block rows = readBlock(index);
    while (blocks_.size() >= keptBlocks_ && !recent_.empty()) {
        blocks_.erase(recent_.back());
        recent_.pop_back();
    }
    recent_.push_front(index);
    return blocks_.emplace(index, std::move(rows)).first->second;
}

PagedList::Block PagedList::readBlock(std::int64_t index) {
    const std::int64_t first = index * static_cast<std::int64_t>(blockSize_);
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(blockSize_),
                                                                      size_ - first));
    Block rows;
    bool done = false;
    // Continue from a neighbouring block when one is at hand.
    if (auto before = blocks_.find(index - 1);
        before != blocks_.end() && before->second.size() == blockSize_ && !before->second.back().missing) {
        done = continueFrom(before->second.back().position, +1, want, rows);
    } else if (auto after = blocks_.find(index + 1);
               after != blocks_.end() && !after->second.empty() && !after->second.front().missing) {
        done = continueFrom(after->second.front().position, -1, want, rows);
    }
    if (!done) {
        rows.clear();
        // Jump from the nearer end of the range.
        const std::int64_t fromEnd = size_ - first - static_cast<std::int64_t>(want);
        const bool forward = first <= fromEnd;
        RecordPosition pos = 0;
        range_.prime();
        const StorageStatus st =
            range_.table->rangePosition(*range_.key, range_.equalParts, forward ? first : fromEnd, !forward, pos);
        if (st == StorageStatus::Ok) readFrom(pos, forward ? +1 : -1, want, rows);
        else if (st != StorageStatus::NotFound) noteError();
    }
    if (rows.size() < want) {
        outOfStep_ = true;
        while (rows.size() < want) {
            ListRow blank;
            blank.missing = true;
            rows.push_back(std::move(blank));
        }
    }
    return rows;
}

bool PagedList::continueFrom(RecordPosition anchor, int direction, std::size_t want, Block& rows) {
    Table& t = *range_.table;
    t.setAtPosition(*range_.key, anchor);
    // The first read gives the anchor itself; if it has gone, another user
    // changed the range: jump instead.
    if ((direction > 0 ? t.next() : t.previous()) != StorageStatus::Ok || t.position() != anchor) {
        outOfStep_ = true;
        return false;
    }
    return readFrom(0, direction, want, rows);
}

// Reads `want` records in `direction`: from `start` (inclusive) when it is
// not 0, else on from where the sequence stands.
bool PagedList::readFrom(RecordPosition start, int direction, std::size_t want, Block& rows) {
    Table& t = *range_.table;
    if (start != 0) t.setAtPosition(*range_.key, start);
    while (rows.size() < want) {
        const StorageStatus st = direction > 0 ? t.next() : t.previous();
        if (st != StorageStatus::Ok) {
            if (st != StorageStatus::NotFound) noteError();
            break;
        }
        if (!range_.holdsBuffer()) break;
        ListRow row;
        row.position = t.position();
        reader_(row);
        rows.push_back(std::move(row));
    }
    if (direction < 0) std::reverse(rows.begin(), rows.end());
    return true;
}

std::int64_t PagedList::ordinalOf(RecordPosition pos) {
    range_.prime();
    const std::int64_t n = range_.table->rangeOrdinal(*range_.key, range_.equalParts, pos);
    return n >= 0 && n < size_ ? n : -1;
}

std::int64_t PagedList::locate(const std::function<void()>& prime) {
    if (size_ == 0) return -1;
    Table& t = *range_.table;
    range_.prime();
    prime();
    t.setAt(*range_.key);
    if (t.next() != StorageStatus::Ok || !range_.holdsBuffer()) return size_ - 1;
    const std::int64_t n = ordinalOf(t.position());
    return n >= 0 ? n : size_ - 1;
}

}  // namespace pm
