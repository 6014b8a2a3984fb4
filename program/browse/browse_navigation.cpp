#include "browse/browse_navigation.h"

#include <climits>

#include "browse/browse_rows.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

StorageStatus step(Table& table, int direction) { return direction > 0 ? table.next() : table.previous(); }

// Positions `key` of `table` on the record last read and reads past it.
bool readPast(Table& table, const KeyDef& key, int direction) {
    table.setAtPosition(key, table.position());
    return step(table, direction) == StorageStatus::Ok && step(table, direction) == StorageStatus::Ok;
}

void fillThread(ThreadStep& out) {
    out.number = THR.THREADNUMBER;
    out.heading = threadHeading(THR);
    out.alpha = THR.ALPHA.str();
    out.messages = THR.MSGCOUNT;
    out.section = THR.SECSYSID;
}

bool stepThreadOn(const KeyDef& key, ULONG thread, int direction, ThreadStep& out, const ULONG* section) {
    Threads.clear();
    if (thread == 0) {
        // Not narrowed yet: the first (or last) thread.
        Threads.set(key);
        if (step(Threads, direction) != StorageStatus::Ok) return false;
    } else {
        THR.THREADNUMBER = thread;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok || !readPast(Threads, key, direction)) return false;
    }
    if (section && THR.SECSYSID != *section) return false;
    fillThread(out);
    return true;
}

bool readPerson(ULONG id, PersonStep& out) {
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return false;
    out.id = id;
    out.lastName = PER.LASTNAME.str();
    out.firstName = PER.FIRSTNAME.str();
    return true;
}

// Primes the message key of `role` just past the last (direction > 0) or
// before the first message of the person `id` sorted under `alpha`.
void primePast(PersonRole role, bool mail, std::string_view alpha, ULONG id, int direction) {
    const bool next = direction > 0;
    if (mail) {
        Mail.clear();
        switch (role) {
            case PersonRole::Sender: MAI.FROMALPHA = alpha, MAI.FROMID = id; break;
            case PersonRole::Receiver: MAI.TOALPHA = alpha, MAI.TOID = id; break;
            case PersonRole::Partner: MAI.PAIRALPHA = alpha, MAI.PAIRID = id; break;
        }
        // Date, time and id run downward: the person's last mail has the lowest.
        MAI.DATE = next ? INT32_MIN : INT32_MAX;
        MAI.TIME = next ? INT32_MIN : INT32_MAX;
        MAI.MAILID = next ? 0 : UINT32_MAX;
        return;
    }
    MsgNmbr.clear();
    if (role == PersonRole::Receiver) MSG.TOALPHA = alpha, MSG.TOID = id;
    else MSG.FROMALPHA = alpha, MSG.FROMID = id;
    MSG.MSGNUMBER = next ? 0 : UINT32_MAX;
}

const KeyDef& personKey(PersonRole role, bool mail) {
    if (mail) return role == PersonRole::Sender ? MAI_FromKey : role == PersonRole::Receiver ? MAI_ToKey : MAI_PairKey;
    return role == PersonRole::Receiver ? MSG_ToKey : MSG_FromKey;
}

// The person and sort text of the message just read.
void personOfRecord(PersonRole role, bool mail, ULONG& id, std::string& alpha) {
    if (mail) {
        switch (role) {
            case PersonRole::Sender: id = MAI.FROMID, alpha = MAI.FROMALPHA.str(); return;
            case PersonRole::Receiver: id = MAI.TOID, alpha = MAI.TOALPHA.str(); return;
            case PersonRole::Partner: id = MAI.PAIRID, alpha = MAI.PAIRALPHA.str(); return;
        }
    }
    if (role == PersonRole::Receiver) id = MSG.TOID, alpha = MSG.TOALPHA.str();
    else id = MSG.FROMID, alpha = MSG.FROMALPHA.str();
}

}  // namespace

bool stepThreadInSection(ULONG thread, ULONG section, int direction, ThreadStep& out) {
    return stepThreadOn(THR_SecKey, thread, direction, out, &section);
}

bool stepThread(ULONG thread, int direction, ThreadStep& out) {
    return stepThreadOn(THR_AlphaKey, thread, direction, out, nullptr);
}

