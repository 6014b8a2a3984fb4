// The README's quick start, run as a newcomer would type it: its command
// lines, read from the README itself, in a fresh home directory with the
// built program on the PATH and a small mailbox at ~/inbox.mbox.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;

// The indented command blocks of the README's "Quick start" section.
std::vector<std::vector<std::string>> quickStartBlocks() {
    std::ifstream readme(std::string(POSTMOOR_SOURCE_DIR) + "/README.md");
    std::vector<std::vector<std::string>> blocks;
    bool inSection = false, inBlock = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## Quick start";
            inBlock = false;
            continue;
        }
        if (!inSection) continue;
        if (line.rfind("    ", 0) == 0) {
            if (!inBlock) blocks.emplace_back();
            blocks.back().push_back(line.substr(4));
            inBlock = true;
        } else if (!line.empty()) {
            inBlock = false;
        }
    }
    return blocks;
}

std::string slurp(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs `script` with sh in `home` as HOME and working directory, the built
// program first on the PATH; stdout and stderr go to files in `home`.
int runQuickStartScript(const std::string& home, const std::string& script) {
    const std::string command = "cd '" + home + "' && HOME='" + home + "' PATH='" + POSTMOOR_BIN_DIR +
                                ":'\"$PATH\" sh -e -x -c '" + script + "' >'" + home + "/out' 2>'" + home + "/err'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The process ids of the session `sid` whose command is `name` and that
// still run.
std::vector<pid_t> sessionProcesses(pid_t sid, const std::string& name) {
    std::vector<pid_t> out;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string stat = slurp(entry.path() / "stat");
        const auto open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string state, ppid, pgrp, session;
        fields >> state >> ppid >> pgrp >> session;
        // A zombie has ended; whether it is reaped is up to its new parent.
        if (stat.substr(open + 1, close - open - 1) == name && session == std::to_string(sid) && state != "Z")
            out.push_back(static_cast<pid_t>(std::stol(pid)));
    }
    return out;
}

TEST(QuickStart, TheReadmeCommandsWorkAsWritten) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    const auto blocks = quickStartBlocks();
    ASSERT_EQ(blocks.size(), 3u) << "set-up, first installation, desktop";
    EXPECT_EQ(blocks[0], (std::vector<std::string>{"./scripts/test.sh", "./scripts/run.sh --help"}));

    TempDir home;
    fs::copy_file(std::string(POSTMOOR_TEST_DATA) + "/generic-mail-2/inbox.mbox", home / "inbox.mbox");
    std::string script;
    for (const std::string& line : blocks[1]) {
        ASSERT_EQ(line.find('\''), std::string::npos) << "the test quotes the lines with ': " << line;
        script += line + "\n";
    }
    const int code = runQuickStartScript(home.path(), script);
    const std::string out = slurp(home / "out"), err = slurp(home / "err");
    ASSERT_EQ(code, 0) << err;
    EXPECT_TRUE(fs::exists(home / "mail/CFG/postmoor.db"));
    EXPECT_NE(out.find("Created installation at "), std::string::npos) << out;
    EXPECT_NE(out.find("imported\t3\nskipped\t0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("id\tname\ttype\tdir\tmsgcount\tnoimport\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\tMy Mail\tmail\tF1\t3\t0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\t1997-03-03\t10:15\tAnna Miller"), std::string::npos) << out;  // list
    EXPECT_NE(out.find("Subject:  "), std::string::npos) << out;                              // show
    EXPECT_NE(err.find("found; hit words: LUNCH"), std::string::npos) << err;
}

// The desktop line opens the program on the installation and keeps it open
// (here under a virtual display, as the README says for a machine without one).
TEST(QuickStart, TheDesktopLineOpensTheProgram) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run not installed";
    const auto blocks = quickStartBlocks();
    ASSERT_EQ(blocks.size(), 3u);
    ASSERT_EQ(blocks[2].size(), 1u);
    TempDir home;
    ASSERT_EQ(runCommand({"--root", home / "mail", "init"}).code, 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setsid();  // its own session: the test finds the program by it
        const std::string path = std::string(POSTMOOR_BIN_DIR) + ":" + std::getenv("PATH");
        setenv("PATH", path.c_str(), 1);
        setenv("HOME", home.path().c_str(), 1);
        unsetenv("DISPLAY");
        if (chdir((home / "mail").c_str()) != 0) _exit(126);
        const std::string log = home / "desktop.log";
        if (!freopen(log.c_str(), "w", stderr) || !freopen(log.c_str(), "a", stdout)) _exit(126);
        execl("/bin/sh", "sh", "-c", blocks[2][0].c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Up to 20 seconds for the program to start and stay.
    std::vector<pid_t> program;
    for (int i = 0; i < 100 && program.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (waitpid(child, nullptr, WNOHANG) == child) break;
        program = sessionProcesses(child, "pmoor32");
    }
    ASSERT_EQ(program.size(), 1u) << slurp(home / "desktop.log");
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_EQ(kill(program.front(), 0), 0) << "the program ended by itself: " << slurp(home / "desktop.log");
    kill(program.front(), SIGTERM);  // xvfb-run then takes its display down itself
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    // xvfb-run signals its server without waiting for it: give it a moment.
    std::vector<pid_t> server = sessionProcesses(child, "Xvfb");
    for (int i = 0; i < 50 && !server.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        server = sessionProcesses(child, "Xvfb");
    }
    EXPECT_TRUE(server.empty()) << "the virtual display outlived the program";
    for (pid_t pid : server) kill(pid, SIGKILL);
}

}  // namespace
}  // namespace pm::test
