#include "merge/target_store.h"

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/store_writes.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

constexpr long kCommitAfterWrites = 400;

bool forumMessageExists(ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
}

}  // namespace

void passCommitPoint() {
    static const long killAfter = [] {
        const char* env = std::getenv("POSTMOOR_TEST_KILL_AFTER_COMMITS");
        return env ? std::atol(env) : 0L;
    }();
    static long commits = 0;
    if (killAfter > 0 && ++commits >= killAfter) kill(getpid(), SIGKILL);
}

TargetStore::TargetStore() { store_.setMailParties(MessageStore::MailParties::Merge); }

TargetStore::~TargetStore() {
    if (open_) stop(false);
}

bool TargetStore::begin(const ForumsRecord& target, LONG date, LONG time) {
    target_ = target;
    name_ = target.DESCRIPTION.str();
    date_ = date;
    time_ = time;
    stored_ = skipped_ = storedHere_ = 0;
    FOR = target;
    takeActiveDatabaseFrom_FOR();
    tables_.open(MessageStore::tablesFor(target.TYPE));
    codes_.open({&Codes});
    open_ = true;
    if (target.TYPE == TypeMail) {
        Person.clear();
        PER.PERSONID = target.PERSONID;
        if (target.PERSONID == 0 || Person.get(PER_PersonKey) != StorageStatus::Ok) {
            message("Warning!",
                    "The owner of the mail database " + name_ + " cannot be found!\r\nMessages will not be merged!",
                    Icon::Exclamation);
            release();
            return false;
        }
    }
    store_.beginDatabase(target.TYPE, false, 0, date_, time_);
    NewHR.clear();
    NHR.INTERNAL = target.ID;
    NHR.MSGNUMBER = 0;
    NewHR.setAt(NHR_MSGKEY);
    return true;
}

bool TargetStore::ensureTransaction() {
    return inTransaction() || MessageStore::beginTransactionFor(target_.TYPE);
}

bool TargetStore::writeCounts() {
    bool failed = false;
    store_.writePersonCounts(INT_MAX, failed);
    if (!failed) store_.writeThreadCounts(INT_MAX, failed);
    if (!failed) store_.writeSectionCounts(INT_MAX, failed);
    // The lists start again empty for the next transaction.
    store_.beginDatabase(target_.TYPE, false, 0, date_, time_);
    return !failed;
}

bool TargetStore::commit() {
    if (!inTransaction()) return true;
    if (!writeCounts()) return false;  // rolled back and reported
    StorageError error;
    if (commitTransaction(&error) != StorageStatus::Ok) {
        rollbackTransaction();
        message("Warning!", error.text + "\r\nThe last transaction is rolled back.", Icon::Exclamation);
        return false;
    }
    store_.resetWrites();
    passCommitPoint();
    return true;
}

bool TargetStore::keepStatus(const WorkRecord& record, BYTE status) {
    if (status == StatusNormal) return true;
    if (target_.TYPE == TypeMail) {
        Mail.clear();
        MAI.MAILID = record.REFNUMBER;
        if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return true;
        MAI.DUMMY = status;
        return storeWrite(Mail, UpdateRecord);
    }
    MsgNmbr.clear();
    MSG.MSGNUMBER = record.MSGNUMBER;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return true;
    MSG.DUMMY = status;
    return storeWrite(MsgNmbr, UpdateRecord);
}

bool TargetStore::writeCarbonCopies(ULONG mailId) {
    std::vector<CCTRecord> copies;
    CCTFile.clear();
    CCT.MAILID = mailId;
    CCTFile.setAt(CCT_IDKEY);
    while (CCTFile.next() == StorageStatus::Ok && CCT.MAILID == mailId) copies.push_back(CCT);
    bool any = false;
    for (const CCTRecord& copy : copies) {
        // The owner is no further receiver of the owner's own mailbox.
        if (store_.mailbox().isForeign(copy.R_CISADRESS.view()) == 0) continue;
        CCRFile.clear();
        CCR.MAILID = mailId;
        CCR.R_NAME = copy.R_NAME;
        CCR.R_CISADRESS = copy.R_CISADRESS;
        CCR.RECIPTYPE = copy.RECIPTYPE;
        any = true;
        if (CCRFile.get(CCR_IdKey) == StorageStatus::Ok) continue;  // a receiver met twice
        CCRFile.clear();
        CCR.MAILID = mailId;
        CCR.R_NAME = copy.R_NAME;
        CCR.R_CISADRESS = copy.R_CISADRESS;
        CCR.RECIPTYPE = copy.RECIPTYPE;
        if (!storeWrite(CCRFile, AddRecord)) return false;
    }
    if (!any) return true;
    Mail.clear();
    MAI.MAILID = mailId;
    if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return true;
    MAI.CCR = 1;
    return storeWrite(Mail, UpdateRecord);
}

