#include "storage/sql_record_codec.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/text.h"

namespace pm::sql {
namespace {

// A text of 0xFF bytes alone: the "highest" value clearRecord gives a key
// field for a seek, which must reach the collation as it is.
bool isHighestValue(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) != 0xFF) return false;
    return true;
}

// Every text of every store passes here, so this is where input that is not
// UTF-8 (raw header bytes, newsgroup and section names, Message-IDs, names
// from old programs) becomes UTF-8, by the rule for text without a charset.
// Keys bound for a seek go the same way and so meet the stored text. A
// converted text is cut to `limit` bytes on a character boundary.
void bindText(sqlite3_stmt* s, int param, std::string_view text, std::size_t limit, bool fixedField) {
    if (isValidUtf8(text) || isHighestValue(text)) {
        sqlite3_bind_text(s, param, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        return;
    }
    std::string stored = utf8OrWindows1252(text);
    stored.resize(utf8FitLength(stored, limit));
    if (fixedField) stored.resize(trimRight(stored).size());
    sqlite3_bind_text(s, param, stored.data(), static_cast<int>(stored.size()), SQLITE_TRANSIENT);
}

}  // namespace

void RecordCodec::bindField(sqlite3_stmt* s, int param, int fieldIndex, const unsigned char* record,
                            int element) const {
    const FieldDef& f = def_.fields[static_cast<std::size_t>(fieldIndex)];
    const unsigned char* p = record + f.offset + static_cast<std::size_t>(element) * f.width;
    switch (f.type) {
        case FieldType::Byte: sqlite3_bind_int(s, param, *p); break;
        case FieldType::Long:
        case FieldType::DbDate: {
            std::int32_t v;
            std::memcpy(&v, p, 4);
            sqlite3_bind_int(s, param, v);
            break;
        }
        case FieldType::ULong: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            sqlite3_bind_int64(s, param, v);
            break;
        }
        case FieldType::String: {
            const std::string_view text = trimRight(std::string_view(reinterpret_cast<const char*>(p), f.width));
            if (f.piece)
                sqlite3_bind_text(s, param, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
            else
                bindText(s, param, text, f.width, true);
            break;
        }
        case FieldType::Bytes: sqlite3_bind_blob(s, param, p, static_cast<int>(f.width), SQLITE_STATIC); break;
        case FieldType::Real: {
            double v;
            std::memcpy(&v, p, 8);
            sqlite3_bind_double(s, param, v);
            break;
        }
    }
}

void RecordCodec::bindRecord(sqlite3_stmt* s, const unsigned char* record,
                             const std::vector<std::string*>& memos) const {
    for (std::size_t i = 0; i < schema_.columns.size(); ++i) {
        const Column& c = schema_.columns[i];
        if (c.memo >= 0) {
            const auto m = static_cast<std::size_t>(c.memo);
            bindText(s, static_cast<int>(i + 1), *memos.at(m), def_.memos.at(m).maxBytes, false);
        } else {
            bindField(s, static_cast<int>(i + 1), c.field, record, c.element);
        }
    }
}

void RecordCodec::decodeField(sqlite3_stmt* s, int column, const Column& c, unsigned char* record) const {
    const FieldDef& f = def_.fields[static_cast<std::size_t>(c.field)];
    unsigned char* p = record + f.offset + static_cast<std::size_t>(c.element) * f.width;
    switch (f.type) {
        case FieldType::Byte: *p = static_cast<unsigned char>(sqlite3_column_int(s, column)); break;
        case FieldType::Long:
        case FieldType::DbDate: {
            std::int32_t v = sqlite3_column_int(s, column);
            std::memcpy(p, &v, 4);
            break;
        }
        case FieldType::ULong: {
            std::uint32_t v = static_cast<std::uint32_t>(sqlite3_column_int64(s, column));
            std::memcpy(p, &v, 4);
            break;
        }
        case FieldType::String: {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            std::size_t n = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
            std::size_t fit = utf8FitLength(std::string_view(text ? text : "", n), f.width);
            if (fit) std::memcpy(p, text, fit);
            std::memset(p + fit, ' ', f.width - fit);
            break;
        }
        case FieldType::Bytes: {
            auto blob = static_cast<const unsigned char*>(sqlite3_column_blob(s, column));
            std::size_t n = static_cast<std::size_t>(sqlite3_column_bytes(s, column));
            if (n > f.width) n = f.width;
            if (n) std::memcpy(p, blob, n);
            std::memset(p + n, 0, f.width - n);
            break;
        }
        case FieldType::Real: {
            double v = sqlite3_column_double(s, column);
            std::memcpy(p, &v, 8);
            break;
        }
    }
}

void RecordCodec::decodeRow(sqlite3_stmt* s, const unsigned char* background, Row& row) const {
    row.rowid = sqlite3_column_int64(s, 0);
    row.bytes.assign(reinterpret_cast<const char*>(background), def_.recordSize);
    auto* record = reinterpret_cast<unsigned char*>(row.bytes.data());
    for (std::size_t i = 0; i < schema_.fixedColumns; ++i)
        decodeField(s, static_cast<int>(i + 1), schema_.columns[i], record);
    row.withMemos = sqlite3_column_count(s) > static_cast<int>(schema_.fixedColumns + 1);
    row.memos.clear();
    if (row.withMemos) {
        for (std::size_t i = schema_.fixedColumns; i < schema_.columns.size(); ++i) {
            const int column = static_cast<int>(i + 1);
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            row.memos.emplace_back(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
        }
    }
}

int RecordCodec::oversizedMemo(const std::vector<std::string*>& memos) const {
    for (std::size_t m = 0; m < def_.memos.size() && m < memos.size(); ++m)
        if (memos[m]->size() > def_.memos[m].maxBytes) return static_cast<int>(m);
    return -1;
}

}  // namespace pm::sql
