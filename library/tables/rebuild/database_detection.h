#pragma once
// What a database directory really holds: the tables that tell its type,
// its identity record, and the type they add up to. Used by the rebuild to
// compare the catalog with the directories and to attach directories the
// catalog does not know.
#include <string>
#include <vector>

#include "common/types.h"
#include "tables/records/message_tables.h"

namespace pm {

// Makes `dirName` ("F3") the directory that table names are built from for
// as long as the scope lives (Mem.Dirnamn), and puts the previous one back.
class DatabaseDirectoryScope {
public:
    explicit DatabaseDirectoryScope(const std::string& dirName);
    ~DatabaseDirectoryScope();
    DatabaseDirectoryScope(const DatabaseDirectoryScope&) = delete;
    DatabaseDirectoryScope& operator=(const DatabaseDirectoryScope&) = delete;

private:
    std::string saved_;
};

// The tables of a database directory that decide its type.
struct DirectoryTables {
    bool headers = false;     // MsgNmbr (IDX003): forum and newsgroup headers
    bool threads = false;     // Threads (IDX007)
    bool mail = false;        // Mail (IDX013)
    bool messageIds = false;  // MsgString (IDX025): newsgroup Message-IDs
    bool persons = false;     // Person (IDX005)
    long personCount = 0;     // records of Person (0 when it is missing)
    long messageRecords = 0;  // records of MsgNmbr, Threads, Mail and MsgString together
};

// Looks into directory `dirName` below the database top directory without
// opening (or creating) anything. Every database table must be closed.
DirectoryTables tablesOfDirectory(const std::string& dirName);

// The type the tables add up to (1 forum, 2 mail, 3 newsgroup), 0 when it
// cannot be recognized:
//   Mail without MsgNmbr                         mail
//   MsgNmbr and Threads, no Mail, no MsgString   forum
//   MsgNmbr and Threads and MsgString, no Mail   newsgroup
//   Person alone: exactly one person             mail (a new mail box with its owner)
// A directory whose tables add up to nothing but hold no record (no
// message and no person) is a database that has not received a message
// yet - made by hand, or given some empty tables by a check that opened
// them: it takes the type of its identity record (`identityType`, 0 when it
// has none).
BYTE detectDatabaseType(const DirectoryTables& tables, BYTE identityType);

// Whether the tables hold no message and no person (see above).
bool holdsNoMessages(const DirectoryTables& tables);

// "\IDX003.TPS exists" / "\IDX003.TPS does not exist" for the five tables.
std::vector<std::string> tablePresenceLines(const DirectoryTables& tables);

// Reads the identity record (REF, IDX022.DAT) of directory `dirName` into
// `identity`. False, leaving `identity` cleared, when the directory has none.
bool readIdentityRecord(const std::string& dirName, REFRecord& identity);

// A REF record with every field cleared.
REFRecord clearedIdentity();

}  // namespace pm
