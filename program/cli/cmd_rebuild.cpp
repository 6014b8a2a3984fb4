// pmoor32 rebuild [--report FILE]: rebuilds the database list from the
// database directories and checks the identifier counter; prints what it
// corrected, dropped and attached.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "tables/rebuild/rebuild_run.h"

namespace pm::cli {

int commandRebuild(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    std::string report;
    const bool wantReport = reader.option("--report", report);
    if (!reader.positionals().empty()) throw UsageError("rebuild takes no arguments besides --report FILE");
    if (wantReport && report.empty()) throw UsageError("--report needs a file name");
    openInstallationForCommand(ctx);

    RebuildRun run;
    const JobRunResult result = runJob(ctx, run);
    for (const RebuildChange& c : run.changes())
        std::printf("%s\tF%u\t%s\t%s\n", rebuildChangeName(c.kind), c.dirNumber, c.name.c_str(), c.detail.c_str());
    if (result.status == JobStatus::Done) std::printf("next id\t%u\n", run.nextNumber());
    if (wantReport) {
        std::error_code ec;
        std::filesystem::copy_file(RebuildLog::path(), report, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            std::fprintf(stderr, "pmoor32: the log cannot be copied to %s: %s\n", report.c_str(), ec.message().c_str());
            return ExitFailed;
        }
    }
    return exitCodeOf(result);
}

}  // namespace pm::cli
