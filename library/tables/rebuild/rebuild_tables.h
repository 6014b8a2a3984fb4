#pragma once
// The tables and directories the rebuild works with, and the check opens it
// logs.
#include <string>
#include <vector>

#include "common/types.h"
#include "storage/table.h"

namespace pm {

// The rebuild waits this long for the catalog's lock.
inline constexpr int kCatalogLockSeconds = 5;

// Force-closes every table of a database directory, so that the next open
// names it from Mem.Dirnamn again.
void closeDatabaseTables();

// The word-index top directory (MasIdxPath, or the database top directory
// when none is set), and whether it is not the database top directory.
std::string wordIndexTop();
bool separateWordIndex();

// The 12-character log label of a type: "Forum      F", "Mail       F",
// "Newsgroup  F", and "Invalid DB F" for anything else.
const char* databaseLabel(BYTE type);

// The name the rebuild gives a database it cannot name: "Unknown:F" + number.
std::string unknownDatabaseName(ULONG dirNumber);

// A table the rebuild check-opens for a type, with its description in the log.
struct TableCheck {
    Table* table;
    const char* description;
};
// Mail: header, text, partner files; forum and newsgroup: header, text,
// section, thread and member (participant) files.
std::vector<TableCheck> tableChecksOf(BYTE type);

// Opens `table` of the directory in Mem.Dirnamn deny-write and closes it
// again, without repairing or creating anything: true when it is missing
// (it is made at its first use) or opens with the declared layout.
bool checkOpen(Table& table);

// Whether Person of directory `dirName` holds person `id`.
bool personExistsIn(const std::string& dirName, ULONG id);

}  // namespace pm
