// The states after the last NewHR record of a database: carbon copies
// (mail), person, thread and section counts, and the database's count.
#include <algorithm>
#include <limits>
#include <new>
#include <tuple>
#include <vector>

#include "common/globals.h"
#include "common/text.h"
#include "import/store/message_store.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

// The CCT records in the order of their key (mail, receiver address,
// receiver name; text without regard to case), each receiver of a mail once.
//
// A parser that meets a receiver twice in one mail appends it twice; then
// the unique key cannot be built, and the table refuses sequential reads
// (they rebuild the key first). Reading by position needs no key, and the
// appended work file holds positions 1..n, so the records are fetched that
// way and ordered here.
std::vector<CCTRecord> carbonCopiesInKeyOrder() {
    struct Entry {
        CCTRecord record;
        std::string address, name;  // case-folded
    };
    std::vector<Entry> entries;
    const std::int64_t total = CCTFile.records();
    // Positions removed by a delete leave gaps; allow some, never loop on.
    std::int64_t misses = 0;
    for (RecordPosition pos = 1; static_cast<std::int64_t>(entries.size()) < total && misses <= total; ++pos) {
        if (CCTFile.getAt(pos) != StorageStatus::Ok) {
            ++misses;
            continue;
        }
        entries.push_back({CCT, foldCase(CCT.R_CISADRESS.view()), foldCase(CCT.R_NAME.view())});
    }
    auto key = [](const Entry& e) { return std::tie(e.record.MAILID, e.address, e.name); };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [&](const Entry& a, const Entry& b) { return key(a) == key(b); }),
                  entries.end());
    std::vector<CCTRecord> records;
    records.reserve(entries.size());
    for (const Entry& e : entries) records.push_back(e.record);
    return records;
}

}  // namespace

bool MessageStore::writeCarbonCopies(int quota, bool& failed) {
    failed = false;
    CarbonCopyState& cc = carbonCopies_;
    if (type_ != TypeMail || cc.finished) return true;
    if (!cc.started) {
        cc.started = true;
        try {
            cc.records = carbonCopiesInKeyOrder();
        } catch (const std::bad_alloc&) {
            QError(7, ListError::OutOfMemory);
            return cc.finished = true;
        }
    }
    for (int i = 0; i < quota; ++i) {
        if (cc.next >= cc.records.size()) {
            cc.records.clear();
            return cc.finished = true;
        }
        const CCTRecord& copy = cc.records[cc.next++];
        if (!cc.haveMail || copy.MAILID != cc.mailId) {
            cc.haveMail = true;
            cc.mailId = copy.MAILID;
            Mail.clear();
            MAI.MAILID = copy.MAILID;
            cc.skipMail = Mail.get(MAI_IdKey) != StorageStatus::Ok;
            if (!cc.skipMail) {
                MAI.CCR = 1;
                if (!storeWrite(Mail, UpdateRecord)) {
                    failed = true;
                    return cc.finished = true;
                }
            }
        }
        if (cc.skipMail || mailbox_.isForeign(copy.R_CISADRESS.view()) == 0) continue;
        CCRFile.clear();
        CCR.MAILID = copy.MAILID;
        CCR.R_NAME = copy.R_NAME;
        CCR.R_CISADRESS = copy.R_CISADRESS;
        CCR.RECIPTYPE = copy.RECIPTYPE;
        if (!storeWrite(CCRFile, AddRecord)) {
            failed = true;
            return cc.finished = true;
        }
    }
    return false;
}

template <typename List, typename Add>
bool MessageStore::addCounts(const List& list, bool& started, typename List::const_iterator& at, Table& table,
                             int quota, bool& failed, Add add) {
    if (!started) {
        started = true;
        at = list.begin();
    }
    for (int i = 0; i < quota && at != list.end(); ++i, ++at) {
        if (!add(*at)) continue;
        if (!storeWrite(table, UpdateRecord)) {
            failed = true;
            counts_.discard();
            return true;
        }
    }
    return at == list.end();
}

