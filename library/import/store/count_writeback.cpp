// The states after the last NewHR record of a database: carbon copies
// (mail), person, thread and section counts, and the database's count.
#include "common/globals.h"
#include "common/text.h"
#include "import/store/message_store.h"
#include "import/store/store_writes.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

bool MessageStore::writeCarbonCopies(int quota, bool& failed) {
    failed = false;
    CarbonCopyState& cc = carbonCopies_;
    if (type_ != TypeMail || cc.finished) return true;
    if (!cc.started) {
        cc.started = true;
        if (CCTFile.records() == 0) return cc.finished = true;
        // Repeated receivers (duplicate key) are passed over below; any other
        // key failure leaves the carbon copies out.
        const StorageStatus st = CCTFile.buildKeys();
        if (st != StorageStatus::Ok && st != StorageStatus::DuplicateKey) return cc.finished = true;
        CCTFile.set(CCT_IDKEY);
    }
    for (int i = 0; i < quota; ++i) {
        if (CCTFile.next() != StorageStatus::Ok) return cc.finished = true;
        if (!cc.haveMail || CCT.MAILID != cc.mailId) {
            cc.haveMail = true;
            cc.mailId = CCT.MAILID;
            cc.previousKey.clear();
            Mail.clear();
            MAI.MAILID = CCT.MAILID;
            cc.skipMail = Mail.get(MAI_IdKey) != StorageStatus::Ok;
            if (!cc.skipMail) {
                MAI.CCR = 1;
                if (!storeWrite(Mail, UpdateRecord)) {
                    failed = true;
                    return cc.finished = true;
                }
            }
        }
        if (cc.skipMail) continue;
        if (mailbox_.isForeign(CCT.R_CISADRESS.view()) == 0) continue;
        // CCR's key ignores letter case: a receiver repeated that way would
        // collide with the one already added.
        const std::string key = foldCase(CCT.R_CISADRESS.str() + '\x01' + CCT.R_NAME.str());
        if (key == cc.previousKey) continue;
        cc.previousKey = key;
        CCRFile.clear();
        CCR.MAILID = CCT.MAILID;
        CCR.R_NAME = CCT.R_NAME;
        CCR.R_CISADRESS = CCT.R_CISADRESS;
        CCR.RECIPTYPE = CCT.RECIPTYPE;
        if (!storeWrite(CCRFile, AddRecord)) {
            failed = true;
            return cc.finished = true;
        }
    }
    return false;
}

bool MessageStore::writePersonCounts(int quota, bool& failed) {
    failed = false;
    if (counts_.discarded()) return true;
    const auto& persons = counts_.persons();
    if (!personsStarted_) {
        personsStarted_ = true;
        personAt_ = persons.begin();
    }
    for (int i = 0; i < quota && personAt_ != persons.end(); ++i, ++personAt_) {
        Person.clear();
        PER.PERSONID = personAt_->first;
        if (Person.get(PER_PersonKey) != StorageStatus::Ok) continue;
        PER.FROMCOUNT += personAt_->second.sent;
        PER.TOCOUNT += personAt_->second.received;
        if (!storeWrite(Person, UpdateRecord)) {
            failed = true;
            counts_.discard();
            return true;
        }
    }
    return personAt_ == persons.end();
}

bool MessageStore::writeThreadCounts(int quota, bool& failed) {
    failed = false;
    if (type_ == TypeMail || counts_.discarded()) return true;
    const auto& threads = counts_.threads();
    if (!threadsStarted_) {
        threadsStarted_ = true;
        threadAt_ = threads.begin();
    }
    for (int i = 0; i < quota && threadAt_ != threads.end(); ++i, ++threadAt_) {
        Threads.clear();
        THR.THREADNUMBER = threadAt_->first;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) continue;
        THR.MSGCOUNT += threadAt_->second;
        if (!storeWrite(Threads, UpdateRecord)) {
            failed = true;
            counts_.discard();
            return true;
        }
    }
    return threadAt_ == threads.end();
}

bool MessageStore::writeSectionCounts(int quota, bool& failed) {
    failed = false;
    if (type_ != TypeForum || counts_.discarded()) return true;
    const auto& sections = counts_.sections();
    if (!sectionsStarted_) {
        sectionsStarted_ = true;
        sectionAt_ = sections.begin();
    }
    for (int i = 0; i < quota && sectionAt_ != sections.end(); ++i, ++sectionAt_) {
        Sections.clear();
        SEC.SECSYSID = sectionAt_->first;
        if (Sections.get(SEC_SysIdKey) != StorageStatus::Ok) continue;
        SEC.MSGCOUNT += sectionAt_->second;
        if (!storeWrite(Sections, UpdateRecord)) {
            failed = true;
            counts_.discard();
            return true;
        }
    }
    return sectionAt_ == sections.end();
}

bool MessageStore::writeDatabaseCount() {
    Table& headers = type_ == TypeMail ? Mail : MsgNmbr;
    const ULONG count = static_cast<ULONG>(headers.records());
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    bool held = Forums.get(FOR_ForumKey) == StorageStatus::Ok && Forums.hold(5) == StorageStatus::Ok;
    // HoldRec tries once more and reports why the record cannot be had.
    if (!held && !HoldRec(Forums, &FOR_ForumKey)) return false;
    FOR.MSGCOUNT = count;
    FOR.COUNTFLAG = 0;
    const bool ok = storeWrite(Forums, UpdateRecord);
    Forums.release();
    return ok;
}

}  // namespace pm
