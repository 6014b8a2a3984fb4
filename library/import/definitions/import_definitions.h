#pragma once
// The store of import definitions (predefined import procedures): a BAT
// record and its FLI file list, kept together.
//
// The import wizard saves a run as a definition, the definition editor and
// `pmoor32 procedure` list, create, change and delete them, and every task
// step runs one (loadImportDefinition in import/driver/import_request.h
// builds the import request from it). A definition and its file list change
// only together, in one transaction over BAT and FLI, so a task step never
// reads a definition with half a file list.
#include <optional>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/types.h"
#include "import/driver/import_request.h"
#include "tables/records/config_tables.h"

namespace pm {

// BAT:TYPE of the definitions this system writes.
inline constexpr ULONG DefinitionTypeImport = 1;

// Bytes an entry of the file list (FLI:FILESPEC) and the import path
// (BAT:IMPPATH) can hold.
inline constexpr std::size_t DefinitionEntryWidth = 100;
inline constexpr std::size_t DefinitionPathWidth = 100;

// A definition with its file list: the masks (selection methods 0 and 1) or
// the selected files (method 2), one entry each, in file-list order (the
// key orders them by text).
// A BAT record with numbers 0 and texts blank.
BATRecord blankDefinitionRecord();

struct ImportDefinition {
    BATRecord record = blankDefinitionRecord();  // record.ID is 0 until it is saved
    std::vector<std::string> fileEntries;  // FLI:FILESPEC, without blanks at the end
};

// Why a definition cannot be saved. The caption and text are the ones the
// editor shows.
enum class DefinitionProblem {
    None,
    NoFileSelected,   // method 2 without a file
    NoMasks,          // methods 0 and 1 without a mask
    UnknownFormat,    // BAT:FILETYPE is not in the format table
    NoDescription,    // a definition is chosen by its description
    PathTooLong,      // the import path does not fit BAT:IMPPATH
    EntryTooLong,     // a mask or file name does not fit FLI:FILESPEC
};

struct DefinitionCheck {
    DefinitionProblem problem = DefinitionProblem::None;
    std::string caption;
    std::string text;
    bool ok() const { return problem == DefinitionProblem::None; }
};

// Checks what the editor refuses to save. Blank entries are ignored; an
// entry given twice counts once (the file list keeps each entry once).
DefinitionCheck checkImportDefinition(const ImportDefinition& definition);

// Checks that `path` fits BAT:IMPPATH (a cut path would name another
// directory): PathTooLong with its message, else None.
DefinitionCheck checkDefinitionPath(const std::string& path);

// Every definition in identifier order (the BAT records only). Opens and
// releases the tables.
std::vector<BATRecord> listImportDefinitions();

// Definition `id` with its file list; nothing when there is none. Opens and
// releases the tables.
std::optional<ImportDefinition> readImportDefinition(ULONG id);

enum class SaveOutcome {
    Saved,
    Refused,   // the check failed; its message was shown
    Conflict,  // changed or deleted by someone else since it was read; nothing written
    Failed,    // a write failed and was rolled back (and reported)
};

// Saves `definition`. A new one (record.ID 0) gets an identifier from the
// installation's counter (written into record.ID) and BAT:TYPE 1 when it has
// none. An existing one replaces the stored record and its whole file list;
// when `keptCopy` is given (the definition as the editor read it) and the
// stored record or file list differs from it, or it is gone, nothing is written: Conflict, with
// the form-save messages. The check runs first (its message is shown on refusal). One
// transaction over BAT and FLI with the 5-second lock wait; a failed write
// rolls everything back. Blank and repeated entries are dropped.
SaveOutcome saveImportDefinition(ImportDefinition& definition, const ImportDefinition* keptCopy = nullptr);

struct DefinitionDeletion {
    bool deleted = false;     // false: no such definition, or a write failed (reported)
    int taskStepsRemoved = 0; // TIM steps of tasks that ran it
};

// Deletes definition `id`, its file list and the task steps that run it, in
// one transaction over BAT, FLI and TIM.
DefinitionDeletion deleteImportDefinition(ULONG id);

// The definition a wizard run would be saved as: every request field, the
// masks (methods 0 and 1) or the selected files (method 2) as its file list.
// The description is cut to BAT:DESCRIPTION; check the import path with
// checkDefinitionPath first.
ImportDefinition definitionFromRequest(const ImportRequest& request, const std::string& description);

// The description the wizard gives a saved run: "Saved from ImportWizard  "
// and the date (picture D18), a blank and the time (picture T7) of `moment`.
std::string wizardDefinitionDescription(const DateTime& moment);

}  // namespace pm