bool TargetStore::step(int quota, bool& failed) {
    failed = false;
    if (!ensureTransaction()) {
        failed = true;
        return true;
    }
    bool done = false;
    for (int n = 0; n < quota; ++n) {
        const StorageStatus st = NewHR.next();
        if (st == StorageStatus::NotFound || (st == StorageStatus::Ok && NHR.INTERNAL != target_.ID)) {
            done = true;
            break;
        }
        if (st != StorageStatus::Ok) {
            rollbackTransaction();
            message("Warning!", NewHR.fileName() + "\r\n" + NewHR.lastError().text, Icon::Exclamation);
            failed = true;
            return true;
        }
        WorkRecord record = std::move(NHR);
        const BYTE status = record.DUMMY;
        // The target's copy of a forum message stays as it is (the import's
        // store would write the merged one over it).
        if (target_.TYPE == TypeForum && forumMessageExists(record.MSGNUMBER)) {
            ++skipped_;
            continue;
        }
        const StoreOutcome outcome = store_.store(record);
        if (outcome.result == StoreFatal) {
            failed = true;
            return true;
        }
        if (outcome.result != StoreStored || !outcome.isNew) {
            ++skipped_;
            continue;
        }
        ++stored_;
        ++storedHere_;
        if (!keepStatus(record, status) ||
            (target_.TYPE == TypeMail && !writeCarbonCopies(record.REFNUMBER))) {
            failed = true;
            return true;
        }
    }
    if ((store_.writes() > kCommitAfterWrites || done) && !commit()) {
        failed = true;
        return true;
    }
    return done;
}

bool TargetStore::resetClassificationDates() {
    std::vector<RecordPosition> topics;
    Codes.setPhysical();
    while (Codes.next() == StorageStatus::Ok)
        if (COD.DATE != 0 || COD.TIME != 0) topics.push_back(Codes.position());
    for (RecordPosition pos : topics) {
        if (Codes.getAt(pos) != StorageStatus::Ok) continue;
        COD.DATE = 0;
        COD.TIME = 0;
        if (!storeWrite(Codes, UpdateRecord)) return false;
    }
    return true;
}

bool TargetStore::writeCatalogMarks() {
    if (!store_.writeDatabaseCount()) return false;
    if (storedHere_ == 0) return true;
    Forums.clear();
    FOR.ID = target_.ID;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;
    // Merged messages keep numbers below the index's checkpoint: the next
    // run goes over every text again and skips those it has indexed.
    FOR.WORDLISTINDEXNEEDSUPDATE = 1;
    FOR.LASTMSGID = 0;
    FOR.RECSLASTTIME = 0;
    return storeWrite(Forums, UpdateRecord);
}

bool TargetStore::finish() {
    if (!open_) return true;
    bool ok = ensureTransaction() && resetClassificationDates() && writeCatalogMarks();
    if (ok) ok = commit();
    if (!ok && inTransaction()) rollbackTransaction();
    if (ok) ok = keyRegister();
    release();
    return ok;
}

bool TargetStore::keyRegister() {
    // Forum messages are registered without key upkeep; the key is built
    // once, here (or by the next keyed access after a crash).
    if (target_.TYPE != TypeForum || storedHere_ == 0) return true;
    StorageStatus st = IMPFile.lock(5);
    if (st == StorageStatus::Ok) {
        st = IMPFile.buildKeys();
        IMPFile.unlock();
    }
    if (st == StorageStatus::Ok || st == StorageStatus::DuplicateKey) return true;
    std::string text = IMPFile.lastError().text;
    if (text.empty()) text = storageStatusText(st);
    message("Warning!", text + "\r\nMessage SaveFile can not be built!", Icon::Exclamation);
    return false;
}

void TargetStore::stop(bool keep) {
    if (!open_) return;
    if (keep) {
        const bool ok = ensureTransaction() && writeCatalogMarks() && commit();
        if (!ok && inTransaction()) rollbackTransaction();
    } else if (inTransaction()) {
        rollbackTransaction();
    }
    keyRegister();
    release();
}

void TargetStore::release() {
    if (!open_) return;
    codes_.release();
    tables_.release();
    open_ = false;
}

}  // namespace pm
