#include "merge/message_removal.h"

#include <cstdint>

#include "tables/access/store_writes.h"
#include "tables/access/record_services.h"
#include "tables/access/open_close.h"
#include "tables/records/message_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

// Every table a removal or a recount touches.
const TableList& removalTables() {
    static const TableList tables = {&Codes,  &MsgNmbr, &MsgText,   &Person,   &Sections, &Threads,
                                     &SIndex, &PLINK,   &MsgString, &WordList, &MasIdx};
    return tables;
}

// Deletes the records of `table` at `positions` (read again first).
bool eraseAt(Table& table, const std::vector<RecordPosition>& positions, long& writes) {
    for (RecordPosition pos : positions) {
        if (table.getAt(pos) != StorageStatus::Ok) continue;
        if (!storeWrite(table, DeleteRecordOp)) return false;
        ++writes;
    }
    return true;
}

}  // namespace

void openRemovalTables() {
    OP_CLOSE(OpenShared, removalTables());
}

void releaseRemovalTables() {
    OP_CLOSE(ReleaseTable, removalTables());
}

bool removeMessageRecords(ULONG number, RemovalBatch& batch) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return true;
    if (!storeWrite(MsgNmbr, DeleteRecordOp)) return false;
    batch.removed.push_back(number);
    ++batch.writes;

    MsgText.clear();
    TXT.MSGNUMBER = number;
    MsgText.setSkipMemos(true);
    const bool hasText = MsgText.get(TXT_IdKey) == StorageStatus::Ok;
    MsgText.setSkipMemos(false);
    if (hasText) {
        if (!storeWrite(MsgText, DeleteRecordOp)) return false;
        ++batch.writes;
    }

    MsgString.clear();
    MST.MSGNUMBER = number;
    if (MsgString.get(MST_IDKey) == StorageStatus::Ok) {
        if (!storeWrite(MsgString, DeleteRecordOp)) return false;
        ++batch.writes;
    }
    return true;
}

bool removeWordEntries(RemovalBatch& batch) {
    for (ULONG number : batch.removed) {
        std::vector<RecordPosition> entries;
        MasIdx.clear();
        MAS.SYSID = number;
        MAS.WORDID = 0;
        MasIdx.setAt(MAS_by_SysID);
        while (MasIdx.next() == StorageStatus::Ok && MAS.SYSID == number) {
            entries.push_back(MasIdx.position());
            ++batch.wordsHit[MAS.WORDID];
        }
        if (!entries.empty()) ++batch.indexed;
        if (!eraseAt(MasIdx, entries, batch.writes)) return false;
    }
    return true;
}

bool lowerWordCounts(RemovalBatch& batch) {
    for (const auto& [id, hits] : batch.wordsHit) {
        WordList.clear();
        WOR.WORDID = static_cast<LONG>(id);
        if (WordList.get(WOR_by_WordId) != StorageStatus::Ok) continue;
        WOR.WORDCOUNT = WOR.WORDCOUNT > static_cast<LONG>(hits) ? WOR.WORDCOUNT - static_cast<LONG>(hits) : 0;
        ++batch.writes;
        if (!storeWrite(WordList, UpdateRecord)) return false;
    }
    return true;
}

bool removeTopicAssignments(RemovalBatch& batch) {
    for (ULONG number : batch.removed) {
        std::vector<RecordPosition> assignments;
        SIndex.clear();
        SIN.MSGNUMBER = number;
        SIndex.setAt(SIN_MsgKey);
        while (SIndex.next() == StorageStatus::Ok && SIN.MSGNUMBER == number) assignments.push_back(SIndex.position());
        if (!eraseAt(SIndex, assignments, batch.writes)) return false;
    }
    return true;
}

void MessageCounts::add() {
    ++messages;
    ++sections[MSG.SECSYSID];
    ++threads[MSG.THREADNUMBER];
    if (MSG.FROMID != 0) ++sent[MSG.FROMID];
    if (MSG.TOID != 0) ++received[MSG.TOID];
}

