// The purge phases of forum and newsgroup databases, and those every
// database type shares (purge_run.h).
#include <climits>

#include "common/globals.h"
#include "common/user_interface.h"
#include "maintenance/purge_state.h"
#include "tables/access/file_functions.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

// The free space a deletion phase wants before it starts.
constexpr std::uint64_t kThreadDeletionSpace = 5'000'000;
constexpr std::uint64_t kMessageDeletionSpace = 10'000'000;

}  // namespace

bool PurgeRun::State::enoughSpace(std::uint64_t bytes) {
    if (spaceChecked >= bytes) return true;
    spaceChecked = bytes;
    return CheckSpace(bytes) == 0;
}

SliceResult PurgeRun::State::markAged() {
    const LONG cutoff = options.today - 7 * options.agedWeeks;
    if (!collected) {
        // The threads of the messages dated on or before the cut-off, newest first.
        MsgNmbr.clear();
        MSG.DATE = nextId == 0 ? cutoff : static_cast<LONG>(nextId);
        MSG.MSGNUMBER = nextId == 0 ? UINT32_MAX : static_cast<ULONG>(lastPosition);
        MsgNmbr.setAt(MSG_DateKey);
        for (int n = 0; n < quota * 5; ++n) {
            const StorageStatus st = MsgNmbr.next();
            if (st == StorageStatus::NotFound) {
                collected = true;
                ids.assign(agedThreads.begin(), agedThreads.end());
                return SliceResult::More;
            }
            if (st != StorageStatus::Ok) return failedRead(MsgNmbr);
            agedThreads.insert(MSG.THREADNUMBER);
            // Go on after this record: same date, lower number, or an earlier date.
            if (MSG.MSGNUMBER > 0) {
                nextId = static_cast<ULONG>(MSG.DATE);
                lastPosition = MSG.MSGNUMBER - 1;
            } else {
                nextId = static_cast<ULONG>(MSG.DATE - 1);
                lastPosition = UINT32_MAX;
            }
        }
        return SliceResult::More;
    }
    line = "Setting delete status to aged threads";
    for (int n = 0; n < quota && idAt < ids.size(); ++n) {
        Threads.clear();
        THR.THREADNUMBER = ids[idAt++];
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok || THR.DUMMY != StatusNormal) continue;
        const RecordPosition at = Threads.position();
        MsgNmbr.clear();
        MSG.THREADALPHA = THR.ALPHA;
        MSG.THREADNUMBER = THR.THREADNUMBER;
        RecordPosition last = 0;
        if (MsgNmbr.rangePosition(MSG_Threadkey, 2, 0, true, last) != StorageStatus::Ok) continue;
        if (MsgNmbr.getAt(last) != StorageStatus::Ok) return failedRead(MsgNmbr);
        if (MSG.DATE > cutoff) continue;
        if (Threads.getAt(at) != StorageStatus::Ok) continue;
        THR.DUMMY = StatusDelete;
        if (!write(Threads, UpdateRecord)) return SliceResult::Failed;
    }
    return idAt < ids.size() ? SliceResult::More : SliceResult::PhaseDone;
}

SliceResult PurgeRun::State::emptyThread(ULONG thread, const FixedText<10>& alpha, int& budget, bool& kept) {
    kept = false;
    MsgNmbr.clear();
    MSG.THREADALPHA = alpha;
    MSG.THREADNUMBER = thread;
    MsgNmbr.setAt(MSG_Threadkey);
    for (;;) {
        const StorageStatus st = MsgNmbr.next();
        if (st == StorageStatus::NotFound || (st == StorageStatus::Ok && MSG.THREADNUMBER != thread))
            return SliceResult::PhaseDone;
        if (st != StorageStatus::Ok) return failedRead(MsgNmbr);
        if (MSG.DUMMY == StatusKeep) {
            kept = true;
            continue;
        }
        if (budget <= 0) return SliceResult::More;
        if (!removeMessage(type, tables->wordIndex(), words)) return SliceResult::Failed;
        ++deleted;
        --budget;
    }
}

SliceResult PurgeRun::State::deleteThreads(bool ofSections) {
    if (!enoughSpace(kThreadDeletionSpace)) return SliceResult::Stopped;
    if (!collected) {
        collected = true;
        if (!ofSections) {
            Threads.clear();
            THR.DUMMY = StatusDelete;
            Threads.setAt(THR_StatusKey);
            while (Threads.next() == StorageStatus::Ok && THR.DUMMY == StatusDelete) ids.push_back(THR.THREADNUMBER);
        } else {
            std::vector<ULONG> sections;
            Sections.setPhysical();
            while (Sections.next() == StorageStatus::Ok)
                if (SEC.DUMMY == StatusDelete) sections.push_back(SEC.SECSYSID);
            for (ULONG section : sections) {
                Threads.clear();
                THR.SECSYSID = section;
                Threads.setAt(THR_SecKey);
                while (Threads.next() == StorageStatus::Ok && THR.SECSYSID == section)
                    if (THR.DUMMY != StatusKeep) ids.push_back(THR.THREADNUMBER);
            }
        }
        return SliceResult::More;
    }
    int budget = quota;
    while (idAt < ids.size() && budget > 0) {
        Threads.clear();
        THR.THREADNUMBER = ids[idAt];
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) {
            ++idAt;
            continue;
        }
        const ThreadsRecord thread = THR;
        const RecordPosition at = Threads.position();
        bool kept = false;
        const SliceResult r = emptyThread(thread.THREADNUMBER, thread.ALPHA, budget, kept);
        if (r != SliceResult::PhaseDone) return r;
        ++idAt;
        if (kept) continue;
        if (Threads.getAt(at) != StorageStatus::Ok) continue;
        if (!write(Threads, DeleteRecordOp)) return SliceResult::Failed;
        ++threadsDeleted;
    }
    return idAt < ids.size() ? SliceResult::More : SliceResult::PhaseDone;
}

