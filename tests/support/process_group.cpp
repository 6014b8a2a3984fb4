#include "support/process_group.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_root.h"

namespace pm::test {

std::size_t ProcessGroup::add(const std::string& arguments, int delayMs, const std::string& environment) {
    runs_.push_back({arguments, environment, delayMs});
    return runs_.size() - 1;
}

std::vector<CommandResult> ProcessGroup::runAll() {
    std::vector<pid_t> pids;
    std::vector<std::string> outFiles, errFiles;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const Run& run = runs_[i];
        outFiles.push_back(root_ + ".run" + std::to_string(i) + ".out");
        errFiles.push_back(root_ + ".run" + std::to_string(i) + ".err");
        // The delay runs in the shell, so that every process starts on its own clock.
        const std::string delay = run.delayMs > 0 ? "sleep " + std::to_string(run.delayMs / 1000.0) + "; " : "";
        const std::string command = delay + "exec env " + run.environment + (run.environment.empty() ? "" : " ") +
                                    std::string(POSTMOOR_BIN_DIR) + "/pmoor32 --root '" + root_ + "' " +
                                    run.arguments + " >'" + outFiles.back() + "' 2>'" + errFiles.back() + "'";
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        pids.push_back(pid);
    }
    std::vector<CommandResult> results;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        int status = 0;
        CommandResult r{-1, {}, {}};
        if (pids[i] > 0 && waitpid(pids[i], &status, 0) == pids[i] && WIFEXITED(status)) r.code = WEXITSTATUS(status);
        r.out = readFile(outFiles[i]);
        r.err = readFile(errFiles[i]);
        std::error_code ec;
        std::filesystem::remove(outFiles[i], ec);
        std::filesystem::remove(errFiles[i], ec);
        results.push_back(std::move(r));
    }
    return results;
}

}  // namespace pm::test
