#pragma once
// The tables the maintenance runs of the active database read and write
// (purge, count, duplicate merging, person edits), opened for as long as
// the object lives, and the list a transaction of theirs covers.
#include "browse/browse_tables.h"
#include "storage/table.h"

namespace pm {

class MaintenanceTables {
public:
    // Opens the catalog, headers, texts, persons, aliases (PLINK), topics
    // and their attachments, threads and sections (forum, newsgroup) or
    // carbon copies (mail), and the word list and occurrences when the
    // database has a word index. A table that cannot be opened ends the
    // program, as every open does.
    explicit MaintenanceTables(BYTE type);

    bool wordIndex() const { return tables_.wordIndex(); }
    // Every table opened: what a maintenance transaction names.
    const TableList& all() const { return list_; }

private:
    BrowseTables tables_;
    TableList list_;
};

// Begins a transaction over `tables` with the 5-second lock wait; on failure
// "Transaction Frame Error!" is reported (unless quiet) and false returned.
bool beginMaintenanceTransaction(const TableList& tables);
// Commits; on failure reports as above, rolls back and returns false.
bool commitMaintenanceTransaction();

}  // namespace pm
