#pragma once
// What every command receives, and the helpers commands share.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/stderr_user_interface.h"

namespace pm::cli {

// Bad usage: the message is printed with the usage hint, exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A number argument: the whole of `text` is a decimal number (a leading "-"
// only where `low` is below 0) within [low, high]. Anything else (empty,
// blanks, "+", trailing characters, out of range) is a UsageError that says
// "`what` \"TEXT\" is not a number from LOW to HIGH".
long long numberArgument(const std::string& text, const std::string& what, long long low, long long high);

// An identifier argument (a definition's, a task's): numberArgument() from
// 1 to the largest identifier.
unsigned long recordIdArgument(const std::string& text, const std::string& what);

// A stored text as one field of a line of output: control characters (TAB,
// line ends ...) are written as \t, \n, \r or \xHH, so no text can split a
// field or a line.
std::string outputField(std::string_view text);

// A name given on the command line: one with a control character is a
// UsageError ("`what` must not hold TAB, line ends or other control
// characters").
void checkName(const std::string& name, const std::string& what);

// No installation at the root, or one that cannot be used: the message is
// printed, exit code ExitInstallation.
class InstallationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandContext {
    std::string root;               // installation root
    bool yes = false;               // --yes: questions take OK/Yes
    std::vector<std::string> args;  // arguments after the command name
    StderrUserInterface* ui = nullptr;
};

// Pops options from an argument list: flags, valued options and the rest.
class ArgumentReader {
public:
    explicit ArgumentReader(std::vector<std::string> args) : args_(std::move(args)) {}

    // Removes "--name" and returns whether it was present.
    bool flag(const std::string& name);
    // Removes "--name VALUE" (or "--name=VALUE") and returns the value.
    bool option(const std::string& name, std::string& value);
    // Every value of a repeatable option.
    std::vector<std::string> options(const std::string& name);
    // The remaining arguments; an unknown "--option" among them is a usage error.
    std::vector<std::string> positionals();

private:
    std::vector<std::string> args_;
};

// A command that would write where it cannot: the installation is
// read-only. Printed as it stands; exit code 1.
class ReadOnlyInstallation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a command does with the installation.
enum class InstallationUse { Read, Write };

// Opens the installation at ctx.root for a command: it must have been set
// up with `init`. Runs the start-up settings (paths, configuration). A
// command that writes (`use` Write) throws ReadOnlyInstallation when the
// installation can only be read; reading commands work on it. A stored top
// directory that is missing is named on stderr and, unless `repair` names a
// directory for it (`config set 18 PATH`), makes the command fail with
// InstallationError, saying how to set it. Throws InstallationError too when
// there is no installation or it cannot be used.
struct DirectoryRepair {
    int item = 0;      // 18 database top, 44 word-index top; 0 none
    std::string path;  // the directory the command sets
};
void openInstallationForCommand(const CommandContext& ctx, InstallationUse use = InstallationUse::Read,
                                const DirectoryRepair& repair = {});

// Resolves DB (an id, else a name: exact first, else a unique prefix) to the
// database's identifier. Throws UsageError when no or more than one
// database matches; `option` (e.g. "--mailbox") leads its text when given.
unsigned long databaseArgumentId(const std::string& db, const std::string& option = {});

// Resolves DB as databaseArgumentId() does and activates it.
unsigned long activateDatabaseArgument(const std::string& db);

// Whether the active database has a word index; when it has none, says so
// on stderr ("NAME is not word indexed (run: pmoor32 index NAME)").
bool requireWordIndex();

}  // namespace pm::cli
