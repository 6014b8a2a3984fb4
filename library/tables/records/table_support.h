#pragma once
// Helpers for the declaration files of the tables (not for other code).
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "storage/table.h"
#include "storage/table_def.h"

namespace pm::records {

// The key `name` of `def`; a misspelt name is a faulty declaration and
// throws std::logic_error while the library loads.
inline const KeyDef& keyOf(const TableDef& def, const char* name) {
    if (const KeyDef* key = def.key(name)) return *key;
    throw std::logic_error(def.label + ": no key " + name);
}

// Clears the record buffers of `tables` (numbers 0, texts blank), so every
// buffer starts out as a cleared record rather than as zero bytes.
struct ClearedAtStart {
    ClearedAtStart(std::initializer_list<Table*> tables) {
        for (Table* table : tables) table->clear();
    }
};

}  // namespace pm::records
