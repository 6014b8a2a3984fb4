#include "tables/rebuild/database_detection.h"

#include <cstring>

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/records/table_path.h"

namespace pm {

namespace {

// Names `table` by the path rule for the directory in Mem.Dirnamn. The table
// must be closed: an open table keeps the file it was opened on.
Table& named(Table& table) {
    table.setFileName(tableFileName(table.number()));
    return table;
}

// Whether `table` exists; its records are added to `records`.
bool present(Table& table, long& records) {
    named(table);
    if (!table.exists()) return false;
    const std::int64_t n = table.storedRecords();
    if (n > 0) records += static_cast<long>(n);
    return true;
}

}  // namespace

DatabaseDirectoryScope::DatabaseDirectoryScope(const std::string& dirName) : saved_(Mem.Dirnamn) {
    Mem.Dirnamn = dirName;
}

DatabaseDirectoryScope::~DatabaseDirectoryScope() { Mem.Dirnamn = saved_; }

DirectoryTables tablesOfDirectory(const std::string& dirName) {
    DatabaseDirectoryScope scope(dirName);
    DirectoryTables t;
    t.headers = present(MsgNmbr, t.messageRecords);
    t.threads = present(Threads, t.messageRecords);
    t.mail = present(Mail, t.messageRecords);
    t.messageIds = present(MsgString, t.messageRecords);
    t.persons = present(Person, t.personCount);
    return t;
}

bool holdsNoMessages(const DirectoryTables& t) { return t.messageRecords == 0 && t.personCount == 0; }

BYTE detectDatabaseType(const DirectoryTables& t, BYTE identityType) {
    if (t.mail && !t.headers) return TypeMail;
    if (t.headers && t.threads && !t.mail) return t.messageIds ? TypeNewsgroup : TypeForum;
    if (!t.headers && !t.threads && !t.mail && !t.messageIds && t.persons && t.personCount == 1) return TypeMail;
    // A database made but never filled: its identity says what it is.
    if (holdsNoMessages(t) && identityType >= TypeForum && identityType <= TypeNewsgroup) return identityType;
    return 0;
}

std::vector<std::string> tablePresenceLines(const DirectoryTables& t) {
    auto line = [](const char* file, bool present) {
        return std::string("\\") + file + (present ? " exists" : " does not exist");
    };
    return {line("IDX003.TPS", t.headers), line("IDX007.TPS", t.threads), line("IDX013.TPS", t.mail),
            line("IDX025.TPS", t.messageIds), line("IDX005.TPS", t.persons)};
}

REFRecord clearedIdentity() {
    REFRecord r;
    clearRecord(REFDef(), &r);
    return r;
}

bool readIdentityRecord(const std::string& dirName, REFRecord& identity) {
    identity = clearedIdentity();
    DatabaseDirectoryScope scope(dirName);
    // Opening a missing table would create it: look first.
    if (!named(REFFile).exists()) return false;
    OP_CLOSE(OpenShared, {&REFFile});
    REFFile.setPhysical();
    const bool found = REFFile.next() == StorageStatus::Ok;
    if (found) std::memcpy(&identity, &REF, sizeof identity);
    OP_CLOSE(ReleaseTable, {&REFFile});
    return found;
}

}  // namespace pm
