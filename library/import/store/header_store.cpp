// Storing forum and newsgroup messages: header (MsgNmbr), text, thread,
// persons, the import register (forum) and the Message-ID map (newsgroup).
#include <climits>

#include "common/message_text.h"
#include "common/text.h"
#include "common/utf8.h"
#include "import/store/message_store.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/persons/person_store.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// First and last name joined by one blank (either alone when the other is empty).
std::string fullName(const PersonRecord& person) {
    const std::string_view first = person.FIRSTNAME.view();
    const std::string_view last = person.LASTNAME.view();
    if (first.empty()) return std::string(last);
    if (last.empty()) return std::string(first);
    return std::string(first) + ' ' + std::string(last);
}

}  // namespace

bool MessageStore::resolveParty(std::string_view name, std::string_view address, Party& party) {
    const std::string string = personString(name, address);
    if (const PersonCache::Entry* known = persons_.find(string)) {
        party.id = known->id;
        party.lastName = known->lastName;
        party.address = known->address;
        return true;
    }
    if (AddPers(name, address) != 0) return false;
    party.id = PER.PERSONID;
    party.lastName = PER.LASTNAME;
    party.address = PER.ADDRESS;
    persons_.add(string, {party.id, party.lastName, party.address});
    return true;
}

bool MessageStore::readHeader(ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
}

bool MessageStore::writeHeader(const WorkRecord& record, bool isNew, ULONG section, ULONG number,
                               const ThreadChoice& thread, const People& people) {
    // An update rewrites the header just read, keeping its other fields.
    if (isNew) MsgNmbr.clear();
    MSG.SECSYSID = section;
    MSG.MSGNUMBER = number;
    MSG.REFNUMBER = record.REFNUMBER;
    MSG.THREADNUMBER = thread.number;
    MSG.THREADALPHA = thread.alpha;
    MSG.FROMID = people.sender.id;
    MSG.FROMALPHA = people.sender.lastName.view();
    MSG.TOID = people.receiver.id;
    MSG.TOALPHA = people.receiver.lastName.view();
    MSG.DATE = record.DATE;
    MSG.DUMMY = StatusNormal;
    return storeWrite(MsgNmbr, isNew ? AddRecord : UpdateRecord);
}

bool MessageStore::writeText(const std::string& text, bool isNew, ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (!isNew) {
        // Only whether the text exists matters: its old content is replaced.
        MsgText.setSkipMemos(true);
        const bool found = MsgText.get(TXT_IdKey) == StorageStatus::Ok;
        MsgText.setSkipMemos(false);
        if (!found) return true;
    }
    TXT.MsgText.assign(text, 0, utf8PrefixBytes(text, MessageTextChars));
    TXT.DATE = importDate_;
    TXT.TIME = importTime_;
    return storeWrite(MsgText, isNew ? AddRecord : UpdateRecord);
}

bool MessageStore::registerImport(ULONG database, ULONG number, bool isNew) {
    IMPFile.clear();
    IMP.FORUMNUMBER = database;
    IMP.MSGNUMBER = number;
    if (!allowReimport_ && isNew) {
        // The register's key is rebuilt once at the end of the run.
        return storeWrite(IMPFile, AppendRecord);
    }
    // Reimport, or a message met twice in one run: register it only once,
    // or the register's unique key could not be rebuilt.
    if (IMPFile.get(IMP_IDKEY) == StorageStatus::Ok) return true;
    IMPFile.clear();
    IMP.FORUMNUMBER = database;
    IMP.MSGNUMBER = number;
    return storeWrite(IMPFile, allowReimport_ ? AddRecord : AppendRecord);
}

void MessageStore::countMessage(const StoreOutcome& outcome, ULONG section) {
    if (!outcome.isNew) return;
    ++newHeaders_;
    // A failed add has discarded every list: the others need not be tried.
    if (!counts_.addSent(outcome.senderId) || !counts_.addReceived(outcome.receiverId)) return;
    if (type_ == TypeMail || !counts_.addThread(outcome.threadNumber)) return;
    counts_.addSection(section);
}

StoreOutcome MessageStore::storedMessage(bool isNew, const People& people, const ThreadChoice& thread,
                                        ULONG section) {
    StoreOutcome out;
    out.isNew = isNew;
    out.senderId = people.sender.id;
    out.receiverId = people.receiver.id;
    out.threadNumber = thread.number;
    countMessage(out, section);
    return out;
}

StoreOutcome MessageStore::storeForum(WorkRecord& record, ULONG section) {
    if (record.MAILTYPE == NumberlessForumMessage) {
        bool stored = false;
        numberByContent(record, section, stored);
        if (stored && !allowReimport_) {
            StoreOutcome out;
            out.result = StoreSkipped;
            return out;
        }
    }
    const ULONG number = record.MSGNUMBER;
    bool isNew = !readHeader(number);
    bool headerInBuffer = !isNew;

    if (record.REFNUMBER == record.MSGNUMBER) record.REFNUMBER = 0;
    ThreadChoice thread;
    bool threadKnown = false;
    if (record.REFNUMBER != 0) {
        headerInBuffer = false;
        if (readHeader(record.REFNUMBER)) {
            thread.number = MSG.THREADNUMBER;
            thread.alpha = MSG.THREADALPHA;
            threadKnown = true;
        }
    }
    if (!threadKnown && !findOrCreateThread(section, record.HEADING.view(), thread)) return fatal();

    People people;
    if (!resolveParty(record.S_NAME.view(), record.S_CISADRESS.view(), people.sender)) return fatal();
    if (!resolveParty(record.R_NAME.view(), record.R_CISADRESS.view(), people.receiver)) return fatal();

    if (!isNew && !headerInBuffer && !readHeader(number)) isNew = true;
    if (!writeHeader(record, isNew, section, number, thread, people)) return fatal();
    if (!writeText(record.MSGTEXT, isNew, number)) return fatal();
    if (!registerImport(record.INTERNAL, number, isNew)) return fatal();

    return storedMessage(isNew, people, thread, section);
}

