// Reads of one text column: the column by name, the field rule, and the
// backends' default, which reads the whole record and puts the buffer back.
#include "storage/text_column.h"

#include "common/fixed_text.h"
#include "storage/buffer_keeper.h"
#include "storage/table_backend.h"

namespace pm {

TextColumn findTextColumn(const TableDef& def, const std::string& name) {
    TextColumn c;
    const int field = def.fieldIndex(name);
    if (field >= 0) {
        const FieldDef& f = def.fields[static_cast<std::size_t>(field)];
        if (f.type == FieldType::String && f.dim == 1) c.field = field;
        return c;
    }
    for (std::size_t m = 0; m < def.memos.size(); ++m)
        if (def.memos[m].name == name) c.memo = static_cast<int>(m);
    return c;
}

std::string_view fieldTextAsBuffered(std::string_view stored, const FieldDef& f) {
    return trimRight(stored.substr(0, utf8FitLength(stored, f.width)));
}

StorageStatus TableBackend::firstValuesOf(std::uint32_t, std::vector<std::uint32_t>&) {
    table_.setError(StorageStatus::Other, "No pair lists in " + table_.displayName());
    return StorageStatus::Other;
}

StorageStatus TableBackend::eraseFirstPairsOf(std::uint32_t, std::size_t, std::size_t& erased) {
    erased = 0;
    table_.setError(StorageStatus::Other, "No pair lists in " + table_.displayName());
    return StorageStatus::Other;
}

StorageStatus TableBackend::getText(const KeyDef& key, const std::string& column, std::string& value) {
    const TextColumn c = findTextColumn(table_.def(), column);
    if (!c.found()) {
        table_.setError(StorageStatus::Other, "No text column " + column + " in " + table_.displayName());
        return StorageStatus::Other;
    }
    BufferKeeper keep(table_);
    const bool skipMemos = table_.skipMemos();
    table_.setSkipMemos(false);
    const StorageStatus st = get(key);
    table_.setSkipMemos(skipMemos);
    if (st != StorageStatus::Ok) return st;
    if (c.memo >= 0) {
        value = *table_.memoStrings().at(static_cast<std::size_t>(c.memo));
    } else {
        const FieldDef& f = table_.def().fields[static_cast<std::size_t>(c.field)];
        value = trimRight(std::string_view(static_cast<const char*>(table_.record()) + f.offset, f.width));
    }
    return StorageStatus::Ok;
}

}  // namespace pm
