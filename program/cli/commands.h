#pragma once
// The commands of command mode. Each returns an exit code (see ExitCode).
#include <string>
#include <vector>

#include "cli/command_context.h"
#include "cli/command_line.h"

namespace pm::cli {

using CommandFunction = int (*)(CommandContext&);

struct Command {
    const char* name;
    CommandFunction run;
    const char* usage;  // one line: arguments and what it does
};

// Every command, in the order the usage text lists them.
const std::vector<Command>& commands();

int commandInit(CommandContext& ctx);
int commandDb(CommandContext& ctx);
int commandAddresses(CommandContext& ctx);
int commandImport(CommandContext& ctx);
int commandOutlookFolders(CommandContext& ctx);
int commandIndex(CommandContext& ctx);
int commandSearch(CommandContext& ctx);
int commandWords(CommandContext& ctx);
int commandShow(CommandContext& ctx);
int commandConfig(CommandContext& ctx);
int commandNextIdCheck(CommandContext& ctx);

}  // namespace pm::cli
