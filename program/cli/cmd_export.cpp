// pmoor32 export DB ... OUTFILE and pmoor32 print DB ... --pdf OUTFILE: the
// export and print runs of the set operations window on a set of messages.
#include <cstdio>
#include <memory>
#include <string>

#include "browse/browse_tables.h"
#include "cli/commands.h"
#include "cli/desktop_loader.h"
#include "cli/job_runner.h"
#include "common/dates.h"
#include "common/globals.h"
#include "common/text.h"
#include "sets/set_operation.h"
#include "tables/records/all_tables.h"

namespace pm::cli {

namespace {

struct LayoutChoice {
    const char* name;
    OutputLayout layout;
};
constexpr LayoutChoice kLayouts[] = {
    {"tapcis", OutputLayout::Tapcis},
    {"eudora", OutputLayout::Eudora},
    {"unix-rfc822", OutputLayout::UnixRfc822},
    {"ozwin2", OutputLayout::OzWin2},
};

OutputLayout layoutNamed(const std::string& name) {
    for (const LayoutChoice& l : kLayouts)
        if (name == l.name) return l.layout;
    throw UsageError("--layout is one of plain|tapcis|eudora|unix-rfc822|ozwin2");
}

// YYYY-MM-DD as a day number.
LONG dateArgument(const std::string& text, const char* option) {
    int y = 0, m = 0, d = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3 || !isValidDate(y, m, d))
        throw UsageError(std::string(option) + " takes a date YYYY-MM-DD, not \"" + text + "\"");
    return dayNumber(y, m, d);
}

ULONG wordNamed(const std::string& word) {
    for (const std::string& w : {word, toUpper(word)}) {
        WordList.clear();
        WOR.THEWORD = w;
        if (WordList.get(WOR_by_theWord) == StorageStatus::Ok) return static_cast<ULONG>(WOR.WORDID);
    }
    throw UsageError("the word \"" + word + "\" is not in the word index");
}

// The options both commands share: the set and its date range.
struct SetOptions {
    std::string by, of, fromDate, toDate, word, topic;
};

void readSetOptions(ArgumentReader& reader, SetOptions& o) {
    reader.option("--by", o.by);
    reader.option("--of", o.of);
    reader.option("--from-date", o.fromDate);
    reader.option("--to-date", o.toDate);
    reader.option("--word", o.word);
    reader.option("--topic", o.topic);
}

// The newest message of the active database: the origin of a set that
// needs no current message.
ULONG newestMessage() {
    Table& t = Mem.ForumType == TypeMail ? Mail : MsgNmbr;
    t.clear();
    t.set(Mem.ForumType == TypeMail ? MAI_DateKey : MSG_DateKey);
    if (t.next() != StorageStatus::Ok) return 0;
    return Mem.ForumType == TypeMail ? MAI.MAILID : MSG.MSGNUMBER;
}

// Fills the request's set from the options; the tables the set reads are
// added to `tables`.
void chooseSet(const SetOptions& o, BrowseTables& tables, SetRequest& request) {
    const std::string by = o.by.empty() ? (o.of.empty() ? "date" : "thread") : o.by;
    const std::optional<SetScope> scope = setScopeNamed(by);
    if (!scope) throw UsageError("--by is one of thread|section|from|to|date|topic|word|search");
    if (!setScopeOffered(*scope, Mem.ForumType)) throw UsageError("mail databases have no sections");
    request.scope = *scope;
    const bool needsCurrent = *scope <= SetScope::Section;
    if (needsCurrent && o.of.empty()) throw UsageError("--by " + by + " needs --of MSGNUMBER");
    request.origin.current = o.of.empty() ? newestMessage() : messageNumberArgument(o.of);
    if (*scope == SetScope::Word) {
        if (o.word.empty()) throw UsageError("--by word needs --word WORD");
        if (!requireWordIndex()) throw UsageError(Mem.Description + " is not word indexed");
        tables.addWordIndex();
        request.origin.word = wordNamed(o.word);
    } else if (!o.word.empty()) {
        throw UsageError("--word goes with --by word");
    }
    if (*scope == SetScope::Topic) {
        if (o.topic.empty()) throw UsageError("--by topic needs --topic ID");
        request.origin.topic = static_cast<ULONG>(numberArgument(o.topic, "--topic", 1, UINT32_MAX));
    } else if (!o.topic.empty()) {
        throw UsageError("--topic goes with --by topic");
    }
    if (o.fromDate.empty() != o.toDate.empty()) throw UsageError("--from-date and --to-date go together");
    if (!o.fromDate.empty()) {
        request.dates.on = true;
        request.dates.from = dateArgument(o.fromDate, "--from-date");
        request.dates.to = dateArgument(o.toDate, "--to-date");
        if (request.dates.to < request.dates.from) throw UsageError("A negative date range cannot be allowed.");
    }
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int finishRun(const JobRunResult& run, const SetOperationJob& job) {
    std::printf("messages\t%lld\n", job.handled());
    std::printf("passed-over\t%lld\n", job.passedOver());
    return exitCodeOf(run);
}

}  // namespace

int commandExport(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    SetOptions o;
    std::string layoutName, sent;
    reader.option("--layout", layoutName);
    reader.option("--sent", sent);
    const bool append = reader.flag("--append");
    readSetOptions(reader, o);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 2 || layoutName.empty())
        throw UsageError("export DB --layout plain|tapcis|eudora|unix-rfc822|ozwin2 [--by SET] ... OUTFILE");
    const std::string& outFile = args[1];
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    const bool plain = layoutName == "plain";
    const OutputLayout layout = plain ? configuredLayout(Mem.ForumType) : layoutNamed(layoutName);
    if (!plain && !layoutOffered(layout, Mem.ForumType))
        throw UsageError(std::string("the ") + outputLayoutName(layout) + " layout is not offered for " +
                         (Mem.ForumType == TypeMail ? "mail" : Mem.ForumType == TypeNewsgroup ? "newsgroup" : "forum") +
                         " databases");
    if (!sent.empty() && (plain || !twoFileLayout(Mem.ForumType, layout)))
        throw UsageError("--sent goes with the two-file mail layouts (eudora, unix-rfc822, ozwin2)");
    if (!sent.empty() && directoryOf(sent) != directoryOf(outFile))
        throw UsageError("--sent must lie in the directory of OUTFILE");

    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Browse);
    SetRequest request;
    request.operation = append ? SetOperation::ExportAppend : SetOperation::ExportNew;
    // Plain with a message and no set: the single copy of that message.
    if (plain && o.by.empty() && !o.of.empty()) {
        request.scope = SetScope::Current;
        request.origin.current = messageNumberArgument(o.of);
        if (!o.fromDate.empty()) throw UsageError("the single copy of --of takes no date range");
    } else {
        chooseSet(o, tables, request);
    }
    request.plain = plain;
    request.layout = layout;
    request.directory = directoryOf(outFile);
    request.files.first = fileNameOf(outFile);
    request.files.second = sent.empty() ? std::string() : fileNameOf(sent);
    request.oneFile = sent.empty();
    SetOperationJob job(request);
    const JobRunResult run = runJob(ctx, job);
    return finishRun(run, job);
}

int commandPrint(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    SetOptions o;
    std::string pdf;
    reader.option("--pdf", pdf);
    readSetOptions(reader, o);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1 || pdf.empty()) throw UsageError("print DB [--by SET] ... --pdf OUTFILE");
    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Browse);
    SetRequest request;
    request.operation = SetOperation::Print;
    chooseSet(o, tables, request);
    std::string error;
    std::unique_ptr<MessagePrinter> printer = loadPdfPrinter(pdf, error);
    if (!printer) {
        std::fprintf(stderr, "pmoor32: %s\n", error.c_str());
        return ExitFailed;
    }
    request.printer = printer.get();
    SetOperationJob job(request);
    const JobRunResult run = runJob(ctx, job);
    return finishRun(run, job);
}

}  // namespace pm::cli