bool MessageStore::reserveMessageId(const FixedText<60>& idString, ULONG number, bool& rejected) {
    rejected = false;
    // The number may already stand for another Message-ID: refuse the
    // identifier rather than let the unique key fail (which would roll back
    // the whole transaction for one doubtful message).
    MsgString.clear();
    MST.MSGNUMBER = number;
    if (number == 0 || MsgString.get(MST_IDKey) == StorageStatus::Ok) {
        rejected = true;
        return true;
    }
    MsgString.clear();
    MST.IDSTRING = idString;
    MST.MSGNUMBER = number;
    return storeWrite(MsgString, AddRecord);
}

StoreOutcome MessageStore::storeNewsgroup(WorkRecord& record, ULONG section) {
    StoreOutcome out;
    const ULONG provisional = record.MSGNUMBER;

    // 1. The message's Message-ID decides its permanent number.
    TempID.clear();
    TID.MSGNUMBER = provisional;
    if (TempID.get(TID_IDKEY) != StorageStatus::Ok) {
        out.result = StoreSkipped;  // no Message-ID
        return out;
    }
    const FixedText<60> idString = TID.IDSTRING;
    bool isNew = true;
    bool headerInBuffer = false;
    MsgString.clear();
    MST.IDSTRING = idString;
    if (MsgString.get(MST_IDStringKey) == StorageStatus::Ok) {
        record.MSGNUMBER = MST.MSGNUMBER;
        if (readHeader(record.MSGNUMBER)) {
            if (!allowReimport_) {
                out.result = StoreSkipped;
                return out;
            }
            isNew = false;
            headerInBuffer = true;
        }
    } else {
        bool rejected = false;
        if (!reserveMessageId(idString, provisional, rejected)) return fatal();
        if (rejected) {
            out.result = StoreSkipped;
            return out;
        }
    }
    const ULONG number = record.MSGNUMBER;

    // 2. A message that refers to itself has no parent.
    if (record.REFNUMBER == number || record.REFNUMBER == provisional) record.REFNUMBER = 0;

    // 3. The parent, by its Message-ID.
    ThreadChoice thread;
    bool threadKnown = false;
    People people;
    bool receiverKnown = false;
    if (record.REFNUMBER != 0) {
        TempID.clear();
        TID.MSGNUMBER = record.REFNUMBER;
        if (TempID.get(TID_IDKEY) != StorageStatus::Ok || TID.IDSTRING == idString) {
            record.REFNUMBER = 0;
        } else {
            const FixedText<60> parentId = TID.IDSTRING;
            MsgString.clear();
            MST.IDSTRING = parentId;
            if (MsgString.get(MST_IDStringKey) == StorageStatus::Ok) {
                record.REFNUMBER = MST.MSGNUMBER;
                headerInBuffer = false;
                if (readHeader(record.REFNUMBER)) {
                    thread.number = MSG.THREADNUMBER;
                    thread.alpha = MSG.THREADALPHA;
                    threadKnown = true;
                    // The reply is addressed to the parent's sender.
                    Person.clear();
                    PER.PERSONID = MSG.FROMID;
                    if (Person.get(PER_PersonKey) == StorageStatus::Ok) {
                        record.R_NAME = fullName(PER);
                        record.R_CISADRESS = PER.ADDRESS.view();
                        people.receiver.id = PER.PERSONID;
                        people.receiver.lastName = PER.LASTNAME;
                        people.receiver.address = PER.ADDRESS;
                        receiverKnown = true;
                    }
                }
            } else {
                // Reserve the parent's number: when it arrives it takes it.
                bool rejected = false;
                if (!reserveMessageId(parentId, record.REFNUMBER, rejected)) return fatal();
                if (rejected) record.REFNUMBER = 0;
            }
        }
    }
    if (!threadKnown && !findOrCreateThread(section, record.HEADING.view(), thread)) return fatal();

    // 4. Persons, header and text.
    if (!resolveParty(record.S_NAME.view(), record.S_CISADRESS.view(), people.sender)) return fatal();
    if (!receiverKnown && !resolveParty(record.R_NAME.view(), record.R_CISADRESS.view(), people.receiver))
        return fatal();
    if (!isNew && !headerInBuffer && !readHeader(number)) isNew = true;
    if (!writeHeader(record, isNew, section, number, thread, people)) return fatal();
    if (!writeText(record.MSGTEXT, isNew, number)) return fatal();

    return storedMessage(isNew, people, thread, section);
}

}  // namespace pm
