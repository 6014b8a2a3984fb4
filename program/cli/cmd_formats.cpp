// pmoor32 formats: the import formats, each with a line on the files it reads.
#include <cstdio>

#include "cli/commands.h"
#include "cli/format_choice.h"
#include "cli/json_writer.h"

namespace pm::cli {

int commandFormats(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool json = reader.flag("--json");
    if (!reader.positionals().empty()) throw UsageError("formats [--json]");
    std::string out;
    JsonWriter j;
    if (json) j.beginArray();
    for (const FormatEntry* f : formatList()) {
        const std::string files = formatFileDescription(*f);
        if (json) {
            j.beginObject().field("number", f->number).field("name", f->name).field("masks", f->masks);
            j.field("files", files).field("importable", formatImportable(f->number)).endObject();
        } else {
            out += std::to_string(f->number) + '\t' + f->name + '\t' + f->masks + '\t' + files + '\n';
        }
    }
    if (json) out = j.endArray().str();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

}  // namespace pm::cli
