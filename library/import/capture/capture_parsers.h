#pragma once
// The parsers and detectors of the CompuServe capture formats, as the
// format table names them.
#include <memory>
#include <string>

#include "import/driver/format_parser.h"

namespace pm {

struct ImportRequest;

namespace capture {

// Parsers for one file each.
std::unique_ptr<FormatParser> makeAutosigParser();
std::unique_ptr<FormatParser> makeTapcis5Parser();
std::unique_ptr<FormatParser> makeTapcis6Parser();
std::unique_ptr<FormatParser> makeOzCisParser();
std::unique_ptr<FormatParser> makeOzWin1Parser();
std::unique_ptr<FormatParser> makeOzWin2Parser();
std::unique_ptr<FormatParser> makeGoldenCompassParser();
std::unique_ptr<FormatParser> makeNavCisSaveParser();

// Whether a file holds forum messages (1), mail (2) or neither (0).
//
// TAPCIS 5.x, TAPCIS 6.x, AUTOSIG: a file with a line beginning "#:" holds
// what the import asks for (mail when it goes to a mail database).
int detectTapcisVariant(const ImportRequest& request, const std::string& fileName);
// OzCIS, OzWin I, OzWin II: judged by the first line that begins "#:" or
// "Date:  ": "#:" with "Sb:" two lines later is forum messages, "Date:  "
// followed by "From:" or "MgTo:" is mail.
int detectOzVariant(const ImportRequest& request, const std::string& fileName);
// NavCIS Save format: the first run of "Subject:  ", "   From:  ",
// "     To:  " lines followed by "  Forum:  " (forum messages) or
// "   Date:  " (mail).
int detectNavCisSaveVariant(const ImportRequest& request, const std::string& fileName);

}  // namespace capture
}  // namespace pm
