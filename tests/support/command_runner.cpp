#include "support/command_runner.h"

#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "common/globals.h"

namespace pm::test {

CommandResult runCommand(std::vector<std::string> args) {
    args.insert(args.begin(), "pmoor32");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = cli::runMain(static_cast<int>(argv.size()), argv.data());
    CommandResult r{code, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    Mem = MemGlobals{};
    return r;
}

}  // namespace pm::test
