// pmoor32 list DB: the messages of one browse view, in its order.
#include <cstdio>
#include <string>

#include "browse/browse_tables.h"
#include "browse/browse_views.h"
#include "browse/message_summary.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/message_output.h"
#include "common/globals.h"
#include "common/text.h"
#include "tables/records/all_tables.h"

namespace pm::cli {

namespace {

struct ViewChoice {
    const char* name;
    BYTE view;
};

// --by NAME for forum and newsgroup databases, and for mail databases.
constexpr ViewChoice kMessageViews[] = {
    {"number", ViewByNumber}, {"thread", ViewByThread}, {"section", ViewBySection}, {"from", ViewBySender},
    {"to", ViewByReceiver},   {"date", ViewByDate},     {"word", ViewByKeyWord},    {"topic", ViewByTopic},
    {"search", ViewBySearch},
};
constexpr ViewChoice kMailViews[] = {
    {"date", MailByDate},    {"subject", MailBySubject}, {"partner", MailByPartner}, {"from", MailBySender},
    {"to", MailByReceiver},  {"word", MailByKeyWord},    {"topic", MailByTopic},     {"search", MailBySearch},
};

template <std::size_t N>
BYTE viewNamed(const ViewChoice (&views)[N], const std::string& name, const char* kind) {
    for (const ViewChoice& v : views)
        if (name == v.name) return v.view;
    std::string names;
    for (const ViewChoice& v : views) names += std::string(names.empty() ? "" : "|") + v.name;
    throw UsageError(std::string("--by for ") + kind + " databases is one of " + names);
}

// The section of number `n` (as the browse shows it), by its id.
ULONG sectionNumbered(ULONG n) {
    ULONG found = 0;
    int matches = 0;
    Sections.clear();
    SEC.SECTIONNUMBER = n;
    Sections.setAt(SEC_SectionKey);
    while (Sections.next() == StorageStatus::Ok && SEC.SECTIONNUMBER == n) {
        found = SEC.SECSYSID;
        ++matches;
    }
    if (matches > 1) throw UsageError("more than one section is numbered " + std::to_string(n));
    return found;
}

ULONG wordNamed(const std::string& word) {
    for (const std::string& w : {word, toUpper(word)}) {
        WordList.clear();
        WOR.THEWORD = w;
        if (WordList.get(WOR_by_theWord) == StorageStatus::Ok) return static_cast<ULONG>(WOR.WORDID);
    }
    return 0;
}

struct Options {
    std::string by, thread, section, person, topic, word, status, limit;
    bool json = false;
};

// The context the options describe; throws UsageError when they do not fit.
void chooseView(const Options& o, bool wordIndex, BrowseContext& c, MailBrowseContext& m) {
    const bool mail = Mem.ForumType == TypeMail;
    std::string by = o.by;
    if (by.empty()) {
        if (!o.thread.empty()) by = "thread";
        else if (!o.section.empty()) by = "section";
        else if (!o.topic.empty()) by = "topic";
        else if (!o.word.empty()) by = "word";
        else if (!o.person.empty()) by = "from";
        else by = mail ? "date" : "number";
    }
    const BYTE view = mail ? viewNamed(kMailViews, by, "mail") : viewNamed(kMessageViews, by, "forum and newsgroup");
    auto number = [](const std::string& text, const char* option) {
        try {
            std::size_t used = 0;
            const unsigned long n = std::stoul(text, &used);
            if (used == text.size()) return static_cast<ULONG>(n);
        } catch (const std::exception&) {
        }
        throw UsageError(std::string(option) + " needs a number, not \"" + text + "\"");
    };
    auto needs = [&](bool given, const char* option) {
        if (!given) throw UsageError("--by " + by + " needs " + option);
    };
    auto onlyWith = [&](const std::string& value, const char* option, bool fits) {
        if (!value.empty() && !fits) throw UsageError(std::string(option) + " does not narrow --by " + by);
    };
    if ((by == "word") && !wordIndex) throw UsageError(Mem.Description + " is not word indexed");
    if (mail) {
        m.SORTORDER = view;
        onlyWith(o.thread, "--thread", false);
        onlyWith(o.section, "--section", false);
        onlyWith(o.person, "--person", view >= MailByPartner && view <= MailByReceiver);
        onlyWith(o.topic, "--topic", view == MailByTopic);
        onlyWith(o.word, "--word", view == MailByKeyWord);
        if (!o.person.empty())
            setPersonFilter(m, view == MailByPartner  ? BrowsePersonRole::Partner
                               : view == MailBySender ? BrowsePersonRole::Sender
                                                      : BrowsePersonRole::Receiver,
                            number(o.person, "--person"));
        if (view == MailByTopic) needs(!o.topic.empty(), "--topic ID"), m.XTOPICSID = number(o.topic, "--topic");
        if (view == MailByKeyWord) needs(!o.word.empty(), "--word WORD"), m.XSINDEXID = wordNamed(o.word);
        return;
    }
    c.SORTORDER = view;
    onlyWith(o.thread, "--thread", view == ViewByThread);
    onlyWith(o.section, "--section", view == ViewBySection);
    onlyWith(o.person, "--person", view == ViewBySender || view == ViewByReceiver);
    onlyWith(o.topic, "--topic", view == ViewByTopic);
    onlyWith(o.word, "--word", view == ViewByKeyWord);
    if (!o.thread.empty()) setThreadFilter(c, number(o.thread, "--thread"));
    if (view == ViewBySection)
        needs(!o.section.empty(), "--section N"), c.XSECSYSID = sectionNumbered(number(o.section, "--section"));
    if (!o.person.empty())
        setPersonFilter(c, view == ViewBySender ? BrowsePersonRole::Sender : BrowsePersonRole::Receiver,
                        number(o.person, "--person"));
    if (view == ViewByTopic) needs(!o.topic.empty(), "--topic ID"), c.XTOPICSID = number(o.topic, "--topic");
    if (view == ViewByKeyWord) needs(!o.word.empty(), "--word WORD"), c.XSINDEXID = wordNamed(o.word);
}

int statusNamed(const std::string& name) {
    if (name.empty()) return -1;
    if (name == "normal") return StatusNormal;
    if (name == "keep") return StatusKeep;
    if (name == "delete") return StatusDelete;
    throw UsageError("--status is one of normal|keep|delete");
}

}  // namespace

int commandList(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    Options o;
    reader.option("--by", o.by);
    reader.option("--thread", o.thread);
    reader.option("--section", o.section);
    reader.option("--person", o.person);
    reader.option("--topic", o.topic);
    reader.option("--word", o.word);
    reader.option("--status", o.status);
    reader.option("--limit", o.limit);
    o.json = reader.flag("--json");
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("list DB [--by VIEW] [--thread N|--section N|--person ID] ...");
    const int status = statusNamed(o.status);
    long limit = -1;
    if (!o.limit.empty()) {
        try {
            limit = std::stol(o.limit);
        } catch (const std::exception&) {
            limit = -2;
        }
        if (limit < 0) throw UsageError("--limit needs a number of 0 or more");
    }

    openInstallationForCommand(ctx);
    activateDatabaseArgument(args[0]);
    // The headers and what they name; the tables of the view on top.
    BrowseTables tables(Mem.ForumType, BrowseTables::Scope::Headers);
    const bool byWord = o.by == "word" || (o.by.empty() && !o.word.empty());
    if (byWord) tables.addWordIndex();
    if (o.by == "topic" || (o.by.empty() && !o.topic.empty())) tables.add(SIndex), tables.add(Codes);
    if (o.by == "search") tables.add(Search);
    BrowseContext c = zeroBrowseContext();
    MailBrowseContext m = zeroMailBrowseContext();
    chooseView(o, tables.wordIndex(), c, m);
    const KeyRange range = Mem.ForumType == TypeMail ? mailViewRange(m) : messageViewRange(c);

    MessageOutput out(o.json);
    RowLookups lookups;
    MessageSummary summary;
    long listed = 0;
    Table& t = *range.table;
    range.primeEdge(false);
    t.setAt(*range.key);
    while ((limit < 0 || listed < limit) && t.next() == StorageStatus::Ok && range.holdsBuffer()) {
        // Reading the message by its key leaves the list's sequence where it is.
        if (!readMessageSummary(listedMessage(range), lookups, summary)) continue;
        if (status >= 0 && summary.status != status) continue;
        out.add(summary);
        ++listed;
    }
    out.finish();
    return listed > 0 ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
