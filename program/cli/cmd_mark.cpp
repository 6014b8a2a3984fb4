// pmoor32 mark DB MSGNUMBER... --normal|--keep|--delete: the status marks
// of the browse's status menu, with the same writes.
#include <cstdio>
#include <string>

#include "browse/browse_rows.h"
#include "browse/browse_tables.h"
#include "browse/status_marking.h"
#include "cli/commands.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

BYTE chosenStatus(ArgumentReader& reader) {
    const bool normal = reader.flag("--normal"), keep = reader.flag("--keep"), del = reader.flag("--delete");
    if (normal + keep + del != 1) throw UsageError("mark needs one of --normal, --keep, --delete");
    return normal ? StatusNormal : keep ? StatusKeep : StatusDelete;
}

struct Scope {
    bool thread = false, section = false, partner = false, database = false;
};

// What the marks apply to: the messages, or their threads, sections or
// partners, or the database.
StatusTarget chosenTarget(const Scope& scope, bool mail) {
    const auto [thread, section, partner, database] = scope;
    if (thread + section + partner + database > 1)
        throw UsageError("mark takes one of --thread, --section, --partner, --database");
    if (mail && (thread || section)) throw UsageError("mails have no threads or sections: use --partner");
    if (!mail && partner) throw UsageError("--partner marks the partner of a mail");
    if (database) return StatusTarget::Database;
    if (thread) return StatusTarget::Thread;
    if (section) return StatusTarget::Section;
    if (partner) return StatusTarget::Partner;
    return mail ? StatusTarget::Mail : StatusTarget::Message;
}

const char* targetName(StatusTarget t) {
    switch (t) {
        case StatusTarget::Message:
        case StatusTarget::Mail: return "message";
        case StatusTarget::Thread: return "thread";
        case StatusTarget::Section: return "section";
        case StatusTarget::Partner: return "partner";
        case StatusTarget::Database: return "database";
    }
    return "";
}

// The id the mark of `target` needs for message `number`; 0 when the
// message does not exist.
ULONG targetId(StatusTarget target, ULONG number) {
    if (target == StatusTarget::Mail || target == StatusTarget::Partner) {
        Mail.clear();
        MAI.MAILID = number;
        if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return 0;
        return target == StatusTarget::Mail ? MAI.MAILID : MAI.PAIRID;
    }
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return 0;
    return target == StatusTarget::Thread ? MSG.THREADNUMBER : target == StatusTarget::Section ? MSG.SECSYSID : MSG.MSGNUMBER;
}

}  // namespace

int commandMark(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const BYTE status = chosenStatus(reader);
    Scope scope;
    scope.thread = reader.flag("--thread");
    scope.section = reader.flag("--section");
    scope.partner = reader.flag("--partner");
    scope.database = reader.flag("--database");
    const std::vector<std::string> args = reader.positionals();
    if (args.empty() || (args.size() < 2 && !scope.database))
        throw UsageError("mark DB MSGNUMBER... --normal|--keep|--delete [--thread|--section|--partner|--database]");
    std::vector<ULONG> numbers;
    for (std::size_t i = 1; i < args.size(); ++i) numbers.push_back(messageNumberArgument(args[i]));

    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    const StatusTarget target = chosenTarget(scope, Mem.ForumType == TypeMail);
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    if (target == StatusTarget::Database) {
        if (!markStatus(target, 0, status)) return ExitFailed;
        std::printf("database\t%s\t%s\n", Mem.Description.c_str(), statusName(status));
        return ExitOk;
    }
    int result = ExitOk;
    for (ULONG number : numbers) {
        const ULONG id = targetId(target, number);
        if (id == 0) {
            std::fprintf(stderr, "pmoor32: %s holds no message %u\n", Mem.Description.c_str(), number);
            result = ExitFailed;
            continue;
        }
        if (!markStatus(target, id, status)) {
            result = ExitFailed;
            continue;
        }
        std::printf("%u\t%s %u\t%s\n", number, targetName(target), id, statusName(status));
    }
    return result;
}

}  // namespace pm::cli
