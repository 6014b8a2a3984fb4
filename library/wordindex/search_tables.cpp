#include "wordindex/search_tables.h"

#include "common/fatal_error.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"
#include "tables/records/table_path.h"

namespace pm {

namespace {
bool fileExists(Table& table) {
    if (table.isOpen()) return true;
    table.setFileName(tableFileName(table));
    return table.exists();
}
}  // namespace

SearchTables::~SearchTables() { close(); }

bool SearchTables::open(BYTE databaseType, bool withMessages) {
    close();
    if (!fileExists(WordList)) {
        message("Open File Error", "Unable to open the DAT file.  Did you add the .DAT extension? Aborting!",
                Icon::Hand);
        return false;
    }
    if (!fileExists(MasIdx)) {
        message("Search Not Available", "Search Could not be initialized.|Try Again Later.", Icon::Hand);
        return false;
    }
    words_.open({&WordList, &MasIdx, &STOFile});
    if (withMessages) openMessages(databaseType);
    return true;
}

void SearchTables::openMessages(BYTE databaseType) {
    if (messages_.holds()) return;
    if (databaseType == TypeMail) messages_.open({&MsgText, &Mail});
    else messages_.open({&MsgText, &MsgNmbr, &Threads});
}

void SearchTables::close() {
    messages_.release();
    words_.release();
}

bool storeSearchResult(const std::vector<ULONG>& messages) {
    OP_CLOSE(OpenShared, {&Search});
    bool ok = Search.empty() == StorageStatus::Ok;
    if (!ok) message(Search.displayName(), Search.lastError().text, Icon::Hand);
    if (ok && !messages.empty()) {
        ok = beginTransactionChecked({&Search});
        for (std::size_t i = 0; ok && i < messages.size(); ++i) {
            Search.clear();
            SEA.ID = messages[i];
            ok = UppDat(Search, AppendRecord, RollBackAndReport);
        }
        if (ok) {
            StorageError error;
            if (commitTransaction(&error) != StorageStatus::Ok) {
                message("Warning!", "Transaction Frame Error!|" + error.text, Icon::Exclamation);
                ok = false;
            }
        }
    }
    if (ok) {
        Search.lock(5);
        const StorageStatus st = Search.buildKeys();
        Search.unlock();
        if (st != StorageStatus::Ok && st != StorageStatus::DuplicateKey) {
            const std::string name = Search.displayName(), text = Search.lastError().text;
            OP_CLOSE(ReleaseTable, {&Search});
            fatal(name, text);
        }
    }
    OP_CLOSE(ReleaseTable, {&Search});
    return ok;
}

}  // namespace pm
