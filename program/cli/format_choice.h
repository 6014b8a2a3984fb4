#pragma once
// Import formats as command mode names them: a line on the files each one
// reads (`pmoor32 formats`), and the look-up of a --format argument that
// names the closest formats when none matches.
#include <string>
#include <vector>

#include "import/driver/format_table.h"

namespace pm::cli {

// One line on the files `format` reads ("a Unix mailbox: messages after lines
// beginning \"From \"").
std::string formatFileDescription(const FormatEntry& format);

// The formats whose names (or file descriptions) come closest to `name`,
// best first, at most `limit`.
std::vector<const FormatEntry*> closestFormats(const std::string& name, std::size_t limit = 5);

// The format `name` names (any case); a UsageError "`command`: no format
// \"NAME\"" that lists the closest names when none does.
const FormatEntry& formatArgument(const std::string& name, const std::string& command);

}  // namespace pm::cli
