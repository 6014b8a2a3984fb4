#pragma once
// Command mode: `pmoor32 [--root DIR] [--yes] COMMAND ...`.
namespace pm::cli {

// Exit codes of command mode.
enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2, ExitFatal = 3 };

// Runs the program: the desktop frame without a command, else the command.
int runMain(int argc, char** argv);

}  // namespace pm::cli
