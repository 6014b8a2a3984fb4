// pmoor32 index [DB] [--full]: word-indexes one database, or every database
// whose word list needs updating.
#include <chrono>
#include <cstdio>
#include <vector>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "common/counts.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "wordindex/index_fixup.h"
#include "wordindex/index_run.h"

namespace pm::cli {

namespace {

// Command mode keeps no window responsive: larger steps than a window's,
// still short enough for Ctrl-C to take effect at once.
constexpr int kCommandBatch = 500;

struct Target {
    ULONG id = 0;
    std::string name;
};

std::vector<Target> databasesNeedingUpdate() {
    std::vector<Target> out;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.set(FOR_DirKey);
    while (Forums.next() == StorageStatus::Ok)
        if (FOR.WORDLISTINDEXNEEDSUPDATE != 0) out.push_back({FOR.ID, FOR.DESCRIPTION.str()});
    OP_CLOSE(ReleaseTable, {&Forums});
    return out;
}

// Indexes the active database; the exit code of its run.
int indexActive(CommandContext& ctx, bool full) {
    const auto started = std::chrono::steady_clock::now();
    ULONG position = 0, count = 0;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) {
        position = FOR.LASTMSGID;
        count = FOR.RECSLASTTIME;
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    BYTE recommendation = FullNeeded;
    WSIndexFixup(recommendation, 4, position, count, true, false);
    const char* label = Mem.Description.c_str();
    if (!full && recommendation == NoIndexingNeeded && Mem.WordListIndexNeedsUpdate == 0) {
        std::printf("%s: No indexing needed!\n", label);
        return ExitOk;
    }
    IndexRunOptions options;
    options.indexType = full || recommendation == FullNeeded ? 1 : 2;
    options.batchSize = kCommandBatch;
    IndexRun run(Mem.ForumNumber, Mem.ForumType, options);
    const JobRunResult result = runJob(ctx, run);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const IndexRunSummary& s = run.summary();
    const char* outcome = run.state() == IndexRun::State::Done      ? "indexed"
                          : run.state() == IndexRun::State::Skipped ? "skipped"
                          : run.state() == IndexRun::State::Stopped ? "stopped"
                                                                    : "failed";
    std::printf("%s: %s (%s run) - %s indexed, %s already indexed, %s without header; "
                "%s, %s added, %s removed; %s; %.1f s\n",
                label, outcome, options.indexType == 1 ? "full" : "partial",
                countOf(s.messagesIndexed, "message").c_str(), groupedNumber(s.alreadyIndexed).c_str(),
                groupedNumber(s.withoutHeader).c_str(), countOf(s.newWords, "new word").c_str(),
                countOf(s.stopWordsMoved, "stop word").c_str(), countOf(s.wordsRemoved, "word").c_str(),
                countOf(s.occurrences, "occurrence").c_str(), seconds);
    return exitCodeOf(result);
}

}  // namespace

int commandIndex(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool full = reader.flag("--full");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() > 1) throw UsageError("index [DB] [--full]");
    openInstallationForCommand(ctx, InstallationUse::Write);
    std::vector<Target> targets;
    if (args.empty()) {
        targets = databasesNeedingUpdate();
        if (targets.empty()) {
            std::printf("No database needs word indexing.\n");
            return ExitOk;
        }
    } else {
        targets.push_back({static_cast<ULONG>(activateDatabaseArgument(args[0])), {}});
    }
    // A signal between two databases ends the command as one during a run does.
    InterruptScope interrupts;
    int code = ExitOk;
    for (const Target& t : targets) {
        if (InterruptScope::interrupted()) return ExitInterrupted;
        if (!activateDatabase(t.id)) {
            std::fprintf(stderr, "pmoor32: database %u is gone\n", t.id);
            code = ExitFailed;
            continue;
        }
        const int run = indexActive(ctx, full);
        closeAllTables();
        if (run == ExitInterrupted) return run;
        if (run != ExitOk) code = run;
    }
    return code;
}

}  // namespace pm::cli
