#pragma once
// Lines for the import run's diagnostic log (Log.txt in the temporary
// directory), where the navigator readers note files and records they pass
// over without troubling the person.
#include <string>

#include "import/driver/format_parser.h"

namespace pm::navigator {

// Appends `line` and a line end; does nothing when the run keeps no log.
void logLine(const ParserCall& call, const std::string& line);

}  // namespace pm::navigator