SliceResult PurgeRun::State::deleteMessages() {
    if (!enoughSpace(kMessageDeletionSpace)) return SliceResult::Stopped;
    const bool mail = type == TypeMail;
    Table& headers = mail ? Mail : MsgNmbr;
    for (int n = 0; n < quota; ++n) {
        headers.clear();
        if (mail) MAI.DUMMY = StatusDelete;
        else MSG.DUMMY = StatusDelete;
        headers.setAt(mail ? MAI_StatusKey : MSG_StatusKey);
        const StorageStatus st = headers.next();
        if (st == StorageStatus::NotFound) return SliceResult::PhaseDone;
        if (st != StorageStatus::Ok) return failedRead(headers);
        if ((mail ? MAI.DUMMY : MSG.DUMMY) != StatusDelete) return SliceResult::PhaseDone;
        if (!removeMessage(type, tables->wordIndex(), words)) return SliceResult::Failed;
        ++deleted;
    }
    return SliceResult::More;
}

SliceResult PurgeRun::State::searchIndexes() {
    return physicalSlice(SIndex, lastPosition, quota,
                         [&] { return readMessageHeader(type, SIN.MSGNUMBER) || write(SIndex, DeleteRecordOp); });
}

SliceResult PurgeRun::State::codeCounts() {
    return physicalSlice(Codes, lastPosition, quota, [&] {
        SIndex.clear();
        SIN.ID = COD.ID;
        const std::int64_t count = SIndex.rangeCount(SIN_IdKey, 1);
        if (count < 0) return readFailed(SIndex);
        if (COD.COUNT == static_cast<ULONG>(count)) return true;
        COD.COUNT = static_cast<ULONG>(count);
        return write(Codes, UpdateRecord);
    });
}

SliceResult PurgeRun::State::wordList() {
    if (!tables->wordIndex()) return SliceResult::PhaseDone;
    const bool built = WordList.buildKeys() == StorageStatus::Ok;
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok && FOR.WORDLISTINDEXNEEDSUPDATE != (built ? 0 : 1)) {
        FOR.WORDLISTINDEXNEEDSUPDATE = built ? 0 : 1;
        if (!write(Forums, UpdateRecord)) return SliceResult::Failed;
    }
    Mem.WordListIndexNeedsUpdate = built ? 0 : 1;
    return SliceResult::PhaseDone;
}

SliceResult PurgeRun::State::aliases() {
    return physicalSlice(PLINK, lastPosition, quota, [&] {
        Person.clear();
        PER.PERSONID = PLI.PERSONID;
        return Person.get(PER_PersonKey) == StorageStatus::Ok || write(PLINK, DeleteRecordOp);
    });
}

SliceResult PurgeRun::State::receivers() {
    // A batch of replies first: reading their parents moves the sequence.
    struct Reply {
        RecordPosition at;
        ULONG parent, to;
    };
    std::vector<Reply> batch;
    MsgNmbr.setPhysicalAt(lastPosition + 1);
    bool end = false;
    for (int n = 0; n < quota; ++n) {
        const StorageStatus st = MsgNmbr.next();
        if (st == StorageStatus::NotFound) {
            end = true;
            break;
        }
        if (st != StorageStatus::Ok) return failedRead(MsgNmbr);
        lastPosition = MsgNmbr.position();
        if (MSG.REFNUMBER != 0 && MSG.REFNUMBER != MSG.MSGNUMBER) batch.push_back({lastPosition, MSG.REFNUMBER, MSG.TOID});
    }
    for (const Reply& reply : batch) {
        if (!readMessageHeader(type, reply.parent) || MSG.FROMID == reply.to) continue;
        const ULONG sender = MSG.FROMID;
        const FixedText<10> alpha = MSG.FROMALPHA;
        if (MsgNmbr.getAt(reply.at) != StorageStatus::Ok) continue;
        MSG.TOID = sender;
        MSG.TOALPHA = alpha;
        if (!write(MsgNmbr, UpdateRecord)) return SliceResult::Failed;
    }
    return end ? SliceResult::PhaseDone : SliceResult::More;
}

}  // namespace pm