template <typename Visit>
bool CountRepair::walk(Table& table, int quota, bool& ok, Visit visit) {
    ok = true;
    if (!started_) {
        started_ = true;
        pending_.clear();
        next_ = 0;
        table.setPhysical();
        while (table.next() == StorageStatus::Ok) pending_.push_back(table.position());
    }
    for (int n = 0; n < quota && next_ < pending_.size(); ++n) {
        if (table.getAt(pending_[next_++]) != StorageStatus::Ok) continue;  // gone meanwhile
        if (!(ok = visit())) break;
    }
    if (ok && next_ < pending_.size()) return false;
    started_ = false;
    return true;
}

namespace {

ULONG countOf(const std::map<ULONG, ULONG>& counts, ULONG key) {
    auto it = counts.find(key);
    return it == counts.end() ? 0 : it->second;
}

}  // namespace

bool CountRepair::sections(int quota, bool& ok) {
    return walk(Sections, quota, ok, [this] {
        const ULONG count = countOf(counts_.sections, SEC.SECSYSID);
        if (SEC.MSGCOUNT == count) return true;
        SEC.MSGCOUNT = count;
        ++writes_;
        return storeWrite(Sections, UpdateRecord);
    });
}

bool CountRepair::threads(int quota, bool& ok) {
    return walk(Threads, quota, ok, [this] {
        const ULONG count = countOf(counts_.threads, THR.THREADNUMBER);
        if (count != 0) ++threadsLeft_;
        if (count != 0 && THR.MSGCOUNT == count) return true;
        ++writes_;
        if (count == 0) return storeWrite(Threads, DeleteRecordOp);
        THR.MSGCOUNT = count;
        return storeWrite(Threads, UpdateRecord);
    });
}

bool CountRepair::receivers(int quota, bool& ok) {
    return walk(Person, quota, ok, [this] {
        const ULONG received = countOf(counts_.received, PER.PERSONID);
        if (PER.TOCOUNT == received) return true;
        PER.TOCOUNT = received;
        ++writes_;
        return storeWrite(Person, UpdateRecord);
    });
}

bool CountRepair::persons(int quota, bool& ok) {
    return walk(Person, quota, ok, [this] {
        const ULONG sent = countOf(counts_.sent, PER.PERSONID);
        if (PER.FROMCOUNT == sent) return true;
        PER.FROMCOUNT = sent;
        ++writes_;
        return storeWrite(Person, UpdateRecord);
    });
}

bool CountRepair::orphanPersons(int quota, bool& ok) {
    return walk(Person, quota, ok, [this] {
        if (PER.FROMCOUNT != 0 || PER.TOCOUNT != 0) {
            ++personsLeft_;
            return true;
        }
        const ULONG id = PER.PERSONID;
        ++writes_;
        if (!storeWrite(Person, DeleteRecordOp)) return false;
        std::vector<RecordPosition> aliases;
        PLINK.clear();
        PLI.PERSONID = id;
        PLINK.setAt(PLI_PersonKey);
        while (PLINK.next() == StorageStatus::Ok && PLI.PERSONID == id) aliases.push_back(PLINK.position());
        return eraseAt(PLINK, aliases, writes_);
    });
}

bool CountRepair::emptyWords(int quota, bool& ok) {
    return walk(WordList, quota, ok, [this] {
        if (WOR.WORDCOUNT > 0) return true;
        ++writes_;
        return storeWrite(WordList, DeleteRecordOp);
    });
}

bool CountRepair::topicCounts(int quota, bool& ok) {
    return walk(Codes, quota, ok, [this] {
        ULONG count = 0;
        SIndex.clear();
        SIN.ID = COD.ID;
        SIN.MSGNUMBER = UINT32_MAX;  // the numbers run downward: start above them all
        SIndex.setAt(SIN_IdKey);
        while (SIndex.next() == StorageStatus::Ok && SIN.ID == COD.ID) ++count;
        if (COD.COUNT == count) return true;
        COD.COUNT = count;
        ++writes_;
        return storeWrite(Codes, UpdateRecord);
    });
}

}  // namespace pm
