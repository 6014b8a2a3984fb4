#pragma once
// Command mode: `pmoor32 [--root DIR] [--yes] COMMAND ...`.
#include <string>

namespace pm::cli {

// Exit codes of command mode.
enum ExitCode {
    ExitOk = 0,
    ExitFailed = 1,
    ExitUsage = 2,
    ExitFatal = 3,
    ExitInterrupted = 130,  // stopped by SIGINT or SIGTERM (what was done is printed)
};

// Runs the desktop program on the installation at `root`; returns the exit code.
using DesktopRunner = int (*)(int argc, char** argv, const std::string& root);

// Installs the desktop program (the executable built with windows does so
// before runMain); without one, a missing command is a usage error.
void setDesktopRunner(DesktopRunner runner);

// Runs the program: the desktop frame without a command, else the command.
int runMain(int argc, char** argv);

}  // namespace pm::cli
