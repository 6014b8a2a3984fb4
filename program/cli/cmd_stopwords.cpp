// pmoor32 stopwords DB list|add WORD...|remove WORD...: the words the index
// runs of a database never index, as the ignore list window keeps them.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "wordindex/word_list_edits.h"

namespace pm::cli {

int commandStopwords(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const std::vector<std::string> args = reader.positionals();
    const char* usage = "stopwords DB list|add WORD...|remove WORD...";
    if (args.size() < 2) throw UsageError(usage);
    const std::string& action = args[1];
    if (action == "list" ? args.size() != 2 : (action != "add" && action != "remove") || args.size() < 3)
        throw UsageError(usage);
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    if (action == "list") {
        std::string out;
        for (const std::string& word : stopWords()) out += word + '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
        return ExitOk;
    }
    const bool add = action == "add";
    const std::vector<std::string> present = stopWords();
    int code = ExitOk;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string key = stopWordKey(args[i]);
        if (key.empty()) continue;
        const bool there = std::find(present.begin(), present.end(), key) != present.end();
        // Adding a word that is there already, or removing one that is not,
        // leaves the list as asked for: said, not an error.
        if (add == there) {
            std::printf("%s %s\n", key.c_str(), add ? "is a stop word already" : "is not a stop word");
            continue;
        }
        if (!(add ? addStopWord(key) : deleteStopWord(key))) code = ExitFailed;
        else std::printf("%s %s\n", key.c_str(), add ? "added" : "removed");
    }
    return code;
}

}  // namespace pm::cli
