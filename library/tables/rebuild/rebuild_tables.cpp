#include "tables/rebuild/rebuild_tables.h"

#include "common/globals.h"
#include "common/text.h"
#include "tables/access/open_close.h"
#include "tables/records/message_tables.h"
#include "tables/records/registry.h"
#include "tables/records/table_path.h"
#include "tables/rebuild/database_detection.h"

namespace pm {

void closeDatabaseTables() {
    OP_CLOSE(ForceClose, {kCodesTable, kMsgNmbrTable, kMsgTextTable, kPersonTable, kSectionsTable, kThreadsTable,
                          kSIndexTable, kMailTable, kCCRTable, kIdentityTable, kPLINKTable, kMsgStringTable});
}

std::string wordIndexTop() { return MasIdxPath.empty() ? Mem.FileDir : MasIdxPath; }

bool separateWordIndex() { return !equalsCaseless(wordIndexTop(), Mem.FileDir); }

const char* databaseLabel(BYTE type) {
    switch (type) {
        case TypeForum: return "Forum      F";
        case TypeMail: return "Mail       F";
        case TypeNewsgroup: return "Newsgroup  F";
        default: return "Invalid DB F";
    }
}

std::string unknownDatabaseName(ULONG dirNumber) { return "Unknown:F" + std::to_string(dirNumber); }

std::vector<TableCheck> tableChecksOf(BYTE type) {
    switch (type) {
        case TypeMail:
            return {{kMailTable, "mail header file"}, {kMsgTextTable, "mail text file"},
                    {kPersonTable, "mail partner file"}};
        case TypeForum:
            return {{kMsgNmbrTable, "Forum msg header file"}, {kMsgTextTable, "Forum msg text file"},
                    {kSectionsTable, "Forum section file"}, {kThreadsTable, "Forum thread file"},
                    {kPersonTable, "Forum member file"}};
        case TypeNewsgroup:
            return {{kMsgNmbrTable, "newsgroup header file"}, {kMsgTextTable, "newsgroup text file"},
                    {kSectionsTable, "newsgroup section file"}, {kThreadsTable, "newsgroup thread file"},
                    {kPersonTable, "newsgroup participant file"}};
        default: return {};
    }
}

bool checkOpen(int number) {
    Table* table = tableByNumber(number);
    if (!table || table->isOpen()) return table != nullptr;
    table->setFileName(tableFileName(number));
    if (!table->exists()) return true;
    const bool ok = table->open(ShareMode::DenyWrite) == StorageStatus::Ok && table->checkLayout() == StorageStatus::Ok;
    table->close();
    return ok;
}

bool personExistsIn(const std::string& dirName, ULONG id) {
    if (id == 0) return false;
    DatabaseDirectoryScope scope(dirName);
    Person.setFileName(tableFileName(kPersonTable));
    if (!Person.exists()) return false;
    OP_CLOSE(OpenShared, {kPersonTable});
    Person.clear();
    PER.PERSONID = id;
    const bool found = Person.get(PER_PersonKey) == StorageStatus::Ok;
    OP_CLOSE(ReleaseTable, {kPersonTable});
    return found;
}

}  // namespace pm
