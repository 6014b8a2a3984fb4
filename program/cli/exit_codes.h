#pragma once
// The exit codes of pmoor32, in command mode and on the desktop alike. The
// README's table and `pmoor32 --help` list them; every path that ends the
// program takes its code from here.

namespace pm::cli {

enum ExitCode {
    ExitOk = 0,
    ExitFailed = 1,        // a reported failure, or nothing matched
    ExitUsage = 2,         // bad usage: an unknown command or option, a wrong argument
    ExitFatal = 3,         // a fatal error ("... Postmoor will terminate.")
    ExitInstallation = 4,  // no installation at the root, or one that cannot be used
    ExitInterrupted = 130, // stopped by SIGINT or SIGTERM (what was done is printed)
};

// One line a code a person reads in `pmoor32 --help`.
inline constexpr const char* ExitCodeTable =
    "Exit codes: 0 done, 1 failed (or nothing found), 2 bad usage, 3 fatal error,\n"
    "            4 no usable installation at the root, 130 interrupted (Ctrl-C, SIGTERM).\n";

}  // namespace pm::cli
