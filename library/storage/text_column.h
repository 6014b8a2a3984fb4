#pragma once
// Reads of one text column of a record (Table::getText), shared by the
// backends (internal to the storage layer).
#include <string>
#include <string_view>

#include "storage/table_def.h"

namespace pm {

// A text field (one element, not a DIM) or a memo of a table, by its name.
struct TextColumn {
    int field = -1;  // index into TableDef::fields, or -1
    int memo = -1;   // index into TableDef::memos, or -1
    bool found() const { return field >= 0 || memo >= 0; }
};
TextColumn findTextColumn(const TableDef& def, const std::string& name);

// A stored text as the record buffer holds field `f`, without the
// trailing blanks: cut to the field's width without splitting a character.
std::string_view fieldTextAsBuffered(std::string_view stored, const FieldDef& f);

}  // namespace pm
