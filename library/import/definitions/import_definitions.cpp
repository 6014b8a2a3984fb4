#include "import/definitions/import_definitions.h"

#include <algorithm>
#include <cstring>

#include "common/date_pictures.h"
#include "common/dates.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "import/driver/format_table.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/identifiers/next_number.h"

namespace pm {

namespace {

std::string cut(std::string_view text, std::size_t width) { return std::string(text.substr(0, utf8FitLength(text, width))); }

// The entries as the file list keeps them: trimmed, without blanks and
// repeats, in the order given.
std::vector<std::string> storedEntries(const std::vector<std::string>& entries) {
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        std::string t(trim(entry));
        if (t.empty() || std::find(kept.begin(), kept.end(), t) != kept.end()) continue;
        kept.push_back(std::move(t));
    }
    return kept;
}

DefinitionCheck refusal(DefinitionProblem problem, std::string caption, std::string text) {
    return {problem, std::move(caption), std::move(text)};
}

// The file list of `id` (FLI must be open).
std::vector<std::string> fileEntriesOf(ULONG id) {
    std::vector<std::string> entries;
    FLIFile.clear();
    FLI.ID = id;
    FLIFile.setAt(FLI_IDKEY);
    while (FLIFile.next() == StorageStatus::Ok && FLI.ID == id) entries.push_back(FLI.FILESPEC.str());
    return entries;
}

// Whether two file lists hold the same entries (in any order).
bool sameEntries(std::vector<std::string> stored, const std::vector<std::string>& kept) {
    std::vector<std::string> other = storedEntries(kept);
    std::sort(stored.begin(), stored.end());
    std::sort(other.begin(), other.end());
    return stored == other;
}

// Removes the file list of `id` inside the running transaction.
bool deleteFileEntries(ULONG id) {
    FLIFile.clear();
    FLI.ID = id;
    FLIFile.setAt(FLI_IDKEY);
    while (FLIFile.next() == StorageStatus::Ok && FLI.ID == id)
        if (!UppDat(FLIFile, DeleteRecordOp, RollBackAndReport)) return false;
    return true;
}

bool addFileEntries(ULONG id, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        FLIFile.clear();
        FLI.ID = id;
        FLI.FILESPEC = entry;
        if (!UppDat(FLIFile, AddRecord, RollBackAndReport)) return false;
    }
    return true;
}

SaveOutcome conflict(bool deleted) {
    rollbackTransaction();
    if (deleted) message(BATFile.displayName(), "The record has been deleted by another user!");
    else message("Warning!", "The record has just been changed by another user!\r\nTry again!", Icon::Exclamation);
    return SaveOutcome::Conflict;
}

