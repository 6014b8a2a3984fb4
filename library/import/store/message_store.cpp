#include "import/store/message_store.h"

#include "common/globals.h"
#include "common/text.h"
#include "import/addresses/parse_name.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

std::string first(std::string_view text, std::size_t n) { return std::string(text.substr(0, utf8FitLength(text, n))); }

}  // namespace

void MessageStore::openTables(BYTE type) {
    switch (type) {
        case TypeMail: OP_CLOSE(OpenShared, {13, 4, 5, 8, 9, 17, 23, 19}); break;
        case TypeNewsgroup: OP_CLOSE(OpenShared, {3, 4, 5, 6, 7, 8, 25, 23, 24}); break;
        default: OP_CLOSE(OpenShared, {3, 4, 5, 6, 7, 8, 18, 23}); break;
    }
}

void MessageStore::releaseTables(BYTE type) {
    switch (type) {
        case TypeMail: OP_CLOSE(ReleaseTable, {13, 4, 5, 8, 9, 17, 23, 19}); break;
        case TypeNewsgroup: OP_CLOSE(ReleaseTable, {3, 4, 5, 6, 7, 8, 25, 23, 24}); break;
        default: OP_CLOSE(ReleaseTable, {3, 4, 5, 6, 7, 8, 18, 23}); break;
    }
}

std::vector<Table*> MessageStore::transactionTables(BYTE type) {
    switch (type) {
        case TypeMail: return {&Mail, &MsgText, &Person, &Control, &SIndex};
        case TypeNewsgroup: return {&MsgNmbr, &MsgText, &Person, &Sections, &Threads, &Control, &MsgString};
        default: return {&MsgNmbr, &MsgText, &Person, &Sections, &Threads, &Control, &IMPFile};
    }
}

void MessageStore::beginDatabase(BYTE type, bool allowReimport, ULONG mailTopic, LONG importDate,
                                 LONG importTime) {
    type_ = type;
    allowReimport_ = allowReimport;
    mailTopic_ = mailTopic;
    importDate_ = importDate;
    importTime_ = importTime;
    writes_ = 0;
    sections_.clear();
    persons_.clear();
    threads_.clear();
    sectionCounts_.clear();
    personsStarted_ = threadsStarted_ = sectionsStarted_ = carbonCopiesStarted_ = false;
    if (type == TypeMail) return;
    Sections.set(SEC_SysIdKey);
    while (Sections.next() == StorageStatus::Ok)
        sections_.push_back({static_cast<BYTE>(SEC.SECTIONNUMBER & 0xFF), SEC.SECSYSID, SEC.DESCRIPTION.str()});
}

bool MessageStore::write(Table& table, int operation) {
    if (!UppDat(table, operation, RollBackAndReport)) return false;
    ++writes_;
    return true;
}

ULONG MessageStore::sectionOfRecord(bool& failed) {
    const BYTE number = static_cast<BYTE>(NHR.SECTIONNUMBER & 0xFF);
    const std::string description = NHR.SEC_DESCRIPTION.str();
    if (type_ == TypeNewsgroup) {
        if (!sections_.empty()) return sections_.front().sysId;
    } else {
        for (const Section& s : sections_)
            if (s.number == number && s.description == description) return s.sysId;
    }
    const ULONG sysId = type_ == TypeNewsgroup ? NHR.SECTIONNUMBER : NextNr();
    if (sysId == 0) {
        failed = true;
        rollbackTransaction();
        return 0;
    }
    Sections.clear();
    SEC.SECTIONNUMBER = NHR.SECTIONNUMBER;
    SEC.SECSYSID = sysId;
    SEC.DESCRIPTION = description;
    if (!write(Sections, AddRecord)) {
        failed = true;
        return 0;
    }
    sections_.push_back({number, sysId, description});
    return sysId;
}

