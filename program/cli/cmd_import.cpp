// pmoor32 import --format NAME ...: one import run, headless.
#include <cstdio>

#include "cli/commands.h"
#include "cli/format_choice.h"
#include "cli/import_source.h"
#include "cli/job_runner.h"
#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "import/driver/import_run.h"

namespace pm::cli {

int commandImport(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    std::string formatName, mailbox, target;
    ImportSourceArguments source;
    if (!reader.option("--format", formatName)) throw UsageError("import needs --format NAME");
    const bool haveMailbox = reader.option("--mailbox", mailbox);
    const bool haveTarget = reader.option("--target", target);
    const bool reimport = reader.flag("--reimport");
    reader.option("--method", source.method);
    source.haveMasks = reader.option("--mask", source.masks);
    source.folders = reader.options("--folder");
    source.paths = reader.positionals();

    const FormatEntry* format = &formatArgument(formatName, "import");
    ImportRequest request;
    setRequestSource(request, *format, source, "import");
    if (format->kinds == KindMail && !haveMailbox)
        throw UsageError(std::string("import: the format ") + format->name + " holds mail: --mailbox DB is needed");

    openInstallationForCommand(ctx, InstallationUse::Write);
    if (haveMailbox) request.mailbox = static_cast<LONG>(databaseArgumentId(mailbox, "--mailbox"));
    if (haveTarget) request.targetDatabase = static_cast<LONG>(databaseArgumentId(target, "--target"));
    request.importForum = (format->kinds & KindForum) ? 1 : 0;
    request.importNewsgroup = (format->kinds & KindNews) ? 1 : 0;
    request.importMail = (format->kinds & KindMail) && haveMailbox ? 1 : 0;
    request.allowReimport = reimport ? 1 : 0;
    setRequestFormat(request, format->number);
    if (RequestProblem problem = completeImportRequest(request); problem != RequestProblem::None) {
        std::fprintf(stderr, "pmoor32: import: %s\n", describeRequestProblem(problem).c_str());
        return ExitFailed;
    }

    ImportRun run(request);
    const JobRunResult result = runJob(ctx, run);
    // Also after an interrupt: what was stored (and what was left out) so far.
    std::printf("imported\t%lld\nskipped\t%lld\n", run.progress().imported, run.progress().skipped);
    // Empty files (a mailbox nothing was delivered to) are nothing to
    // import, not a failed import. Files that are missing, not of the
    // format, or hold text without a message, and a selection without
    // files, still fail.
    const ImportProgress& p = run.progress();
    if (!result.interrupted && run.outcome() == ImportOutcome::NothingFound) {
        if (p.filesRead > 0 && p.filesSkipped == 0 && p.emptyFiles == p.filesRead) {
            std::fprintf(stderr, "pmoor32: import: no messages found (the %s empty)\n",
                         p.filesRead == 1 ? "file is" : "files are");
            return ExitOk;
        }
        if (p.filesRead > p.emptyFiles && p.workRecords == 0)
            std::fprintf(stderr, "pmoor32: import: no %s messages found in the files\n", format->name);
    }
    return exitCodeOf(result);
}

}  // namespace pm::cli
