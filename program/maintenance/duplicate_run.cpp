#include "maintenance/duplicate_run.h"

#include <algorithm>
#include <climits>
#include <map>

#include "common/globals.h"
#include "common/stopwatch.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "import/addresses/cis_address.h"
#include "import/driver/import_settings.h"
#include "maintenance/address_normaliser.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/message_counts.h"
#include "maintenance/message_removal.h"
#include "maintenance/person_merge.h"
#include "maintenance/writing_turn.h"
#include "tables/access/record_services.h"
#include "tables/config/settings.h"
#include "tables/identifiers/writing_run_lock.h"
#include "tables/persons/parse_name.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

constexpr int kDuplicateStopwatch = 14;

enum class Phase { Correct, Identify, Suspects, Choose, Recode, Retire, Recount, DatabaseCount };

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

const char* membersName(BYTE type) {
    switch (type) {
        case TypeMail: return "Mail Partners";
        case TypeNewsgroup: return "Newsgroup Participants";
        default: return "Forum Members";
    }
}

// The old code page's vertical bar, as stored: a stray byte or its Unicode form.
bool holdsVerticalBar(std::string_view text) {
    return text.find('\xB3') != std::string_view::npos || text.find("\u2502") != std::string_view::npos;
}

}  // namespace

struct DuplicateRun::State {
    explicit State(bool automatic) : automatic(automatic), writingLock(automatic ? "Duplicate merging" : "Person merge") {}

    bool automatic = true;
    BYTE type = 0;
    bool quiet = false;
    std::string description;
    int quota = 100;
    // Taken before the tables open, so that no import, merge, purge or
    // rebuild of another process writes the persons and headers while the
    // groups worked out here are merged.
    WritingRunLock writingLock;
    bool started = false;
    std::vector<ULONG> asked;  // the manual merge's persons, until the first step
    std::unique_ptr<MaintenanceTables> tables;
    std::vector<Phase> phases;
    std::size_t at = 0;
    JobStatus status = JobStatus::Running;
    std::string line;

    long long before = 0, remaining = 0;
    ULONG nextId = 0;
    RecordPosition last = 0;
    std::map<std::string, std::vector<Suspect>> groups;  // upper-case address -> its persons, by id
    std::map<ULONG, Suspect*> suspects;
    ULONG survivor = 0;  // the manual merge's
    PersonTargets targets;
    std::vector<std::pair<ULONG, ULONG>> retire;  // merged, survivor
    std::vector<ULONG> merged;
    std::size_t retireAt = 0;
    long long rewritten = 0;
    std::unique_ptr<HeaderRepointing> repointing;
    std::unique_ptr<MessageTally> tally;
    std::unique_ptr<RecountPass> recount;
    CountTotals totals;

    void prepare() {
        type = Mem.ForumType;
        quiet = pm::quiet();
        description = Mem.Description;
        quota = SpeedVal(SpeedDuplicates);
        StartStop(StopwatchStart, kDuplicateStopwatch);
        if (Mem.ForumNumber == 0) status = JobStatus::Failed;
    }

    // The first step's work once the turn is ours: the tables, and for
    // the manual merge the persons that go (false: the survivor is gone).
    bool start();
    // A step after that: the next slice, or the end.
    JobStatus step();
    bool correctOne();
    void identifyOne();
    bool slice(Phase phase, bool& more);
};

