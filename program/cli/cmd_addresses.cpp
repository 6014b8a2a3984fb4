// pmoor32 addresses DB 1|2|3|4 [FILE]: the persons of a database as an
// address book in the temporary directory.
#include <cstdio>

#include "cli/commands.h"
#include "import/store/copy_address.h"

namespace pm::cli {

int commandAddresses(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() < 2 || args.size() > 3) throw UsageError("addresses DB 1|2|3|4 [FILE]");
    const std::string& layout = args[1];
    if (layout.size() != 1 || layout[0] < '1' || layout[0] > '4')
        throw UsageError("addresses: the layout is 1, 2, 3 or 4, not \"" + layout + "\"");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    CopyAddress copy(layout[0] - '0', args.size() == 3 ? args[2] : std::string());
    CopyAddress::Status status;
    while ((status = copy.step()) == CopyAddress::Status::Running) {
    }
    if (status != CopyAddress::Status::Done) {
        std::fprintf(stderr, "pmoor32: nothing written: the database has no persons or %s cannot be written\n",
                     copy.path().c_str());
        return ExitFailed;
    }
    std::printf("%s\n", copy.path().c_str());
    return ExitOk;
}

}  // namespace pm::cli
