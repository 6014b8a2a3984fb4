// Storing mail: owner-side persons, partner, minute cut, duplicate test,
// header (Mail), text and topic entry.
#include "common/text.h"
#include "import/store/message_store.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/records/message_tables.h"

namespace pm {

LONG cutTimeToMinute(LONG time) {
    // The remainder takes the divisor's sign, so negative times cut the same way.
    LONG r = time % MinuteOfTime;
    if (r < 0) r += MinuteOfTime;
    return time - r;
}

bool MessageStore::resolveMailPeople(const WorkRecord& record, People& people) {
    if (mailParties_ == MailParties::Merge) return resolveMergedMailPeople(record, people);
    const ULONG owner = mailbox_.personId();
    // The owner's side of a mail is the owner's person, named after the first
    // owner-side name met in this mailbox. Without an owner (no catalog
    // record) each name stands for itself.
    auto ownerSide = [&](std::string_view name, std::string_view address, Party& party) {
        if (owner != 0 && !ownerName_.empty()) {
            party.id = owner;
            party.lastName = ownerName_;
            party.address = address;
            return true;
        }
        if (!resolveParty(name, address, party)) return false;
        ownerName_ = party.lastName;
        if (owner != 0) party.id = owner;
        return true;
    };

    const bool received = record.MAILTYPE == MailReceived;
    const bool sent = record.MAILTYPE == MailSent;
    if (received ? !ownerSide(record.R_NAME.view(), record.R_CISADRESS.view(), people.receiver)
                 : !resolveParty(record.R_NAME.view(), record.R_CISADRESS.view(), people.receiver))
        return false;
    if (sent ? !ownerSide(record.S_NAME.view(), record.S_CISADRESS.view(), people.sender)
             : !resolveParty(record.S_NAME.view(), record.S_CISADRESS.view(), people.sender))
        return false;
    if (received) people.partner = people.sender;
    else if (sent) people.partner = people.receiver;
    return true;
}

MailDuplicates::Key MessageStore::duplicateKeyOf(const WorkRecord& record, const People& people) {
    MailDuplicates::Key key;
    key.date = record.DATE;
    key.minute = cutTimeToMinute(record.TIME);
    key.senderId = people.sender.id;
    key.receiverId = people.receiver.id;
    // Compared as stored: the subject cut to the header's width.
    FixedText<50> subject;
    subject = record.HEADING.view();
    key.upperSubject = toUpper(subject.view());
    return key;
}

StoreOutcome MessageStore::storeMail(WorkRecord& record) {
    StoreOutcome out;
    if (record.R_NAME.empty()) record.R_NAME = NameUnknown;
    if (record.S_NAME.empty()) record.S_NAME = NameUnknown;
    People people;
    if (!resolveMailPeople(record, people)) return fatal();

    record.TIME = cutTimeToMinute(record.TIME);
    const MailDuplicates::Key duplicateKey = duplicateKeyOf(record, people);
    if (duplicates_.isDuplicate(duplicateKey, record.MSGTEXT)) {
        out.result = StoreSkipped;
        return out;
    }

    const ULONG mailId = record.REFNUMBER;
    Mail.clear();
    MAI.MAILID = mailId;
    MAI.SUBJECT = record.HEADING.view();
    MAI.PAIRID = people.partner.id;
    MAI.PAIRALPHA = people.partner.lastName;
    MAI.FROMID = people.sender.id;
    MAI.FROMALPHA = people.sender.lastName.view();
    MAI.TOID = people.receiver.id;
    MAI.TOALPHA = people.receiver.lastName.view();
    MAI.DATE = record.DATE;
    MAI.TIME = record.TIME;
    MAI.RECIPTYPE = record.RECIPTYPE;
    MAI.CCR = 0;
    MAI.DUMMY = StatusNormal;
    if (!storeWrite(Mail, AddRecord)) return fatal();
    if (!writeText(record.MSGTEXT, true, mailId)) return fatal();
    duplicates_.remember(duplicateKey, mailId);

    if (mailTopic_ != 0) {
        SIndex.clear();
        SIN.ID = mailTopic_;
        SIN.MSGNUMBER = mailId;
        if (SIndex.get(SIN_IdKey) != StorageStatus::Ok) {
            SIndex.clear();
            SIN.ID = mailTopic_;
            SIN.MSGNUMBER = mailId;
            if (!storeWrite(SIndex, AddRecord)) return fatal();
        }
    }

    out.isNew = true;
    out.senderId = people.sender.id;
    out.receiverId = people.receiver.id;
    countMessage(out, 0);
    return out;
}

}  // namespace pm
