// pmoor32 db list | db create ...: the database catalog.
#include <cstdio>

#include "cli/commands.h"
#include "cli/message_output.h"
#include "cli/json_writer.h"
#include "common/globals.h"
#include "merge/redirection_settings.h"
#include "tables/access/open_close.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/mail_database.h"
#include "tables/records/config_tables.h"

namespace pm::cli {

namespace {

const char* typeName(BYTE type) {
    switch (type) {
        case TypeForum: return "forum";
        case TypeMail: return "mail";
        case TypeNewsgroup: return "newsgroup";
        default: return "unknown";
    }
}

// The columns of `db list`, as the header line and the JSON members name them.
constexpr const char* kListColumns[] = {"id", "name", "type", "dir", "msgcount", "noimport"};

enum class ListShape { Tsv, TsvWithHeader, Json };

int listDatabases(ListShape shape) {
    std::string out;
    JsonWriter json;
    if (shape == ListShape::TsvWithHeader) {
        out += tsvHeaderLine(kListColumns);
    }
    if (shape == ListShape::Json) json.beginArray();
    OP_CLOSE(OpenShared, {&Forums});
    Forums.set(FOR_DirKey);
    while (Forums.next() == StorageStatus::Ok) {
        const std::string dir = "F" + std::to_string(FOR.DIRNUMBER);
        if (shape == ListShape::Json) {
            json.beginObject()
                .field(kListColumns[0], FOR.ID)
                .field(kListColumns[1], FOR.DESCRIPTION.str())
                .field(kListColumns[2], typeName(FOR.TYPE))
                .field(kListColumns[3], dir)
                .field(kListColumns[4], FOR.MSGCOUNT)
                .field(kListColumns[5], FOR.NOIMPORT != 0)
                .endObject();
        } else {
            out += std::to_string(FOR.ID) + '\t' + outputField(FOR.DESCRIPTION.view()) + '\t' + typeName(FOR.TYPE) + '\t' + dir +
                   '\t' + std::to_string(FOR.MSGCOUNT) + '\t' + (FOR.NOIMPORT != 0 ? "1" : "0") + '\n';
        }
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    if (shape == ListShape::Json) out = json.endArray().str();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

int createMailDatabaseCommand(const CommandContext& ctx, ArgumentReader& reader) {
    std::string address;
    const bool haveAddress = reader.option("--address", address);
    const std::vector<std::string> alternatives = reader.options("--alt");
    std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("db create mail NAME --address ADDR [--alt ADDR]...");
    if (args[1].empty()) throw UsageError("db create: the name is empty");
    checkName(args[1], "db create: the name");
    if (!haveAddress || address.empty()) throw UsageError("db create mail: --address ADDR is required");
    if (alternatives.size() > 10) throw UsageError("db create mail: at most 10 --alt addresses");
    openInstallationForCommand(ctx, InstallationUse::Write);
    ULONG id = createMailDatabase(args[1], address, alternatives);
    if (id == 0) return ExitFailed;
    std::printf("%u\t%s\tF%u\n", id, outputField(FOR.DESCRIPTION.view()).c_str(), FOR.DIRNUMBER);
    return ExitOk;
}

// Prints the database just made (FOR holds it); ExitFailed when none was.
int reportCreated(ULONG id) {
    if (id == 0) return ExitFailed;
    std::printf("%u\t%s\tF%u\n", id, outputField(FOR.DESCRIPTION.view()).c_str(), FOR.DIRNUMBER);
    return ExitOk;
}

int createDatabaseCommand(ArgumentReader& reader) {
    const bool target = reader.flag("--target");
    std::vector<std::string> args = reader.positionals();
    if (args.size() != 2) throw UsageError("db create forum|mail|newsgroup NAME");
    BYTE type;
    if (args[0] == "forum") type = TypeForum;
    else if (args[0] == "newsgroup") type = TypeNewsgroup;
    else throw UsageError("db create: unknown database type \"" + args[0] + "\"");
    if (args[1].empty()) throw UsageError("db create: the name is empty");
    checkName(args[1], "db create: the name");
    if (target && type != TypeNewsgroup) throw UsageError("db create: only a newsgroup database can be a --target");
    if (target) return reportCreated(createTargetNewsgroupDatabase(args[1]));
    OP_CLOSE(OpenShared, {&Forums, &Control});
    ULONG id = createDatabase(type, args[1]);
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    return reportCreated(id);
}

}  // namespace

int commandDb(CommandContext& ctx) {
    if (ctx.args.empty()) throw UsageError("db needs a subcommand: list or create");
    const std::string sub = ctx.args.front();
    ArgumentReader reader(std::vector<std::string>(ctx.args.begin() + 1, ctx.args.end()));
    if (sub == "list") {
        const bool header = reader.flag("--header");
        const bool json = reader.flag("--json");
        if (!reader.positionals().empty()) throw UsageError("db list takes no arguments");
        if (header && json) throw UsageError("db list: --header is for the TSV lines; --json names its members");
        openInstallationForCommand(ctx);
        return listDatabases(json ? ListShape::Json : header ? ListShape::TsvWithHeader : ListShape::Tsv);
    }
    if (sub == "create") {
        if (ctx.args.size() > 1 && ctx.args[1] == "mail") return createMailDatabaseCommand(ctx, reader);
        openInstallationForCommand(ctx, InstallationUse::Write);
        return createDatabaseCommand(reader);
    }
    if (sub.rfind("-", 0) == 0) throw UsageError("db: unknown option \"" + sub + "\" (the subcommands are list and create)");
    throw UsageError("unknown db subcommand \"" + sub + "\"");
}

}  // namespace pm::cli
