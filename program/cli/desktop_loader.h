#pragma once
// Starts the desktop program from its module, which lies beside the
// executable, so that command mode never loads the windowing libraries.
#include <string>

namespace pm::cli {

// Runs the desktop; reports on stderr and returns 1 when the module cannot
// be loaded.
int runDesktopModule(int argc, char** argv, const std::string& root);

}  // namespace pm::cli
