// pmoor32 search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--suffix]
//                   [--phrase] [--all] [--format numbers|summary|json] WORD...
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "browse/browse_tables.h"
#include "browse/message_summary.h"
#include "cli/commands.h"
#include "cli/job_runner.h"
#include "cli/message_output.h"
#include "common/counts.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "storage/table.h"
#include "wordindex/word_query.h"

namespace pm::cli {

namespace {

SearchWordOptions matchOptions(ArgumentReader& reader) {
    SearchWordOptions o;
    int kinds = 0;
    std::string degree;
    if (reader.flag("--soundex")) {
        o.soundex = true;
        ++kinds;
    }
    if (reader.option("--approx", degree)) {
        o.approximate = true;
        o.degree = static_cast<int>(numberArgument(degree, "--approx", 0, INT32_MAX));
        ++kinds;
    }
    if (reader.flag("--prefix")) {
        o.wholeWord = false;
        ++kinds;
    }
    // The end-of-word match; --whole was its first name and stays an alias.
    const bool suffix = reader.flag("--suffix");
    if (reader.flag("--whole") || suffix) {
        o.startsWith = false;
        ++kinds;
    }
    if (kinds > 1) throw UsageError("choose one of --soundex, --approx N, --prefix, --suffix");
    o.phrase = reader.flag("--phrase");
    if (o.phrase && kinds > 0) throw UsageError("--phrase looks for whole words: it takes no other match option");
    return o;
}

enum class Format { Numbers, Summary, Json };

Format formatOption(ArgumentReader& reader) {
    std::string name;
    if (!reader.option("--format", name) || name == "numbers") return Format::Numbers;
    if (name == "summary") return Format::Summary;
    if (name == "json") return Format::Json;
    throw UsageError("--format is numbers, summary or json, not \"" + name + "\"");
}

// The hits, newest first: their numbers, or number, date, sender and
// subject (tab-separated), or the list's JSON objects.
void printHits(const std::vector<ULONG>& messages, Format format) {
    if (format == Format::Numbers) {
        std::string out;
        out.reserve(messages.size() * 8);
        for (ULONG m : messages) out += std::to_string(m) + '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
        return;
    }
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    RowLookups lookups;
    MessageSummary summary;
    MessageOutput json(true);
    for (ULONG m : messages) {
        if (!readMessageSummary(m, lookups, summary)) continue;  // purged since it was indexed
        if (format == Format::Json) {
            json.add(summary);
            continue;
        }
        const std::string line = std::to_string(summary.number) + '\t' + formatDate(summary.date, "@D10-") + '\t' +
                                 tsvField(summary.sender) + '\t' + tsvField(summary.subject) + '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (format == Format::Json) json.finish();
    std::fflush(stdout);
}

}  // namespace

int commandSearch(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    WordQuery query;
    query.any = reader.flag("--any");
    const bool all = reader.flag("--all");
    query.notWords = reader.options("--not");
    query.options = matchOptions(reader);
    const Format format = formatOption(reader);
    std::vector<std::string> args = reader.positionals();
    if (args.size() < 2) throw UsageError("search DB [options] WORD...");
    query.words.assign(args.begin() + 1, args.end());
    if (query.any && query.options.phrase) throw UsageError("--any and --phrase do not go together");
    // A signal from the search's first slice on stops it as in every later one.
    const InterruptScope interrupts;
    std::optional<WordQueryRun> run;
    {
        // The opening only reads: one read transaction for all of it, not
        // one lock and change check per statement. The search's first
        // slice goes on in it (a short search ends there); later slices
        // take their own.
        const ReadScope opening;
        openInstallationForCommand(ctx);
        activateDatabaseArgument(args[0]);
        if (!requireWordIndex()) return ExitFailed;
        // --all: every block of hits, without the pause questions.
        run.emplace(query, Mem.ForumType, all ? MoreBlocks::Continue : MoreBlocks::Ask);
        run->step();
    }
    const JobRunResult ran = runJob(ctx, *run);
    const WordQueryResult& r = run->result();
    switch (r.status) {
        case WordQueryResult::Ambiguous: {
            std::string detail;
            for (const auto& [word, n] : r.matchesPerWord)
                if (n > 1) detail += " " + word + " (" + std::to_string(n) + " words)";
            throw UsageError("more than one search word matches several index words:" + detail +
                             "; narrow them down or use --any");
        }
        case WordQueryResult::Failed:
        case WordQueryResult::Refused: return ExitFailed;
        case WordQueryResult::NoMatches:
        case WordQueryResult::Found: break;
    }
    printHits(r.messages, format);
    std::string words;
    for (const std::string& w : r.hitWords) words += " " + w;
    std::fprintf(stderr, "%s found; hit words:%s%s\n", countOf(static_cast<long long>(r.messages.size()), "message").c_str(),
                 words.empty() ? " (none)" : words.c_str(),
                 ran.interrupted   ? " (interrupted)"
                 : r.morePending ? " (more to search: --all goes through every block)"
                                 : "");
    // No search set is stored: it would live in this process's own scratch
    // store, which no other process reads and which goes when this one ends
    // (for a common word, filling it took half the run).
    if (ran.interrupted) return ExitInterrupted;
    return r.status == WordQueryResult::Found ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
