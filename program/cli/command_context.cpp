#include "cli/command_context.h"

#include <algorithm>
#include <cctype>

#include "common/globals.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/config/installation.h"

namespace pm::cli {

bool ArgumentReader::flag(const std::string& name) {
    auto it = std::find(args_.begin(), args_.end(), name);
    if (it == args_.end()) return false;
    args_.erase(it);
    return true;
}

bool ArgumentReader::option(const std::string& name, std::string& value) {
    for (auto it = args_.begin(); it != args_.end(); ++it) {
        if (*it == name) {
            if (it + 1 == args_.end()) throw UsageError(name + " needs a value");
            value = *(it + 1);
            args_.erase(it, it + 2);
            return true;
        }
        if (it->rfind(name + "=", 0) == 0) {
            value = it->substr(name.size() + 1);
            args_.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<std::string> ArgumentReader::options(const std::string& name) {
    std::vector<std::string> values;
    std::string value;
    while (option(name, value)) values.push_back(value);
    return values;
}

std::vector<std::string> ArgumentReader::positionals() {
    for (const std::string& a : args_)
        if (a.size() > 1 && a[0] == '-' && a[1] == '-') throw UsageError("unknown option " + a);
    return args_;
}

void openInstallationForCommand(const CommandContext& ctx) {
    if (!installationExists(ctx.root))
        throw InstallationError("no Postmoor installation at " + ctx.root + " (create one: pmoor32 --root " +
                                ctx.root + " init)");
    StartupOutcome outcome = runStartupSettings(ctx.root, nullptr);
    if (outcome == StartupOutcome::Aborted)
        throw InstallationError("the installation at " + ctx.root + " cannot be used");
}

unsigned long activateDatabaseArgument(const std::string& db) {
    if (!db.empty() && std::all_of(db.begin(), db.end(), [](unsigned char c) { return std::isdigit(c); })) {
        unsigned long id = std::stoul(db);
        if (activateDatabase(static_cast<ULONG>(id))) return id;
    }
    ForumLookup found = ForumLup(db, 0, 0, false);
    if (found.outcome == ForumLookup::Chosen && activateDatabase(found.id)) return found.id;
    if (found.ambiguous) throw UsageError("more than one database begins with \"" + db + "\"");
    throw UsageError("no database \"" + db + "\"");
}

}  // namespace pm::cli
