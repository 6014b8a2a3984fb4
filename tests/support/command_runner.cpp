#include "support/command_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

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

CommandResult runShell(const std::string& command, const std::string& errFile) {
    CommandResult run{-1, {}, {}};
    FILE* pipe = popen((command + " 2>'" + errFile + "'").c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.out += buffer;
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::filesystem::remove(errFile);
    return run;
}

CommandResult runProgram(const std::string& root, const std::string& arguments, const std::string& environment) {
    return runShell(environment + (environment.empty() ? "" : " ") + std::string(POSTMOOR_BIN_DIR) + "/pmoor32 --root '" +
                        root + "' " + arguments,
                    root + ".stderr");
}

bool programBuilt() { return std::filesystem::exists(std::string(POSTMOOR_BIN_DIR) + "/pmoor32"); }

CommandResult pmoor(const std::string& root, const std::string& arguments, const std::string& interruptAt) {
    return runProgram(root, arguments, interruptAt.empty() ? "" : "POSTMOOR_TEST_INTERRUPT='" + interruptAt + "'");
}

}  // namespace pm::test
