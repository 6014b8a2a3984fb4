#include "merge/source_conversion.h"

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

// First name, one blank, last name (either alone when the other is empty).
std::string fullName(const PersonRecord& person) {
    const std::string first = person.FIRSTNAME.str(), last = person.LASTNAME.str();
    if (first.empty()) return last;
    if (last.empty()) return first;
    return first + ' ' + last;
}

void openSourceTables(BYTE type, int mode) {
    if (type == TypeMail)
        OP_CLOSE(mode, {&Mail, &MsgText, &Person, &CCRFile});
    else if (type == TypeNewsgroup)
        OP_CLOSE(mode, {&MsgNmbr, &MsgText, &Person, &Sections, &Threads, &MsgString});
    else
        OP_CLOSE(mode, {&MsgNmbr, &MsgText, &Person, &Sections, &Threads});
}

}  // namespace

bool MessageSelection::takes(ULONG secsysid) const {
    switch (kind) {
        case Section: return secsysid == section;
        case AllButSections: return excluded.count(secsysid) == 0;
        default: return true;
    }
}

SourceConversion::~SourceConversion() { end(); }

void SourceConversion::begin(const ForumsRecord& source, ULONG targetId, MessageSelection selection,
                             WorkFiles& work, LONG* runningId) {
    end();
    FOR = source;
    takeActiveDatabaseFrom_FOR();
    type_ = source.TYPE;
    targetId_ = targetId;
    selection_ = std::move(selection);
    work_ = &work;
    runningId_ = runningId;
    converted_ = 0;
    last_ = 0;
    persons_.clear();
    sections_.clear();
    openSourceTables(type_, OpenShared);
    open_ = true;
    headers_ = type_ == TypeMail ? &Mail : &MsgNmbr;
    if (type_ == TypeMail) {
        owner_ = person(source.PERSONID);
        if (owner_.name.empty()) owner_.name = source.DESCRIPTION.str();
        if (owner_.address.empty()) owner_.address = source.MAILADDRESS.str();
    }
}

void SourceConversion::end() {
    if (!open_) return;
    headers_->setSkipMemos(false);
    openSourceTables(type_, ReleaseTable);
    open_ = false;
}

const SourceConversion::Party& SourceConversion::person(ULONG id) {
    auto it = persons_.find(id);
    if (it != persons_.end()) return it->second;
    Party party;
    Person.clear();
    PER.PERSONID = id;
    // A missing person leaves name and address blank.
    if (id != 0 && Person.get(PER_PersonKey) == StorageStatus::Ok) party = {fullName(PER), PER.ADDRESS.str()};
    return persons_.emplace(id, std::move(party)).first->second;
}

std::pair<ULONG, std::string> SourceConversion::section(ULONG secsysid) {
    auto it = sections_.find(secsysid);
    if (it != sections_.end()) return it->second;
    std::pair<ULONG, std::string> found{0, {}};
    Sections.clear();
    SEC.SECSYSID = secsysid;
    if (Sections.get(SEC_SysIdKey) == StorageStatus::Ok) found = {SEC.SECTIONNUMBER, SEC.DESCRIPTION.str()};
    return sections_.emplace(secsysid, found).first->second;
}

std::string SourceConversion::threadHeading(ULONG thread) {
    Threads.clear();
    THR.THREADNUMBER = thread;
    return Threads.get(THR_ThreadKey) == StorageStatus::Ok ? THR.HEADING.str() : std::string();
}

std::string SourceConversion::text(ULONG number, LONG& date, LONG& time) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    date = time = 0;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return {};
    date = TXT.DATE;
    time = TXT.TIME;
    return std::move(TXT.MsgText);
}

bool SourceConversion::copyMessageId(ULONG number) {
    if (number == 0) return true;
    MsgString.clear();
    MST.MSGNUMBER = number;
    if (MsgString.get(MST_IDKey) != StorageStatus::Ok) return true;
    return work_->appendMessageId(MST.IDSTRING.view(), number) != WorkWrite::Failed;
}

