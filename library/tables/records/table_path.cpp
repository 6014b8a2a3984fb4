#include "tables/records/table_path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/fixed_text.h"
#include "common/globals.h"
#include "storage/sql_collation.h"
#include "tables/records/registry.h"

namespace pm {

namespace {

std::string trimmed(const std::string& text) { return std::string(trimRight(text)); }

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    return sql::caselessCompare(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) == 0;
}

// `top` + "/" + the active database's directory name; "" when either is blank.
std::string databaseDirectory(const std::string& top) {
    const std::string base = trimmed(top);
    const std::string name = trimmed(Mem.Dirnamn);
    if (base.empty() || name.empty()) return {};
    return base + "/" + name;
}

}  // namespace

std::string tableBaseName(int number) {
    const Table* table = tableByNumber(number);
    if (!table || table->def().location == Location::Ext) return {};
    const bool simple = table->def().storage == StorageClass::Simple;
    char name[16];
    std::snprintf(name, sizeof name, "IDX%03d.%s", number, simple ? "DAT" : "TPS");
    return name;
}

std::string tableFileName(int number) {
    Table* table = tableByNumber(number);
    if (!table) return {};
    std::string directory;
    switch (table->def().location) {
        case Location::Ext: return FileTmpName;
        case Location::Cfg: {
            const std::string net = trimmed(Mem.Net);
            if (!net.empty()) directory = net + "/CFG";
            break;
        }
        case Location::Tmp: directory = trimmed(Mem.TempDir); break;
        case Location::Db: directory = databaseDirectory(Mem.FileDir); break;
        case Location::Wix: {
            directory = databaseDirectory(MasIdxPath);
            if (!directory.empty() && !sameTextIgnoringCase(trimmed(MasIdxPath), trimmed(Mem.FileDir))) {
                std::error_code ignored;  // a failure surfaces as "path not found" on open
                std::filesystem::create_directory(directory, ignored);
            }
            break;
        }
    }
    if (directory.empty()) return {};
    return directory + "/" + tableBaseName(number);
}

}  // namespace pm
