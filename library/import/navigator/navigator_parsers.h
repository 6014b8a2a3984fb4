#pragma once
// The parsers of the CompuServe navigator stores, as the format table names
// them.
#include <memory>

#include "import/driver/format_parser.h"

namespace pm::navigator {

// One message file of WinCIM, DOSCIM or CSNav.
std::unique_ptr<FormatParser> makeWinCimParser();
std::unique_ptr<FormatParser> makeDosCimParser();
std::unique_ptr<FormatParser> makeCsNavParser();
// The CompuServe 3.x (and 4.x) cabinet file, read in two passes.
std::unique_ptr<FormatParser> makeCabinetParser();
// The dBase tables of NavCIS, CISCOMM and OUI.
std::unique_ptr<FormatParser> makeNavCisParser();
std::unique_ptr<FormatParser> makeCisCommParser();
std::unique_ptr<FormatParser> makeOuiParser();

}  // namespace pm::navigator
