#include "sets/output_message.h"

#include "browse/browse_rows.h"
#include "browse/browse_tables.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

OutputPerson personOf(ULONG id) {
    OutputPerson p;
    if (id == 0) return p;
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return p;
    p.firstName = PER.FIRSTNAME.str();
    p.lastName = PER.LASTNAME.str();
    p.address = PER.ADDRESS.str();
    return p;
}

std::string textOf(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    return MsgText.get(TXT_IdKey) == StorageStatus::Ok ? TXT.MsgText : std::string();
}

// The Internet identifier stored for a newsgroup message ("" when none).
std::string messageIdOf(ULONG number) {
    if (number == 0 || !MsgString.isOpen()) return {};
    MsgString.clear();
    MST.MSGNUMBER = number;
    return MsgString.get(MST_IDKey) == StorageStatus::Ok ? MST.IDSTRING.str() : std::string();
}

// Mail the owner sent: from the owner, or (owner unknown) paired with its
// receiver rather than its sender.
bool sentMail(const MailRecord& mail) {
    if (Mem.PersonID != 0) return mail.FROMID == Mem.PersonID && mail.TOID != Mem.PersonID;
    return mail.PAIRID != 0 && mail.PAIRID == mail.TOID && mail.PAIRID != mail.FROMID;
}

}  // namespace

bool readOutputMessage(ULONG number, OutputMessage& out) {
    out = {};
    out.type = Mem.ForumType;
    out.databaseName = Mem.Description;
    if (!readMessageHeader(Mem.ForumType, number)) return false;
    if (Mem.ForumType == TypeMail) {
        const MailRecord mail = MAI;
        out.number = mail.MAILID;
        out.date = mail.DATE;
        out.time = mail.TIME;
        out.subject = mail.SUBJECT.str();
        out.sender = personOf(mail.FROMID);
        out.receiver = personOf(mail.TOID);
        out.sent = sentMail(mail);
        out.text = textOf(mail.MAILID);
        return true;
    }
    const MsgNmbrRecord msg = MSG;
    out.number = msg.MSGNUMBER;
    out.date = msg.DATE;
    out.parent = msg.REFNUMBER;
    out.sender = personOf(msg.FROMID);
    out.receiver = personOf(msg.TOID);
    Threads.clear();
    THR.THREADNUMBER = msg.THREADNUMBER;
    if (Threads.get(THR_ThreadKey) == StorageStatus::Ok) out.subject = threadHeading(THR);
    Sections.clear();
    SEC.SECSYSID = msg.SECSYSID;
    if (Sections.get(SEC_SysIdKey) == StorageStatus::Ok) {
        out.sectionNumber = SEC.SECTIONNUMBER;
        out.sectionName = SEC.DESCRIPTION.str();
    }
    if (Mem.ForumType == TypeNewsgroup) {
        out.messageId = messageIdOf(msg.MSGNUMBER);
        out.parentId = messageIdOf(msg.REFNUMBER);
    }
    out.text = textOf(msg.MSGNUMBER);
    return true;
}

}  // namespace pm
