// pmoor32 merge SOURCE TARGET: copies every message of SOURCE into TARGET
// (two databases of one kind) and prints the counts.
#include <cstdio>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "merge/merge_run.h"

namespace pm::cli {

int commandMerge(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("merge SOURCE TARGET");
    openInstallationForCommand(ctx);
    const ULONG source = static_cast<ULONG>(activateDatabaseArgument(args[0]));
    const ULONG target = static_cast<ULONG>(activateDatabaseArgument(args[1]));
    if (!checkMergePair(source, target)) return ExitFailed;
    MergeRun run(source, target);
    const JobRunResult result = runJob(ctx, run);
    std::printf("converted\t%lld\nmerged\t%lld\nskipped\t%lld\n", run.converted(), run.merged(), run.skipped());
    return exitCodeOf(result);
}

}  // namespace pm::cli
