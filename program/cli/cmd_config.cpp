// pmoor32 config list | config get ITEM | config set ITEM VALUE: the
// settings items, by name or number. Fonts read and take "NAME,SIZE" (or
// just NAME on set).
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "tables/config/config_names.h"
#include "tables/config/settings.h"

namespace pm::cli {

namespace {

long parseNumber(const std::string& text, const char* what) {
    return static_cast<long>(numberArgument(text, what, INT32_MIN, INT32_MAX));
}

int itemArgument(const std::string& text) {
    if (const int named = configItemByName(text); named != 0) return named;
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front())))
        throw UsageError("unknown settings item \"" + text + "\" (pmoor32 config list names them)");
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

std::string valueText(int item) {
    switch (configItemKind(item)) {
        case ConfigItemKind::Number:
        case ConfigItemKind::Byte: return std::to_string(configValue(item));
        case ConfigItemKind::Font: return configText(item) + "," + std::to_string(configValue(item));
        default: return configText(item);
    }
}

int getItem(int item) {
    std::printf("%s\n", valueText(item).c_str());
    return ExitOk;
}

int listItems() {
    std::string out;
    for (const ConfigItemName& n : configItemNames())
        out += std::string(n.name) + '\t' + std::to_string(n.item) + '\t' + valueText(n.item) + '\t' + n.meaning + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
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
    if (ctx.args.empty()) throw UsageError("config needs a subcommand: list, get or set");
    const std::string sub = ctx.args.front();
    ArgumentReader reader(std::vector<std::string>(ctx.args.begin() + 1, ctx.args.end()));
    const std::vector<std::string> args = reader.positionals();
    if (sub == "list") {
        if (!args.empty()) throw UsageError("config list takes no arguments");
        openInstallationForCommand(ctx);
        return listItems();
    }
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
