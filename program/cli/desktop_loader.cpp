#include "cli/desktop_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/command_line.h"

namespace pm::cli {

namespace {

std::string executableDirectory() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    std::string p(path, static_cast<std::size_t>(n));
    auto slash = p.find_last_of('/');
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

}  // namespace

int runDesktopModule(int argc, char** argv, const std::string& root) {
    const std::string module = executableDirectory() + "/libpmoor32_desktop.so";
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "pmoor32: the desktop program cannot be started: %s\n", dlerror());
        return ExitFailed;
    }
    using Run = int (*)(int, char**, const char*);
    auto run = reinterpret_cast<Run>(dlsym(handle, "pmoor32RunDesktop"));
    if (!run) {
        std::fprintf(stderr, "pmoor32: %s is not the desktop module\n", module.c_str());
        return ExitFailed;
    }
    // The module stays loaded until the process ends: Qt keeps references
    // into it after the event loop returns.
    return run(argc, argv, root.c_str());
}

}  // namespace pm::cli