ULONG MessageStore::addPerson(const std::string& name, const std::string& address, std::string& lastName,
                              bool& failed) {
    const std::string personString = first(toUpper(std::string(trim(name)) + " " + std::string(trim(address))), 100);
    Person.clear();
    PER.PERSONSTRING = personString;
    if (Person.get(PER_StringKey) == StorageStatus::Ok) {
        lastName = PER.LASTNAME.str();
        return PER.PERSONID;
    }
    const ULONG id = NextNr();
    if (id == 0) {
        failed = true;
        rollbackTransaction();
        return 0;
    }
    std::string last, firstName;
    ParseName(trim(name), last, firstName);
    Person.clear();
    PER.PERSONID = id;
    PER.PERSONSTRING = personString;
    PER.ADDRESS = std::string(trim(address));
    PER.LASTNAME = last;
    PER.FIRSTNAME = firstName;
    if (!write(Person, AddRecord)) {
        failed = true;
        return 0;
    }
    lastName = last;
    return id;
}

ULONG MessageStore::findOrCreateThread(ULONG section, const std::string& heading, std::string& alpha,
                                       bool& failed) {
    const std::string subject(trimRight(heading));
    alpha = first(subject, 10);
    Threads.clear();
    THR.SECSYSID = section;
    THR.ALPHA = alpha;
    Threads.setAt(THR_SecKey);
    while (Threads.next() == StorageStatus::Ok && THR.SECSYSID == section && THR.ALPHA == alpha) {
        if (trimRight(THR.HEADING.view()) == subject) return THR.THREADNUMBER;
    }
    const ULONG number = NextNr();
    if (number == 0) {
        failed = true;
        rollbackTransaction();
        return 0;
    }
    Threads.clear();
    THR.THREADNUMBER = number;
    THR.SECSYSID = section;
    THR.HEADING = subject;
    if (!write(Threads, AddRecord)) {
        failed = true;
        return 0;
    }
    return number;
}

bool MessageStore::writeText(ULONG number, bool isNew) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (!isNew) {
        if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return true;
        TXT.MsgText = NHR.MSGTEXT;
        TXT.DATE = importDate_;
        TXT.TIME = importTime_;
        return write(MsgText, UpdateRecord);
    }
    TXT.MsgText = NHR.MSGTEXT;
    TXT.DATE = importDate_;
    TXT.TIME = importTime_;
    return write(MsgText, AddRecord);
}

StoreOutcome MessageStore::storeCurrent() {
    bool failed = false;
    ULONG section = 0;
    if (type_ != TypeMail) {
        section = sectionOfRecord(failed);
        if (failed) return {StoreFatal};
    }
    StoreOutcome outcome = type_ == TypeMail ? storeMail()
                         : type_ == TypeNewsgroup ? storeNewsgroup(section) : storeForum(section);
    if (outcome.result == StoreStored) count(outcome, section);
    return outcome;
}

