#pragma once
// How far the active database is word-indexed, and what to recommend.
#include "common/types.h"

namespace pm {

// WSIndexFixup results.
enum IndexRecommendation : BYTE {
    PartialForNewMessages = 0,  // messages after the checkpoint are not indexed
    FullNeeded = 1,
    PartialForMarks = 2,        // only deletion marks (PUR) are pending
    NoIndexingNeeded = 99,
};

// Checks the index of the active database against its messages and corrects
// `lastPosition` (FOR:LASTMSGID, a message number, 0 = none) and
// `indexedCount` (FOR:RECSLASTTIME); sets `result` to an
// IndexRecommendation. Quick mode trusts a stored position whose message
// still exists when the count covers at least half of the messages; without
// it, or with `recount` set, the position is found again from the newest
// indexed message that still exists. Opens and releases the tables itself.
void WSIndexFixup(BYTE& result, int positionSize, ULONG& lastPosition, ULONG& indexedCount, bool quick,
                  bool recount);

}  // namespace pm
