// pmoor32 show DB MSGNUMBER [--json]: the header and text of one message.
#include <cstdio>
#include <string>

#include "browse/browse_tables.h"
#include "browse/message_summary.h"
#include "cli/commands.h"
#include "cli/message_output.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

// The stored text with its CR LF line ends as LF.
std::string messageText(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return {};
    const std::string& text = TXT.MsgText;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

void printHeader(const MessageSummary& m) {
    std::string header = "Message:  " + std::to_string(m.number) + "\nDate:     " + formatDate(m.date, "@D10-");
    if (m.hasTime) header += " " + formatTime(m.time, "@T1");
    header += "\n";
    if (!m.hasTime) header += "Section:  " + m.section + "\n";
    header += "From:     " + m.sender + "\nTo:       " + m.receiver + "\nSubject:  " + m.subject + "\n";
    if (m.replyTo) header += "Reply to: " + std::to_string(m.replyTo) + "\n";
    header += std::string("Status:   ") + statusName(m.ownStatus) + "\n";
    std::fwrite(header.data(), 1, header.size(), stdout);
}

}  // namespace

int commandShow(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("show DB MSGNUMBER [--json]");
    const ULONG number = messageNumberArgument(args[1]);
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    tables.add(MsgText);
    RowLookups lookups;
    MessageSummary m;
    if (!readMessageSummary(number, lookups, m)) {
        std::fprintf(stderr, "pmoor32: %s holds no message %u\n", Mem.Description.c_str(), number);
        return ExitFailed;
    }
    const std::string text = messageText(number);
    if (json) {
        JsonWriter j;
        j.beginObject();
        MessageOutput::addFields(j, m);
        if (!m.hasTime) j.field("section", m.section);
        if (m.replyTo) j.field("reply_to", m.replyTo);
        else j.key("reply_to").null();
        j.field("own_status", std::string(statusName(m.ownStatus))).field("text", text).endObject();
        std::fwrite(j.str().data(), 1, j.str().size(), stdout);
        return ExitOk;
    }
    printHeader(m);
    if (!text.empty()) {
        std::printf("\n%s", text.c_str());
        if (text.back() != '\n') std::printf("\n");
    }
    return ExitOk;
}

}  // namespace pm::cli
