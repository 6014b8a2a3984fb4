#include "tables/rebuild/rebuild_tables.h"

#include "common/globals.h"
#include "common/text.h"
#include "tables/access/open_close.h"
#include "tables/records/message_tables.h"
#include "tables/records/table_path.h"
#include "tables/rebuild/database_detection.h"

namespace pm {

void closeDatabaseTables() {
    OP_CLOSE(ForceClose, {&Codes, &MsgNmbr, &MsgText, &Person, &Sections, &Threads, &SIndex, &Mail, &CCRFile,
                          &REFFile, &PLINK, &MsgString});
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
            return {{&Mail, "mail header file"}, {&MsgText, "mail text file"}, {&Person, "mail partner file"}};
        case TypeForum:
            return {{&MsgNmbr, "Forum msg header file"}, {&MsgText, "Forum msg text file"},
                    {&Sections, "Forum section file"}, {&Threads, "Forum thread file"},
                    {&Person, "Forum member file"}};
        case TypeNewsgroup:
            return {{&MsgNmbr, "newsgroup header file"}, {&MsgText, "newsgroup text file"},
                    {&Sections, "newsgroup section file"}, {&Threads, "newsgroup thread file"},
                    {&Person, "newsgroup participant file"}};
        default: return {};
    }
}

bool checkOpen(Table& table) {
    if (table.isOpen()) return true;
    table.setFileName(tableFileName(table.number()));
    if (!table.exists()) return true;
    const bool ok = table.open(ShareMode::DenyWrite) == StorageStatus::Ok && table.checkLayout() == StorageStatus::Ok;
    table.close();
    return ok;
}

bool personExistsIn(const std::string& dirName, ULONG id) {
    if (id == 0) return false;
    DatabaseDirectoryScope scope(dirName);
    Person.setFileName(tableFileName(Person.number()));
    if (!Person.exists()) return false;
    OP_CLOSE(OpenShared, {&Person});
    Person.clear();
    PER.PERSONID = id;
    const bool found = Person.get(PER_PersonKey) == StorageStatus::Ok;
    OP_CLOSE(ReleaseTable, {&Person});
    return found;
}

}  // namespace pm