// The correction of the person in the buffer (read by PER_PersonKey).
bool DuplicateRun::State::correctOne() {
    const PersonRecord read = PER;
    const RecordPosition at = Person.position();
    const bool mail = type == TypeMail;
    bool changed = false;
    const bool blank = trim(read.ADDRESS.view()).empty();
    if (blank || (mail && (read.PERSONSTRING.view().find("CSINET") != std::string_view::npos ||
                           holdsVerticalBar(read.ADDRESS.view())))) {
        std::string address, name;
        FindCISAdress(mail ? CisMailText : CisForumText, read.PERSONSTRING.view(), address, name);
        // Only a string that yields an address corrects anything.
        if (!trim(address).empty() && address != trim(read.ADDRESS.view())) {
            std::string last, first;
            ParseName(name, last, first);
            PER.ADDRESS = address;
            if (!trim(last).empty()) {
                PER.LASTNAME = last;
                PER.FIRSTNAME = first;
            }
            changed = true;
        }
    }
    const std::string normal = normaliseAddress(PER.ADDRESS.view());
    if (normal != std::string(PER.ADDRESS.view().substr(0, PER.ADDRESS.view().find_last_not_of(' ') + 1))) {
        PER.ADDRESS = normal;
        changed = true;
    }
    if (!changed) return true;
    const PersonRecord corrected = PER;
    if (!renewShortNames(type, read.PERSONID, read.LASTNAME, corrected.LASTNAME)) return false;
    if (Person.getAt(at) != StorageStatus::Ok) return true;
    PER = corrected;
    return write(Person, UpdateRecord);
}

void DuplicateRun::State::identifyOne() {
    const std::string address = toUpper(trim(PER.ADDRESS.view()));
    if (address.empty()) return;
    Suspect s;
    s.id = PER.PERSONID;
    s.prefix = std::string(trim(PER.LASTNAME.view().substr(0, std::min<std::size_t>(10, PER.LASTNAME.view().size()))));
    groups[address].push_back(s);
}

bool DuplicateRun::State::slice(Phase phase, bool& more) {
    more = false;
    bool failed = false;
    switch (phase) {
        case Phase::Correct:
            line = "Correcting non wellformed CIS addresses";
            for (int n = 0; n < quota; ++n) {
                Person.clear();
                PER.PERSONID = nextId;
                Person.setAt(PER_PersonKey);
                const StorageStatus st = Person.next();
                if (st == StorageStatus::NotFound) return true;
                if (st != StorageStatus::Ok) return readFailed(Person);
                nextId = PER.PERSONID + 1;
                if (!correctOne()) return false;
                if (nextId == 0) return true;
            }
            more = true;
            return true;
        case Phase::Identify:
            line = std::string("Identifying duplicate ") + membersName(type);
            Person.setPhysicalAt(last + 1);
            for (int n = 0; n < quota * 5; ++n) {
                const StorageStatus st = Person.next();
                if (st == StorageStatus::NotFound) {
                    line = "Updating count for suspected duplicates";
                    for (auto it = groups.begin(); it != groups.end();) {
                        if (it->second.size() < 2) {
                            it = groups.erase(it);
                            continue;
                        }
                        std::sort(it->second.begin(), it->second.end(),
                                  [](const Suspect& a, const Suspect& b) { return a.id < b.id; });
                        for (Suspect& s : it->second) suspects[s.id] = &s;
                        ++it;
                    }
                    return true;
                }
                if (st != StorageStatus::Ok) return readFailed(Person);
                last = Person.position();
                identifyOne();
            }
            more = true;
            return true;
        case Phase::Suspects: {
            line = "Processing Step 1";
            Table& headers = type == TypeMail ? Mail : MsgNmbr;
            headers.setPhysicalAt(last + 1);
            for (int n = 0; n < quota * 10; ++n) {
                const StorageStatus st = headers.next();
                if (st == StorageStatus::NotFound) return true;
                if (st != StorageStatus::Ok) return readFailed(headers);
                last = headers.position();
                const ULONG from = type == TypeMail ? MAI.FROMID : MSG.FROMID;
                const LONG date = type == TypeMail ? MAI.DATE : MSG.DATE;
                if (auto it = suspects.find(from); it != suspects.end()) {
                    ++it->second->messages;
                    it->second->lastDate = std::max(it->second->lastDate, date);
                }
            }
            more = true;
            return true;
        }
        case Phase::Choose:
            line = "Processing Step 3";
            for (const auto& [address, group] : groups) {
                const ULONG keep = chooseSurvivor(group, type == TypeMail ? Mem.PersonID : 0);
                if (keep == 0) continue;
                Person.clear();
                PER.PERSONID = keep;
                if (Person.get(PER_PersonKey) != StorageStatus::Ok) continue;
                const PersonTarget target = targetOf(PER);
                for (const Suspect& s : group) {
                    if (s.id == keep) continue;
                    targets[s.id] = target;
                    retire.push_back({s.id, keep});
                }
            }
            return true;
        case Phase::Recode:
            line = "Recoding Message Receiver ID";
            if (!repointing) repointing = std::make_unique<HeaderRepointing>(type);
            more = !repointing->slice(targets, quota, failed, rewritten);
            return !failed;
        case Phase::Retire:
            line = std::string("Deleting duplicate ") + membersName(type);
            for (int n = 0; n < quota && retireAt < retire.size(); ++n, ++retireAt) {
                if (!retireMergedPerson(retire[retireAt].first, retire[retireAt].second)) return false;
                merged.push_back(retire[retireAt].first);
            }
            more = retireAt < retire.size();
            return true;
        case Phase::Recount:
            line = type == TypeMail ? "Updating message counts per mailpartner" : "Updating message counts per person";
            if (!tally) tally = std::make_unique<MessageTally>();
            if (!tally->done) {
                tally->slice(type, quota, failed);
                more = true;
                return !failed;
            }
            if (!automatic) {
                // Only the survivor's counts change by a merge by hand.
                Person.clear();
                PER.PERSONID = survivor;
                if (Person.get(PER_PersonKey) != StorageStatus::Ok) return true;
                auto it = tally->persons.find(survivor);
                const MessageTally::Sides sides = it == tally->persons.end() ? MessageTally::Sides{} : it->second;
                if (PER.FROMCOUNT == sides.sent && PER.TOCOUNT == sides.received) return true;
                PER.FROMCOUNT = sides.sent;
                PER.TOCOUNT = sides.received;
                return write(Person, UpdateRecord);
            }
            if (!recount) recount = std::make_unique<RecountPass>(RecountKind::Persons, type, *tally);
            more = !recount->slice(quota, totals, failed);
            return !failed;
        case Phase::DatabaseCount:
            return writeDatabaseMessageCount(totals);
    }
    return false;
}

