// pmoor32 config get ITEM | config set ITEM VALUE: one settings item by its
// number. Fonts read and take "NAME,SIZE" (or just NAME on set).
#include <cstdint>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "tables/config/settings.h"

namespace pm::cli {

namespace {

long parseNumber(const std::string& text, const char* what) {
    return static_cast<long>(numberArgument(text, what, INT32_MIN, INT32_MAX));
}

int itemArgument(const std::string& text) {
    const long item = parseNumber(text, "ITEM");
    if (configItemKind(static_cast<int>(item)) == ConfigItemKind::None)
        throw UsageError("unknown settings item " + text);
    return static_cast<int>(item);
}

void checkWidth(int item, const std::string& text) {
    if (text.size() > configTextWidth(item))
        throw UsageError("item " + std::to_string(item) + " holds at most " + std::to_string(configTextWidth(item)) +
                         " bytes");
}

int getItem(int item) {
    switch (configItemKind(item)) {
        case ConfigItemKind::Number:
        case ConfigItemKind::Byte:
            std::printf("%ld\n", static_cast<long>(configValue(item)));
            break;
        case ConfigItemKind::Font:
            std::printf("%s,%ld\n", configText(item).c_str(), static_cast<long>(configValue(item)));
            break;
        default:
            std::printf("%s\n", configText(item).c_str());
            break;
    }
    return ExitOk;
}

int setItem(int item, const std::string& value) {
    bool ok = false;
    switch (configItemKind(item)) {
        case ConfigItemKind::Number:
            ok = setConfigValue(item, static_cast<LONG>(parseNumber(value, "VALUE")));
            break;
        case ConfigItemKind::Byte: {
            const long v = parseNumber(value, "VALUE");
            if (v < 0 || v > 255) throw UsageError("item " + std::to_string(item) + " takes 0 to 255");
            ok = setConfigValue(item, static_cast<LONG>(v));
            break;
        }
        case ConfigItemKind::Font: {
            const auto comma = value.rfind(',');
            const std::string name = comma == std::string::npos ? value : value.substr(0, comma);
            if (name.empty()) throw UsageError("the font name is empty");
            checkWidth(item, name);
            long size = 0;
            if (comma != std::string::npos) {
                size = parseNumber(value.substr(comma + 1), "the font size");
                if (size <= 0) throw UsageError("the font size must be above 0");
            }
            ok = setConfigText(item, name) && (size == 0 || setConfigValue(item, static_cast<LONG>(size)));
            break;
        }
        case ConfigItemKind::Directory:
            if (value.empty()) throw UsageError("the directory is empty");
            checkWidth(item, value);
            ok = setConfigText(item, value);
            break;
        default:
            checkWidth(item, value);
            ok = setConfigText(item, value);
            break;
    }
    return ok ? ExitOk : ExitFailed;
}

}  // namespace

int commandConfig(CommandContext& ctx) {
    if (ctx.args.empty()) throw UsageError("config needs a subcommand: get or set");
    const std::string sub = ctx.args.front();
    ArgumentReader reader(std::vector<std::string>(ctx.args.begin() + 1, ctx.args.end()));
    const std::vector<std::string> args = reader.positionals();
    if (sub == "get") {
        if (args.size() != 1) throw UsageError("config get ITEM");
        const int item = itemArgument(args[0]);
        openInstallationForCommand(ctx);
        return getItem(item);
    }
    if (sub == "set") {
        if (args.size() != 2) throw UsageError("config set ITEM VALUE");
        const int item = itemArgument(args[0]);
        // Setting a top directory repairs an installation whose stored one
        // is gone (moved or copied elsewhere): it answers the start-up's
        // question for it instead of failing on it.
        DirectoryRepair repair;
        if ((item == 18 || item == 44) && !args[1].empty()) repair = {item, args[1]};
        openInstallationForCommand(ctx, InstallationUse::Write, repair);
        return setItem(item, args[1]);
    }
    if (sub.rfind("-", 0) == 0)
        throw UsageError("config: unknown option \"" + sub + "\" (the subcommands are get and set)");
    throw UsageError("unknown config subcommand \"" + sub + "\"");
}

}  // namespace pm::cli
