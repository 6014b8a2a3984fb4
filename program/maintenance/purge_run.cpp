#include "maintenance/purge_run.h"

#include "common/dates.h"
#include "common/globals.h"
#include "common/stopwatch.h"
#include "common/user_interface.h"
#include "import/driver/import_settings.h"
#include "maintenance/purge_state.h"
#include "maintenance/writing_turn.h"
#include "tables/catalog/database_deletion.h"
#include "tables/config/settings.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

constexpr int kPurgeStopwatch = 13;

std::vector<PurgePhase> phasesOf(const PurgeOptions& o, BYTE type) {
    using P = PurgePhase;
    const bool news = type == TypeNewsgroup;
    if (type == TypeMail) {
        if (o.work == PurgeWork::Count) return {P::Persons, P::DatabaseCount};
        return {P::RoundTimes, P::Duplicates,   P::Partners,      P::DeleteMessages, P::CarbonCopies, P::Aliases,
                P::WordList,   P::SearchIndexes, P::CodeCounts,   P::Persons,        P::DatabaseCount};
    }
    std::vector<P> phases;
    if (o.work == PurgeWork::Purge) {
        if (o.agedWeeks > 0) phases.push_back(P::MarkAged);
        phases.insert(phases.end(), {P::DeleteThreads, P::DeleteMessages, P::DeleteSections, P::SearchIndexes,
                                     P::CodeCounts, P::WordList, P::Aliases});
    }
    if (news) phases.push_back(P::Receivers);
    phases.insert(phases.end(), {P::Persons, P::Threads, P::Sections, P::DatabaseCount});
    return phases;
}

const char* personsLabel(BYTE type) {
    switch (type) {
        case TypeMail: return "Number of persons:";
        case TypeNewsgroup: return "Number of Newsgroup participants in database";
        default: return "Number of Forum members in database";
    }
}

}  // namespace

const char* purgePhaseText(PurgePhase phase, BYTE type) {
    using P = PurgePhase;
    switch (phase) {
        case P::MarkAged: return "Marking aged threads for deletion";
        case P::DeleteThreads: return "Deleting messages in obsolete threads";
        case P::DeleteMessages: return "Deleting obsolete messages";
        case P::DeleteSections: return "Deleting messages in obsolete sections";
        case P::SearchIndexes: return "Removing orphaned search indexes";
        case P::CodeCounts: return "Updating key word index counts";
        case P::WordList: return "Rebuilding word list";
        case P::Aliases: return "Removing orphan duplicates";
        case P::Receivers: return "Updating message receiver information";
        case P::Persons: return type == TypeMail ? "Updating message counts per mailpartner" : "Updating message counts per person";
        case P::Threads: return "Updating message counts per thread";
        case P::Sections: return "Updating message counts per section";
        case P::DatabaseCount: return "Updating message count of the database";
        case P::RoundTimes: return "Preparing for mail duplicate elimination";
        case P::Duplicates: return "Identifying duplicate mail messages";
        case P::Partners: return "Deleting mails of obsolete mail partners";
        case P::CarbonCopies: return "Removing orphaned carbon copies";
    }
    return "";
}

void PurgeRun::State::resetPosition() {
    ids.clear();
    idAt = 0;
    collected = false;
    nextId = 0;
    lastPosition = 0;
    recount.reset();
    agedThreads.clear();
    reference = {};
    subjectPlace = {};
    spaceChecked = 0;
}

PurgeRun::PurgeRun(PurgeOptions options) : s_(std::make_unique<State>()) {
    s_->options = options;
    if (s_->options.today == 0) s_->options.today = today();
    s_->type = Mem.ForumType;
    s_->quiet = quiet();
    s_->description = Mem.Description;
    s_->quota = SpeedVal(SpeedCountPurge);
    StartStop(StopwatchStart, kPurgeStopwatch);
    if (Mem.ForumNumber == 0) {
        s_->status = JobStatus::Failed;
        return;
    }
    s_->phases = phasesOf(s_->options, s_->type);
    s_->line = s_->phases.empty() ? std::string() : purgePhaseText(s_->phases.front(), s_->type);
}

PurgeRun::~PurgeRun() {
    if (inTransaction()) rollbackTransaction();
}

JobStatus PurgeRun::status() const { return s_->status; }