bool SourceConversion::convertMessage(WorkRecord& record) {
    const MsgNmbrRecord header = MSG;
    record.MSGNUMBER = header.MSGNUMBER;
    record.REFNUMBER = header.REFNUMBER;
    const auto [number, description] = section(header.SECSYSID);
    record.SECTIONNUMBER = number;
    record.SEC_DESCRIPTION = description;
    record.HEADING = threadHeading(header.THREADNUMBER);
    const Party& sender = person(header.FROMID);
    record.S_NAME = sender.name;
    record.S_CISADRESS = sender.address;
    const Party& receiver = person(header.TOID);
    record.R_NAME = receiver.name;
    record.R_CISADRESS = receiver.address;
    record.DATE = header.DATE;
    record.DUMMY = header.DUMMY;
    record.MSGTEXT = text(header.MSGNUMBER, record.IMPDATE, record.IMPTIME);
    if (type_ == TypeNewsgroup && (!copyMessageId(header.MSGNUMBER) || !copyMessageId(header.REFNUMBER)))
        return false;
    return work_->appendMessage(record) != WorkWrite::Failed;
}

bool SourceConversion::convertMail(WorkRecord& record) {
    const MailRecord mail = MAI;
    const ULONG number = static_cast<ULONG>((*runningId_)++);
    record.MSGNUMBER = number;
    record.REFNUMBER = number;
    record.HEADING = mail.SUBJECT.view();
    // The partner is the party other than the owner: a mail whose partner
    // is not its addressee came in.
    const bool received = mail.PAIRID != mail.TOID;
    record.MAILTYPE = received ? MailReceived : MailSent;
    const Party& other = person(received ? mail.FROMID : mail.TOID);
    const Party& sender = received ? other : owner_;
    const Party& receiver = received ? owner_ : other;
    record.S_NAME = sender.name;
    record.S_CISADRESS = sender.address;
    record.R_NAME = receiver.name;
    record.R_CISADRESS = receiver.address;
    record.DATE = mail.DATE;
    record.TIME = mail.TIME;
    record.RECIPTYPE = mail.RECIPTYPE;
    record.DUMMY = mail.DUMMY;
    record.MSGTEXT = text(mail.MAILID, record.IMPDATE, record.IMPTIME);
    if (work_->appendMessage(record) == WorkWrite::Failed) return false;
    CCRFile.clear();
    CCR.MAILID = mail.MAILID;
    CCRFile.setAt(CCR_IdKey);
    while (CCRFile.next() == StorageStatus::Ok && CCR.MAILID == mail.MAILID) {
        CCTRecord copy;
        copy.MAILID = number;
        copy.R_NAME = CCR.R_NAME;
        copy.R_CISADRESS = CCR.R_CISADRESS;
        copy.RECIPTYPE = CCR.RECIPTYPE;
        if (work_->appendCarbonCopy(copy) == WorkWrite::Failed) return false;
    }
    return true;
}

bool SourceConversion::step(int quota, bool& failed) {
    failed = false;
    if (!open_) return true;
    if (last_ > 0)
        headers_->setPhysicalAt(last_ + 1);
    else
        headers_->setPhysical();
    work_->beginBatch();
    bool exhausted = false;
    for (int n = 0; n < quota; ++n) {
        if (headers_->next() != StorageStatus::Ok) {
            exhausted = true;
            break;
        }
        last_ = headers_->position();
        if (type_ != TypeMail && !selection_.takes(MSG.SECSYSID)) continue;
        WorkRecord record;
        record.INTERNAL = targetId_;
        record.FOR_DESCRIPTION = Mem.Description;
        if (!(type_ == TypeMail ? convertMail(record) : convertMessage(record))) {
            failed = true;
            break;
        }
        ++converted_;
    }
    if (!work_->endBatch()) failed = true;
    return exhausted || failed;
}

}  // namespace pm
