#pragma once
// Recounting the messages of one person (the maintenance windows' check of
// PER.FROMCOUNT and PER.TOCOUNT).
#include "common/types.h"

namespace pm {

// Results of the recounts.
enum RecountResult : BYTE { RecountUnchanged = 0, RecountChanged = 2, RecountNoMessages = 3 };

// CFromToMail: counts the Mail records sent by (MAI_FromKey) and addressed
// to (MAI_ToKey) the person in the PER buffer, matched by the first 10
// characters of PER.LASTNAME and PER.PERSONID. With both counts 0: mode 0
// returns 3, mode 1 sets both PER counts to 0 and returns 2, another mode
// returns 0. Otherwise returns 0 when PER.FROMCOUNT and PER.TOCOUNT already
// hold the counts, else stores them in the buffer and returns 2 (the caller
// writes the record). Mail must be open.
BYTE CFromToMail(int mode);

// The same for a forum or newsgroup database over MsgNmbr (MSG_FromKey,
// MSG_ToKey): 3 when the person has no messages, 0 when the buffer's counts
// are right, else 2 with the counts stored in the buffer.
BYTE personMessageRecount();

}  // namespace pm
