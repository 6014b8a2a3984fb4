#include "maintenance/message_counts.h"

#include "common/globals.h"
#include "import/store/person_recount.h"
#include "maintenance/message_removal.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

}  // namespace

bool RecountPass::slice(int quota, CountTotals& totals, bool& failed) {
    failed = false;
    Table& table = kind_ == RecountKind::Persons ? Person : kind_ == RecountKind::Threads ? Threads : Sections;
    for (int n = 0; n < quota; ++n) {
        // Positioned afresh each time: the recounts read other tables and
        // write this one between two records.
        table.clear();
        switch (kind_) {
            case RecountKind::Persons: PER.PERSONID = next_; table.setAt(PER_PersonKey); break;
            case RecountKind::Threads: THR.THREADNUMBER = next_; table.setAt(THR_ThreadKey); break;
            case RecountKind::Sections: SEC.SECSYSID = next_; table.setAt(SEC_SysIdKey); break;
        }
        const StorageStatus st = table.next();
        if (st == StorageStatus::NotFound) return true;
        if (st != StorageStatus::Ok) {
            failed = !readFailed(table);
            return true;
        }
        bool ok = true;
        switch (kind_) {
            case RecountKind::Persons: next_ = PER.PERSONID + 1; ok = person(totals); break;
            case RecountKind::Threads: next_ = THR.THREADNUMBER + 1; ok = thread(totals); break;
            case RecountKind::Sections: next_ = SEC.SECSYSID + 1; ok = section(totals); break;
        }
        if (!ok) {
            failed = true;
            return true;
        }
        if (next_ == 0) return true;  // the highest id was just done
    }
    return false;
}

bool MessageTally::slice(BYTE type, int quota, bool& failed) {
    failed = false;
    Table& headers = type == TypeMail ? Mail : MsgNmbr;
    headers.setPhysicalAt(last_ + 1);
    for (int n = 0; n < quota * 5; ++n) {
        const StorageStatus st = headers.next();
        if (st == StorageStatus::NotFound) return done = true;
        if (st != StorageStatus::Ok) {
            failed = !readFailed(headers);
            return true;
        }
        last_ = headers.position();
        if (type == TypeMail) {
            ++persons[MAI.FROMID].sent;
            ++persons[MAI.TOID].received;
        } else {
            ++persons[MSG.FROMID].sent;
            ++persons[MSG.TOID].received;
            ++threads[MSG.THREADNUMBER];
            ++sections[MSG.SECSYSID];
        }
    }
    return false;
}

namespace {

template <typename Map>
auto tallied(const Map& map, ULONG id) {
    auto it = map.find(id);
    return it == map.end() ? typename Map::mapped_type{} : it->second;
}

}  // namespace

bool RecountPass::person(CountTotals& totals) {
    const MessageTally::Sides sides = tallied(tally_.persons, PER.PERSONID);
    if (sides.sent == 0 && sides.received == 0 && PER.PERSONID != Mem.PersonID) {
        // None counted. The library's recount over the sender and receiver
        // keys looks again inside this transaction: a message stored since
        // the tally keeps its person.
        const RecordPosition at = Person.position();
        const ULONG id = PER.PERSONID;
        const BYTE result = type_ == TypeMail ? CFromToMail(0) : personMessageRecount();
        if (Person.getAt(at) != StorageStatus::Ok) return true;
        if (result == RecountNoMessages) {
            if (!write(Person, DeleteRecordOp) || !removeAliasesOf(id)) return false;
            ++totals.personsRemoved;
            return true;
        }
        ++totals.persons;
        return true;
    }
    ++totals.persons;
    if (sides.received > 0) ++totals.receivers;
    if (PER.FROMCOUNT == sides.sent && PER.TOCOUNT == sides.received) return true;
    PER.FROMCOUNT = sides.sent;
    PER.TOCOUNT = sides.received;
    return write(Person, UpdateRecord);
}

bool RecountPass::thread(CountTotals& totals) {
    const ULONG n = tallied(tally_.threads, THR.THREADNUMBER);
    if (n == 0) {
        if (!write(Threads, DeleteRecordOp)) return false;
        ++totals.threadsRemoved;
        return true;
    }
    ++totals.threads;
    if (THR.MSGCOUNT == n) return true;
    THR.MSGCOUNT = n;
    return write(Threads, UpdateRecord);
}

bool RecountPass::section(CountTotals& totals) {
    const ULONG n = tallied(tally_.sections, SEC.SECSYSID);
    if (n == 0) {
        if (!write(Sections, DeleteRecordOp)) return false;
        ++totals.sectionsRemoved;
        return true;
    }
    ++totals.sections;
    if (SEC.MSGCOUNT == n) return true;
    SEC.MSGCOUNT = n;
    return write(Sections, UpdateRecord);
}

bool writeDatabaseMessageCount(CountTotals& totals) {
    Table& headers = Mem.ForumType == TypeMail ? Mail : MsgNmbr;
    const std::int64_t counted = headers.records();
    if (counted < 0) return readFailed(headers);
    totals.messages = counted;
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // a database the catalog lost
    if (FOR.MSGCOUNT == static_cast<ULONG>(counted) && FOR.COUNTFLAG == 0) return true;
    FOR.MSGCOUNT = static_cast<ULONG>(counted);
    FOR.COUNTFLAG = 0;
    return write(Forums, UpdateRecord);
}

}  // namespace pm
