#include "cli/command_context.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/globals.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"

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

namespace {

// The start-up's question for a lost top directory, in command mode: the
// directory the command itself sets answers it; anything else cannot be
// asked, and the kind asked for is kept for the error.
class CommandPrompts final : public StartupPrompts {
public:
    explicit CommandPrompts(const DirectoryRepair& repair) : repair_(repair) {}
    bool askNewPath(int kind) override {
        missingItem_ = kind == 1 ? 18 : 44;
        return repair_.item == missingItem_ && changeDirectory(missingItem_, repair_.path);
    }
    int missingItem() const { return missingItem_; }

private:
    const DirectoryRepair& repair_;
    int missingItem_ = 0;
};

}  // namespace

void openInstallationForCommand(const CommandContext& ctx, const DirectoryRepair& repair) {
    if (!installationExists(ctx.root))
        throw InstallationError("no Postmoor installation at " + ctx.root + " (create one: pmoor32 --root " +
                                ctx.root + " init)");
    CommandPrompts prompts(repair);
    StartupOutcome outcome = runStartupSettings(ctx.root, &prompts);
    if (outcome != StartupOutcome::Aborted) return;
    if (prompts.missingItem() != 0)
        throw InstallationError("the installation at " + ctx.root + " cannot be used until its " +
                                (prompts.missingItem() == 18 ? "database" : "word-index") +
                                " top directory is found again (run: pmoor32 --root DIR config set " +
                                std::to_string(prompts.missingItem()) + " PATH)");
    throw InstallationError("the installation at " + ctx.root + " cannot be used");
}

namespace {

bool catalogHolds(ULONG id) {
    const TableScope catalog({&Forums});
    Forums.clear();
    FOR.ID = id;
    return Forums.get(FOR_ForumKey) == StorageStatus::Ok;
}

}  // namespace

unsigned long databaseArgumentId(const std::string& db, const std::string& option) {
    if (!db.empty() && std::all_of(db.begin(), db.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const ULONG id = static_cast<ULONG>(std::stoul(db));
        if (catalogHolds(id)) return id;
    }
    const ForumLookup found = ForumLup(db, 0, 0, false);
    if (found.outcome == ForumLookup::Chosen) return found.id;
    const std::string lead = option.empty() ? std::string() : option + ": ";
    if (found.ambiguous) throw UsageError(lead + "more than one database begins with \"" + db + "\"");
    throw UsageError(lead + "no database \"" + db + "\"");
}

unsigned long activateDatabaseArgument(const std::string& db) {
    const unsigned long id = databaseArgumentId(db);
    if (!activateDatabase(static_cast<ULONG>(id))) throw UsageError("no database \"" + db + "\"");
    return id;
}

bool requireWordIndex() {
    if (activeDatabaseIsWordIndexed()) return true;
    // The hint can be pasted as it stands: a name with blanks is quoted.
    const std::string& name = Mem.Description;
    const bool quote = name.find_first_of(" \t'\"") != std::string::npos;
    const std::string argument = quote ? "\"" + name + "\"" : name;
    std::fprintf(stderr, "pmoor32: %s is not word indexed (run: pmoor32 index %s)\n", name.c_str(), argument.c_str());
    return false;
}

}  // namespace pm::cli
