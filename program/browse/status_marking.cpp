#include "browse/status_marking.h"

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

const std::vector<StatusMenuItem>& statusMenuItems(BYTE databaseType) {
    using T = StatusTarget;
    static const std::vector<StatusMenuItem> messages = {
        {"Normal Message", T::Message, StatusNormal}, {"Keep Message", T::Message, StatusKeep},
        {"Delete Message", T::Message, StatusDelete}, {"Normal Thread", T::Thread, StatusNormal},
        {"Keep Thread", T::Thread, StatusKeep},       {"Delete Thread", T::Thread, StatusDelete},
        {"Normal Section", T::Section, StatusNormal}, {"Keep Section", T::Section, StatusKeep},
        {"Delete Section", T::Section, StatusDelete}, {"Normal Database", T::Database, StatusNormal},
        {"Keep Database", T::Database, StatusKeep},   {"Delete Database", T::Database, StatusDelete},
    };
    static const std::vector<StatusMenuItem> mail = {
        {"Normal Message", T::Mail, StatusNormal},    {"Keep Message", T::Mail, StatusKeep},
        {"Delete Message", T::Mail, StatusDelete},    {"Normal Partner", T::Partner, StatusNormal},
        {"Keep Partner", T::Partner, StatusKeep},     {"Delete Partner", T::Partner, StatusDelete},
        {"Normal MailBox", T::Database, StatusNormal}, {"Keep MailBox", T::Database, StatusKeep},
        {"Delete MailBox", T::Database, StatusDelete},
    };
    return databaseType == TypeMail ? mail : messages;
}

std::string statusMenuText(BYTE databaseType) {
    std::string text;
    const auto& items = statusMenuItems(databaseType);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i % 3 == 0 ? "|-|" : "|";
        text += items[i].text;
    }
    return text;
}

namespace {

// Holds the record the caller primed, sets its status byte and writes it,
// inside a transaction of its own.
bool rewriteStatus(Table& table, const KeyDef& key, BYTE& status, BYTE value) {
    if (!beginTransactionChecked({&table})) return false;
    if (!HoldRec(table, &key)) {
        rollbackTransaction();
        return false;
    }
    status = value;
    if (!UppDat(table, UpdateRecord, RollBackAndReport)) return false;
    table.release();
    StorageError error;
    if (commitTransaction(&error) != StorageStatus::Ok) {
        message(table.fileName(), "Record update error!\r\n" + error.text);
        return false;
    }
    return true;
}

}  // namespace

bool markStatus(StatusTarget target, ULONG id, BYTE status) {
    switch (target) {
        case StatusTarget::Message:
            MsgNmbr.clear();
            MSG.MSGNUMBER = id;
            return rewriteStatus(MsgNmbr, MSG_IdKey, MSG.DUMMY, status);
        case StatusTarget::Thread:
            Threads.clear();
            THR.THREADNUMBER = id;
            return rewriteStatus(Threads, THR_ThreadKey, THR.DUMMY, status);
        case StatusTarget::Section:
            Sections.clear();
            SEC.SECSYSID = id;
            return rewriteStatus(Sections, SEC_SysIdKey, SEC.DUMMY, status);
        case StatusTarget::Mail:
            Mail.clear();
            MAI.MAILID = id;
            return rewriteStatus(Mail, MAI_IdKey, MAI.DUMMY, status);
        case StatusTarget::Partner:
            Person.clear();
            PER.PERSONID = id;
            return rewriteStatus(Person, PER_PersonKey, PER.DUMMY, status);
        case StatusTarget::Database:
            Forums.clear();
            FOR.ID = Mem.ForumNumber;
            if (!rewriteStatus(Forums, FOR_ForumKey, FOR.DUMMY, status)) return false;
            Mem.ForumCheck = status;
            return true;
    }
    return false;
}

StatusResult SetStatus(int choice, const StatusTargets& targets, const std::function<int()>& ask) {
    const auto& items = statusMenuItems(Mem.ForumType);
    StatusResult result;
    result.item = choice == ChoiceAsk ? (ask ? ask() : 0) : choice;
    if (result.item < 1 || result.item > static_cast<int>(items.size())) {
        result.item = 0;
        return result;
    }
    const StatusMenuItem& item = items[static_cast<std::size_t>(result.item - 1)];
    ULONG id = 0;
    switch (item.target) {
        case StatusTarget::Message:
        case StatusTarget::Mail: id = targets.message; break;
        case StatusTarget::Thread: id = targets.thread; break;
        case StatusTarget::Section: id = targets.section; break;
        case StatusTarget::Partner: id = targets.partner; break;
        case StatusTarget::Database: break;
    }
    result.written = markStatus(item.target, id, item.status);
    return result;
}

}  // namespace pm
