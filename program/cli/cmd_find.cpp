// pmoor32 find DB TEXT: the standard search, "Next" after "Next" from the
// start of a browse view (the one a browse opens with, or --by VIEW) to its
// end, printing every message found.
#include <cstdio>
#include <string>
#include <vector>

#include "browse/browse_tables.h"
#include "browse/browse_views.h"
#include "browse/text_find.h"
#include "cli/commands.h"
#include "cli/job_runner.h"
#include "cli/view_options.h"
#include "common/globals.h"
#include "tables/config/settings.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

BYTE whereNamed(const std::string& name) {
    if (name.empty() || name == "both") return FindTextAndHeading;
    if (name == "subject") return FindHeadingOnly;
    if (name == "text") return FindTextOnly;
    throw UsageError("--in is one of subject|text|both");
}

}  // namespace

int commandFind(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    std::string in;
    reader.option("--in", in);
    FindOptions options;
    options.where = whereNamed(in);
    options.matchCase = reader.flag("--case");
    options.wordsOnly = reader.flag("--word");
    options.direction = reader.flag("--backward") ? FindBackward : FindForward;
    // --word is the whole-word switch here: the word of --by word comes with --indexed.
    const ViewOptions view = readViewOptions(reader, "--indexed");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2)
        throw UsageError("find DB TEXT [--in subject|text|both] [--case] [--word] [--backward] [--by VIEW] ...");
    options.text = args[1];
    if (options.text.empty()) throw UsageError("find needs a text to look for");

    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    loadSpeedValues();
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    tables.add(MsgText);
    const KeyRange range = chosenViewRange(view, tables);

    InterruptScope interrupts;
    ULONG from = 0;
    int found = 0;
    for (;;) {
        TextFind find(options, range, from, SpeedVal(SpeedFindText));
        const JobRunResult run = runJob(ctx, find);
        if (run.interrupted) return ExitInterrupted;
        if (run.status != JobStatus::Done) return ExitFailed;
        if (find.endReached()) break;
        std::printf("%u\n", find.found());
        std::fflush(stdout);
        ++found;
        from = find.found();
    }
    return found > 0 ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
