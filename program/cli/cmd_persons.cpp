// pmoor32 dedupe-persons DB, persons DB [--json] and person DB
// merge|rename|swap-alias: the duplicate merging window, the person browse
// and its name form, alias window and merge window, with the same writes.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "cli/json_writer.h"
#include "common/globals.h"
#include "common/text.h"
#include "maintenance/duplicate_run.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/person_edits.h"
#include "tables/persons/parse_name.h"
#include "tables/records/all_tables.h"

namespace pm::cli {

namespace {

unsigned long idArgument(const std::string& text, const char* what) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || id == 0) throw UsageError(std::string(what) + " must be a person id: " + text);
    return id;
}

void printCounters(const Job& job) {
    for (const auto& [name, value] : job.report().counters)
        if (name != duplicate_counter::Phase) std::printf("%s\t%lld\n", name.c_str(), value);
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : " | ") + p;
    return out;
}

bool readPerson(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) == StorageStatus::Ok) return true;
    std::fprintf(stderr, "pmoor32: %s has no person %u\n", Mem.Description.c_str(), id);
    return false;
}

}  // namespace

int commandDedupePersons(CommandContext& ctx) {
    const std::vector<std::string> args = ArgumentReader(ctx.args).positionals();
    if (args.size() != 1) throw UsageError("dedupe-persons DB");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    DuplicateRun run;
    const JobRunResult result = runJob(ctx, run);
    printCounters(run);
    return exitCodeOf(result);
}

int commandPersons(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    const bool json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("persons DB [--json]");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    MaintenanceTables tables(Mem.ForumType);
    std::vector<PersonRecord> persons;
    Person.clear();
    Person.set(PER_NameKey);
    while (Person.next() == StorageStatus::Ok) persons.push_back(PER);
    JsonWriter j;
    if (json) j.beginArray();
    for (const PersonRecord& p : persons) {
        const std::vector<std::string> aliases = aliasesOf(p.PERSONID);
        if (json) {
            j.beginObject().field("id", p.PERSONID).field("name", displayName(p));
            j.field("address", std::string(trim(p.ADDRESS.view()))).field("sent", p.FROMCOUNT).field("received", p.TOCOUNT);
            j.key("aliases").beginArray();
            for (const std::string& a : aliases) j.value(a);
            j.endArray().endObject();
            continue;
        }
        std::printf("%u\t%s\t%s\t%u\t%u\t%s\n", p.PERSONID, displayName(p).c_str(), std::string(trim(p.ADDRESS.view())).c_str(),
                    p.FROMCOUNT, p.TOCOUNT, joined(aliases).c_str());
    }
    if (json) {
        j.endArray();
        std::fputs(j.str().c_str(), stdout);
    }
    return ExitOk;
}

int commandPerson(CommandContext& ctx) {
    const std::vector<std::string> args = ArgumentReader(ctx.args).positionals();
    const char* usage = "person DB merge KEEP_ID OTHER_ID... | person DB rename ID NAME | person DB swap-alias ID ALIAS_NUMBER";
    if (args.size() < 4) throw UsageError(usage);
    const std::string& action = args[1];
    if (action != "merge" && action != "rename" && action != "swap-alias") throw UsageError(usage);
    if (action != "merge" && args.size() != 4) throw UsageError(usage);
    const ULONG id = idArgument(args[2], action == "merge" ? "KEEP_ID" : "ID");
    std::vector<ULONG> others;
    if (action == "merge")
        for (std::size_t i = 3; i < args.size(); ++i) others.push_back(idArgument(args[i], "OTHER_ID"));
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);

    if (action == "merge") {
        DuplicateRun run(id, others);
        const JobRunResult result = runJob(ctx, run);
        for (ULONG q : run.merged()) std::printf("merged\t%u\t%u\n", q, id);
        if (exitCodeOf(result) != ExitOk) return exitCodeOf(result);
        return run.merged().size() == others.size() ? ExitOk : ExitFailed;
    }
    MaintenanceTables tables(Mem.ForumType);
    if (!readPerson(id)) return ExitFailed;
    if (action == "rename") {
        std::string last, first;
        ParseName(args[3], last, first);
        if (renamePerson(PER, last, first) != PersonEdit::Saved) return ExitFailed;
        readPerson(id);
        std::printf("%u\t%s\n", id, displayName(PER).c_str());
        return ExitOk;
    }
    const std::vector<std::string> aliases = aliasesOf(id);
    char* end = nullptr;
    const unsigned long n = std::strtoul(args[3].c_str(), &end, 10);
    if (*end != '\0' || n == 0 || n > aliases.size())
        throw UsageError("ALIAS_NUMBER counts the person's aliases from 1 (persons lists them): " + args[3]);
    if (swapAlias(id, aliases[n - 1]) != PersonEdit::Saved) return ExitFailed;
    readPerson(id);
    std::printf("%u\t%s\t%s\n", id, std::string(trim(PER.PERSONSTRING.view())).c_str(), joined(aliasesOf(id)).c_str());
    return ExitOk;
}

}  // namespace pm::cli