bool stepSection(ULONG id, int direction, SectionStep& out) {
    Sections.clear();
    if (id == 0) {
        Sections.set(SEC_SectionKey);
        if (step(Sections, direction) != StorageStatus::Ok) return false;
    } else {
        SEC.SECSYSID = id;
        if (Sections.get(SEC_SysIdKey) != StorageStatus::Ok || !readPast(Sections, SEC_SectionKey, direction))
            return false;
    }
    out.id = SEC.SECSYSID;
    out.number = SEC.SECTIONNUMBER;
    out.description = SEC.DESCRIPTION.str();
    out.messages = SEC.MSGCOUNT;
    return true;
}

bool stepPerson(ULONG person, PersonRole role, bool mail, int direction, PersonStep& out) {
    Table& table = mail ? Mail : MsgNmbr;
    const KeyDef& key = personKey(role, mail);
    std::string alpha;
    ULONG id = person;
    if (person != 0) {
        PersonStep current;
        if (!readPerson(person, current)) return false;
        alpha = current.lastName;
    } else {
        table.clear();
        table.set(key);
    }
    // Messages without that person (id 0: no receiver) are passed over.
    for (int guard = 0; guard < 1000; ++guard) {
        if (id != 0 || guard > 0) {
            primePast(role, mail, alpha, id, direction);
            table.setAt(key);
        }
        if (step(table, direction) != StorageStatus::Ok) return false;
        personOfRecord(role, mail, id, alpha);
        if (id != 0 && id != person) break;
    }
    if (id == 0 || id == person || !readPerson(id, out)) return false;
    out.alpha = alpha;
    out.messages = role == PersonRole::Receiver ? PER.TOCOUNT : PER.FROMCOUNT;
    return true;
}

bool stepFilterValue(BrowseContext& c, int direction) {
    switch (c.SORTORDER) {
        case ViewByThread: {
            ThreadStep t;
            Threads.clear();
            THR.THREADNUMBER = c.XTHREADNUMBER;
            // Reading within a section: its threads, one after the other.
            const bool inSection = c.XSECSYSID != 0 && c.XTHREADNUMBER != 0 &&
                                   Threads.get(THR_ThreadKey) == StorageStatus::Ok && THR.SECSYSID == c.XSECSYSID;
            if (!(inSection ? stepThreadInSection(c.XTHREADNUMBER, c.XSECSYSID, direction, t)
                            : stepThread(c.XTHREADNUMBER, direction, t)))
                return false;
            c.XTHREADNUMBER = t.number;
            c.XTHREADALPHA = t.alpha;
            return true;
        }
        case ViewBySection: {
            SectionStep s;
            if (!stepSection(c.XSECSYSID, direction, s)) return false;
            c.XSECSYSID = s.id;
            return true;
        }
        case ViewBySender:
        case ViewByReceiver: {
            const bool sender = c.SORTORDER == ViewBySender;
            PersonStep p;
            if (!stepPerson(sender ? c.XSENDID : c.XRECEIVEID, sender ? PersonRole::Sender : PersonRole::Receiver,
                            false, direction, p))
                return false;
            if (sender) c.XSENDID = p.id, c.XSENDERALPHA = p.alpha;
            else c.XRECEIVEID = p.id, c.XRECEIVERALPHA = p.alpha;
            return true;
        }
        default: return false;
    }
}

bool stepFilterValue(MailBrowseContext& c, int direction) {
    PersonStep p;
    switch (c.SORTORDER) {
        case MailByPartner:
            if (!stepPerson(c.XPAIRID, PersonRole::Partner, true, direction, p)) return false;
            c.XPAIRID = p.id;
            c.XPAIRALPHA = p.alpha;
            return true;
        case MailBySender:
            if (!stepPerson(c.XSENDID, PersonRole::Sender, true, direction, p)) return false;
            c.XSENDID = p.id;
            c.XSENDERALPHA = p.alpha;
            return true;
        case MailByReceiver:
            if (!stepPerson(c.XRECEIVEID, PersonRole::Receiver, true, direction, p)) return false;
            c.XRECEIVEID = p.id;
            c.XRECEIVERALPHA = p.alpha;
            return true;
        default: return false;
    }
}

}  // namespace pm
