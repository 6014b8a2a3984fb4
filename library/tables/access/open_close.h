#pragma once
// The open/close service over table numbers, with use counts and the open
// routine that repairs what it can (missing files, damaged keys, outdated
// layouts of tables that hold nothing worth keeping) and ends the program on
// what it cannot.
#include <initializer_list>

#include "storage/table.h"

namespace pm {

// OP_CLOSE modes.
enum OpenCloseMode : int {
    ReleaseTable = 0,    // decrement the use count; close at zero
    OpenShared = 1,      // open shared (counted)
    OpenExclusive = 2,   // open exclusive (counted)
    EmptyTable = 3,      // remove all records, then close
    ForceClose = 4,      // close whatever the use count
    PackTable = 5,       // compact, then close
    DeleteTableFile = 6, // close and delete the file
    CheckTable = 7,      // open deny-write and close again
};

// Applies `mode` to each table in order. Unknown table numbers, blank file
// names and files that cannot be opened or repaired end the program
// (FatalError). Returns false only when a delete (mode 6) failed.
bool OP_CLOSE(int mode, std::initializer_list<int> tables);

// OP_CLOSE over tables named by their objects: the same rules; a table that
// is not one of the registry's ends the program like an unknown number.
bool OP_CLOSE(int mode, const TableList& tables);

// Holds tables open for as long as it lives: open() applies OP_CLOSE mode 1
// (or 2) to a list, release() or the end of the scope mode 0 to the same
// list, once. An empty scope holds nothing. Failures to open end the
// program as with OP_CLOSE.
class TableScope {
public:
    TableScope() = default;
    explicit TableScope(TableList tables, int mode = OpenShared);
    ~TableScope();
    TableScope(TableScope&& other) noexcept;
    TableScope& operator=(TableScope&& other) noexcept;
    TableScope(const TableScope&) = delete;
    TableScope& operator=(const TableScope&) = delete;

    // Releases what the scope held, then opens `tables` with `mode`.
    void open(TableList tables, int mode = OpenShared);
    // Releases the tables now; nothing happens at the end of the scope.
    void release();
    // Whether the scope holds tables open.
    bool holds() const { return !tables_.empty(); }

private:
    TableList tables_;
};

// The use count of a table (0 when closed).
int useCount(int tableNumber);
int useCount(const Table& table);

// Resets every use count and closes every table (program end, tests).
void closeAllTables();

// Opens `table` (already named) with the recovery rules; mode 1/2 semantics
// without use counting. Throws FatalError on what cannot be repaired.
void openWithRecovery(Table& table, ShareMode mode);

// Whether a file with an outdated layout may be discarded and re-created.
bool discardableWhenLayoutDiffers(Table& table);

}  // namespace pm
