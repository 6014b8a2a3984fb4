#pragma once
// The commands of command mode. Each returns an exit code (see ExitCode).
#include <string>
#include <vector>

#include "cli/command_context.h"
#include "cli/command_line.h"

namespace pm::cli {

using CommandFunction = int (*)(CommandContext&);

// One option or argument of a command, as its help lists it.
struct CommandOption {
    const char* name;  // as the synopsis writes it: "DB", "--format NAME", "--json"
    const char* text;  // one line: what it means
};

// What `pmoor32 help COMMAND` and `pmoor32 COMMAND --help` print. Every
// command has all of it; a test holds each command to that.
struct CommandHelp {
    const char* synopsis = nullptr;       // every form, one a line, without "pmoor32"
    const char* description = nullptr;    // what it does and what it prints
    std::vector<CommandOption> options = {};  // every option and argument of the synopsis
    const char* example = nullptr;        // command lines, each beginning "pmoor32 "
};

struct Command {
    const char* name;
    CommandFunction run;
    const char* usage;  // its lines in the overview of `pmoor32 --help`
    CommandHelp help;
};

// The command named `name`; nullptr when there is none.
const Command* findCommand(const std::string& name);

// The help page of `command`, as `pmoor32 help COMMAND` prints it.
std::string helpText(const Command& command);

// A message number argument; throws UsageError for anything else.
unsigned int messageNumberArgument(const std::string& text);

// Every command, in the order the usage text lists them.
const std::vector<Command>& commands();

int commandInit(CommandContext& ctx);
int commandDb(CommandContext& ctx);
int commandAddresses(CommandContext& ctx);
int commandImport(CommandContext& ctx);
int commandFormats(CommandContext& ctx);
int commandProcedure(CommandContext& ctx);
int commandTask(CommandContext& ctx);
int commandOutlookFolders(CommandContext& ctx);
int commandIndex(CommandContext& ctx);
int commandSearch(CommandContext& ctx);
int commandWords(CommandContext& ctx);
int commandStopwords(CommandContext& ctx);
int commandShow(CommandContext& ctx);
int commandList(CommandContext& ctx);
int commandThread(CommandContext& ctx);
int commandTopics(CommandContext& ctx);
int commandFind(CommandContext& ctx);
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
int commandExport(CommandContext& ctx);
int commandPrint(CommandContext& ctx);

}  // namespace pm::cli
