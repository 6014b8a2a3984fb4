#include "import/store/message_store.h"

#include <optional>

#include "common/globals.h"
#include "common/user_interface.h"
#include "import/store/header_words.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

std::optional<MailboxOwner> ownerOfActiveDatabase() {
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return std::nullopt;
    MailboxOwner owner;
    owner.mailboxName = FOR.DESCRIPTION.str();
    owner.mailAddress = FOR.MAILADDRESS.str();
    for (std::size_t i = 0; i < AltAddressCount; ++i) owner.altAddresses[i] = FOR.ALTADDRESS[i].str();
    owner.personId = FOR.PERSONID;
    return owner;
}

// Whether the active database holds no mail (its first record is looked
// for; a table that cannot be read counts as holding some).
bool holdsNoMail() {
    const MailRecord saved = MAI;
    Mail.setPhysical();
    const bool none = Mail.next() == StorageStatus::NotFound;
    MAI = saved;
    return none;
}

template <std::size_t N>
void decodeField(FixedText<N>& field) {
    if (field.empty()) return;
    std::string text = field.str();
    if (text.find("=?") == std::string::npos) return;
    decodeHeaderWords(text);
    field = text;
}

}  // namespace

MessageStore::MessageStore() {
    ownerName_.clear();
    // A cached owner name belongs to the mailbox it was found in.
    mailbox_.onLoad = [this] { ownerName_.clear(); };
}

void MessageStore::beginDatabase(BYTE type, bool allowReimport, ULONG mailTopic, LONG importDate,
                                 LONG importTime) {
    type_ = type;
    allowReimport_ = allowReimport;
    mailTopic_ = mailTopic;
    importDate_ = importDate;
    importTime_ = importTime;
    counts_.clear();
    newHeaders_ = 0;
    flaggedForIndexing_ = false;
    personsStarted_ = threadsStarted_ = sectionsStarted_ = false;
    carbonCopies_ = {};
    ownerName_.clear();
    sections_.clear();
    numberlessByThread_.clear();
    persons_.clear();
    if (type == TypeMail) {
        duplicates_.clear(holdsNoMail());
        const ForumsRecord saved = FOR;
        loadMailboxAddresses(mailbox_, ownerOfActiveDatabase());
        FOR = saved;
    } else {
        duplicates_.clear();
        mailbox_.clear();
        loadSections();
    }
}

const TableList& MessageStore::tablesFor(BYTE type) {
    // The catalog and the counter, the tables every database has, then the
    // kind's own (for newsgroups and mail the run's work files they read).
    static const TableList forum = {&Forums, &Control, &MsgText, &Person, &PLINK,
                                    &MsgNmbr, &Sections, &Threads, &IMPFile};
    static const TableList newsgroup = {&Forums, &Control, &MsgText, &Person, &PLINK,
                                        &MsgNmbr, &Sections, &Threads, &MsgString, &TempID};
    static const TableList mail = {&Forums, &Control, &MsgText, &Person, &PLINK, &Mail, &CCRFile, &SIndex, &CCTFile};
    switch (type) {
        case TypeMail: return mail;
        case TypeNewsgroup: return newsgroup;
        default: return forum;
    }
}

bool MessageStore::beginTransactionFor(BYTE type) {
    // A store cannot join a running transaction: every table must be open
    // (its store attached) before it begins.
    for (Table* table : tablesFor(type))
        if (!table->isOpen())
            return !transactionStartFailed(StorageStatus::NotOpen, "The file " + table->displayName() + " is not open");
    // The transaction takes every store in use, so that the counter, the
    // catalog and the database commit together.
    return beginTransactionChecked({});
}

long MessageStore::writes() const { return storeWriteCount(); }

void MessageStore::resetWrites() { resetStoreWriteCount(); }

void MessageStore::loadSections() {
    sections_.clear();
    Sections.set(SEC_SysIdKey);
    while (Sections.next() == StorageStatus::Ok)
        sections_.emplace(std::make_pair(static_cast<BYTE>(SEC.SECTIONNUMBER & 0xFF), SEC.DESCRIPTION.str()),
                          SEC.SECSYSID);
}

bool MessageStore::createSection(const WorkRecord& record, ULONG& section) {
    ULONG sysId = record.SECTIONNUMBER;  // a newsgroup's parser set it to the database identifier
    if (type_ == TypeForum) {
        sysId = NextNr();
        if (sysId == 0) {
            message("Warning!", "Transaction Frame Error!", Icon::Exclamation);
            rollbackTransaction();
            return false;
        }
    }
    Sections.clear();
    SEC.SECTIONNUMBER = record.SECTIONNUMBER;
    SEC.SECSYSID = sysId;
    SEC.DESCRIPTION = record.SEC_DESCRIPTION;
    SEC.MSGCOUNT = 0;
    if (!storeWrite(Sections, AddRecord)) return false;
    sections_.emplace(std::make_pair(static_cast<BYTE>(record.SECTIONNUMBER & 0xFF), record.SEC_DESCRIPTION.str()),
                      sysId);
    section = sysId;
    return true;
}

bool MessageStore::sectionStep(const WorkRecord& record, ULONG& section) {
    section = 0;
    if (type_ == TypeMail) return true;
    if (type_ == TypeNewsgroup) {
        // One section per newsgroup, identified by the newsgroup's database
        // identifier (the parser's section number): a redirect target files
        // its own articles and those of every group redirected to it each
        // under their group's section. A record without one joins the first.
        for (const auto& entry : sections_) {
            if (entry.second == record.SECTIONNUMBER || record.SECTIONNUMBER == 0) {
                section = entry.second;
                return true;
            }
        }
        return createSection(record, section);
    }
    const auto found = sections_.find({static_cast<BYTE>(record.SECTIONNUMBER & 0xFF), record.SEC_DESCRIPTION.str()});
    if (found != sections_.end()) {
        section = found->second;
        return true;
    }
    return createSection(record, section);
}

StoreOutcome MessageStore::fatal() {
    // The rolled-back transaction took messages already counted, and
    // perhaps sections just listed: neither may be written back.
    counts_.discard();
    newHeaders_ = 0;
    persons_.clear();
    if (type_ != TypeMail) loadSections();
    StoreOutcome out;
    out.result = StoreFatal;
    return out;
}

StoreOutcome MessageStore::store(WorkRecord& record) {
    decodeField(record.S_NAME);
    decodeField(record.R_NAME);
    decodeField(record.HEADING);
    ULONG section = 0;
    if (!sectionStep(record, section)) return fatal();
    StoreOutcome outcome;
    switch (type_) {
        case TypeMail: outcome = storeMail(record); break;
        case TypeNewsgroup: outcome = storeNewsgroup(record, section); break;
        default: outcome = storeForum(record, section); break;
    }
    if (outcome.result == StoreStored && !flaggedForIndexing_) {
        if (!flagForIndexing()) return fatal();
        flaggedForIndexing_ = true;
    }
    return outcome;
}

bool MessageStore::flagForIndexing() {
    // Written in the transaction of the message that caused it, so the flag
    // and the new messages are committed (or rolled back) together.
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // the count write-back reports it
    if (FOR.WORDLISTINDEXNEEDSUPDATE == 1) return true;
    FOR.WORDLISTINDEXNEEDSUPDATE = 1;
    return storeWrite(Forums, UpdateRecord);
}

}  // namespace pm
