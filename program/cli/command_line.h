#pragma once
// Command mode: `pmoor32 [--root DIR] [--yes] COMMAND ...`.
#include <string>

#include "cli/exit_codes.h"

namespace pm::cli {

// Runs the desktop program on the installation at `root`; returns the exit code.
using DesktopRunner = int (*)(int argc, char** argv, const std::string& root);

// Installs the desktop program (the executable built with windows does so
// before runMain); without one, a missing command is a usage error.
void setDesktopRunner(DesktopRunner runner);

// Runs the program: the desktop frame without a command, else the command.
int runMain(int argc, char** argv);

}  // namespace pm::cli
