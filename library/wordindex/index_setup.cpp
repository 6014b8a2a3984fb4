#include "wordindex/index_setup.h"

#include <algorithm>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"
#include "tables/records/table_path.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

constexpr int kSet = 2;
constexpr int kSave = 4;

// Runs `body` with the catalog record in FOR made the database that table
// paths are built for, and restores the active one after.
template <typename Body>
auto asDatabaseOf_FOR(Body body) {
    const std::string savedDirnamn = Mem.Dirnamn;
    const ULONG savedNumber = Mem.ForumNumber;
    Mem.Dirnamn = "F" + std::to_string(FOR.DIRNUMBER);
    Mem.ForumNumber = FOR.ID;
    auto result = body();
    Mem.Dirnamn = savedDirnamn;
    Mem.ForumNumber = savedNumber;
    return result;
}

bool hasWordIndexFile() {
    const std::string name = tableFileName(MasIdx);
    return !name.empty() && DOSFunc(FileExists, name);
}

}  // namespace

WordDefinitionRows rowsOf(const WordDefinition& d) {
    WordDefinitionRows rows;
    for (int c = 0; c < 256; ++c) rows[static_cast<std::size_t>(c)] = wordDefinitionRow(d, static_cast<BYTE>(c));
    return rows;
}

WordDefinition definitionOf(const WordDefinitionRows& rows, const WordDefinition& base) {
    WordDefinition d = base;
    for (const WordDefinitionRow& row : rows) setWordDefinitionRow(d, row);
    return d;
}

std::vector<std::string> wordDefinitionSetNames() {
    std::vector<std::string> names;
    TableScope scope({&WDFile});
    WDFile.set(WD_BY_SETNAME);
    while (WDFile.next() == StorageStatus::Ok) {
        const std::string name = WD.SETNAME.str();
        if (names.empty() || names.back() != name) names.push_back(name);
    }
    return names;
}

WordDefinitionRows wordDefinitionSet(const std::string& name) {
    const WordDefinitionRows current = rowsOf(currentWordDefinition());
    if (name == CurrentSelectionName) return current;
    WordDefinitionRows rows = current;
    int read = 0;
    TableScope scope({&WDFile});
    WDFile.clear();
    WD.SETNAME = name;
    WD.ID = 0;
    WDFile.setAt(WD_BY_SETNAME);
    while (WDFile.next() == StorageStatus::Ok && WD.SETNAME.str() == name) {
        rows[WD.ID] = {WD.ID, BYTE(WD.STARTWORD ? 1 : 0), BYTE(WD.INWORD ? 1 : 0), BYTE(WD.ENDWORD ? 1 : 0)};
        ++read;
    }
    // A set that does not cover every character is not used.
    return read < 256 ? current : rows;
}

bool anyDatabaseWordIndexed() {
    TableScope scope({&Forums});
    Forums.setPhysical();
    while (Forums.next() == StorageStatus::Ok)
        if (asDatabaseOf_FOR(hasWordIndexFile)) return true;
    return false;
}

int deleteEveryWordIndex() {
    TableScope scope({&Forums});
    std::vector<ULONG> indexed;
    Forums.setPhysical();
    while (Forums.next() == StorageStatus::Ok)
        if (asDatabaseOf_FOR(hasWordIndexFile)) indexed.push_back(FOR.ID);
    int changed = 0;
    for (ULONG id : indexed) {
        Forums.clear();
        FOR.ID = id;
        if (!HoldRec(Forums, &FOR_ForumKey)) return -1;
        const bool deleted = asDatabaseOf_FOR([] { return OP_CLOSE(DeleteTableFile, {&WordList, &MasIdx, &PURFile}); });
        if (!deleted) {
            Forums.release();
            return -1;
        }
        // No index: the next run over the marked databases builds it whole.
        FOR.LASTMSGID = 0;
        FOR.RECSLASTTIME = 0;
        FOR.WORDLISTINDEXNEEDSUPDATE = 1;
        if (!UppDat(Forums, UpdateRecord, ReportOnly)) return -1;
        Forums.release();
        if (id == Mem.ForumNumber) Mem.WordListIndexNeedsUpdate = 1;
        ++changed;
    }
    return changed;
}

bool saveIndexSettings(const IndexSettings& s) {
    IndexSettings v = s;
    const struct {
        int item;
        BYTE* value;
    } bytes[] = {{49, &v.indexNumbers}, {53, &v.forumAutoStop}, {54, &v.newsgroupAutoStop},
                 {55, &v.mailAutoStop}, {51, &v.forumFooters},  {52, &v.newsgroupFooters}};
    for (const auto& b : bytes)
        if (!WSVars(kSet, b.item, nullptr, b.value, nullptr)) return false;
    if (!WSVars(kSet, 50, nullptr, nullptr, &v.searchPause)) return false;
    return WSVars(kSave);
}

}  // namespace pm
