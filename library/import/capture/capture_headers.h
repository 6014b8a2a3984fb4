#pragma once
// The header blocks of the capture formats (TAPCIS, AUTOSIG, OzCIS, OzWin
// and GoldenCompass): forum messages start at a "#:" line, mail at a "#:"
// line or, for OzCIS and OzWin, at a "Date:  " line.
#include <cstddef>
#include <string>
#include <string_view>

#include "import/capture/capture_format.h"
#include "import/capture/capture_output.h"
#include "import/capture/header_lines.h"
#include "import/capture/queue_parser.h"

namespace pm::capture {

// References more than this far below the message number are not taken:
// such a number is more likely part of the subject.
inline constexpr unsigned long MaxReferenceDistance = 30000;

// Header lines a capture header parser looks at (the start line and the
// lines after it up to the first body line of the longest layout).
inline constexpr std::size_t CaptureHeaderLines = 7;

struct ForumNumberAndSection {
    unsigned long number = 0;      // 0 when the "#:" line holds no valid number
    std::size_t numberDigits = 0;  // characters of the number text
    ULONG sectionNumber = 0;
    std::string sectionName;       // UTF-8
    std::string forumName;         // UTF-8, from "(...)" or "[...]" when the line names it; else ""
};

// Reads the "#:" line of a forum message: message number (from position 4
// to the first blank, at most to position 15; 1 to 8,999,999), the section
// and, for OzCIS and OzWin, the forum named in the last parentheses; for
// the other formats a forum named in brackets at the end of the line
// ("  [FORUM]", as the TAPCIS layout of the export writes it).
ForumNumberAndSection readForumStartLine(std::string_view line, CaptureFormat format, const char* codePage);

struct SubjectAndReference {
    std::string subject;  // UTF-8
    ULONG reference = 0;
};

// Reads the "Sb:" line of forum message `number` (given with
// `numberDigits` characters): a leading "#" or digit run ended by a blank or
// "-" within numberDigits + 1 characters is the referenced message when it
// is a number from 1 to `number` and at most 30,000 below it; the subject
// is the text after it, else the text from position 5 without a leading
// "#". The "@b" layout mark is removed for the TAPCIS 5.x layout.
SubjectAndReference readSubjectLine(std::string_view line, unsigned long number, std::size_t numberDigits,
                                    CaptureFormat format, const char* codePage);

// Parses a forum header at queue position `start` (variant 1) into
// `record` and accepts or skips the message.
HeaderResult parseCaptureForumHeader(ParserCall& call, WorkRecord& record, const inet::LineQueue& queue,
                                     std::size_t start, CaptureFormat format, const ImportRegister& imported);

// Parses a mail header at queue position `start` (variant 2) into `record`
// and accepts or skips the message.
HeaderResult parseCaptureMailHeader(ParserCall& call, WorkRecord& record, const inet::LineQueue& queue,
                                    std::size_t start, CaptureFormat format);

}  // namespace pm::capture
