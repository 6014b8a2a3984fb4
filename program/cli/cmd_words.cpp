// pmoor32 words DB [--top N]: the word list with the number of messages
// holding each word; words DB --mark-delete|--unmark WORD...: the deletion
// marks the word list window sets.
#include <cstdio>
#include <set>
#include <string>

#include "cli/commands.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/table_path.h"
#include "tables/records/wordindex_tables.h"
#include "wordindex/word_list_edits.h"

namespace pm::cli {

namespace {

// Marks (or unmarks) the words; each word that is not indexed is named and
// makes the exit code 1, the others are still marked.
int markWords(const std::vector<std::string>& words, bool mark) {
    std::set<LONG> marks = loadDeletionMarks();
    int code = ExitOk;
    for (const std::string& word : words) {
        const std::optional<LONG> id = indexedWordId(word);
        if (!id) {
            std::fprintf(stderr, "pmoor32: %s is not an indexed word\n", stopWordKey(word).c_str());
            code = ExitFailed;
            continue;
        }
        if (mark) marks.insert(*id);
        else marks.erase(*id);
    }
    if (!saveDeletionMarks(marks)) return ExitFailed;
    std::printf("%zu word%s marked for deletion (removed by the next index run)\n", marks.size(),
                marks.size() == 1 ? "" : "s");
    return code;
}

}  // namespace

int commandWords(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool markDelete = reader.flag("--mark-delete");
    const bool unmark = reader.flag("--unmark");
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
    if (markDelete || unmark) {
        if (markDelete && unmark) throw UsageError("--mark-delete or --unmark, not both");
        if (byCount) throw UsageError("--top lists words; it does not go with --mark-delete or --unmark");
        if (args.size() < 2) throw UsageError("words DB --mark-delete WORD...");
    } else if (args.size() != 1) {
        throw UsageError("words DB [--top N]");
    }
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    if (!requireWordIndex()) return ExitFailed;
    if (markDelete || unmark) return markWords({args.begin() + 1, args.end()}, markDelete);
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
