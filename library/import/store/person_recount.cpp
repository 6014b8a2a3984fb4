#include "import/store/person_recount.h"

#include <climits>
#include <string>

#include "common/fixed_text.h"
#include "common/text.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// The short name as the store wrote it into the headers.
FixedText<10> shortName() {
    FixedText<10> alpha;
    alpha = PER.LASTNAME.view();
    return alpha;
}

bool sameShortName(const FixedText<10>& a, const FixedText<10>& b) {
    // The keys compare without regard to case; so does this run.
    return a == b || foldCase(a.view()) == foldCase(b.view());
}

ULONG countMail(const KeyDef& key, bool from, ULONG person, const FixedText<10>& alpha) {
    Mail.clear();
    if (from) {
        MAI.FROMALPHA = alpha;
        MAI.FROMID = person;
    } else {
        MAI.TOALPHA = alpha;
        MAI.TOID = person;
    }
    // The date, time and number run downward: start at their highest.
    MAI.DATE = INT32_MAX;
    MAI.TIME = INT32_MAX;
    MAI.MAILID = UINT32_MAX;
    Mail.setAt(key);
    ULONG n = 0;
    while (Mail.next() == StorageStatus::Ok) {
        const ULONG id = from ? MAI.FROMID : MAI.TOID;
        const FixedText<10>& a = from ? MAI.FROMALPHA : MAI.TOALPHA;
        if (id != person || !sameShortName(a, alpha)) break;
        ++n;
    }
    return n;
}

ULONG countMessages(const KeyDef& key, bool from, ULONG person, const FixedText<10>& alpha) {
    MsgNmbr.clear();
    if (from) {
        MSG.FROMALPHA = alpha;
        MSG.FROMID = person;
    } else {
        MSG.TOALPHA = alpha;
        MSG.TOID = person;
    }
    MSG.MSGNUMBER = UINT32_MAX;
    MsgNmbr.setAt(key);
    ULONG n = 0;
    while (MsgNmbr.next() == StorageStatus::Ok) {
        const ULONG id = from ? MSG.FROMID : MSG.TOID;
        const FixedText<10>& a = from ? MSG.FROMALPHA : MSG.TOALPHA;
        if (id != person || !sameShortName(a, alpha)) break;
        ++n;
    }
    return n;
}

BYTE compareAndStore(ULONG sent, ULONG received) {
    if (sent == PER.FROMCOUNT && received == PER.TOCOUNT) return RecountUnchanged;
    PER.FROMCOUNT = sent;
    PER.TOCOUNT = received;
    return RecountChanged;
}

}  // namespace

BYTE CFromToMail(int mode) {
    const FixedText<10> alpha = shortName();
    const ULONG sent = countMail(MAI_FromKey, true, PER.PERSONID, alpha);
    const ULONG received = countMail(MAI_ToKey, false, PER.PERSONID, alpha);
    if (sent == 0 && received == 0) {
        if (mode == 0) return RecountNoMessages;
        if (mode == 1) {
            PER.FROMCOUNT = 0;
            PER.TOCOUNT = 0;
            return RecountChanged;
        }
        return RecountUnchanged;
    }
    return compareAndStore(sent, received);
}

BYTE personMessageRecount() {
    const FixedText<10> alpha = shortName();
    const ULONG sent = countMessages(MSG_FromKey, true, PER.PERSONID, alpha);
    const ULONG received = countMessages(MSG_ToKey, false, PER.PERSONID, alpha);
    if (sent == 0 && received == 0) return RecountNoMessages;
    return compareAndStore(sent, received);
}

}  // namespace pm
