#pragma once
// Runs command mode in the test process and captures what it prints.
#include <string>
#include <vector>

namespace pm::test {

struct CommandResult {
    int code;
    std::string out, err;
};

// `pmoor32 ARGS...`; the globals are reset afterwards, as a new process would have them.
CommandResult runCommand(std::vector<std::string> args);

// `command` through the shell; its stderr passes through `errFile`, which is
// removed afterwards. code is -1 when a signal ended the process.
CommandResult runShell(const std::string& command, const std::string& errFile);

// The built program in a process of its own: `environment pmoor32 --root
// ROOT arguments` through the shell (quote arguments for it). code is -1
// when a signal ended the process.
CommandResult runProgram(const std::string& root, const std::string& arguments, const std::string& environment = "");

// runProgram, with SIGINT landed mid-run at `interruptAt` (COUNTER:N) when
// it is not empty.
CommandResult pmoor(const std::string& root, const std::string& arguments, const std::string& interruptAt = "");

// Whether the program has been built (tests of runProgram skip without it).
bool programBuilt();

}  // namespace pm::test
