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

// One side of a person's recount: the records of `table` on `key` (whose
// buffer is `buffer`, fields `id` and `name` naming the person) from the
// person's first record on, while they name `person` under `alpha`.
// `fromTop` sets the key's descending components to their highest value.
template <typename Record>
ULONG countRecordsOf(Table& table, Record& buffer, const KeyDef& key, ULONG Record::*id, FixedText<10> Record::*name,
                     ULONG person, const FixedText<10>& alpha, void (*fromTop)(Record&)) {
    table.clear();
    buffer.*name = alpha;
    buffer.*id = person;
    fromTop(buffer);
    table.setAt(key);
    ULONG n = 0;
    while (table.next() == StorageStatus::Ok) {
        if (buffer.*id != person || !sameShortName(buffer.*name, alpha)) break;
        ++n;
    }
    return n;
}

// The date, time and number run downward: start at their highest.
void mailFromTop(MailRecord& mail) {
    mail.DATE = INT32_MAX;
    mail.TIME = INT32_MAX;
    mail.MAILID = UINT32_MAX;
}

void messagesFromTop(MsgNmbrRecord& header) { header.MSGNUMBER = UINT32_MAX; }

BYTE compareAndStore(ULONG sent, ULONG received) {
    if (sent == PER.FROMCOUNT && received == PER.TOCOUNT) return RecountUnchanged;
    PER.FROMCOUNT = sent;
    PER.TOCOUNT = received;
    return RecountChanged;
}

}  // namespace

BYTE CFromToMail(int mode) {
    const FixedText<10> alpha = shortName();
    const ULONG person = PER.PERSONID;
    const ULONG sent =
        countRecordsOf(Mail, MAI, MAI_FromKey, &MailRecord::FROMID, &MailRecord::FROMALPHA, person, alpha, mailFromTop);
    const ULONG received =
        countRecordsOf(Mail, MAI, MAI_ToKey, &MailRecord::TOID, &MailRecord::TOALPHA, person, alpha, mailFromTop);
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
    const ULONG person = PER.PERSONID;
    const ULONG sent = countRecordsOf(MsgNmbr, MSG, MSG_FromKey, &MsgNmbrRecord::FROMID, &MsgNmbrRecord::FROMALPHA,
                                      person, alpha, messagesFromTop);
    const ULONG received = countRecordsOf(MsgNmbr, MSG, MSG_ToKey, &MsgNmbrRecord::TOID, &MsgNmbrRecord::TOALPHA,
                                          person, alpha, messagesFromTop);
    if (sent == 0 && received == 0) return RecountNoMessages;
    return compareAndStore(sent, received);
}

}  // namespace pm