bool MessageStore::writePersonCounts(int quota, bool& failed) {
    failed = false;
    if (counts_.discarded()) return true;
    static const int sentField = Person.def().fieldIndex("FROMCOUNT");
    static const int receivedField = Person.def().fieldIndex("TOCOUNT");
    if (!personsStarted_) {
        personsStarted_ = true;
        // In the order of the key the writes go through.
        try {
            personOrder_ = counts_.personsInOrder();
        } catch (const std::bad_alloc&) {
            counts_.discard();
            QError(7, ListError::OutOfMemory);
            return true;
        }
        personAt_ = 0;
    }
    // Counts are no part of what the person cache holds. Each is added
    // where it is stored: the record is not read, and no key of Person
    // (none holds a count) is rewritten. A person gone meanwhile is passed
    // over.
    persons_.ownWritesBegin();
    for (int i = 0; i < quota && personAt_ < personOrder_.size(); ++i, ++personAt_) {
        Person.clear();
        PER.PERSONID = personOrder_[personAt_].first;
        const CountLists::PersonCount& count = personOrder_[personAt_].second;
        bool found = false;
        if (!storeAddToNumbers(Person, PER_PersonKey, {{sentField, count.sent}, {receivedField, count.received}},
                               found)) {
            failed = true;
            counts_.discard();
            return true;
        }
    }
    persons_.ownWritesDone();
    if (personAt_ < personOrder_.size()) return false;
    personOrder_.clear();
    return true;
}

bool MessageStore::writeThreadCounts(int quota, bool& failed) {
    failed = false;
    if (type_ == TypeMail || counts_.discarded()) return true;
    return addCounts(counts_.threads(), threadsStarted_, threadAt_, Threads, quota, failed, [](const auto& entry) {
        Threads.clear();
        THR.THREADNUMBER = entry.first;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) return false;
        THR.MSGCOUNT += entry.second;
        return true;
    });
}

bool MessageStore::writeSectionCounts(int quota, bool& failed) {
    failed = false;
    if (type_ != TypeForum || counts_.discarded()) return true;
    return addCounts(counts_.sections(), sectionsStarted_, sectionAt_, Sections, quota, failed, [](const auto& entry) {
        Sections.clear();
        SEC.SECSYSID = entry.first;
        if (Sections.get(SEC_SysIdKey) != StorageStatus::Ok) return false;
        SEC.MSGCOUNT += entry.second;
        return true;
    });
}

bool MessageStore::writeCollectedCounts() {
    if (counts_.discarded()) return true;
    constexpr int kAll = std::numeric_limits<int>::max();
    bool failed = false;
    writePersonCounts(kAll, failed);
    if (!failed) writeThreadCounts(kAll, failed);
    if (!failed) writeSectionCounts(kAll, failed);
    if (failed) return false;
    counts_.clear();
    personsStarted_ = threadsStarted_ = sectionsStarted_ = false;
    if (newHeaders_ == 0) return true;
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) {
        FOR.MSGCOUNT += newHeaders_;
        FOR.COUNTFLAG = 1;
        if (!storeWrite(Forums, UpdateRecord)) return false;
    }
    newHeaders_ = 0;
    return true;
}

bool MessageStore::writeDatabaseCount() {
    Table& headers = type_ == TypeMail ? Mail : MsgNmbr;
    const std::int64_t counted = headers.records();
    // A count that cannot be read leaves the stored one as it is rather than
    // writing 0 over it.
    if (counted == 0 && headers.lastError().status != StorageStatus::Ok) return false;
    const ULONG count = static_cast<ULONG>(counted);
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    bool held = Forums.get(FOR_ForumKey) == StorageStatus::Ok && Forums.hold(5) == StorageStatus::Ok;
    // HoldRec tries once more and reports why the record cannot be had.
    if (!held && !HoldRec(Forums, &FOR_ForumKey)) return false;
    FOR.MSGCOUNT = count;
    FOR.COUNTFLAG = 0;
    const bool ok = storeWrite(Forums, UpdateRecord);
    Forums.release();
    return ok;
}

}  // namespace pm
