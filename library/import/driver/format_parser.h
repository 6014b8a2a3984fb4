#pragma once
// The call protocol between the import driver and the format parsers.
//
// The driver opens nothing for the parser: the parser opens the current
// source file itself (by name) on its first call, reads a bounded slice per
// call and writes one NewHR work record per message it keeps (through the
// work-file helpers below), CCT records for carbon copies and TempID records
// for Message-ID pairs. It returns true when the file is exhausted.
#include <cstdint>
#include <memory>
#include <string>

#include "common/types.h"

namespace pm {

struct ImportRequest;
class DatabaseResolver;

// Parser steps.
enum ParserStep : int {
    FirstCall = 199,        // initialise for a new file
    FirstPass = 171,        // the two-pass store format starts here
    ContinueParsing = 99,   // every later call
};

// Database kinds a parser resolves names as.
enum ResolveKind : int { ResolveForum = 1, ResolveMail = 2, ResolveNewsgroup = 3 };

struct ParserCall {
    int step = FirstCall;           // in/out: the parser sets ContinueParsing
    LONG* runningId = nullptr;      // in/out: provisional numbers come from here
    double progress = 0;            // in/out: bytes or records consumed in this file
    int variant = 0;                // capture formats: 1 forum messages, 2 mail
    int quota = 100;                // at most this many messages or records per call
    const ImportRequest* request = nullptr;
    DatabaseResolver* databases = nullptr;
    std::string fileName;           // the source file (full path)
    std::int64_t fileSize = 0;
    long long* skipped = nullptr;   // raise for every message left out as already imported
    LONG importDate = 0;            // date and time the run started (NHR:IMPDATE/IMPTIME)
    LONG importTime = 0;
};

class FormatParser {
public:
    virtual ~FormatParser() = default;
    // One bounded slice of the file; true when the file is exhausted.
    // A file that is not of the format reports why (through the user
    // interface, unless unattended) and returns true.
    virtual bool parse(ParserCall& call) = 0;
};

}  // namespace pm
