// pmoor32 purge DB [--aged WEEKS] and pmoor32 count DB: the purge window's
// runs, printing its counters as name<TAB>value lines.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "maintenance/purge_run.h"

namespace pm::cli {

namespace {

int weeksArgument(const std::string& text) {
    char* end = nullptr;
    const long weeks = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || weeks < 1 || weeks > 99999)
        throw UsageError("--aged takes a number of weeks (1-99999)");
    return static_cast<int>(weeks);
}

int runPurgeWork(CommandContext& ctx, PurgeWork work) {
    ArgumentReader reader(ctx.args);
    PurgeOptions options;
    options.work = work;
    std::string weeks;
    if (work == PurgeWork::Purge && reader.option("--aged", weeks)) options.agedWeeks = weeksArgument(weeks);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1)
        throw UsageError(work == PurgeWork::Purge ? "purge DB [--aged WEEKS]" : "count DB");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    PurgeRun run(options);
    const JobRunResult result = runJob(ctx, run);
    for (const auto& [name, value] : run.report().counters)
        if (name != purge_counter::Phase) std::printf("%s\t%lld\n", name.c_str(), value);
    return exitCodeOf(result);
}

}  // namespace

int commandPurge(CommandContext& ctx) { return runPurgeWork(ctx, PurgeWork::Purge); }

int commandCount(CommandContext& ctx) { return runPurgeWork(ctx, PurgeWork::Count); }

}  // namespace pm::cli
