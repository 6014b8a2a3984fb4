#pragma once
// Records between the record buffer and the columns of a keyed table's
// statements (internal): numbers as integers, texts without their trailing
// blanks, byte groups as blobs, memos as text. Every text is stored as
// UTF-8: bytes that are not UTF-8 are read as Windows-1252 on the way in.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "storage/sql_schema.h"
#include "storage/table.h"

namespace pm::sql {

// One record as read: its position, the fixed part and the memos.
struct Row {
    RecordPosition rowid = 0;
    std::string bytes;               // the fixed part, recordSize bytes
    std::vector<std::string> memos;  // empty when memos were skipped
    bool withMemos = false;
};

class RecordCodec {
public:
    RecordCodec(const TableDef& def, const Schema& schema) : def_(def), schema_(schema) {}

    // Binds field `field` (element `element` of a DIM) of `record` to
    // parameter `param`. The values are not copied: `record` must stay as
    // it is until the statement is reset.
    void bindField(sqlite3_stmt* stmt, int param, int field, const unsigned char* record, int element = 0) const;
    // Binds every column, fixed fields then memos, to parameters 1..n; the
    // same lifetime rule holds for `record` and `memos`.
    void bindRecord(sqlite3_stmt* stmt, const unsigned char* record, const std::vector<std::string*>& memos) const;
    // Reads the current row of a statement whose columns are those of
    // selectSql(): rowid, the fixed fields, then (optionally) the memos.
    // Bytes outside the declared fields come from `background`.
    void decodeRow(sqlite3_stmt* stmt, const unsigned char* background, Row& row) const;
    // The index of the first memo longer than its declared limit, or -1.
    int oversizedMemo(const std::vector<std::string*>& memos) const;

private:
    void decodeField(sqlite3_stmt* stmt, int column, const Column& c, unsigned char* record) const;

    const TableDef& def_;
    const Schema& schema_;
};

}  // namespace pm::sql
