#pragma once
// Record writes, holds and form saves that turn storage errors into the
// program's messages. None of them ends the program: they report (unless
// unattended), roll back where the mode says so, and return failure.
#include <string>

#include "storage/table.h"

namespace pm {

// UppDat operations and modes.
enum UppDatOperation : int { AddRecord = 1, UpdateRecord = 2, DeleteRecordOp = 3, AppendRecord = 4 };
enum UppDatMode : int { ReportOnly = 7, RollBackAndReport = 8 };

// One record write on the table's current record. Mode 7: on failure release
// a held record (update, delete) and report; mode 8: roll the running
// transaction back and report. Returns true on success.
bool UppDat(Table& table, int operation, int mode);
// What UppDat does when its write failed with `table`'s last error: in
// RollBackAndReport mode rolls the transaction back, then reports the
// failure of `operation`. Returns false.
bool writeFailed(Table& table, int operation, int mode);

// Holds the record (1-second wait) and reads it: by `key` (its component
// fields filled by the caller) when given, else by `position`. Returns false
// after reporting when the record is gone, held by someone else or unreadable.
bool HoldRec(Table& table, const KeyDef* key, RecordPosition position = 0);

// The save step of an update form. `keptCopy` is the record as the form
// read it (the table's record size); the buffer holds the edited record and
// `position` its place. Insert (GlobalRequest 1) adds the record; change and
// delete (2, 3) hold and re-read it first and refuse when someone else
// changed it meanwhile (the buffer then holds the current record). Returns
// "OK" on success, else "".
std::string SaveRec(Table& table, const void* keptCopy, RecordPosition position);

// Errors of in-memory list operations.
enum class ListError { None, NotFound, OutOfMemory, BadSortField, Other };

// Reports a list error: false for none or not-found; otherwise names it
// (mode 7 shows "Queue access error", mode 8 also rolls the transaction back)
// and returns true.
bool QError(int mode, ListError error, const std::string& engineText = {});

// Begins a transaction over `tables` with the 5-second lock wait and runs the
// start check: on failure "Transaction Frame Error!" is reported, anything
// begun is rolled back and false returned.
bool beginTransactionChecked(std::initializer_list<Table*> tables);

// Commits the running transaction. On failure it is rolled back and
// "Transaction Frame Error!" reported under the name of `named` (a table the
// transaction wrote); false.
bool commitTransactionChecked(const Table& named);

// The start check alone (library service 212): true when the begin failed
// (after reporting and rolling back).
bool transactionStartFailed(StorageStatus beginResult, const std::string& engineText);

}  // namespace pm