bool DuplicateRun::State::start() {
    tables = std::make_unique<MaintenanceTables>(type);
    before = Person.records();
    if (automatic) {
        phases = {Phase::Correct, Phase::Identify, Phase::Suspects, Phase::Choose,
                  Phase::Recode,  Phase::Retire,   Phase::Recount};
        if (type == TypeMail) phases.push_back(Phase::DatabaseCount);
        return true;
    }
    Person.clear();
    PER.PERSONID = survivor;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return false;
    const PersonTarget target = targetOf(PER);
    for (ULONG q : asked) {
        if (q == survivor || targets.count(q)) continue;
        if (type == TypeMail && q == Mem.PersonID) {
            message("Warning!", OwnerProtectedText, Icon::Exclamation);
            continue;
        }
        Person.clear();
        PER.PERSONID = q;
        if (Person.get(PER_PersonKey) != StorageStatus::Ok) continue;
        targets[q] = target;
        retire.push_back({q, survivor});
    }
    phases = {Phase::Recode, Phase::Retire, Phase::Recount};
    return true;
}

DuplicateRun::DuplicateRun() : s_(std::make_unique<State>(true)) { s_->prepare(); }

DuplicateRun::DuplicateRun(ULONG survivor, const std::vector<ULONG>& merged) : s_(std::make_unique<State>(false)) {
    s_->prepare();
    s_->survivor = survivor;
    s_->asked = merged;
}

DuplicateRun::~DuplicateRun() {
    if (inTransaction()) rollbackTransaction();
}

JobStatus DuplicateRun::status() const { return s_->status; }

const std::vector<ULONG>& DuplicateRun::merged() const { return s_->merged; }

JobStatus DuplicateRun::step() {
    State& s = *s_;
    return stepHoldingWritingTurn(
        s,
        [&] {
            if (s.start()) return true;
            s.tables.reset();
            s.status = JobStatus::Failed;
            return false;
        },
        [&] { return s.step(); });
}