StoreOutcome MessageStore::storeForum(ULONG section) {
    StoreOutcome out;
    bool failed = false;
    MsgNmbr.clear();
    MSG.MSGNUMBER = NHR.MSGNUMBER;
    out.isNew = MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok;
    if (NHR.REFNUMBER == NHR.MSGNUMBER) NHR.REFNUMBER = 0;
    std::string alpha;
    if (NHR.REFNUMBER != 0) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = NHR.REFNUMBER;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            out.threadNumber = MSG.THREADNUMBER;
            alpha = MSG.THREADALPHA.str();
        }
    }
    if (out.threadNumber == 0) out.threadNumber = findOrCreateThread(section, NHR.HEADING.str(), alpha, failed);
    std::string fromAlpha, toAlpha;
    if (!failed) out.senderId = addPerson(NHR.S_NAME.str(), NHR.S_CISADRESS.str(), fromAlpha, failed);
    if (!failed) out.receiverId = addPerson(NHR.R_NAME.str(), NHR.R_CISADRESS.str(), toAlpha, failed);
    if (failed) return {StoreFatal};
    MsgNmbr.clear();
    MSG.MSGNUMBER = NHR.MSGNUMBER;
    if (!out.isNew && MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) out.isNew = true;
    if (out.isNew) MsgNmbr.clear();
    MSG.SECSYSID = section;
    MSG.MSGNUMBER = NHR.MSGNUMBER;
    MSG.REFNUMBER = NHR.REFNUMBER;
    MSG.THREADNUMBER = out.threadNumber;
    MSG.THREADALPHA = alpha;
    MSG.FROMID = out.senderId;
    MSG.FROMALPHA = first(fromAlpha, 10);
    MSG.TOID = out.receiverId;
    MSG.TOALPHA = first(toAlpha, 10);
    MSG.DATE = NHR.DATE;
    MSG.DUMMY = StatusNormal;
    if (!write(MsgNmbr, out.isNew ? AddRecord : UpdateRecord)) return {StoreFatal};
    if (!writeText(NHR.MSGNUMBER, out.isNew)) return {StoreFatal};
    IMPFile.clear();
    IMP.FORUMNUMBER = NHR.INTERNAL;
    IMP.MSGNUMBER = NHR.MSGNUMBER;
    if (!allowReimport_) {
        if (!write(IMPFile, AppendRecord)) return {StoreFatal};
    } else if (IMPFile.get(IMP_IDKEY) != StorageStatus::Ok) {
        IMP.FORUMNUMBER = NHR.INTERNAL;
        IMP.MSGNUMBER = NHR.MSGNUMBER;
        if (!write(IMPFile, AddRecord)) return {StoreFatal};
    }
    return out;
}

StoreOutcome MessageStore::storeNewsgroup(ULONG section) {
    StoreOutcome out;
    bool failed = false;
    TempID.clear();
    TID.MSGNUMBER = NHR.MSGNUMBER;
    if (TempID.get(TID_IDKEY) != StorageStatus::Ok) return {StoreSkipped};
    MsgString.clear();
    MST.IDSTRING = TID.IDSTRING.view();
    if (MsgString.get(MST_IDStringKey) == StorageStatus::Ok) {
        NHR.MSGNUMBER = MST.MSGNUMBER;
        MsgNmbr.clear();
        MSG.MSGNUMBER = NHR.MSGNUMBER;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            if (!allowReimport_) return {StoreSkipped};
            out.isNew = false;
        } else {
            out.isNew = true;
        }
    } else {
        MST.IDSTRING = TID.IDSTRING.view();
        MST.MSGNUMBER = NHR.MSGNUMBER;
        if (MsgString.add() != StorageStatus::Ok) return {StoreSkipped};
        ++writes_;
        out.isNew = true;
    }
    if (NHR.REFNUMBER == NHR.MSGNUMBER) NHR.REFNUMBER = 0;
    std::string alpha;
    if (NHR.REFNUMBER != 0) {
        TempID.clear();
        TID.MSGNUMBER = NHR.REFNUMBER;
        NHR.REFNUMBER = 0;
        if (TempID.get(TID_IDKEY) == StorageStatus::Ok) {
            MsgString.clear();
            MST.IDSTRING = TID.IDSTRING.view();
            if (MsgString.get(MST_IDStringKey) == StorageStatus::Ok) {
                NHR.REFNUMBER = MST.MSGNUMBER;
                MsgNmbr.clear();
                MSG.MSGNUMBER = MST.MSGNUMBER;
                if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
                    out.threadNumber = MSG.THREADNUMBER;
                    alpha = MSG.THREADALPHA.str();
                }
            } else {
                MST.IDSTRING = TID.IDSTRING.view();
                MST.MSGNUMBER = TID.MSGNUMBER;
                if (MsgString.add() == StorageStatus::Ok) {
                    ++writes_;
                    NHR.REFNUMBER = TID.MSGNUMBER;
                }
            }
        }
    }
    if (out.threadNumber == 0) out.threadNumber = findOrCreateThread(section, NHR.HEADING.str(), alpha, failed);
    std::string fromAlpha, toAlpha;
    if (!failed) out.senderId = addPerson(NHR.S_NAME.str(), NHR.S_CISADRESS.str(), fromAlpha, failed);
    if (!failed) out.receiverId = addPerson(NHR.R_NAME.str(), NHR.R_CISADRESS.str(), toAlpha, failed);
    if (failed) return {StoreFatal};
    MsgNmbr.clear();
    MSG.MSGNUMBER = NHR.MSGNUMBER;
    if (!out.isNew && MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) out.isNew = true;
    if (out.isNew) MsgNmbr.clear();
    MSG.SECSYSID = section;
    MSG.MSGNUMBER = NHR.MSGNUMBER;
    MSG.REFNUMBER = NHR.REFNUMBER;
    MSG.THREADNUMBER = out.threadNumber;
    MSG.THREADALPHA = alpha;
    MSG.FROMID = out.senderId;
    MSG.FROMALPHA = first(fromAlpha, 10);
    MSG.TOID = out.receiverId;
    MSG.TOALPHA = first(toAlpha, 10);
    MSG.DATE = NHR.DATE;
    MSG.DUMMY = StatusNormal;
    if (!write(MsgNmbr, out.isNew ? AddRecord : UpdateRecord)) return {StoreFatal};
    if (!writeText(NHR.MSGNUMBER, out.isNew)) return {StoreFatal};
    return out;
}

