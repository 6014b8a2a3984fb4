// pmoor32 topics DB list|add|rename|delete|attach|detach: the topic list
// window and the Attach Topics window, with the same writes.
#include <cstdio>
#include <string>
#include <vector>

#include "browse/browse_tables.h"
#include "browse/topics.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm::cli {

namespace {

constexpr const char* kUsage =
    "topics DB list [--json] | add NAME | rename TOPIC NAME | delete TOPIC | attach TOPIC MSGNUMBER... | "
    "detach TOPIC MSGNUMBER...";

// TOPIC: a topic id, else a topic name (any case).
Topic topicArgument(const std::string& text) {
    Topic t;
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (digits && findTopic(static_cast<ULONG>(numberArgument(text, "TOPIC", 1, 0xFFFFFFFFLL)), t)) return t;
    if (findTopicNamed(text, t)) return t;
    throw UsageError(Mem.Description + " has no topic " + text + " (see: pmoor32 topics DB list)");
}

// Messages carrying the topic, counted from the attachments themselves
// (the stored count is repaired when the topic list window opens).
ULONG attachmentCount(ULONG topic) {
    SIndex.clear();
    SIN.ID = topic;
    const std::int64_t n = SIndex.rangeCount(SIN_IdKey, 1);
    return n < 0 ? 0 : static_cast<ULONG>(n);
}

int list(bool json) {
    const std::vector<Topic> topics = listTopics();
    JsonWriter j;
    if (json) j.beginArray();
    for (const Topic& t : topics) {
        const ULONG count = attachmentCount(t.id);
        if (json) j.beginObject().field("id", t.id).field("name", t.name).field("count", count).endObject();
        else std::printf("%u\t%s\t%u\n", t.id, outputField(t.name).c_str(), count);
    }
    if (json) {
        j.endArray();
        std::fputs(j.str().c_str(), stdout);
    }
    return ExitOk;
}

int change(const Topic& topic, const std::vector<std::string>& numbers, bool attach) {
    std::vector<ULONG> messages;
    for (const std::string& n : numbers) messages.push_back(messageNumberArgument(n));
    const TopicSetResult r = attach ? attachTopic(topic.id, messages) : detachTopic(topic.id, messages);
    for (ULONG m : r.missing) std::fprintf(stderr, "pmoor32: %s holds no message %u\n", Mem.Description.c_str(), m);
    if (!r.ok) return ExitFailed;
    std::printf("%s\t%u\n", attach ? "attached" : "detached", r.changed);
    std::printf("unchanged\t%u\n", r.unchanged);
    return r.missing.empty() ? ExitOk : ExitFailed;
}

}  // namespace

int commandTopics(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() < 2) throw UsageError(kUsage);
    const std::string& what = args[1];
    const std::size_t operands = args.size() - 2;
    const bool known = (what == "list" && operands == 0) || (what == "add" && operands == 1) ||
                       (what == "rename" && operands == 2) || (what == "delete" && operands == 1) ||
                       ((what == "attach" || what == "detach") && operands >= 2);
    if (!known) throw UsageError(kUsage);
    if (json && what != "list") throw UsageError("--json goes with topics DB list");
    if (what == "add" || what == "rename") checkName(args.back(), "a topic name");

    openInstallationForCommand(ctx, what == "list" ? InstallationUse::Read : InstallationUse::Write);
    activateDatabaseArgument(args[0]);
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    tables.add(Codes);
    tables.add(SIndex);

    if (what == "list") return list(json);
    if (what == "add") {
        const ULONG id = addTopic(args[2]);
        if (id == 0) return ExitFailed;
        Topic t;
        findTopic(id, t);
        std::printf("%u\t%s\n", id, outputField(t.name).c_str());
        return ExitOk;
    }
    const Topic topic = topicArgument(args[2]);
    if (what == "rename") {
        if (!renameTopic(topic.id, args[3])) return ExitFailed;
        Topic t;
        findTopic(topic.id, t);
        std::printf("%u\t%s\n", t.id, outputField(t.name).c_str());
        return ExitOk;
    }
    if (what == "delete") {
        const ULONG carried = attachmentCount(topic.id);
        if (!deleteTopic(topic.id)) return ExitFailed;
        std::printf("deleted\t%u\t%s\t%u\n", topic.id, outputField(topic.name).c_str(), carried);
        return ExitOk;
    }
    return change(topic, {args.begin() + 3, args.end()}, what == "attach");
}

}  // namespace pm::cli
