// pmoor32 nextid-check: sets the identifier counter above every identifier
// in use and prints the next identifier.
#include <cstdio>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "common/counts.h"
#include "tables/identifiers/next_id_check.h"

namespace pm::cli {

int commandNextIdCheck(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    if (!reader.positionals().empty()) throw UsageError("nextid-check takes no arguments");
    openInstallationForCommand(ctx, InstallationUse::Write);
    NextIdCheck check;
    const JobRunResult result = runJob(ctx, check);
    if (result.status == JobStatus::Done) std::printf("%u\n", check.nextNumber());
    else std::fprintf(stderr, "%s checked; the counter is unchanged\n", countOf(check.databasesChecked(), "database").c_str());
    return exitCodeOf(result);
}

}  // namespace pm::cli
