// Ranges of a key: Table's entry points, which keep the record buffer, and
// the backends' default, which walks the key with the sequence.
#include <cstring>

#include "storage/buffer_keeper.h"
#include "storage/sql_collation.h"
#include "storage/table.h"
#include "storage/table_backend.h"

namespace pm {

bool sameKeyComponents(const TableDef& def, const KeyDef& key, std::size_t parts, const void* a, const void* b) {
    for (std::size_t i = 0; i < parts && i < key.parts.size(); ++i) {
        const FieldDef& f = def.fields[static_cast<std::size_t>(key.parts[i].field)];
        std::string_view x(static_cast<const char*>(a) + f.offset, f.totalWidth());
        std::string_view y(static_cast<const char*>(b) + f.offset, f.totalWidth());
        if (f.type == FieldType::String) {
            while (!x.empty() && x.back() == ' ') x.remove_suffix(1);
            while (!y.empty() && y.back() == ' ') y.remove_suffix(1);
            if (def.caseless) {
                if (sql::caselessCompare(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size())) != 0)
                    return false;
                continue;
            }
        }
        if (x != y) return false;
    }
    return true;
}

std::int64_t Table::rangeCount(const KeyDef& key, std::size_t equalParts) {
    error_ = {};
    BufferKeeper keep(*this);
    return backend().rangeCount(key, equalParts);
}

StorageStatus Table::rangePosition(const KeyDef& key, std::size_t equalParts, std::int64_t ordinal, bool fromEnd,
                                   RecordPosition& pos) {
    error_ = {};
    BufferKeeper keep(*this);
    return result(backend().rangePosition(key, equalParts, ordinal, fromEnd, pos));
}

std::int64_t Table::rangeOrdinal(const KeyDef& key, std::size_t equalParts, RecordPosition pos) {
    error_ = {};
    BufferKeeper keep(*this);
    return backend().rangeOrdinal(key, equalParts, pos);
}

// --- the default: a walk along the key --------------------------------------------

namespace {

// Chooses the sequence at the start of the range; false (with the error
// set) for a range the walk cannot start at.
bool startWalk(Table& table, TableBackend& backend, const KeyDef& key, std::size_t equalParts) {
    if (equalParts == 0) {
        backend.setKey(key, TableBackend::FromStart, 0);
        return true;
    }
    if (equalParts == key.parts.size()) {
        backend.setKey(key, TableBackend::FromValues, 0);
        return true;
    }
    table.setError(StorageStatus::Other, "A range of " + std::to_string(equalParts) + " of " +
                                             std::to_string(key.parts.size()) + " key components in " +
                                             table.label() + " cannot be walked");
    return false;
}

}  // namespace

std::int64_t TableBackend::rangeCount(const KeyDef& key, std::size_t equalParts) {
    const std::string prefix(static_cast<const char*>(table_.record()), table_.def().recordSize);
    const auto* values = reinterpret_cast<const unsigned char*>(prefix.data());
    if (!startWalk(table_, *this, key, equalParts)) return -1;
    std::int64_t n = 0;
    StorageStatus st;
    while ((st = next()) == StorageStatus::Ok &&
           sameKeyComponents(table_.def(), key, equalParts, values, table_.record()))
        ++n;
    return st == StorageStatus::Ok || st == StorageStatus::NotFound ? n : -1;
}

StorageStatus TableBackend::rangePosition(const KeyDef& key, std::size_t equalParts, std::int64_t ordinal,
                                          bool fromEnd, RecordPosition& pos) {
    const std::string prefix(static_cast<const char*>(table_.record()), table_.def().recordSize);
    const auto* values = reinterpret_cast<const unsigned char*>(prefix.data());
    if (ordinal < 0) return StorageStatus::NotFound;
    if (!startWalk(table_, *this, key, equalParts)) return StorageStatus::Other;
    for (std::int64_t i = 0;; ++i) {
        const StorageStatus st = fromEnd ? previous() : next();
        if (st != StorageStatus::Ok) return st;
        if (!sameKeyComponents(table_.def(), key, equalParts, values, table_.record()))
            return StorageStatus::NotFound;
        if (i == ordinal) {
            pos = table_.position();
            return StorageStatus::Ok;
        }
    }
}

std::int64_t TableBackend::rangeOrdinal(const KeyDef& key, std::size_t equalParts, RecordPosition pos) {
    const std::string prefix(static_cast<const char*>(table_.record()), table_.def().recordSize);
    const auto* values = reinterpret_cast<const unsigned char*>(prefix.data());
    if (!startWalk(table_, *this, key, equalParts)) return -1;
    StorageStatus st;
    for (std::int64_t i = 0; (st = next()) == StorageStatus::Ok; ++i) {
        if (!sameKeyComponents(table_.def(), key, equalParts, values, table_.record()))
            return -1;
        if (table_.position() == pos) return i;
    }
    return -1;
}

}  // namespace pm
