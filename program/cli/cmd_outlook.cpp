// pmoor32 outlook-folders FILE: the mail folders an Outlook Mail import can
// choose from, with their item counts.
#include <cstdio>

#include "cli/commands.h"
#include "import/outlook/outlook_folders.h"

namespace pm::cli {

int commandOutlookFolders(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("outlook-folders FILE");
    std::string error;
    std::vector<outlook::FolderChoice> folders;
    if (outlook::listMailFolders(args[0], folders, error) != outlook::FolderListing::Listed) {
        std::fprintf(stderr, "pmoor32: outlook-folders: %s\n", error.c_str());
        return ExitFailed;
    }
    for (const outlook::FolderChoice& folder : folders)
        std::printf("%s\t%d\t%s\n", folder.name.c_str(), folder.itemCount, folder.path.c_str());
    return ExitOk;
}

}  // namespace pm::cli
