#include "cli/command_context.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"

namespace pm::cli {

unsigned long recordIdArgument(const std::string& text, const std::string& what) {
    return static_cast<unsigned long>(numberArgument(text, what, 1, 4294967295LL));
}

long long numberArgument(const std::string& text, const std::string& what, long long low, long long high) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || stop != end || error != std::errc() || value < low || value > high)
        throw UsageError(what + " \"" + text + "\" is not a number from " + std::to_string(low) + " to " +
                         std::to_string(high));
    return value;
}

namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

std::string outputField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (!isControl(c)) out += ch;
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

void checkName(const std::string& name, const std::string& what) {
    if (std::any_of(name.begin(), name.end(), [](char c) { return isControl(static_cast<unsigned char>(c)); }))
        throw UsageError(what + " must not hold TAB, line ends or other control characters");
}

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

void openInstallationForCommand(const CommandContext& ctx, InstallationUse use, const DirectoryRepair& repair) {
    if (!installationExists(ctx.root))
        throw InstallationError("no Postmoor installation at " + ctx.root + " (create one: pmoor32 --root " +
                                ctx.root + " init)");
    CommandPrompts prompts(repair);
    StartupOutcome outcome = runStartupSettings(ctx.root, &prompts);
    if (outcome != StartupOutcome::Aborted) {
        if (use == InstallationUse::Write && Mem.ReadOnly)
            throw ReadOnlyInstallation("the installation at " + Mem.Net +
                                       " is read-only: it can be read (db list, search, show ...), not changed");
        return;
    }
    if (prompts.missingItem() != 0)
        throw InstallationError("the installation at " + ctx.root + " cannot be used until its " +
                                (prompts.missingItem() == 18 ? "database" : "word-index") +
                                " top directory is found again (run: pmoor32 --root DIR config set " +
                                std::to_string(prompts.missingItem()) + " PATH)");
    throw InstallationError("the installation at " + ctx.root + " cannot be used");
}

namespace {

bool catalogHolds(ULONG id) {
    const ReadScope reads;  // the installation's store alone
    const TableScope catalog({&Forums});
    Forums.clear();
    FOR.ID = id;
    return Forums.get(FOR_ForumKey) == StorageStatus::Ok;
}

// The database `db` names, with its catalog record.
ULONG lookUpDatabase(const std::string& db, const std::string& option, ForumsRecord& record) {
    // An identifier is a number that fits one; other digits can only be a name.
    std::uint64_t number = 0;
    const char* end = db.data() + db.size();
    const auto [stop, error] = std::from_chars(db.data(), end, number);
    if (!db.empty() && stop == end && error == std::errc() && number <= UINT32_MAX &&
        catalogHolds(static_cast<ULONG>(number))) {
        record = FOR;
        return static_cast<ULONG>(number);
    }
    const ForumLookup found = ForumLup(db, 0, 0, false);
    if (found.outcome == ForumLookup::Chosen) {
        record = found.record;
        return found.id;
    }
    const std::string lead = option.empty() ? std::string() : option + ": ";
    if (found.ambiguous) throw UsageError(lead + "more than one database begins with \"" + db + "\"");
    throw UsageError(lead + "no database \"" + db + "\"");
}

}  // namespace

unsigned long databaseArgumentId(const std::string& db, const std::string& option) {
    ForumsRecord record{};
    return lookUpDatabase(db, option, record);
}

unsigned long activateDatabaseArgument(const std::string& db) {
    // The record the look-up read is the one to activate: reading it again
    // by its number would compile one more statement of every start.
    ForumsRecord record{};
    const ULONG id = lookUpDatabase(db, {}, record);
    FOR = record;
    takeActiveDatabaseFrom_FOR();
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
