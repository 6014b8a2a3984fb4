#include "wordindex/index_fixup.h"

#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

// Messages after `position` in TXT:IdKey order.
long long messagesAfter(ULONG position) {
    MsgText.setSkipMemos(true);
    MsgText.clear();
    TXT.MSGNUMBER = position;
    MsgText.setAt(TXT_IdKey);
    long long n = 0;
    while (MsgText.next() == StorageStatus::Ok)
        if (TXT.MSGNUMBER != position) ++n;
    MsgText.setSkipMemos(false);
    return n;
}

bool messageExists(ULONG number) {
    MsgText.setSkipMemos(true);
    MsgText.clear();
    TXT.MSGNUMBER = number;
    const bool found = MsgText.get(TXT_IdKey) == StorageStatus::Ok;
    MsgText.setSkipMemos(false);
    return found;
}

BYTE recommendationWhenIndexed() { return PURFile.records() > 0 ? PartialForMarks : NoIndexingNeeded; }

}  // namespace

void WSIndexFixup(BYTE& result, int positionSize, ULONG& lastPosition, ULONG& indexedCount, bool quick,
                  bool recount) {
    (void)positionSize;
    OP_CLOSE(OpenShared, {&MsgText, &MasIdx, &PURFile});
    const long long messages = MsgText.records();
    if (messages == 0) {
        lastPosition = 0;
        indexedCount = 0;
        result = NoIndexingNeeded;
    } else if (MasIdx.records() == 0) {
        lastPosition = 0;
        indexedCount = 0;
        result = FullNeeded;
    } else if (quick && !recount && lastPosition != 0 && messageExists(lastPosition) &&
               static_cast<long long>(indexedCount) * 2 >= messages) {
        result = messagesAfter(lastPosition) == 0 ? recommendationWhenIndexed() : BYTE{PartialForNewMessages};
    } else {
        // The newest indexed message that still exists is where indexing stopped.
        ULONG found = 0;
        MasIdx.setPhysical();
        ULONG tried = 0;
        while (MasIdx.previous() == StorageStatus::Ok) {
            if (MAS.SYSID == tried) continue;
            tried = MAS.SYSID;
            if (messageExists(tried)) {
                found = tried;
                break;
            }
        }
        if (found == 0) {
            lastPosition = 0;
            indexedCount = 0;
            result = FullNeeded;
        } else {
            const long long after = messagesAfter(found);
            lastPosition = found;
            indexedCount = static_cast<ULONG>(messages - after);
            result = after > 0 ? BYTE{PartialForNewMessages} : recommendationWhenIndexed();
        }
    }
    OP_CLOSE(ReleaseTable, {&MsgText, &MasIdx, &PURFile});
}

}  // namespace pm
