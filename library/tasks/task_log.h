#pragma once
// The task log: one TLO record per task run and one TLI item per import
// step and per maintenance job of a database, each with its start, finish
// and result. The task run writes it through a TaskLogWriter; the log window
// and `pmoor32 task log` read it.
//
// Writes use held records and the reporting mode of the record services; a
// failed write is reported (not while a task runs) and the run goes on.
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/types.h"
#include "tables/records/config_tables.h"

namespace pm {

// TLI:TYPE, the kind of a log item.
enum TaskLogItemType : ULONG {
    LogItemImport = 1,
    LogItemPurge = 2,
    LogItemIndex = 4,
    LogItemCount = 5,
    LogItemDuplicates = 6,
};

// "Import", "Purge", "Word index", "Count", "Duplicate persons"; the number
// for an unknown type.
std::string taskLogItemName(ULONG type);

// The runs of task `taskId` (every task's when 0), in log identifier order.
std::vector<TLORecord> readTaskLog(ULONG taskId = 0);
// The items of run `logId` in the order they were started.
std::vector<TLIRecord> readTaskLogItems(ULONG logId);

// The duration of a run as the log window shows it: the time (picture T4)
// when it is above 0 and below one day, else "N.A.".
std::string taskRunDuration(const TLORecord& run);

// Writes the log of one task run.
class TaskLogWriter {
public:
    // Takes the next log identifier (the last one + 1; 1 for an empty log).
    // Nothing is written yet.
    explicit TaskLogWriter(ULONG taskId);

    ULONG logId() const { return logId_; }

    // Adds the run's TLO record, started at `at`.
    bool start(const DateTime& at);
    // Adds an item of `type` (and definition `batchId` for imports) started
    // at `at`, or a hundredth after the item before when that started as
    // late: the log's key orders items by their start and holds one item of
    // a type per start.
    bool startItem(ULONG type, ULONG batchId, const DateTime& at);
    // Finishes the last item of `type` begun by startItem: the finish
    // moment and its result combined with `result`. A non-empty `message`
    // (why it did not complete) is added to the item's message, after a
    // "; " when it holds one already (jobs of one type in a row share an
    // item); what does not fit the field is cut, ending in "...".
    bool finishItem(ULONG type, BYTE result, const DateTime& at, const std::string& message = {});
    // The type of the last item begun (0 before the first).
    ULONG lastItemType() const { return lastType_; }
    // Finishes the TLO record (when start() added it) with `at` and the
    // combined result of its items. The combined result.
    BYTE finish(const DateTime& at);

private:
    ULONG taskId_;
    ULONG logId_ = 0;
    ULONG lastType_ = 0;
    bool started_ = false;
    struct Started {
        ULONG type;
        DateTime at;
    };
    std::vector<Started> items_;
};

}  // namespace pm