StoreOutcome MessageStore::storeMail() {
    StoreOutcome out;
    bool failed = false;
    std::string receiverName = NHR.R_NAME.empty() ? "Name Unknown" : NHR.R_NAME.str();
    std::string senderName = NHR.S_NAME.empty() ? "Name Unknown" : NHR.S_NAME.str();
    std::string toAlpha, fromAlpha;
    out.receiverId = addPerson(receiverName, NHR.R_CISADRESS.str(), toAlpha, failed);
    if (!failed) out.senderId = addPerson(senderName, NHR.S_CISADRESS.str(), fromAlpha, failed);
    if (failed) return {StoreFatal};
    Mail.clear();
    MAI.MAILID = NHR.REFNUMBER;
    MAI.SUBJECT = NHR.HEADING.view();
    MAI.FROMID = out.senderId;
    MAI.FROMALPHA = first(fromAlpha, 10);
    MAI.TOID = out.receiverId;
    MAI.TOALPHA = first(toAlpha, 10);
    if (NHR.MAILTYPE == 1) {
        MAI.PAIRID = out.senderId;
        MAI.PAIRALPHA = fromAlpha;
    } else if (NHR.MAILTYPE == 2) {
        MAI.PAIRID = out.receiverId;
        MAI.PAIRALPHA = toAlpha;
    }
    MAI.DATE = NHR.DATE;
    MAI.TIME = NHR.TIME;
    MAI.RECIPTYPE = NHR.RECIPTYPE.view();
    out.isNew = true;
    if (!write(Mail, AddRecord)) return {StoreFatal};
    if (!writeText(MAI.MAILID, true)) return {StoreFatal};
    if (mailTopic_ != 0) {
        SIndex.clear();
        SIN.ID = mailTopic_;
        SIN.MSGNUMBER = MAI.MAILID;
        if (SIndex.get(SIN_IdKey) != StorageStatus::Ok) {
            SIN.ID = mailTopic_;
            SIN.MSGNUMBER = MAI.MAILID;
            if (!write(SIndex, AddRecord)) return {StoreFatal};
        }
    }
    return out;
}

void MessageStore::count(const StoreOutcome& outcome, ULONG section) {
    if (!outcome.isNew && type_ != TypeMail) return;
    ++persons_[outcome.senderId].sent;
    ++persons_[outcome.receiverId].received;
    if (type_ == TypeMail) return;
    ++threads_[outcome.threadNumber];
    ++sectionCounts_[section];
}

