#pragma once
// File names of the registry tables, built from the directory globals:
//
//   CFG  Mem.Net + "/CFG/IDXnnn.TPS"
//   TMP  Mem.TempDir + "/IDXnnn.TPS"
//   DB   Mem.FileDir + "/" + Mem.Dirnamn + "/IDXnnn.TPS"   (.DAT for 22)
//   WIX  MasIdxPath + "/" + Mem.Dirnamn + "/IDXnnn.TPS"    (.DAT for 28, 33)
//   EXT  FileTmpName, unchanged
//
// nnn is the table number in three digits. Every part is trimmed of
// trailing blanks before it is joined.
#include <string>

#include "storage/table.h"

namespace pm {

// "IDX003.TPS", "IDX022.DAT": the file name of a registry table without its
// directory; "" for a number the registry does not hold and for the
// external tables, whose names the caller chooses.
std::string tableBaseName(int number);

// The full file name of registry table `number` by the rule above; "" when
// the registry does not hold the number or a part the name needs is blank
// (the caller reports a blank name).
//
// For the word-index tables (28, 29, 33, 39), when MasIdxPath differs from
// Mem.FileDir without regard to letter case, the active database's
// word-index directory is created (one level) if it is missing. That
// happens silently; a directory that cannot be made shows up as a missing
// path when the table is opened.
std::string tableFileName(int number);
// The same for a registry table named by its object.
inline std::string tableFileName(const Table& table) { return tableFileName(table.number()); }

}  // namespace pm
