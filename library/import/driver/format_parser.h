#pragma once
// The call protocol between the import driver and the format parsers.
//
// The driver opens nothing for the parser: the parser opens the current
// source file itself (by name) on its first call, reads a bounded slice per
// call and hands one work record per message it keeps to
// `ParserCall::work` (`appendMessage(record)`, work_files.h), with its carbon
// copies and Message-ID pairs as values too. It returns true when the file
// is exhausted.
//
// Parsers never open transactions: the driver batches the work-file writes
// of each call into one. They resolve databases through
// `ParserCall::databases` and take provisional numbers (mail numbers,
// Message-ID numbers) by incrementing `*runningId`.
#include <cstdint>
#include <memory>
#include <string>

#include "common/types.h"

namespace pm {

struct ImportRequest;
class AutomationSession;
class DatabaseResolver;
class WorkFiles;

// Parser steps.
enum ParserStep : int {
    FirstCall = 199,        // initialise for a new file
    FirstPass = 171,        // the two-pass store format starts here
    ContinueParsing = 99,   // every later call
};

// Database kinds a parser resolves names as.
enum ResolveKind : int { ResolveForum = 1, ResolveMail = 2, ResolveNewsgroup = 3 };

struct ParserCall {
    int step = FirstCall;           // in/out: the parser sets ContinueParsing (or FirstPass)
    LONG* runningId = nullptr;      // in/out: provisional numbers come from here
    double progress = 0;            // in/out: bytes or records consumed in this file
    int variant = 0;                // capture formats: 1 forum messages, 2 mail
    int quota = 100;                // at most this many messages or records per call
    const ImportRequest* request = nullptr;
    DatabaseResolver* databases = nullptr;
    WorkFiles* work = nullptr;      // where the parsed messages go
    std::string fileName;           // the source file (full path)
    std::int64_t fileSize = 0;
    long long* skipped = nullptr;   // raise for every message left out (already imported, damaged)
    LONG importDate = 0;            // date and time the run started (NHR:IMPDATE/IMPTIME)
    LONG importTime = 0;
    std::string logFile;            // the run's diagnostic log (Log.txt in the temporary directory)
    // Automation formats: the run's connection to the mail application
    // (fileName then names one of its folders).
    AutomationSession* automation = nullptr;
    // Out: set on the first call when the file is not of the format at all.
    // The driver then skips the file; for the two-pass store format it shows
    // the "is not a CompuServe 3.x or 4.x file!" warning itself, any other
    // parser reports its own reason before setting it.
    bool rejected = false;
};

// The warning that skips a source file an open just failed on with
// `error` (errno): the name, "cannot be opened", the system's reason and
// "This file will be skipped!", CR LF between.
std::string cannotOpenWarning(const std::string& fileName, int error);

// Whether `fileName` opens for reading; when it does not, `warning` holds
// cannotOpenWarning() for it.
bool opensForReading(const std::string& fileName, std::string& warning);

class FormatParser {
public:
    virtual ~FormatParser() = default;
    // One bounded slice of the file; true when the file is exhausted.
    // A file that is not of the format reports why (through the user
    // interface, unless unattended), sets call.rejected and returns true.
    virtual bool parse(ParserCall& call) = 0;
};

}  // namespace pm
