// pmoor32 nextid-check: sets the identifier counter above every identifier
// in use and prints the next identifier.
#include <cstdio>

#include "cli/commands.h"
#include "tables/identifiers/next_id_check.h"

namespace pm::cli {

int commandNextIdCheck(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    if (!reader.positionals().empty()) throw UsageError("nextid-check takes no arguments");
    openInstallationForCommand(ctx);
    NextIdCheck check;
    NextIdCheck::StepResult result;
    do {
        result = check.step();
        ctx.ui->progress(check.progress());
    } while (result == NextIdCheck::StepResult::Running);
    ctx.ui->finishProgress();
    if (result != NextIdCheck::StepResult::Done) return ExitFailed;
    std::printf("%u\n", check.nextNumber());
    return ExitOk;
}

}  // namespace pm::cli
