#pragma once
// Several runs of the built program at once on one installation, each
// started after its own delay: the harness of the tests where processes
// meet (two imports, a search during an import ...).
#include <string>
#include <vector>

#include "support/command_runner.h"

namespace pm::test {

class ProcessGroup {
public:
    // `root` is the installation every run gets as --root.
    explicit ProcessGroup(std::string root) : root_(std::move(root)) {}

    // Adds a run: `arguments` after --root (quoted for the shell), started
    // `delayMs` after runAll() begins, with `environment` (VAR=VALUE ...)
    // before the program. Returns its index in runAll()'s results.
    std::size_t add(const std::string& arguments, int delayMs = 0, const std::string& environment = "");

    // Starts every run, waits for all and returns their results in the
    // order added (code -1 when a signal ended the process).
    std::vector<CommandResult> runAll();

private:
    struct Run {
        std::string arguments, environment;
        int delayMs;
    };
    std::string root_;
    std::vector<Run> runs_;
};

}  // namespace pm::test