JobStatus DuplicateRun::State::step() {
    State& s = *this;
    if (s.at >= s.phases.size()) {
        s.remaining = Person.records();
        s.tables.reset();
        s.status = JobStatus::Done;
        s.line = "The Duplicate Removal Process has finished!";
        if (s.automatic && showCompletionTime() && !s.quiet) {
            beep();
            message(" Duplicate Elimination ", "The time for completion was: " +
                                                   std::to_string(StartStop(StopwatchStop, kDuplicateStopwatch)) +
                                                   " seconds");
        }
        return s.status;
    }
    if (!beginMaintenanceTransaction(s.tables->all())) return s.status = JobStatus::Failed;
    bool more = false;
    if (!s.slice(s.phases[s.at], more) || !commitMaintenanceTransaction()) {
        if (inTransaction()) rollbackTransaction();
        s.tables.reset();
        return s.status = JobStatus::Failed;
    }
    if (!more) {
        ++s.at;
        s.nextId = 0;
        s.last = 0;
    }
    return s.status;
}

bool DuplicateRun::requestStop(StopRequest how) {
    State& s = *s_;
    if (s.status != JobStatus::Running) return true;
    if (how == StopRequest::Ask && s.automatic && s.at > 0) {
        const Button answer = message("Duplicate Person elimination interrupted",
                                      "Stopping at this stage will cause message counts \r\nto be incorrect.\r\n"
                                      "If you do quit, please run the Count Messages process to correct the numbers! "
                                      "Are you sure you want to quit?",
                                      Icon::Question, ButtonYes | ButtonNo, ButtonNo);
        if (answer != ButtonYes) return false;
    }
    s.status = JobStatus::Stopped;
    s.tables.reset();
    s.writingLock.release();
    return true;
}

ProgressReport DuplicateRun::report() const {
    const State& s = *s_;
    namespace c = duplicate_counter;
    ProgressReport r;
    r.title = (s.quiet ? " Scheduled Duplicate Merging [" : " Duplicate Merging [") + s.description + "]";
    r.lines.push_back(s.status == JobStatus::Running ? s.line
                      : s.status == JobStatus::Done  ? std::string("The Duplicate Removal Process has finished!")
                                                     : std::string("Stopped: ") + jobStatusName(s.status));
    const bool done = s.status == JobStatus::Done;
    r.counters = {{c::Before, s.before},
                  {c::Obsolete, s.totals.personsRemoved},
                  {c::Duplicates, static_cast<long long>(s.merged.size())},
                  {c::Remaining, done ? s.remaining : s.before - s.totals.personsRemoved - static_cast<long long>(s.merged.size())},
                  {c::Phase, static_cast<long long>(std::min(s.at + 1, s.phases.size()))}};
    r.percent = s.phases.empty() ? (s.started ? 100 : 0) : static_cast<int>(s.at * 100 / s.phases.size());
    return r;
}

std::vector<std::pair<std::string, std::string>> DuplicateRun::counterLabels() const {
    namespace c = duplicate_counter;
    switch (s_->type) {
        case TypeMail:
            return {{c::Before, "Existing Mail Partners in database:"}, {c::Obsolete, "Obsolete Mail Partners removed:"},
                    {c::Duplicates, "Duplicate Mail Partners merged:"}, {c::Remaining, "Remaining Mail Partners:"},
                    {c::Phase, "Phase"}};
        case TypeNewsgroup:
            return {{c::Before, "Existing Newsgroup Participants in database:"},
                    {c::Obsolete, "Obsolete Newsgroup Participants removed:"},
                    {c::Duplicates, "Duplicate Newsgroup Participants merged:"},
                    {c::Remaining, "Remaining Newsgroup Participants:"},
                    {c::Phase, "Phase"}};
        default:
            return {{c::Before, "Existing Forum Members in database:"}, {c::Obsolete, "Obsolete Forum Members removed:"},
                    {c::Duplicates, "Duplicate Forum Members merged:"}, {c::Remaining, "Remaining Forum Members:"},
                    {c::Phase, "Phase"}};
    }
}

}  // namespace pm
