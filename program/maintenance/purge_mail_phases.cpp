// The purge phases of mail databases only (purge_run.h).
#include <climits>

#include "common/globals.h"
#include "common/text.h"
#include "import/store/dup_string.h"
#include "maintenance/purge_state.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

// A minute in hundredths of a second.
constexpr LONG kMinute = 6000;
// Characters of the texts that must agree before the texts are compared whole.
constexpr std::size_t kTextStart = 30;

std::string textStart(ULONG mail) {
    MsgText.clear();
    TXT.MSGNUMBER = mail;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return std::string(kTextStart, ' ');
    std::string start = TXT.MsgText.substr(0, kTextStart);
    start.resize(kTextStart, ' ');
    return start;
}

}  // namespace

SliceResult PurgeRun::State::roundTimes() {
    return physicalSlice(Mail, lastPosition, quota, [&] {
        const LONG rounded = MAI.TIME - MAI.TIME % kMinute + 1;
        if (rounded == MAI.TIME) return true;
        MAI.TIME = rounded;
        return write(Mail, UpdateRecord);
    });
}

SliceResult PurgeRun::State::duplicates() {
    // Along the subject key, from after the mail last looked at.
    Mail.clear();
    if (subjectPlace.set) {
        MAI.SUBJECT = subjectPlace.subject;
        MAI.DATE = subjectPlace.date;
        MAI.TIME = subjectPlace.time;
        MAI.MAILID = subjectPlace.id;
    } else {
        MAI.DATE = INT32_MAX;
        MAI.TIME = INT32_MAX;
        MAI.MAILID = UINT32_MAX;
    }
    Mail.setAt(MAI_SubjectKey);
    for (int n = 0; n < quota; ++n) {
        const StorageStatus st = Mail.next();
        if (st == StorageStatus::NotFound) return SliceResult::PhaseDone;
        if (st != StorageStatus::Ok) return failedRead(Mail);
        if (subjectPlace.set && MAI.MAILID == subjectPlace.id && MAI.DATE == subjectPlace.date &&
            MAI.TIME == subjectPlace.time) {
            --n;  // the record the slice started from
            continue;
        }
        subjectPlace = {MAI.SUBJECT, MAI.DATE, MAI.TIME, MAI.MAILID, true};
        const MailRecord mail = MAI;
        const RecordPosition at = Mail.position();
        const bool sameGroup = reference.set && reference.date == mail.DATE && reference.time == mail.TIME &&
                               toUpper(reference.subject.view()) == toUpper(mail.SUBJECT.view());
        if (!sameGroup) {
            reference = {mail.SUBJECT, mail.DATE, mail.TIME, mail.MAILID, mail.FROMID, mail.TOID, textStart(mail.MAILID), true};
            continue;
        }
        const std::string start = textStart(mail.MAILID);
        const bool duplicate = mail.FROMID == reference.from && mail.TOID == reference.to &&
                               start == reference.textStart && DupString(2, reference.id, mail.MAILID) == 1;
        if (!duplicate) {
            reference = {mail.SUBJECT, mail.DATE, mail.TIME, mail.MAILID, mail.FROMID, mail.TOID, start, true};
            continue;
        }
        if (mail.DUMMY != StatusNormal) continue;
        if (Mail.getAt(at) != StorageStatus::Ok) continue;
        MAI.DUMMY = StatusDelete;
        if (!write(Mail, UpdateRecord)) return SliceResult::Failed;
        line = "Set delete status on duplicates";
    }
    return SliceResult::More;
}

SliceResult PurgeRun::State::partners() {
    if (!enoughSpace(10'000'000)) return SliceResult::Stopped;
    int budget = quota;
    while (budget > 0) {
        Person.clear();
        PER.PERSONID = nextId;
        Person.setAt(PER_PersonKey);
        const StorageStatus st = Person.next();
        if (st == StorageStatus::NotFound) return SliceResult::PhaseDone;
        if (st != StorageStatus::Ok) return failedRead(Person);
        const PersonRecord partner = PER;
        const RecordPosition at = Person.position();
        --budget;
        if (partner.DUMMY != StatusDelete || partner.PERSONID == Mem.PersonID) {
            nextId = partner.PERSONID + 1;
            if (nextId == 0) return SliceResult::PhaseDone;
            continue;
        }
        // The partner's mails, along the pair key.
        bool kept = false;
        Mail.clear();
        MAI.PAIRALPHA = partner.LASTNAME.view();
        MAI.PAIRID = partner.PERSONID;
        MAI.DATE = INT32_MAX;
        MAI.TIME = INT32_MAX;
        MAI.MAILID = UINT32_MAX;
        Mail.setAt(MAI_PairKey);
        for (;;) {
            const StorageStatus m = Mail.next();
            if (m == StorageStatus::NotFound || (m == StorageStatus::Ok && MAI.PAIRID != partner.PERSONID)) break;
            if (m != StorageStatus::Ok) return failedRead(Mail);
            if (MAI.DUMMY == StatusKeep) {
                kept = true;
                continue;
            }
            if (budget <= 0) return SliceResult::More;  // this partner again in the next slice
            if (!removeMessage(type, tables->wordIndex(), words)) return SliceResult::Failed;
            ++deleted;
            --budget;
        }
        nextId = partner.PERSONID + 1;
        if (!kept && Person.getAt(at) == StorageStatus::Ok) {
            if (!write(Person, DeleteRecordOp) || !removeAliasesOf(partner.PERSONID)) return SliceResult::Failed;
            ++totals.personsRemoved;
        }
        if (nextId == 0) return SliceResult::PhaseDone;
    }
    return SliceResult::More;
}

SliceResult PurgeRun::State::carbonCopies() {
    return physicalSlice(CCRFile, lastPosition, quota, [&] {
        Mail.clear();
        MAI.MAILID = CCR.MAILID;
        return Mail.get(MAI_IdKey) == StorageStatus::Ok || write(CCRFile, DeleteRecordOp);
    });
}

}  // namespace pm
