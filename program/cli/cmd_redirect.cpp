// pmoor32 redirect: newsgroup redirection.
//   redirect                         the redirections as TSV: newsgroup, target now, target before
//   redirect NEWSGROUP TARGET|--none sets (or removes) a newsgroup's redirection
//   redirect --apply                 moves the stored messages where the settings say, then purges
#include <cstdio>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "merge/redirection_purge.h"
#include "merge/redirection_run.h"
#include "tables/catalog/catalog_list.h"

namespace pm::cli {

namespace {

int listRedirections() {
    const std::vector<CatalogEntry> catalog = readCatalog(CatalogOrder::ByName, TypeNewsgroup);
    auto nameOf = [&catalog](ULONG id) -> std::string {
        if (id == 0) return "-";
        for (const CatalogEntry& e : catalog)
            if (e.id == id) return e.name;
        return "#" + std::to_string(id);
    };
    for (const CatalogEntry& e : catalog) {
        if (e.targetNewsgroup != 0 && e.redirectNow == 0 && e.redirectBefore == 0) continue;
        std::printf("%s\t%s\t%s%s\n", e.name.c_str(), nameOf(e.redirectNow).c_str(), nameOf(e.redirectBefore).c_str(),
                    e.targetNewsgroup != 0 ? "\ttarget" : "");
    }
    return ExitOk;
}

int applyRedirections(CommandContext& ctx) {
    InterruptScope scope;
    RedirectionRun run;
    JobRunResult result = runJob(ctx, run);
    std::printf("converted\t%lld\nmoved\t%lld\nskipped\t%lld\n", run.converted(), run.moved(), run.skipped());
    if (result.status != JobStatus::Done || InterruptScope::interrupted()) return exitCodeOf(result);
    RedirectionPurge purge(run.jobs());
    result = runJob(ctx, purge);
    const PurgeSummary& s = purge.summary();
    std::printf("deleted\t%lld\nnot moved\t%lld\n", s.deleted, s.notMoved);
    return exitCodeOf(result);
}

}  // namespace

int commandRedirect(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool apply = reader.flag("--apply");
    const bool none = reader.flag("--none");
    const std::vector<std::string> args = reader.positionals();
    if (apply) {
        if (none || !args.empty()) throw UsageError("redirect --apply takes no other arguments");
        openInstallationForCommand(ctx);
        return applyRedirections(ctx);
    }
    if (args.empty() && !none) {
        openInstallationForCommand(ctx);
        return listRedirections();
    }
    if (args.size() != (none ? 1u : 2u)) throw UsageError("redirect NEWSGROUP TARGET|--none");
    openInstallationForCommand(ctx);
    const ULONG newsgroup = static_cast<ULONG>(activateDatabaseArgument(args[0]));
    const ULONG target = none ? 0 : static_cast<ULONG>(activateDatabaseArgument(args[1]));
    // As the wizard does when it opens: the state before the change is kept.
    if (prepareRedirectionChanges() == 0) return ExitFailed;
    return setRedirection(newsgroup, target) ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
