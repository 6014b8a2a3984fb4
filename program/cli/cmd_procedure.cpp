// pmoor32 procedure list|show|create|delete: the import definitions that
// scheduled tasks run.
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/message_output.h"
#include "cli/format_choice.h"
#include "cli/import_source.h"
#include "cli/json_writer.h"
#include "import/definitions/import_definitions.h"
#include "import/driver/format_table.h"

namespace pm::cli {

namespace {

const char* methodName(BYTE method) {
    switch (method) {
        case SelectDirectoryTree: return "tree";
        case SelectDirectory: return "dir";
        case SelectFiles: return "files";
    }
    return "unknown";
}

std::string formatName(BYTE number) {
    const FormatEntry* f = formatByNumber(number);
    return f ? f->name : std::to_string(number);
}

constexpr const char* kListColumns[] = {"id", "name", "format", "method", "mailbox", "target", "path"};

int listProcedures(ArgumentReader& reader) {
    const bool json = reader.flag("--json");
    const bool header = reader.flag("--header");
    if (!reader.positionals().empty()) throw UsageError("procedure list [--header] [--json]");
    std::string out;
    JsonWriter j;
    if (json) j.beginArray();
    if (header && !json) {
        out += tsvHeaderLine(kListColumns);
    }
    for (const BATRecord& d : listImportDefinitions()) {
        if (json) {
            j.beginObject().field(kListColumns[0], d.ID).field(kListColumns[1], d.DESCRIPTION.str());
            j.field(kListColumns[2], formatName(d.FILETYPE)).field(kListColumns[3], methodName(d.SELMETHOD));
            j.field(kListColumns[4], d.MAILBOX).field(kListColumns[5], d.DATABASE);
            j.field(kListColumns[6], d.IMPPATH.str()).endObject();
        } else {
            out += std::to_string(d.ID) + '\t' + outputField(d.DESCRIPTION.view()) + '\t' + formatName(d.FILETYPE) + '\t' +
                   methodName(d.SELMETHOD) + '\t' + std::to_string(d.MAILBOX) + '\t' + std::to_string(d.DATABASE) + '\t' +
                   outputField(d.IMPPATH.view()) + '\n';
        }
    }
    if (json) out = j.endArray().str();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

int showProcedure(ArgumentReader& reader) {
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("procedure show ID [--json]");
    const ULONG id = recordIdArgument(args[0], "procedure show: ID");
    const std::optional<ImportDefinition> d = readImportDefinition(id);
    if (!d) {
        std::fprintf(stderr, "pmoor32: procedure show: no import definition %u\n", id);
        return ExitFailed;
    }
    const BATRecord& r = d->record;
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"id", std::to_string(r.ID)},
        {"name", r.DESCRIPTION.str()},
        {"format", formatName(r.FILETYPE)},
        {"method", methodName(r.SELMETHOD)},
        {"path", r.IMPPATH.str()},
        {"mailbox", std::to_string(r.MAILBOX)},
        {"target", std::to_string(r.DATABASE)},
        {"mail", std::to_string(r.MAILMSG)},
        {"forum", std::to_string(r.FORUMMSG)},
        {"newsgroup", std::to_string(r.NEWSGROUPMSG)},
        {"filter", std::to_string(r.MSGFILTER)},
        {"reimport", std::to_string(r.ALLOWREIMP)},
        {"topic", std::to_string(r.MAILTOPIC)},
    };
    std::string out;
    if (json) {
        JsonWriter j;
        j.beginObject();
        // Numbers stay numbers, as in every other JSON record.
        for (const auto& [name, value] : fields) {
            const bool text = name == "name" || name == "format" || name == "method" || name == "path";
            if (text) j.field(name, value);
            else j.field(name, std::stoll(value));
        }
        j.key("entries").beginArray();
        for (const std::string& e : d->fileEntries) j.value(e);
        out = j.endArray().endObject().str();
    } else {
        for (const auto& [name, value] : fields) out += name + '\t' + outputField(value) + '\n';
        for (const std::string& e : d->fileEntries) out += "entry\t" + outputField(e) + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

// Selected files below the import path are kept by their names there, so
// the file list's entries fit and the definition can move with its files.
void relativeToImportPath(ImportRequest& request) {
    for (std::string& file : request.selectedFiles) {
        const std::filesystem::path p(file);
        if (p.is_absolute() && p.parent_path() == std::filesystem::path(request.importPath))
            file = p.filename().string();
    }
}

int createProcedure(const CommandContext& ctx, ArgumentReader& reader) {
    std::string formatArg, mailbox, target;
    ImportSourceArguments source;
    if (!reader.option("--format", formatArg)) throw UsageError("procedure create needs --format F");
    const bool haveMailbox = reader.option("--mailbox", mailbox);
    const bool haveTarget = reader.option("--target", target);
    const bool reimport = reader.flag("--reimport");
    reader.option("--method", source.method);
    const std::vector<std::string> masks = reader.options("--mask");
    source.haveMasks = !masks.empty();
    for (const std::string& m : masks) source.masks += (source.masks.empty() ? "" : ";") + m;
    std::vector<std::string> args = reader.positionals();
    if (args.empty()) throw UsageError("procedure create NAME --format F ... PATH...");
    const std::string name = args.front();
    checkName(name, "procedure create: the name");
    if (name.empty()) throw UsageError("procedure create: the name is empty");
    source.paths.assign(args.begin() + 1, args.end());
    if (haveMailbox && haveTarget) throw UsageError("procedure create: give --mailbox or --target, not both");

    const FormatEntry& format = formatArgument(formatArg, "procedure create");
    ImportRequest request;
    setRequestSource(request, format, source, "procedure create");
    if (format.kinds == KindMail && !haveMailbox)
        throw UsageError(std::string("procedure create: the format ") + format.name + " holds mail: --mailbox DB is needed");
    relativeToImportPath(request);

    openInstallationForCommand(ctx, InstallationUse::Write);
    if (haveMailbox) request.mailbox = static_cast<LONG>(databaseArgumentId(mailbox, "--mailbox"));
    if (haveTarget) request.targetDatabase = static_cast<LONG>(databaseArgumentId(target, "--target"));
    request.importForum = (format.kinds & KindForum) ? 1 : 0;
    request.importNewsgroup = (format.kinds & KindNews) ? 1 : 0;
    request.importMail = (format.kinds & KindMail) && haveMailbox ? 1 : 0;
    request.allowReimport = reimport ? 1 : 0;
    setRequestFormat(request, format.number);
    if (const DefinitionCheck path = checkDefinitionPath(request.importPath); !path.ok()) {
        std::fprintf(stderr, "pmoor32: procedure create: the import path is longer than %zu bytes\n", DefinitionPathWidth);
        return ExitFailed;
    }
    ImportDefinition definition = definitionFromRequest(request, name);
    if (saveImportDefinition(definition) != SaveOutcome::Saved) return ExitFailed;
    std::printf("%u\t%s\n", definition.record.ID, outputField(definition.record.DESCRIPTION.view()).c_str());
    return ExitOk;
}

int deleteProcedure(ArgumentReader& reader) {
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("procedure delete ID");
    const ULONG id = recordIdArgument(args[0], "procedure delete: ID");
    const DefinitionDeletion deletion = deleteImportDefinition(id);
    if (!deletion.deleted) {
        std::fprintf(stderr, "pmoor32: procedure delete: no import definition %u was deleted\n", id);
        return ExitFailed;
    }
    std::printf("deleted\t%u\ntask_steps_removed\t%d\n", id, deletion.taskStepsRemoved);
    return ExitOk;
}

}  // namespace

int commandProcedure(CommandContext& ctx) {
    if (ctx.args.empty()) throw UsageError("procedure list|show ID|create NAME ...|delete ID");
    const std::string sub = ctx.args.front();
    ArgumentReader reader(std::vector<std::string>(ctx.args.begin() + 1, ctx.args.end()));
    if (sub == "create") return createProcedure(ctx, reader);
    if (sub != "list" && sub != "show" && sub != "delete")
        throw UsageError("procedure: unknown action \"" + sub + "\" (list, show, create, delete)");
    openInstallationForCommand(ctx, sub == "delete" ? InstallationUse::Write : InstallationUse::Read);
    if (sub == "list") return listProcedures(reader);
    if (sub == "show") return showProcedure(reader);
    return deleteProcedure(reader);
}

}  // namespace pm::cli
