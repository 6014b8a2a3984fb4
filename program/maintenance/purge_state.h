#pragma once
// The inside of a purge or counting run (purge_run.h), shared by the files
// that hold its phases (internal).
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/message_counts.h"
#include "maintenance/message_removal.h"
#include "maintenance/purge_run.h"
#include "tables/identifiers/writing_run_lock.h"

namespace pm {

enum class PurgePhase {
    MarkAged, DeleteThreads, DeleteMessages, DeleteSections, SearchIndexes, CodeCounts, WordList, Aliases,
    Receivers, Persons, Threads, Sections, DatabaseCount,
    RoundTimes, Duplicates, Partners, CarbonCopies,
};

// What a slice of a phase came to.
enum class SliceResult { More, PhaseDone, Failed, Stopped };

// The mail a duplicate is compared with: the last unmarked mail of its group.
struct MailReference {
    FixedText<50> subject;
    LONG date = 0, time = 0;
    ULONG id = 0, from = 0, to = 0;
    std::string textStart;  // the first 30 characters of its text
    bool set = false;
};

struct PurgeRun::State {
    PurgeOptions options;
    BYTE type = 0;
    bool quiet = false;
    std::string description;
    // Taken before the tables open (opening may create a missing one), so
    // an import, merge or rebuild of another process never writes beside us.
    WritingRunLock writingLock{"Purge"};
    std::unique_ptr<MaintenanceTables> tables;
    std::vector<PurgePhase> phases;
    std::size_t at = 0;  // index of the phase running
    JobStatus status = JobStatus::Running;
    bool started = false;
    int quota = 200;
    std::string line;  // the phase's text

    long long before = 0, deleted = 0, threadsDeleted = 0, sectionsDeleted = 0;
    bool databaseDeleted = false;
    CountTotals totals;
    WordTally words;

    // Position of the phase running; reset between phases.
    std::vector<ULONG> ids;
    std::size_t idAt = 0;
    bool collected = false;
    ULONG nextId = 0;
    RecordPosition lastPosition = 0;
    std::unique_ptr<RecountPass> recount;
    std::unique_ptr<MessageTally> tally;  // counted once, for the three recounts
    std::set<ULONG> agedThreads;
    MailReference reference;
    struct SubjectPlace {
        FixedText<50> subject;
        LONG date = 0, time = 0;
        ULONG id = 0;
        bool set = false;
    } subjectPlace;
    std::uint64_t spaceChecked = 0;  // bytes the free space was checked for in this phase

    void resetPosition();
    // The run's first step once the turn is ours: its tables, and for a
    // database marked for deletion the question whether to delete it whole
    // (false: the run has ended).
    bool start();
    // A step after that: the next slice, or the end.
    JobStatus step();
    // The phases' slices (purge_phases.cpp, purge_mail_phases.cpp).
    SliceResult slice(PurgePhase phase);
    SliceResult markAged();
    SliceResult deleteThreads(bool ofSections);
    SliceResult deleteMessages();
    SliceResult searchIndexes();
    SliceResult codeCounts();
    SliceResult wordList();
    SliceResult aliases();
    SliceResult receivers();
    SliceResult recounts(RecountKind kind);
    SliceResult roundTimes();
    SliceResult duplicates();
    SliceResult partners();
    SliceResult carbonCopies();
    // Empties a thread of its Normal and Delete messages (up to the quota
    // left in `budget`); `kept` tells whether a Keep message remains.
    // PhaseDone when the thread is through.
    SliceResult emptyThread(ULONG thread, const FixedText<10>& alpha, int& budget, bool& kept);
    // The free-space check before a deletion phase; false when the person
    // chose to stop.
    bool enoughSpace(std::uint64_t bytes);
};

// A read that failed inside a slice: reported and rolled back (readFailed).
inline SliceResult failedRead(Table& table) {
    readFailed(table);
    return SliceResult::Failed;
}

// One slice of a pass over `table` in record order, from after `last`:
// `each` sees each record (false: a write failed, reported and rolled back).
template <typename Each>
SliceResult physicalSlice(Table& table, RecordPosition& last, int quota, Each each) {
    table.setPhysicalAt(last + 1);
    for (int n = 0; n < quota; ++n) {
        const StorageStatus st = table.next();
        if (st == StorageStatus::NotFound) return SliceResult::PhaseDone;
        if (st != StorageStatus::Ok) return failedRead(table);
        last = table.position();
        if (!each()) return SliceResult::Failed;
    }
    return SliceResult::More;
}

// The text shown while `phase` runs.
const char* purgePhaseText(PurgePhase phase, BYTE databaseType);

}  // namespace pm
