#pragma once
// Reads for a helper thread: a second, read-only connection to the stores
// of some open tables, so that a check of thousands of records (the phrase
// check of a search) can read on two cores at once. The process's own
// connection belongs to its thread; this one belongs to whichever thread
// uses it, one at a time.
//
// It sees what the process's read transaction sees: begin() locks the
// stores for reading only while that transaction holds them, and no other
// process can commit to a store while it is held. It never waits for a
// lock: it joins the read locks the process holds already (SQLite shares a
// process's locks among its connections), even when another process has
// begun to commit and waits for them; where a lock can not be had at once,
// begin() fails and the caller does the work on its own connection. While
// begun it keeps other processes' commits waiting like any reader, so keep
// each begin() ... end() short.
//
// Life:
//   open()    on the connection's thread, inside a read transaction
//             (ReadScope) that holds the stores of the tables;
//   begin()   on the connection's thread, inside such a read transaction;
//   read*()   on one thread at a time, between begin() and end();
//   end()     when no read runs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/storage_status.h"
#include "storage/table.h"

namespace pm {

class SideReader {
public:
    // One kind of read: the text field or memo `column` of the record of
    // the open `table` that `key` finds, where `key` has one part, a
    // number; with no column, the fixed part of that record.
    struct Query {
        const Table* table = nullptr;
        const KeyDef* key = nullptr;
        std::string column;
    };

    // A reader of `queries`, numbered in their order; null when one of them
    // can not be read this way (a table not kept in a store, a key of texts,
    // no read transaction running) or the stores can not be opened.
    static std::unique_ptr<SideReader> open(const std::vector<Query>& queries);
    ~SideReader();
    SideReader(const SideReader&) = delete;
    SideReader& operator=(const SideReader&) = delete;

    // Locks the stores for reading; false, at once, when the process's read
    // transaction does not hold them (any more) or a lock can not be had.
    bool begin();
    // Lets go of the stores. Harmless when not begun.
    void end();

    // Query `query` for key value `key`, as Table::getText() reads a column
    // (a text field as the record buffer would hold it, without trailing
    // blanks; a memo whole) and Table::get() the fixed part of a record
    // (`record` then holds the table's record size in bytes). NotFound when
    // no record has the key; Other when the read failed or the query is of
    // the other kind (the reason is not kept: the caller reads again on its
    // own connection, which reports it).
    StorageStatus readText(std::size_t query, std::int64_t key, std::string& value);
    StorageStatus readRecord(std::size_t query, std::int64_t key, std::string& record);

private:
    struct Impl;
    explicit SideReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace pm
