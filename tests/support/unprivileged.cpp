#include "support/unprivileged.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace pm::test {

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

bool giveUpRights() { return setgroups(0, nullptr) == 0 && setgid(kNoGroup) == 0 && setuid(kNobody) == 0; }

}  // namespace

std::optional<std::string> unprivilegedPrefix(const std::string& program, std::string& why) {
    if (geteuid() != 0) return std::string();
    const std::string prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    // The program must be reachable by that user too (a checkout below a
    // closed folder is not).
    const int status = std::system((prefix + " test -x '" + program + "' 2>/dev/null").c_str());
    if (status == 0) return prefix;
    why = "running as root, and `" + prefix + "` cannot run " + program +
          " (no setpriv, or the folders above it are closed to user nobody)";
    return std::nullopt;
}

std::optional<std::string> runUnprivileged(const std::function<std::string()>& work, std::string& why) {
    if (geteuid() != 0) return work();
    int channel[2];
    if (pipe(channel) != 0) {
        why = "no pipe to a child process";
        return std::nullopt;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        why = "no child process";
        return std::nullopt;
    }
    if (child == 0) {
        close(channel[0]);
        // The first byte tells whether the rights were given up.
        const bool dropped = giveUpRights();
        const std::string out = (dropped ? "+" : "-") + (dropped ? work() : std::string());
        for (std::size_t done = 0; done < out.size();) {
            const ssize_t n = write(channel[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(channel[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (out.empty() || out[0] != '+' || !WIFEXITED(status)) {
        why = "running as root, and a child process could not give up the superuser's rights";
        return std::nullopt;
    }
    return out.substr(1);
}

void handToUnprivileged(const std::string& path) {
    if (geteuid() != 0) return;
    namespace fs = std::filesystem;
    std::error_code ec;
    if (lchown(path.c_str(), kNobody, kNoGroup) != 0) return;
    for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (lchown(it->path().c_str(), kNobody, kNoGroup) != 0) return;
    // mkdtemp makes folders only their owner may pass.
    for (fs::path up = fs::path(path).parent_path(); !up.empty() && up != up.root_path(); up = up.parent_path()) {
        struct stat st {};
        if (stat(up.c_str(), &st) == 0 && (st.st_mode & S_IXOTH) == 0 && st.st_uid == 0 &&
            up.filename().string().rfind("pmtest-", 0) == 0)
            chmod(up.c_str(), (st.st_mode & 07777) | S_IXOTH);
    }
}

}  // namespace pm::test
