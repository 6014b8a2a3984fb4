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

// A message number argument; throws UsageError for anything else.
unsigned int messageNumberArgument(const std::string& text);

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
int commandStopwords(CommandContext& ctx);
int commandShow(CommandContext& ctx);
int commandList(CommandContext& ctx);
int commandThread(CommandContext& ctx);
int commandMark(CommandContext& ctx);
int commandConfig(CommandContext& ctx);
int commandNextIdCheck(CommandContext& ctx);
int commandRebuild(CommandContext& ctx);
int commandMerge(CommandContext& ctx);
int commandRedirect(CommandContext& ctx);
int commandPurge(CommandContext& ctx);
int commandCount(CommandContext& ctx);
int commandDedupePersons(CommandContext& ctx);
int commandPersons(CommandContext& ctx);
int commandPerson(CommandContext& ctx);

}  // namespace pm::cli
