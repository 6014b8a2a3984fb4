#include "tasks/task_log.h"

#include <algorithm>

#include "common/date_pictures.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tasks/task_schedule.h"

namespace pm {

namespace {

// Reads the item of run `logId` of `type` started at `at` into TLI (TLI open).
bool readItem(ULONG logId, ULONG type, const DateTime& at) {
    TLIFile.clear();
    TLI.TASKLOGID = logId;
    TLI.TYPE = type;
    TLI.DATESTARTED = at.date;
    TLI.TIMESTARTED = at.time;
    return TLIFile.get(TLI_IDKEY) == StorageStatus::Ok;
}

// `message` added to the item's message as finishItem says.
void addMessage(TLIRecord& item, const std::string& message) {
    if (message.empty()) return;
    std::string text = item.MESSAGE.str();
    if (!text.empty()) text += "; ";
    text += message;
    constexpr std::size_t width = decltype(item.MESSAGE)::width;
    if (text.size() > width) text = text.substr(0, utf8FitLength(text, width - 3)) + "...";
    item.MESSAGE = text;
}

bool before(const TLIRecord& a, const TLIRecord& b) {
    if (a.DATESTARTED != b.DATESTARTED) return a.DATESTARTED < b.DATESTARTED;
    return a.TIMESTARTED < b.TIMESTARTED;
}

}  // namespace

std::string taskLogItemName(ULONG type) {
    switch (type) {
        case LogItemImport: return "Import";
        case LogItemPurge: return "Purge";
        case LogItemIndex: return "Word index";
        case LogItemCount: return "Count";
        case LogItemDuplicates: return "Duplicate persons";
    }
    return std::to_string(type);
}

std::vector<TLORecord> readTaskLog(ULONG taskId) {
    std::vector<TLORecord> runs;
    TableScope scope({&TLOFile});
    if (taskId == 0) {
        TLOFile.set(TLO_IDKEY);
        while (TLOFile.next() == StorageStatus::Ok) runs.push_back(TLO);
        return runs;
    }
    TLOFile.clear();
    TLO.TASKID = taskId;
    TLOFile.setAt(TLO_BYTASK);
    while (TLOFile.next() == StorageStatus::Ok && TLO.TASKID == taskId) runs.push_back(TLO);
    return runs;
}

std::vector<TLIRecord> readTaskLogItems(ULONG logId) {
    std::vector<TLIRecord> items;
    TableScope scope({&TLIFile});
    TLIFile.clear();
    TLI.TASKLOGID = logId;
    TLIFile.setAt(TLI_IDKEY);
    while (TLIFile.next() == StorageStatus::Ok && TLI.TASKLOGID == logId) items.push_back(TLI);
    std::stable_sort(items.begin(), items.end(), before);
    return items;
}

std::string taskRunDuration(const TLORecord& run) {
    const long long d = elapsedHundredths({run.DATESTARTED, run.TIMESTARTED}, {run.DATEFINISHED, run.TIMEFINISHED});
    if (run.DATEFINISHED == 0 || d <= 0 || d >= HundredthsPerDay) return "N.A.";
    return formatTime(static_cast<LONG>(d), "@T4");
}

TaskLogWriter::TaskLogWriter(ULONG taskId) : taskId_(taskId) {
    TableScope scope({&TLOFile});
    TLOFile.set(TLO_IDKEY);
    logId_ = TLOFile.previous() == StorageStatus::Ok ? TLO.TASKLOGID + 1 : 1;
}

bool TaskLogWriter::start(const DateTime& at) {
    TableScope scope({&TLOFile});
    TLOFile.clear();
    TLO.TASKLOGID = logId_;
    TLO.TASKID = taskId_;
    TLO.DATESTARTED = at.date;
    TLO.TIMESTARTED = at.time;
    started_ = UppDat(TLOFile, AddRecord, ReportOnly);
    return started_;
}

bool TaskLogWriter::startItem(ULONG type, ULONG batchId, const DateTime& at) {
    TableScope scope({&TLIFile});
    // Items are read back in the order of their starts, and two of one type
    // cannot share a start in the key: each starts at least a hundredth
    // after the one before.
    DateTime start = at;
    if (!items_.empty()) {
        const DateTime& last = items_.back().at;
        if (last.date > start.date || (last.date == start.date && last.time >= start.time)) start = addHundredths(last, 1);
    }
    TLIFile.clear();
    TLI.TASKLOGID = logId_;
    TLI.TYPE = type;
    TLI.BATCHID = batchId;
    TLI.DATESTARTED = start.date;
    TLI.TIMESTARTED = start.time;
    if (!UppDat(TLIFile, AddRecord, ReportOnly)) return false;
    items_.push_back({type, start});
    lastType_ = type;
    return true;
}

bool TaskLogWriter::finishItem(ULONG type, BYTE result, const DateTime& at, const std::string& message) {
    auto it = std::find_if(items_.rbegin(), items_.rend(), [type](const Started& s) { return s.type == type; });
    if (it == items_.rend()) return false;
    TableScope scope({&TLIFile});
    if (!readItem(logId_, type, it->at)) return false;
    if (!HoldRec(TLIFile, &TLI_IDKEY)) return false;
    TLI.DATEFINISHED = at.date;
    TLI.TIMEFINISHED = at.time;
    TLI.RESULTCODE = combineResults(TLI.RESULTCODE, result);
    addMessage(TLI, message);
    const bool ok = UppDat(TLIFile, UpdateRecord, ReportOnly);
    TLIFile.release();
    return ok;
}

BYTE TaskLogWriter::finish(const DateTime& at) {
    BYTE result = ResultNotSet;
    for (const TLIRecord& item : readTaskLogItems(logId_)) result = combineResults(result, item.RESULTCODE);
    if (!started_) return result;
    TableScope scope({&TLOFile});
    TLOFile.clear();
    TLO.TASKLOGID = logId_;
    if (!HoldRec(TLOFile, &TLO_IDKEY)) return result;
    TLO.DATEFINISHED = at.date;
    TLO.TIMEFINISHED = at.time;
    TLO.RESULTCODE = result;
    UppDat(TLOFile, UpdateRecord, ReportOnly);
    TLOFile.release();
    return result;
}

}  // namespace pm
