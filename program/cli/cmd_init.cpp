// pmoor32 init: creates the installation at the root.
#include <filesystem>

#include "cli/commands.h"
#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "tables/records/config_tables.h"

namespace pm::cli {

int commandInit(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    if (!reader.positionals().empty()) throw UsageError("init takes no arguments");
    std::error_code ec;
    std::filesystem::create_directories(ctx.root, ec);
    if (ec) {
        std::fprintf(stderr, "pmoor32: cannot create %s: %s\n", ctx.root.c_str(), ec.message().c_str());
        return ExitInstallation;
    }
    const bool existed = installationExists(ctx.root);
    if (runStartupSettings(ctx.root, nullptr) == StartupOutcome::Aborted)
        throw InstallationError("the installation at " + ctx.root + " cannot be used");
    // The catalog exists from the start, so that `db list` works on an empty installation.
    OP_CLOSE(OpenShared, {&Forums});
    OP_CLOSE(ReleaseTable, {&Forums});
    std::printf("%s installation at %s\n", existed ? "Checked" : "Created", Mem.Net.c_str());
    return ExitOk;
}

}  // namespace pm::cli
