// pmoor32 index [DB] [--full]: word-indexes one database, or every database
// whose word list needs updating.
#include <chrono>
#include <cstdio>
#include <vector>

#include "cli/commands.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "wordindex/index_fixup.h"
#include "wordindex/index_run.h"

namespace pm::cli {

namespace {

// Command mode keeps no window responsive: large steps.
constexpr int kCommandBatch = 2000;

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

// Indexes the active database; false when the run failed or was refused.
bool indexActive(CommandContext& ctx, bool full) {
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
        return true;
    }
    IndexRunOptions options;
    options.indexType = full || recommendation == FullNeeded ? 1 : 2;
    options.batchSize = kCommandBatch;
    IndexRun run(Mem.ForumNumber, Mem.ForumType, options);
    while (run.step() == IndexRun::StepResult::Running) {
        const IndexProgress& p = run.progress();
        ProgressReport report;
        report.title = p.title;
        report.lines = {p.status};
        report.counters = {{"messages", p.done}, {"of", p.planned}};
        report.percent = p.cleanupPercent >= 0 ? p.cleanupPercent : p.percent;
        ctx.ui->progress(report);
    }
    ctx.ui->finishProgress();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const IndexRunSummary& s = run.summary();
    const char* outcome = run.state() == IndexRun::State::Done      ? "indexed"
                          : run.state() == IndexRun::State::Skipped ? "skipped"
                          : run.state() == IndexRun::State::Stopped ? "stopped"
                                                                    : "failed";
    std::printf("%s: %s (%s run) - %lld messages indexed, %lld already indexed, %lld without header; "
                "%lld new words, %lld stop words added, %lld words removed; %lld occurrences; %.1f s\n",
                label, outcome, options.indexType == 1 ? "full" : "partial", s.messagesIndexed, s.alreadyIndexed,
                s.withoutHeader, s.newWords, s.stopWordsMoved, s.wordsRemoved, s.occurrences, seconds);
    return run.result() == 1;
}

}  // namespace

int commandIndex(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool full = reader.flag("--full");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() > 1) throw UsageError("index [DB] [--full]");
    openInstallationForCommand(ctx);
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
    bool ok = true;
    for (const Target& t : targets) {
        if (!activateDatabase(t.id)) {
            std::fprintf(stderr, "pmoor32: database %u is gone\n", t.id);
            ok = false;
            continue;
        }
        if (!indexActive(ctx, full)) ok = false;
        closeAllTables();
    }
    return ok ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
