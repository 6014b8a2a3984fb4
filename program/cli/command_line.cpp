#include "cli/command_line.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/stderr_user_interface.h"
#include "common/fatal_error.h"
#include "storage/table.h"
#include "tables/access/open_close.h"


namespace pm {
const char* programVersion();
}

namespace pm::cli {

namespace {

DesktopRunner desktopRunner = nullptr;

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: pmoor32 [--root DIR] [--yes] [COMMAND ...]\n\n"
                      "Without a command the desktop program opens. Commands:\n");
    for (const Command& c : commands()) std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out, "\npmoor32 help COMMAND (or pmoor32 COMMAND --help) describes a command.\n"
                      "--root DIR (or POSTMOOR_ROOT) sets the installation root (default: the current directory).\n"
                      "--yes answers OK/Yes to every question; without it questions take Cancel/No.\n"
                      "DB is a database name (an exact name, else a unique beginning) or its id.\n%s",
                 ExitCodeTable);
}

UsageError unknownCommand(const std::string& name) {
    return UsageError("unknown command \"" + name + "\" (pmoor32 --help lists the commands)");
}

// `pmoor32 help [COMMAND]`.
int printHelp(const std::vector<std::string>& args) {
    if (args.empty()) {
        printUsage(stdout);
        return ExitOk;
    }
    const Command* command = findCommand(args.front());
    if (!command) throw unknownCommand(args.front());
    std::fputs(helpText(*command).c_str(), stdout);
    return ExitOk;
}

int runCommand(CommandContext& ctx, const std::string& name) {
    if (name == "help") return printHelp(ctx.args);
    const Command* command = findCommand(name);
    if (!command) throw unknownCommand(name);
    for (const std::string& a : ctx.args)
        if (a == "--help" || a == "-h") {
            std::fputs(helpText(*command).c_str(), stdout);
            return ExitOk;
        }
    return command->run(ctx);
}

}  // namespace

void setDesktopRunner(DesktopRunner runner) { desktopRunner = runner; }

int runMain(int argc, char** argv) {
    CommandContext ctx;
    if (const char* env = std::getenv("POSTMOOR_ROOT")) ctx.root = env;
    std::vector<std::string> rest;
    std::string command;
    bool help = false;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string a = argv[i];
            if (!command.empty()) {
                rest.push_back(a);
            } else if (a == "--root") {
                if (i + 1 >= argc) throw UsageError("--root needs a directory");
                ctx.root = argv[++i];
            } else if (a.rfind("--root=", 0) == 0) {
                ctx.root = a.substr(7);
            } else if (a == "--yes") {
                ctx.yes = true;
            } else if (a == "--help" || a == "-h") {
                help = true;
            } else if (a == "--version") {
                std::printf("pmoor32 %s\n", programVersion());
                return ExitOk;
            } else if (a.rfind("-", 0) == 0 && command.empty()) {
                if (!desktopRunner) throw UsageError("unknown option " + a);
                rest.push_back(a);  // left for the desktop program (Qt options)
            } else {
                command = a;
            }
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "pmoor32: %s\n", e.what());
        printUsage(stderr);
        return ExitUsage;
    }
    if (help) {
        printUsage(stdout);
        return ExitOk;
    }
    if (ctx.root.empty()) ctx.root = ".";

    if (command.empty()) {
        if (desktopRunner) {
            // A new installation may be started in a directory that does not exist yet.
            std::error_code ec;
            std::filesystem::create_directories(ctx.root, ec);
            return desktopRunner(argc, argv, ctx.root);
        }
        printUsage(stderr);
        return ExitUsage;
    }

    StderrUserInterface ui(ctx.yes);
    ScopedUserInterface scoped(ui);
    ctx.ui = &ui;
    ctx.args = rest;
    int code;
    try {
        code = runCommand(ctx, command);
    } catch (const UsageError& e) {
        ui.finishProgress();
        std::fprintf(stderr, "pmoor32: %s\n", e.what());
        code = ExitUsage;
    } catch (const ReadOnlyInstallation& e) {
        ui.finishProgress();
        std::fprintf(stderr, "pmoor32: %s\n", e.what());
        code = ExitFailed;
    } catch (const InstallationError& e) {
        ui.finishProgress();
        std::fprintf(stderr, "pmoor32: %s\n", e.what());
        code = ExitInstallation;
    } catch (const FatalError& e) {
        ui.finishProgress();
        messageAlways(e.caption(), e.text(), Icon::Hand);
        if (!e.haltText().empty()) std::fprintf(stderr, "%s\n", e.haltText().c_str());
        code = ExitFatal;
    }
    ui.finishProgress();
    closeAllTables();
    closeStorage();
    removeRunStore();
    return code;
}

}  // namespace pm::cli