bool MessageStore::writePersonCounts(int quota, bool& failed) {
    if (!personsStarted_) {
        personAt_ = persons_.begin();
        personsStarted_ = true;
    }
    for (int n = 0; n < quota && personAt_ != persons_.end(); ++n, ++personAt_) {
        Person.clear();
        PER.PERSONID = personAt_->first;
        if (Person.get(PER_PersonKey) != StorageStatus::Ok) continue;
        PER.FROMCOUNT += personAt_->second.sent;
        PER.TOCOUNT += personAt_->second.received;
        if (!write(Person, UpdateRecord)) {
            failed = true;
            return true;
        }
    }
    return personAt_ == persons_.end();
}

bool MessageStore::writeThreadCounts(int quota, bool& failed) {
    if (!threadsStarted_) {
        threadAt_ = threads_.begin();
        threadsStarted_ = true;
    }
    for (int n = 0; n < quota && threadAt_ != threads_.end(); ++n, ++threadAt_) {
        Threads.clear();
        THR.THREADNUMBER = threadAt_->first;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) continue;
        THR.MSGCOUNT += threadAt_->second;
        if (!write(Threads, UpdateRecord)) {
            failed = true;
            return true;
        }
    }
    return threadAt_ == threads_.end();
}

bool MessageStore::writeSectionCounts(int quota, bool& failed) {
    if (!sectionsStarted_) {
        sectionAt_ = sectionCounts_.begin();
        sectionsStarted_ = true;
    }
    for (int n = 0; n < quota && sectionAt_ != sectionCounts_.end(); ++n, ++sectionAt_) {
        Sections.clear();
        SEC.SECSYSID = sectionAt_->first;
        if (Sections.get(SEC_SysIdKey) != StorageStatus::Ok) continue;
        SEC.MSGCOUNT += sectionAt_->second;
        if (!write(Sections, UpdateRecord)) {
            failed = true;
            return true;
        }
    }
    return sectionAt_ == sectionCounts_.end();
}

bool MessageStore::writeCarbonCopies(int quota, bool& failed) {
    if (!carbonCopiesStarted_) {
        carbonCopiesStarted_ = true;
        lastCarbonCopyMail_ = 0;
        StorageStatus st = CCTFile.buildKeys();
        if (st != StorageStatus::Ok && st != StorageStatus::DuplicateKey) return true;
        CCTFile.set(CCT_IDKEY);
    }
    for (int n = 0; n < quota; ++n) {
        if (CCTFile.next() != StorageStatus::Ok) {
            CCRFile.buildKeys();
            return true;
        }
        if (CCT.MAILID != lastCarbonCopyMail_) {
            lastCarbonCopyMail_ = CCT.MAILID;
            Mail.clear();
            MAI.MAILID = CCT.MAILID;
            lastCarbonCopyMailFound_ = Mail.get(MAI_IdKey) == StorageStatus::Ok;
            if (lastCarbonCopyMailFound_) {
                MAI.CCR = 1;
                if (!write(Mail, UpdateRecord)) {
                    failed = true;
                    return true;
                }
            }
        }
        if (!lastCarbonCopyMailFound_) continue;
        CCRFile.clear();
        CCR.MAILID = CCT.MAILID;
        CCR.R_NAME = CCT.R_NAME.view();
        CCR.R_CISADRESS = CCT.R_CISADRESS.view();
        CCR.RECIPTYPE = CCT.RECIPTYPE.view();
        if (!write(CCRFile, AddRecord)) {
            failed = true;
            return true;
        }
    }
    return false;
}

bool MessageStore::writeDatabaseCount() {
    const std::int64_t count = type_ == TypeMail ? Mail.records() : MsgNmbr.records();
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok || Forums.hold(5) != StorageStatus::Ok) return false;
    FOR.MSGCOUNT = static_cast<ULONG>(count);
    FOR.COUNTFLAG = 0;
    const bool ok = UppDat(Forums, UpdateRecord, ReportOnly);
    Forums.release();
    return ok;
}

}  // namespace pm
