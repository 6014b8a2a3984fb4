// pmoor32 words DB [--top N]: the word list with the number of messages
// holding each word.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/table_path.h"
#include "tables/records/wordindex_tables.h"

namespace pm::cli {

int commandWords(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    std::string top;
    const bool byCount = reader.option("--top", top);
    long limit = -1;
    if (byCount) {
        try {
            limit = std::stol(top);
        } catch (const std::exception&) {
            throw UsageError("--top needs a number, not \"" + top + "\"");
        }
        if (limit < 0) throw UsageError("--top needs a number of 0 or more");
    }
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("words DB [--top N]");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    WordList.setFileName(tableFileName(WordList));
    if (!WordList.exists()) {
        std::fprintf(stderr, "pmoor32: %s is not word indexed\n", Mem.Description.c_str());
        return ExitFailed;
    }
    OP_CLOSE(OpenShared, {&WordList});
    std::string out;
    long n = 0;
    if (byCount) {
        // The count key runs upward: the most frequent words are at its end.
        WordList.set(WOR_by_WordCount);
        while (n < limit && WordList.previous() == StorageStatus::Ok) {
            out += WOR.THEWORD.str() + '\t' + std::to_string(WOR.WORDCOUNT) + '\n';
            ++n;
        }
    } else {
        WordList.set(WOR_by_theWord);
        while (WordList.next() == StorageStatus::Ok) {
            out += WOR.THEWORD.str() + '\t' + std::to_string(WOR.WORDCOUNT) + '\n';
            ++n;
        }
    }
    OP_CLOSE(ReleaseTable, {&WordList});
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

}  // namespace pm::cli
