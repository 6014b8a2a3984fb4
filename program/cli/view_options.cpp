#include "cli/view_options.h"

#include <cstdint>

#include "browse/browse_views.h"
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

// The context the options describe; throws UsageError when they do not fit.
void chooseView(const ViewOptions& o, bool wordIndex, BrowseContext& c, MailBrowseContext& m) {
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
        return static_cast<ULONG>(numberArgument(text, option, 0, UINT32_MAX));
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
        onlyWith(o.word, o.wordOption.c_str(), view == MailByKeyWord);
        if (!o.person.empty())
            setPersonFilter(m, view == MailByPartner  ? BrowsePersonRole::Partner
                               : view == MailBySender ? BrowsePersonRole::Sender
                                                      : BrowsePersonRole::Receiver,
                            number(o.person, "--person"));
        if (view == MailByTopic) needs(!o.topic.empty(), "--topic ID"), m.XTOPICSID = number(o.topic, "--topic");
        if (view == MailByKeyWord) needs(!o.word.empty(), (o.wordOption + " WORD").c_str()), m.XSINDEXID = wordNamed(o.word);
        return;
    }
    c.SORTORDER = view;
    onlyWith(o.thread, "--thread", view == ViewByThread);
    onlyWith(o.section, "--section", view == ViewBySection);
    onlyWith(o.person, "--person", view == ViewBySender || view == ViewByReceiver);
    onlyWith(o.topic, "--topic", view == ViewByTopic);
    onlyWith(o.word, o.wordOption.c_str(), view == ViewByKeyWord);
    if (!o.thread.empty()) setThreadFilter(c, number(o.thread, "--thread"));
    if (view == ViewBySection)
        needs(!o.section.empty(), "--section N"), c.XSECSYSID = sectionNumbered(number(o.section, "--section"));
    if (!o.person.empty())
        setPersonFilter(c, view == ViewBySender ? BrowsePersonRole::Sender : BrowsePersonRole::Receiver,
                        number(o.person, "--person"));
    if (view == ViewByTopic) needs(!o.topic.empty(), "--topic ID"), c.XTOPICSID = number(o.topic, "--topic");
    if (view == ViewByKeyWord) needs(!o.word.empty(), (o.wordOption + " WORD").c_str()), c.XSINDEXID = wordNamed(o.word);
}

}  // namespace

ViewOptions readViewOptions(ArgumentReader& reader, const std::string& wordOption) {
    ViewOptions o;
    o.wordOption = wordOption;
    reader.option("--by", o.by);
    reader.option("--thread", o.thread);
    reader.option("--section", o.section);
    reader.option("--person", o.person);
    reader.option("--topic", o.topic);
    reader.option(wordOption, o.word);
    return o;
}

KeyRange chosenViewRange(const ViewOptions& o, BrowseTables& tables) {
    const bool byWord = o.by == "word" || (o.by.empty() && !o.word.empty());
    if (byWord) tables.addWordIndex();
    if (o.by == "topic" || (o.by.empty() && !o.topic.empty())) tables.add(SIndex), tables.add(Codes);
    if (o.by == "search") tables.add(Search);
    BrowseContext c = zeroBrowseContext();
    MailBrowseContext m = zeroMailBrowseContext();
    chooseView(o, tables.wordIndex(), c, m);
    return Mem.ForumType == TypeMail ? mailViewRange(m) : messageViewRange(c);
}

}  // namespace pm::cli
