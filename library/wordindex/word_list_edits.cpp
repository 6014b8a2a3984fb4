#include "wordindex/word_list_edits.h"

#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"
#include "tables/records/wordindex_tables.h"
#include "wordindex/word_case.h"

namespace pm {

namespace {

constexpr std::size_t kWordLength = 40;

bool commitOrReport() {
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    rollbackTransaction();
    message("Transaction Error", error.text, Icon::Hand);
    return false;
}

// Positions STO on `word`; true when it is there (the record in STO).
bool findStopWord(const std::string& word) {
    STOFile.clear();
    STO.THEWORD = word;
    return STOFile.get(STO_BY_THEWORD) == StorageStatus::Ok;
}

void notThere(const std::string& word) {
    message("Non Index Word", "The word " + word + " is not in the ignore list.", Icon::Exclamation);
}

// Pending marks need an index run: the database is marked as needing one, so
// that a run over every marked database applies them.
bool markDatabaseForIndexing() {
    if (Mem.WordListIndexNeedsUpdate == 1) return true;
    TableScope catalog({&Forums});
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (!HoldRec(Forums, &FOR_ForumKey)) return false;
    FOR.WORDLISTINDEXNEEDSUPDATE = 1;
    const bool ok = UppDat(Forums, UpdateRecord, ReportOnly);
    Forums.release();
    if (ok) Mem.WordListIndexNeedsUpdate = 1;
    return ok;
}

}  // namespace

std::set<LONG> loadDeletionMarks() {
    std::set<LONG> marks;
    TableScope scope({&PURFile});
    PURFile.setPhysical();
    while (PURFile.next() == StorageStatus::Ok)
        if (PUR.SYSID == 0) marks.insert(PUR.WORDID);
    return marks;
}

bool saveDeletionMarks(const std::set<LONG>& marks) {
    TableScope scope({&PURFile});
    if (!beginTransactionChecked({&PURFile})) return false;
    std::set<LONG> stored;
    PURFile.setPhysical();
    while (PURFile.next() == StorageStatus::Ok) {
        if (PUR.SYSID != 0) continue;
        if (marks.count(PUR.WORDID) == 0 || !stored.insert(PUR.WORDID).second) {
            if (!UppDat(PURFile, DeleteRecordOp, RollBackAndReport)) return false;
        }
    }
    for (LONG id : marks) {
        if (stored.count(id) != 0) continue;
        PURFile.clear();
        PUR.SYSID = 0;
        PUR.WORDID = id;
        if (!UppDat(PURFile, AppendRecord, RollBackAndReport)) return false;
    }
    if (!commitOrReport()) return false;
    return marks.empty() || markDatabaseForIndexing();
}

bool refreshWordCountOrder() {
    if (Mem.WordListIndexNeedsUpdate != 1) return true;
    {
        TableScope scope({&WordList});
        if (WordList.lock(5) != StorageStatus::Ok) {
            message(WordList.fileName(), WordList.lastError().text, Icon::Hand);
            return false;
        }
        const StorageStatus built = WordList.buildKeys();
        WordList.unlock();
        if (built != StorageStatus::Ok) {
            message(WordList.fileName(), WordList.lastError().text, Icon::Hand);
            return false;
        }
    }
    TableScope catalog({&Forums});
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (!HoldRec(Forums, &FOR_ForumKey)) return false;
    FOR.WORDLISTINDEXNEEDSUPDATE = 0;
    if (!UppDat(Forums, UpdateRecord, ReportOnly)) return false;
    Forums.release();
    Mem.WordListIndexNeedsUpdate = 0;
    // Pending marks keep the database marked (the flag also stands for them).
    if (!loadDeletionMarks().empty()) return markDatabaseForIndexing();
    return true;
}

std::optional<LONG> indexedWordId(const std::string& word) {
    TableScope scope({&WordList});
    WordList.clear();
    WOR.THEWORD = stopWordKey(word);
    if (WordList.get(WOR_by_theWord) != StorageStatus::Ok) return std::nullopt;
    return WOR.WORDID;
}

std::vector<std::string> stopWords() {
    std::vector<std::string> out;
    TableScope scope({&STOFile});
    STOFile.set(STO_BY_THEWORD);
    while (STOFile.next() == StorageStatus::Ok) out.push_back(STO.THEWORD.str());
    return out;
}

std::string stopWordKey(const std::string& word) {
    std::string key = upperCase(trim(word));
    if (key.size() > kWordLength) key.resize(kWordLength);
    return key;
}

bool addStopWord(const std::string& word) {
    const std::string key = stopWordKey(word);
    if (key.empty()) return true;
    TableScope scope({&STOFile});
    STOFile.clear();
    STO.THEWORD = key;
    return UppDat(STOFile, AddRecord, ReportOnly);
}

bool updateStopWord(const std::string& oldWord, const std::string& newWord) {
    const std::string from = stopWordKey(oldWord);
    const std::string to = stopWordKey(newWord);
    if (to.empty() || to == from) return true;
    TableScope scope({&STOFile});
    if (!findStopWord(from)) {
        notThere(from);
        return false;
    }
    if (!HoldRec(STOFile, &STO_BY_THEWORD)) return false;
    STO.THEWORD = to;
    return UppDat(STOFile, UpdateRecord, ReportOnly);
}

bool deleteStopWord(const std::string& word) {
    const std::string key = stopWordKey(word);
    TableScope scope({&STOFile});
    if (!findStopWord(key)) {
        notThere(key);
        return false;
    }
    return UppDat(STOFile, DeleteRecordOp, ReportOnly);
}

}  // namespace pm
