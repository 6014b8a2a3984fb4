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

}  // namespace pm::test
