#include "cli/desktop_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// An argument as the shell reads it back: bare when it is plain, else quoted.
std::string shellWord(const std::string& word) {
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                "/._-=+:,@%") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool hasEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

bool desktopCanStart(int argc, char** argv) {
    if (hasEnv("DISPLAY") || hasEnv("WAYLAND_DISPLAY") || hasEnv("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
    return false;
}

std::string noDisplayAdvice(int argc, char** argv) {
    std::string line = "xvfb-run -a";
    for (int i = 0; i < argc; ++i) line += " " + shellWord(argv[i]);
    return "pmoor32: there is no display to open the desktop program on (DISPLAY is not set).\n"
           "Open it on a virtual display:\n"
           "  " + line + "\n"
           "or work without one in command mode: " + shellWord(argv[0]) + " --help\n";
}

namespace {

// The desktop module, loaded once and kept until the process ends.
void* desktopModule(std::string& error) {
    static void* handle = nullptr;
    if (handle) return handle;
    const std::string module = executableDirectory() + "/libpmoor32_desktop.so";
    handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) error = std::string("the desktop module cannot be loaded: ") + dlerror();
    return handle;
}

}  // namespace

std::unique_ptr<MessagePrinter> loadPdfPrinter(const std::string& path, std::string& error) {
    void* handle = desktopModule(error);
    if (!handle) return nullptr;
    using Make = MessagePrinter* (*)(const char*);
    auto make = reinterpret_cast<Make>(dlsym(handle, "pmoor32MakePdfPrinter"));
    if (!make) {
        error = "the desktop module cannot print";
        return nullptr;
    }
    return std::unique_ptr<MessagePrinter>(make(path.c_str()));
}

int runDesktopModule(int argc, char** argv, const std::string& root) {
    // Without a display Qt would abort with its own message; say what to do.
    if (!desktopCanStart(argc, argv)) {
        const std::string advice = noDisplayAdvice(argc, argv);
        std::fputs(advice.c_str(), stderr);
        return ExitFailed;
    }
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
