// pmoor32 list DB: the messages of one browse view, in its order.
#include <cstdint>
#include <cstdio>
#include <string>

#include "browse/browse_tables.h"
#include "browse/browse_views.h"
#include "browse/message_summary.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/message_output.h"
#include "cli/view_options.h"
#include "common/globals.h"
#include "tables/records/all_tables.h"

namespace pm::cli {

namespace {

int statusNamed(const std::string& name) {
    if (name.empty()) return -1;
    if (name == "normal") return StatusNormal;
    if (name == "keep") return StatusKeep;
    if (name == "delete") return StatusDelete;
    throw UsageError("--status is one of normal|keep|delete");
}

}  // namespace

int commandList(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const ViewOptions view = readViewOptions(reader);
    std::string statusName, limitText;
    reader.option("--status", statusName);
    reader.option("--limit", limitText);
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("list DB [--by VIEW] [--thread N|--section N|--person ID] ...");
    const int status = statusNamed(statusName);
    long limit = -1;
    if (!limitText.empty()) {
        limit = static_cast<long>(numberArgument(limitText, "--limit", 0, INT32_MAX));
    }

    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    // The headers and what they name; the tables of the view on top.
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    const KeyRange range = chosenViewRange(view, tables);

    MessageOutput out(json);
    RowLookups lookups;
    MessageSummary summary;
    long listed = 0;
    Table& t = *range.table;
    range.primeEdge(false);
    t.setAt(*range.key);
    while ((limit < 0 || listed < limit) && t.next() == StorageStatus::Ok && range.holdsBuffer()) {
        // Reading the message by its key leaves the list's sequence where it is.
        if (!readMessageSummary(listedMessage(range), lookups, summary)) continue;
        if (status >= 0 && summary.status != status) continue;
        out.add(summary);
        ++listed;
    }
    out.finish();
    return listed > 0 ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