bool PurgeRun::requestStop(StopRequest) {
    // Every slice was committed whole: the run can end here.
    if (s_->status == JobStatus::Running) {
        s_->status = JobStatus::Stopped;
        s_->tables.reset();
        s_->writingLock.release();
    }
    return true;
}

double PurgeRun::seconds() const { return StartStop(StopwatchStop, kPurgeStopwatch); }

JobStatus PurgeRun::step() {
    State& s = *s_;
    return stepHoldingWritingTurn(s, [&] { return s.start(); }, [&] { return s.step(); });
}

bool PurgeRun::State::start() {
    State& s = *this;
    s.tables = std::make_unique<MaintenanceTables>(s.type);
    if (!s.phases.empty()) s.line = purgePhaseText(s.phases.front(), s.type);
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    const bool marked = Forums.get(FOR_ForumKey) == StorageStatus::Ok && FOR.DUMMY == StatusDelete;
    s.before = (s.type == TypeMail ? Mail : MsgNmbr).records();
    if (marked && s.options.work == PurgeWork::Purge) {
        const Button answer =
            message(" Database marked for deletion!",
                    "Do you really want to delete all messages in this database? If you do, the entire "
                    "database directory will be removed.",
                    Icon::Question, ButtonYes | ButtonNo | ButtonCancel, ButtonNo);
        if (answer == ButtonCancel) {
            s.status = JobStatus::Stopped;
            return false;
        }
        if (answer == ButtonYes) {
            s.tables.reset();
            const DatabaseDeletion gone = deleteActiveDatabase();
            s.databaseDeleted = gone.catalogRemoved;
            s.deleted = s.before;
            s.status = gone.catalogRemoved ? JobStatus::Done : JobStatus::Failed;
            return false;
        }
    }
    return true;
}

JobStatus PurgeRun::State::step() {
    State& s = *this;
    if (s.at >= s.phases.size()) {
        s.tables.reset();
        s.status = JobStatus::Done;
        if (showCompletionTime() && !s.quiet) {
            beep();
            message(s.options.work == PurgeWork::Purge ? " Obsolete Message Purging " : " Count Messages",
                    "The time for completion was: " + std::to_string(StartStop(StopwatchStop, kPurgeStopwatch)) +
                        " seconds");
        }
        return s.status;
    }
    const PurgePhase phase = s.phases[s.at];
    s.line = purgePhaseText(phase, s.type);
    if (!beginMaintenanceTransaction(s.tables->all())) return s.status = JobStatus::Failed;
    SliceResult result = s.slice(phase);
    if (result == SliceResult::More || result == SliceResult::PhaseDone) {
        if (!applyWordTally(s.words) || !commitMaintenanceTransaction()) result = SliceResult::Failed;
    } else if (inTransaction()) {
        rollbackTransaction();
    }
    switch (result) {
        case SliceResult::More: break;
        case SliceResult::PhaseDone:
            ++s.at;
            s.resetPosition();
            break;
        case SliceResult::Failed:
            s.tables.reset();
            s.status = JobStatus::Failed;
            break;
        case SliceResult::Stopped:
            s.tables.reset();
            s.status = JobStatus::Stopped;
            break;
    }
    return s.status;
}

SliceResult PurgeRun::State::slice(PurgePhase phase) {
    using P = PurgePhase;
    switch (phase) {
        case P::MarkAged: return markAged();
        case P::DeleteThreads: return deleteThreads(false);
        case P::DeleteMessages: return deleteMessages();
        case P::DeleteSections: return deleteThreads(true);
        case P::SearchIndexes: return searchIndexes();
        case P::CodeCounts: return codeCounts();
        case P::WordList: return wordList();
        case P::Aliases: return aliases();
        case P::Receivers: return receivers();
        case P::Persons: return recounts(RecountKind::Persons);
        case P::Threads: return recounts(RecountKind::Threads);
        case P::Sections: return recounts(RecountKind::Sections);
        case P::DatabaseCount: return writeDatabaseMessageCount(totals) ? SliceResult::PhaseDone : SliceResult::Failed;
        case P::RoundTimes: return roundTimes();
        case P::Duplicates: return duplicates();
        case P::Partners: return partners();
        case P::CarbonCopies: return carbonCopies();
    }
    return SliceResult::Failed;
}

