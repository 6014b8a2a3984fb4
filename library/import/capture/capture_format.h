#pragma once
// The CompuServe capture formats: which navigator wrote a file decides its
// code page, where its forum name comes from and how its mail is laid out.
#include <string>

namespace pm::capture {

enum class CaptureFormat {
    Autosig,
    GoldenCompass,
    OzCis,
    OzWin1,
    OzWin2,
    Tapcis5,
    Tapcis6,
    NavCisSave,
};

// The ICU name of the code page the format's files are written in: the DOS
// navigators wrote code page 850, the Windows ones Windows-1252.
const char* codePageOf(CaptureFormat format);

// The DOS navigators' conversion maps four bytes of code page 850 apart
// from the code page itself: the double low line (0xF2) becomes "=", the
// cedilla (0xF7), the degree sign (0xF8) and the non-breaking space (0xFF)
// a blank. Changes them in `bytes` when `codePage` is code page 850 (from
// codePageOf); true when a byte was changed.
bool applyCaptureMapping(std::string& bytes, const char* codePage);

// True for OzCIS and the OzWin formats: their mail starts at a "Date:  "
// line and their "#:" line names the forum in parentheses.
bool isOzFamily(CaptureFormat format);

// True for the formats laid out like TAPCIS 5.x ("@b" layout marks, mail
// told apart by "/Outbox").
bool hasTapcis5Layout(CaptureFormat format);

}  // namespace pm::capture
