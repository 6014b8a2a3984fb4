#include "browse/message_summary.h"

#include "browse/browse_tables.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm {

bool readMessageSummary(ULONG number, RowLookups& lookups, MessageSummary& out) {
    out = {};
    auto name = [&](ULONG id) {
        const RowLookups::Person& p = lookups.person(id);
        return p.found ? personDisplayName(p.record) : std::string();
    };
    if (!readMessageHeader(Mem.ForumType, number)) return false;
    if (Mem.ForumType == TypeMail) {
        const MailRecord mail = MAI;
        out.number = mail.MAILID;
        out.date = mail.DATE;
        out.time = mail.TIME;
        out.hasTime = true;
        out.sender = name(mail.FROMID);
        out.receiver = name(mail.TOID);
        out.subject = mail.SUBJECT.str();
        out.ownStatus = mail.DUMMY;
        out.status = effectiveStatus({mail.DUMMY, lookups.person(mail.PAIRID).status, Mem.ForumCheck});
        return true;
    }
    const MsgNmbrRecord msg = MSG;
    const RowLookups::Thread& thread = lookups.thread(msg.THREADNUMBER);
    const RowLookups::Section& section = lookups.section(msg.SECSYSID);
    out.number = msg.MSGNUMBER;
    out.date = msg.DATE;
    out.sender = name(msg.FROMID);
    out.receiver = name(msg.TOID);
    out.subject = thread.heading;
    out.section = section.description;
    out.replyTo = msg.REFNUMBER;
    out.thread = msg.THREADNUMBER;
    out.ownStatus = msg.DUMMY;
    out.status = effectiveStatus({msg.DUMMY, thread.status, section.status, Mem.ForumCheck});
    return true;
}

}  // namespace pm