SliceResult PurgeRun::State::recounts(RecountKind kind) {
    bool failed = false;
    if (!tally) tally = std::make_unique<MessageTally>();
    if (!tally->done) {
        tally->slice(type, quota, failed);
        return failed ? SliceResult::Failed : SliceResult::More;
    }
    if (!recount) {
        recount = std::make_unique<RecountPass>(kind, type, *tally);
        if (kind == RecountKind::Persons) {
            totals.persons = totals.receivers = 0;
        } else if (kind == RecountKind::Threads) {
            totals.threads = 0;
        } else {
            totals.sections = 0;
        }
    }
    const bool done = recount->slice(quota, totals, failed);
    if (failed) return SliceResult::Failed;
    return done ? SliceResult::PhaseDone : SliceResult::More;
}

ProgressReport PurgeRun::report() const {
    const State& s = *s_;
    namespace c = purge_counter;
    ProgressReport r;
    const bool purge = s.options.work == PurgeWork::Purge;
    if (s.quiet)
        r.title = (purge ? " Scheduled Message Purging [" : " Scheduled Message Counting [") + s.description + "]";
    else
        r.title = purge ? " Message Purging " : " Message Counting ";
    const bool running = s.status == JobStatus::Running;
    r.lines.push_back(running ? (purge ? " Purging Messages .. Please Wait!" : " Counting Messages .. Please Wait!")
                              : s.status == JobStatus::Done ? (purge ? " The purging process has finished!"
                                                                     : " The counting process has finished!")
                                                            : std::string(" Stopped: ") + jobStatusName(s.status));
    if (running) r.lines.push_back(s.line);
    const long long after = s.totals.messages;
    const bool counted = s.status == JobStatus::Done;
    if (s.databaseDeleted) {
        r.counters = {{c::MessagesBefore, s.before}, {c::Deleted, s.deleted}, {c::MessagesAfter, 0},
                      {c::DatabaseDeleted, 1}};
    } else if (purge) {
        r.counters = {{c::MessagesBefore, s.before}, {c::Deleted, s.deleted}, {c::MessagesAfter, counted ? after : s.before - s.deleted}};
        if (s.type != TypeMail) {
            r.counters.push_back({c::ThreadsDeleted, s.threadsDeleted + s.totals.threadsRemoved});
            r.counters.push_back({c::SectionsDeleted, s.totals.sectionsRemoved});
        }
        r.counters.push_back({c::PersonsDeleted, s.totals.personsRemoved});
        r.counters.push_back({c::WordsDeleted, s.words.wordsRemoved});
    } else {
        r.counters = {{c::Messages, counted ? after : s.before}};
        if (s.type != TypeMail) {
            r.counters.push_back({c::Threads, s.totals.threads});
            r.counters.push_back({c::Sections, s.totals.sections});
        } else {
            r.counters.push_back({c::Partners, s.totals.persons > 0 ? s.totals.persons - 1 : 0});
        }
        r.counters.push_back({c::Persons, s.totals.persons});
        r.counters.push_back({c::Receivers, s.totals.receivers});
    }
    r.counters.push_back({c::Phase, static_cast<long long>(std::min(s.at + 1, s.phases.size()))});
    r.percent = s.phases.empty() ? 100 : static_cast<int>(s.at * 100 / s.phases.size());
    return r;
}

std::vector<std::pair<std::string, std::string>> PurgeRun::counterLabels() const {
    namespace c = purge_counter;
    const BYTE type = s_->type;
    std::vector<std::pair<std::string, std::string>> labels = {
        {c::MessagesBefore, "Messages before purging"},
        {c::Deleted, "Deleted during this session"},
        {c::MessagesAfter, "Messages after purging"},
        {c::ThreadsDeleted, "Threads deleted"},
        {c::SectionsDeleted, type == TypeNewsgroup ? "Newsgroups deleted" : "Sections deleted"},
        {c::PersonsDeleted, type == TypeMail ? "Mail partners deleted" : "Persons deleted"},
        {c::WordsDeleted, "Indexed words deleted"},
        {c::DatabaseDeleted, "Database deleted"},
        {c::Messages, "Number of messages in database"},
        {c::Threads, "Number of threads in database"},
        {c::Sections, type == TypeNewsgroup ? "Number of newsgroups in database" : "Number of sections in database"},
        {c::Partners, "Number of mailpartners:"},
        {c::Persons, personsLabel(type)},
        {c::Receivers, "Persons who received messages"},
        {c::Phase, "Phase"},
    };
    return labels;
}

}  // namespace pm
