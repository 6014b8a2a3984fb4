// pmoor32 thread DB MSGNUMBER: the message's thread as the tree window
// shows it, one message a line, indented two blanks per level.
#include <cstdio>
#include <string>

#include "browse/browse_tables.h"
#include "browse/thread_tree.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "common/globals.h"
#include "tables/config/settings.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

// Settings of the tree's lines: the line format and the date format.
enum : int { ItemThreadTreeFormat = 16, ItemDateFormat = 10 };

}  // namespace

unsigned int messageNumberArgument(const std::string& text) {
    try {
        std::size_t used = 0;
        const unsigned long n = std::stoul(text, &used);
        if (used == text.size() && n <= 0xFFFFFFFFul) return static_cast<ULONG>(n);
    } catch (const std::exception&) {
    }
    throw UsageError("\"" + text + "\" is not a message number");
}

int commandThread(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("thread DB MSGNUMBER [--json]");
    const ULONG number = messageNumberArgument(args[1]);
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    if (Mem.ForumType == TypeMail) {
        std::fprintf(stderr, "pmoor32: %s is a mail database: mails have no threads\n", Mem.Description.c_str());
        return ExitFailed;
    }
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) {
        std::fprintf(stderr, "pmoor32: %s holds no message %u\n", Mem.Description.c_str(), number);
        return ExitFailed;
    }
    ThreadTree tree(configValue(ItemThreadTreeFormat), configValue(ItemDateFormat));
    tree.build(MSG.THREADNUMBER);
    JsonWriter j;
    std::string text;
    if (json) j.beginArray();
    for (const ThreadTreeLine& line : tree.lines()) {
        if (line.number == 0) continue;  // the tree's blank first line
        if (json) {
            j.beginObject().field("number", line.number).field("depth", line.level).field("text", line.text);
            j.field("selected", line.number == number).endObject();
        } else {
            text += std::string(static_cast<std::size_t>(line.level) * 2, ' ') + line.text + '\n';
        }
    }
    if (json) {
        j.endArray();
        text = j.str();
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return ExitOk;
}

}  // namespace pm::cli
