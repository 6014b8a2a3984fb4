#pragma once
// The import request: what one import run reads and where it puts it. The
// import wizard fills it interactively; the task manager builds it from a
// stored import definition (BAT with its FLI file list).
#include <string>
#include <vector>

#include "common/types.h"
#include "import/addresses/mailbox_addresses.h"

namespace pm {

struct BATRecord;

// How the source files are chosen (BAT:SELMETHOD).
enum SelectionMethod : BYTE {
    SelectDirectoryTree = 0,  // the import path and every directory below it, by masks
    SelectDirectory = 1,      // the import path, by masks
    SelectFiles = 2,          // the named files (Outlook Mail: the named folders)
};

// BAT:MSGFILTER value that resolves (and so creates) databases but writes no
// message.
inline constexpr BYTE FilterCreateDatabasesOnly = 2;

// Field widths of the request.
inline constexpr std::size_t FormatNameWidth = 22;
inline constexpr std::size_t ImportPathWidth = 254;
inline constexpr std::size_t MasksWidth = 254;
inline constexpr std::size_t TargetNameWidth = 100;

struct ImportRequest {
    int format = 0;                  // format number (0 means 17)
    std::string formatName;          // its name from the format table
    std::string importPath;          // top directory, directory, or directory of the selected files
    BYTE selectionMethod = SelectFiles;
    std::string masks;               // ";"-separated, methods 0 and 1
    // Method 2: the files, one entry each (relative to importPath unless
    // absolute). A list, not a joined text: a file name may hold ";".
    std::vector<std::string> selectedFiles;
    BYTE importMail = 0;             // which kinds of message the parsers keep
    BYTE importForum = 0;
    BYTE importNewsgroup = 0;
    BYTE messageFilter = 0;          // FilterCreateDatabasesOnly: resolve databases, write nothing
    BYTE allowReimport = 0;          // 1: messages imported before are imported again
    LONG mailTopic = 0;              // topic code given to every imported mail; 0 = none
    LONG mailbox = 0;                // FOR:ID of the mail database for mail
    LONG targetDatabase = 0;         // FOR:ID of the forum database for formats that name none
    BYTE variant = 0;                // formats with forum messages and mail: 1 forum, 2 mail
    std::string targetName;          // FOR:DESCRIPTION of the mailbox (variant 2) or the target (variant 1)
    MailboxAddresses mailboxOwner;   // the owner of `mailbox`, for telling sent from received mail
};

// Why a request cannot be run.
enum class RequestProblem {
    None,
    NoSuchDefinition,  // the import definition is gone
    UnknownFormat,     // the format number is not in the format table
    NoFileEntries,     // the definition lists no file or mask
    MailboxMissing,    // the mailbox named does not exist
    TargetMissing,     // the target database named does not exist
};

// A short English description of `problem` (for logs and command mode).
std::string describeRequestProblem(RequestProblem problem);

// Sets the format (0 means 17) and its name; an empty mask list takes the
// format's default masks. UnknownFormat for a number outside the table.
RequestProblem setRequestFormat(ImportRequest& request, int format);

// Derives the variant and the target name and loads the mailbox owner:
// the formats that hold forum messages and mail get variant 2 when mail is
// to be imported, else 1; the target name is the mailbox's name for variant 2
// and for mail-only formats, else the target database's. MailboxMissing when
// mail is to be imported from a format that holds mail and the mailbox is
// not in the catalog (or none is named), or a named mailbox is missing;
// TargetMissing when a named (non-zero) target database is missing. Opens
// and releases the catalog itself.
RequestProblem completeImportRequest(ImportRequest& request);

// Builds a request from an import definition and its file entries (the FLI
// FILESPECs): masks for methods 0 and 1 (joined with ";"), the selected
// files for method 2 (the non-empty entries as they are). Then completes it
// as above. NoFileEntries when the list is empty.
RequestProblem importRequestFromDefinition(const BATRecord& definition, const std::vector<std::string>& fileEntries,
                                           ImportRequest& request);

// Reads import definition `id` (BAT) and its FLI entries and builds the
// request. When the result is not None and a task runs (Mem.DoTask TaskRunning), the
// task step fails: Mem.DoTask becomes TaskFailed. Opens and releases the tables.
RequestProblem loadImportDefinition(ULONG id, ImportRequest& request);

// Splits a ";"-separated list, trimming blanks and dropping empty entries.
std::vector<std::string> splitList(const std::string& list);

}  // namespace pm
