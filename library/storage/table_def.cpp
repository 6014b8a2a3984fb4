#include "storage/table_def.h"

#include <stdexcept>

namespace pm {

int TableDef::fieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return static_cast<int>(i);
    return -1;
}

const KeyDef* TableDef::key(const std::string& name) const {
    for (const KeyDef& k : keys)
        if (k.name == name) return &k;
    return nullptr;
}

const KeyDef* TableDef::primaryKey() const {
    for (const KeyDef& k : keys)
        if (k.primary) return &k;
    return nullptr;
}

TableDef makeTableDef(int number, const char* label, const char* prefix, Location location,
                      StorageClass storage, std::uint32_t recordSize, bool caseless,
                      std::vector<FieldDef> fields, std::vector<MemoDef> memos,
                      std::initializer_list<KeySpec> keys) {
    TableDef def;
    def.number = number;
    def.label = label;
    def.prefix = prefix;
    def.location = location;
    def.storage = storage;
    def.recordSize = recordSize;
    def.caseless = caseless;
    def.fields = std::move(fields);
    def.memos = std::move(memos);

    const std::string where = std::string(label) + ": ";
    for (const FieldDef& f : def.fields) {
        if (f.offset + f.totalWidth() > recordSize)
            throw std::logic_error(where + "field " + f.name + " lies outside the record");
    }
    int primaries = 0;
    for (const KeySpec& declared : keys) {
        KeyDef key;
        key.name = declared.name;
        key.unique = (declared.flags & Unique) != 0;
        key.primary = (declared.flags & Primary) == Primary;
        key.onDemand = (declared.flags & OnDemand) != 0;
        key.table = number;
        key.index = static_cast<int>(def.keys.size());
        for (const KeyPartSpec& part : declared.parts) {
            int field = def.fieldIndex(part.field);
            if (field < 0)
                throw std::logic_error(where + "key " + key.name + " names unknown field " +
                                       part.field);
            if (def.fields[static_cast<std::size_t>(field)].dim != 1)
                throw std::logic_error(where + "key " + key.name + " uses a DIM field");
            key.parts.push_back({field, part.direction});
        }
        if (key.primary) ++primaries;
        def.keys.push_back(std::move(key));
    }
    if (!def.keys.empty() && primaries != 1)
        throw std::logic_error(where + "needs exactly one primary key");
    return def;
}

}  // namespace pm