// The write of a save, inside its own transaction.
SaveOutcome writeDefinition(ImportDefinition& definition, const std::vector<std::string>& entries,
                            const ImportDefinition* keptCopy, bool isNew) {
    if (!beginTransactionChecked({&BATFile, &FLIFile})) return SaveOutcome::Failed;
    if (isNew) {
        BAT = definition.record;
        if (!UppDat(BATFile, AddRecord, RollBackAndReport)) return SaveOutcome::Failed;
    } else {
        BATFile.clear();
        BAT.ID = definition.record.ID;
        if (BATFile.get(BAT_IDKEY) != StorageStatus::Ok) return conflict(true);
        if (keptCopy && (std::memcmp(&BAT, &keptCopy->record, sizeof(BATRecord)) != 0 ||
                         !sameEntries(fileEntriesOf(BAT.ID), keptCopy->fileEntries)))
            return conflict(false);
        BATFile.clear();
        BAT.ID = definition.record.ID;
        if (BATFile.get(BAT_IDKEY) != StorageStatus::Ok) return conflict(true);
        BAT = definition.record;
        if (!UppDat(BATFile, UpdateRecord, RollBackAndReport)) return SaveOutcome::Failed;
        if (!deleteFileEntries(definition.record.ID)) return SaveOutcome::Failed;
    }
    if (!addFileEntries(definition.record.ID, entries)) return SaveOutcome::Failed;
    return commitTransactionChecked(BATFile) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace

DefinitionCheck checkImportDefinition(const ImportDefinition& definition) {
    const BATRecord& r = definition.record;
    const std::vector<std::string> entries = storedEntries(definition.fileEntries);
    if (r.DESCRIPTION.empty())
        return refusal(DefinitionProblem::NoDescription, "Warning!", "The import definition needs a description");
    if (!formatByNumber(r.FILETYPE))
        return refusal(DefinitionProblem::UnknownFormat, "Warning!",
                       "Message file type " + std::to_string(r.FILETYPE) + " is unknown");
    if (entries.empty()) {
        if (r.SELMETHOD == SelectFiles)
            return refusal(DefinitionProblem::NoFileSelected, " File specification error!",
                           "When using the file selection method \r\nyou must select which file(s) to import!");
        return refusal(DefinitionProblem::NoMasks, "Warning!", "No file extension(s) specified");
    }
    for (const std::string& entry : entries)
        if (entry.size() > DefinitionEntryWidth)
            return refusal(DefinitionProblem::EntryTooLong, " File specification error!",
                           "The file specification\r\n" + entry + "\r\nis longer than " +
                               std::to_string(DefinitionEntryWidth) + " characters");
    return {};
}

DefinitionCheck checkDefinitionPath(const std::string& path) {
    if (path.size() <= DefinitionPathWidth) return {};
    return refusal(DefinitionProblem::PathTooLong, " File specification error!",
                   "The import path\r\n" + path + "\r\nis longer than " + std::to_string(DefinitionPathWidth) +
                       " characters");
}

std::vector<BATRecord> listImportDefinitions() {
    std::vector<BATRecord> list;
    TableScope scope({&BATFile});
    BATFile.set(BAT_IDKEY);
    while (BATFile.next() == StorageStatus::Ok) list.push_back(BAT);
    return list;
}

std::optional<ImportDefinition> readImportDefinition(ULONG id) {
    TableScope scope({&BATFile, &FLIFile});
    BATFile.clear();
    BAT.ID = id;
    if (BATFile.get(BAT_IDKEY) != StorageStatus::Ok) return std::nullopt;
    ImportDefinition definition;
    definition.record = BAT;
    definition.fileEntries = fileEntriesOf(id);
    return definition;
}

SaveOutcome saveImportDefinition(ImportDefinition& definition, const ImportDefinition* keptCopy) {
    if (const DefinitionCheck check = checkImportDefinition(definition); !check.ok()) {
        message(check.caption, check.text, Icon::Exclamation);
        return SaveOutcome::Refused;
    }
    const std::vector<std::string> entries = storedEntries(definition.fileEntries);
    const bool isNew = definition.record.ID == 0;
    TableScope scope({&Control, &BATFile, &FLIFile});
    if (isNew) {
        // The counter commits on its own, before the definition's
        // transaction: inside one it could not wait for another process.
        const ULONG id = NextNr();
        if (id == 0) return SaveOutcome::Failed;
        definition.record.ID = id;
        if (definition.record.TYPE == 0) definition.record.TYPE = DefinitionTypeImport;
    }
    const SaveOutcome outcome = writeDefinition(definition, entries, keptCopy, isNew);
    if (outcome == SaveOutcome::Saved) definition.fileEntries = entries;
    else if (isNew) definition.record.ID = 0;
    return outcome;
}

DefinitionDeletion deleteImportDefinition(ULONG id) {
    DefinitionDeletion result;
    TableScope scope({&BATFile, &FLIFile, &TIMFile});
    if (!beginTransactionChecked({&BATFile, &FLIFile, &TIMFile})) return result;
    BATFile.clear();
    BAT.ID = id;
    if (BATFile.get(BAT_IDKEY) != StorageStatus::Ok) {
        rollbackTransaction();
        return result;
    }
    if (!UppDat(BATFile, DeleteRecordOp, RollBackAndReport)) return result;
    if (!deleteFileEntries(id)) return result;
    int steps = 0;
    TIMFile.clear();
    TIM.BATCHID = id;
    TIMFile.setAt(TIM_BATCHKEY);
    while (TIMFile.next() == StorageStatus::Ok && TIM.BATCHID == id) {
        if (!UppDat(TIMFile, DeleteRecordOp, RollBackAndReport)) return result;
        ++steps;
    }
    if (!commitTransactionChecked(BATFile)) return result;
    result.deleted = true;
    result.taskStepsRemoved = steps;
    return result;
}

BATRecord blankDefinitionRecord() {
    BATRecord r;
    std::memset(&r, 0, sizeof r);
    r.DESCRIPTION.clear();
    r.IMPPATH.clear();
    return r;
}

ImportDefinition definitionFromRequest(const ImportRequest& request, const std::string& description) {
    ImportDefinition d;
    BATRecord& r = d.record;
    r.TYPE = DefinitionTypeImport;
    r.DESCRIPTION = description;
    r.DATABASE = static_cast<ULONG>(request.targetDatabase);
    r.FILETYPE = static_cast<BYTE>(request.format == 0 ? DefaultFormatNumber : request.format);
    r.IMPPATH = cut(request.importPath, DefinitionPathWidth);
    r.SELMETHOD = request.selectionMethod;
    r.MAILBOX = static_cast<ULONG>(request.mailbox);
    r.MAILMSG = request.importMail;
    r.FORUMMSG = request.importForum;
    r.NEWSGROUPMSG = request.importNewsgroup;
    r.MSGFILTER = request.messageFilter;
    r.ALLOWREIMP = request.allowReimport;
    r.MAILTOPIC = static_cast<ULONG>(request.mailTopic);
    d.fileEntries = request.selectionMethod == SelectFiles ? request.selectedFiles : splitList(request.masks);
    return d;
}

std::string wizardDefinitionDescription(const DateTime& moment) {
    return "Saved from ImportWizard  " + formatDate(moment.date, "@D18") + " " + formatTime(moment.time, "@T7");
}

}  // namespace pm
