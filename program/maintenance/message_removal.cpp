#include "maintenance/message_removal.h"

#include "common/user_interface.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool erase(Table& table) { return UppDat(table, DeleteRecordOp, RollBackAndReport); }

// Every record of `table` on `key` whose first `parts` components equal the
// buffer's (set by `fill`) goes; `each` sees each record before it goes.
template <typename Fill, typename Each>
bool eraseRange(Table& table, const KeyDef& key, Fill fill, Each each) {
    for (;;) {
        table.clear();
        fill();
        table.setAt(key);
        const StorageStatus st = table.next();
        if (st == StorageStatus::NotFound) return true;
        if (st != StorageStatus::Ok) return readFailed(table);
        if (!each()) return true;  // past the range
        if (!erase(table)) return false;
    }
}

}  // namespace

bool removeMessage(BYTE databaseType, bool wordIndex, WordTally& words) {
    const bool mail = databaseType == TypeMail;
    const ULONG number = mail ? MAI.MAILID : MSG.MSGNUMBER;
    if (!erase(mail ? Mail : MsgNmbr)) return false;

    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) == StorageStatus::Ok && !erase(MsgText)) return false;

    if (mail && !eraseRange(CCRFile, CCR_IdKey, [&] { CCR.MAILID = number; }, [&] { return CCR.MAILID == number; }))
        return false;
    if (!eraseRange(SIndex, SIN_MsgKey, [&] { SIN.MSGNUMBER = number; }, [&] { return SIN.MSGNUMBER == number; }))
        return false;
    if (!wordIndex) return true;
    return eraseRange(MasIdx, MAS_by_SysID, [&] { MAS.SYSID = number; }, [&] {
        if (MAS.SYSID != number) return false;
        ++words.perWord[MAS.WORDID];
        ++words.entriesRemoved;
        return true;
    });
}

bool applyWordTally(WordTally& words) {
    for (const auto& [id, removed] : words.perWord) {
        WordList.clear();
        WOR.WORDID = static_cast<LONG>(id);
        if (WordList.get(WOR_by_WordId) != StorageStatus::Ok) continue;
        if (WOR.WORDCOUNT - removed <= 0) {
            if (!erase(WordList)) return false;
            ++words.wordsRemoved;
            continue;
        }
        WOR.WORDCOUNT = static_cast<LONG>(WOR.WORDCOUNT - removed);
        if (!UppDat(WordList, UpdateRecord, RollBackAndReport)) return false;
    }
    words.perWord.clear();
    return true;
}

bool removeAliasesOf(ULONG id) {
    return eraseRange(PLINK, PLI_PersonKey, [&] { PLI.PERSONID = id; }, [&] { return PLI.PERSONID == id; });
}

}  // namespace pm

namespace pm {

bool readFailed(Table& table) {
    if (inTransaction()) rollbackTransaction();
    const StorageError& e = table.lastError();
    message("File Error", "Unable to read " + table.label() + ".|" +
                              (e.text.empty() ? std::string(storageStatusText(e.status)) : e.text) +
                              "|The last transaction is rolled back.",
            Icon::Hand);
    return false;
}

}  // namespace pm
