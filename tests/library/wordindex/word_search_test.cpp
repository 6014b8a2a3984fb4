// The professional search over an indexed database: word finding, the
// checks of the search word input, AND/OR/NOT sets, phrases, blocks that
// pause, and the result set.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "index_test_support.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/settings.h"
#include "tables/records/all_tables.h"
#include "wordindex/search_collector.h"
#include "wordindex/search_expression.h"
#include "wordindex/search_tables.h"
#include "wordindex/word_finder.h"
#include "wordindex/word_query.h"

namespace pm::test {
namespace {

std::string names(const std::vector<FoundWord>& found) {
    std::set<std::string> sorted;
    for (const FoundWord& f : found) sorted.insert(f.word);
    std::string out;
    for (const std::string& w : sorted) out += (out.empty() ? "" : " ") + w;
    return out;
}

class WordSearchTest : public IndexTest {
protected:
    void SetUp() override {
        IndexTest::SetUp();
        useDatabase(TypeForum);
    }
    void TearDown() override {
        tables.close();
        LONG pause = 10000;
        WSVars(2, 50, nullptr, nullptr, &pause);
        IndexTest::TearDown();
    }

    // Writes messages and indexes them; returns their numbers.
    std::vector<ULONG> indexed(const std::vector<std::pair<std::string, std::string>>& messages) {
        std::vector<ULONG> numbers;
        {
            MessageWriter writer(type);
            for (const auto& [heading, text] : messages) numbers.push_back(writer.add(heading, text));
        }
        EXPECT_EQ(index(), IndexRun::State::Done);
        return numbers;
    }

    std::vector<FoundWord> find(const std::string& typed, SearchWordOptions options) {
        const auto request = prepareSearchWords(typed, options);
        if (!request) return {};
        std::vector<FoundWord> all;
        for (const std::string& word : request->words) {
            WordFinder finder(word, request->options.matchType(), request->options.wholeWord, request->options.degree);
            EXPECT_EQ(runToEnd(finder), JobStatus::Done);
            all.insert(all.end(), finder.found().begin(), finder.found().end());
        }
        return all;
    }

    FoundWord word(const std::string& w) {
        const auto found = find(w, {});
        EXPECT_EQ(found.size(), 1u) << w;
        return found.empty() ? FoundWord{} : found.front();
    }

    SearchTables tables;
};

SearchWordOptions opts(bool whole, bool starts, bool soundex = false, bool approximate = false, int degree = 1,
                       bool phrase = false) {
    SearchWordOptions o;
    o.wholeWord = whole;
    o.startsWith = starts;
    o.soundex = soundex;
    o.approximate = approximate;
    o.degree = degree;
    o.phrase = phrase;
    return o;
}

TEST_F(WordSearchTest, WordFindingByEveryMatchType) {
    indexed({{"", "win wan won twin windows WIN.INI wine robert rupert rubin"}});
    ASSERT_TRUE(tables.open(type));
    struct Case {
        const char* typed;
        SearchWordOptions options;
        const char* found;
    };
    const Case cases[] = {
        {"win", opts(true, true), "WIN"},
        {"WIN*", opts(true, true), "WIN WIN.INI WINDOWS WINE"},
        {"*IN*", opts(true, true), "RUBIN TWIN WIN WIN.INI WINDOWS WINE"},
        {"W?N", opts(true, true), "WAN WIN WON"},
        {"?IN", opts(true, true), "WIN"},
        {"win", opts(false, true), "WIN WIN.INI WINDOWS WINE"},
        {"in", opts(false, false), "RUBIN TWIN WIN WIN.INI WINDOWS WINE"},
        {"in", opts(true, false), "RUBIN TWIN WIN"},
        {"robert", opts(false, false, true), "ROBERT RUPERT"},
        {"windowz", opts(true, false, false, true, 1), "WINDOWS"},
        {"wnie", opts(true, false, false, true, 1), ""},
        {"wnie", opts(true, false, false, true, 2), "TWIN WIN WIN.INI WINE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(names(find(c.typed, c.options)), c.found);
    }
}

TEST_F(WordSearchTest, SearchWordInputIsCheckedWithTheWindowsMessages) {
    indexed({{"", "alpha beta"}});
    addStopWord("THE");
    ASSERT_TRUE(tables.open(type));
    struct Case {
        const char* typed;
        SearchWordOptions options;
        const char* caption;  // the last box shown, "" for none
        const char* words;    // what is left to look up, "-" when refused
    };
    const Case cases[] = {
        {"w?n", opts(true, true, false, false, 1, true), "Search Problem", "-"},
        {"w*n", opts(false, false, true), "Search Problem", "-"},
        {"w?n", opts(true, false, false, true), "Search Problem", "-"},
        {" .,; ", opts(true, true), "Blank Search", "-"},
        {"a", opts(true, true), "No valid searchwords", "-"},
        {"a the alpha", opts(true, true), "Non-Indexed Word", "ALPHA"},
        {"a", opts(false, true), "", "A"},  // one letter is fine when not exact
        {"r", opts(false, false, true), "Too Few Letters", "-"},
        {"r2d2", opts(false, false, true), "Only Letters Please", "-"},
        {"aeiou", opts(false, false, true), "Soundex Error", "-"},
        {"w", opts(false, false, false, true), "Too Few Letters", "-"},
        {"new the york", opts(true, true, false, false, 1, true), "", "NEW YORK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ui.clear();
        const auto request = prepareSearchWords(c.typed, c.options);
        std::string words = "-";
        if (request) {
            words.clear();
            for (const std::string& w : request->words) words += (words.empty() ? "" : " ") + w;
        }
        EXPECT_EQ(words, c.words);
        EXPECT_EQ(ui.empty() ? "" : ui.last().caption, c.caption);
    }
    ui.clear();
    prepareSearchWords("a the alpha", opts(true, true));
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].text, "The word: A is a Non-Indexed Word.|It has been removed from the search.");
    // In a phrase the non-indexed words stay, marked.
    const auto phrase = prepareSearchWords("the alpha", opts(true, true, false, false, 1, true));
    ASSERT_TRUE(phrase);
    EXPECT_EQ(phrase->phrase, (std::vector<PhraseWord>{{"THE", true}, {"ALPHA", false}}));
}

TEST_F(WordSearchTest, AndNotAndOrListsGiveTheirSets) {
    const auto m = indexed({{"", "apple banana"}, {"", "apple"}, {"", "banana"}, {"", "apple cherry"}});
    ASSERT_TRUE(tables.open(type));
    const FoundWord apple = word("apple"), banana = word("banana"), cherry = word("cherry");
    struct Case {
        const char* name;
        SearchExpression expression;
        std::vector<ULONG> found;  // newest first
        std::set<std::string> hits;
    };
    const Case cases[] = {
        {"A and not B", {{entryOf(apple), entryOf(banana, true)}, {}}, {m[3], m[1]}, {"APPLE"}},
        {"B or C", {{}, {entryOf(banana), entryOf(cherry)}}, {m[3], m[2], m[0]}, {"BANANA", "CHERRY"}},
        {"A and (B or C)", {{entryOf(apple)}, {entryOf(banana), entryOf(cherry)}}, {m[3], m[0]},
         {"APPLE", "BANANA", "CHERRY"}},
        {"A and B", {{entryOf(apple), entryOf(banana)}, {}}, {m[0]}, {"APPLE", "BANANA"}},
        {"not A", {{entryOf(apple, true)}, {}}, {m[2]}, {}},
        {"(B or C) and not A", {{entryOf(apple, true)}, {entryOf(banana), entryOf(cherry)}}, {m[2]}, {"BANANA", "CHERRY"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchCollector collector(c.expression, type, 10000);
        EXPECT_EQ(runToEnd(collector), JobStatus::Done);
        EXPECT_EQ(collector.messagesNewestFirst(), c.found);
        EXPECT_EQ(collector.hitWords(), c.hits);
    }
    // The rarest positive word drives; the result does not depend on the order.
    SearchCollector reversed({{entryOf(banana), entryOf(apple)}, {}}, type, 10000);
    runToEnd(reversed);
    EXPECT_EQ(reversed.messagesNewestFirst(), std::vector<ULONG>{m[0]});
}

TEST_F(WordSearchTest, AndAndNotAgreeWithTheTextsForRareAndCommonWords) {
    // "common" in all but every seventh message, "rare" in three, "even" in
    // every second: a block far smaller than the other word's messages, and
    // one about as large, each for a wanted and an unwanted word.
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 60; ++i) {
        std::string text = "filler";
        if (i % 7 != 0) text += " common";
        if (i == 5 || i == 14 || i == 42) text += " rare";
        if (i % 2 == 0) text += " even";
        messages.push_back({"", text});
    }
    const auto m = indexed(messages);
    ASSERT_TRUE(tables.open(type));
    const FoundWord common = word("common"), rare = word("rare"), even = word("even");
    const auto expected = [&](const char* first, const char* second, bool secondWanted) {
        std::vector<ULONG> out;
        for (std::size_t i = messages.size(); i-- > 0;) {
            const std::string text = " " + messages[i].second + " ";
            const bool a = text.find(std::string(" ") + first + " ") != std::string::npos;
            const bool b = text.find(std::string(" ") + second + " ") != std::string::npos;
            if (a && b == secondWanted) out.push_back(m[i]);
        }
        return out;
    };
    struct Case {
        const char* first;
        const char* second;
        FoundWord a, b;
        bool wanted;
    };
    const Case cases[] = {{"rare", "common", rare, common, true},
                          {"rare", "common", rare, common, false},
                          {"even", "common", even, common, true},
                          {"even", "common", even, common, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + (c.wanted ? " and " : " and not ") + c.second);
        SearchCollector collector({{entryOf(c.a), entryOf(c.b, !c.wanted)}, {}}, type, 10000);
        EXPECT_EQ(runToEnd(collector), JobStatus::Done);
        EXPECT_EQ(collector.messagesNewestFirst(), expected(c.first, c.second, c.wanted));
    }
}

TEST_F(WordSearchTest, BlocksPauseEveryPOccurrencesAndResume) {
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 7; ++i) messages.push_back({"", "common word" + std::to_string(i)});
    const auto m = indexed(messages);
    ASSERT_TRUE(tables.open(type));
    ui.takeDefaults(false);
    ui.answer(ButtonNo);
    SearchCollector collector({{entryOf(word("common"))}, {}}, type, 3);
    EXPECT_EQ(runToEnd(collector), JobStatus::Paused);
    EXPECT_EQ(collector.messages().size(), 3u);
    EXPECT_EQ(ui.last().caption, "Search More?");
    EXPECT_EQ(ui.last().text,
              "3 search hits found!|But there are more records to search.|Would you like to search more records now?");
    ASSERT_TRUE(collector.nextBlock());  // "Next Block"
    ui.answer(ButtonYes);
    EXPECT_EQ(runToEnd(collector), JobStatus::Done);
    EXPECT_EQ(collector.messages(), m);
    EXPECT_FALSE(collector.nextBlock());
    EXPECT_EQ(ui.last().caption, "No Search");
}

TEST_F(WordSearchTest, EveryBlockWantedGoesOnWithoutAskingAndAStopKeepsWhatWasFound) {
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 7; ++i) messages.push_back({"", "common word" + std::to_string(i)});
    for (int i = 0; i < 1003; ++i) messages.push_back({"", i < 2 ? "excluded text" : "plain text"});
    const auto m = indexed(messages);
    ASSERT_TRUE(tables.open(type));
    ui.takeDefaults(false);  // any question fails the test
    SearchCollector all({{entryOf(word("common"))}, {}}, type, 3, {}, MoreBlocks::Continue);
    EXPECT_EQ(runToEnd(all), JobStatus::Done);
    EXPECT_EQ(all.messages(), (std::vector<ULONG>(m.begin(), m.begin() + 7)));
    SearchCollector notOnly({{entryOf(word("excluded"), true)}, {}}, type, 10000, {}, MoreBlocks::Continue);
    EXPECT_EQ(runToEnd(notOnly), JobStatus::Done);
    // Two scans from the newest down: merged below the first, ascending.
    std::vector<ULONG> notExcluded(m.begin(), m.begin() + 7);
    notExcluded.insert(notExcluded.end(), m.begin() + 9, m.end());
    EXPECT_EQ(notOnly.messages(), notExcluded);
    EXPECT_TRUE(ui.empty());

    // Stopped after the first block: the block stays, nothing more is read.
    SearchCollector stopped({{entryOf(word("common"))}, {}}, type, 3, {}, MoreBlocks::Continue);
    while (stopped.messages().empty()) ASSERT_EQ(stopped.step(), JobStatus::Running);
    EXPECT_TRUE(stopped.requestStop(StopRequest::Now));
    EXPECT_EQ(stopped.status(), JobStatus::Stopped);
    EXPECT_EQ(stopped.step(), JobStatus::Stopped);
    EXPECT_EQ(stopped.messages().size(), 3u);
    EXPECT_EQ(reportCounter(stopped.report(), "Found"), 3);
    EXPECT_TRUE(ui.empty());
}

TEST_F(WordSearchTest, BlocksThatGoBackBelowWhatWasFoundMergeInOrderWithoutRepeats) {
    // BANANA in m[3..8] is read first, then APPLE in m[0..5], two hits a block.
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 9; ++i)
        messages.push_back({"", std::string(i < 6 ? "apple " : "") + (i >= 3 ? "banana " : "") + "filler"});
    const auto m = indexed(messages);
    ASSERT_TRUE(std::is_sorted(m.begin(), m.end()));
    ASSERT_TRUE(tables.open(type));
    ui.takeDefaults(false);
    SearchCollector either({{}, {entryOf(word("banana")), entryOf(word("apple"))}}, type, 2, {},
                           MoreBlocks::Continue);
    EXPECT_EQ(runToEnd(either), JobStatus::Done);
    EXPECT_EQ(either.messages(), m);
    EXPECT_EQ(reportCounter(either.report(), "Found"), 9);

}

TEST_F(WordSearchTest, ThePhraseCheckDropsWhatEachPauseFoundAndKeepsTheRest) {
    // Even messages hold the phrase, odd ones the words the other way round.
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 9; ++i) messages.push_back({"", i % 2 == 0 ? "red apple pie" : "apple red pie"});
    const auto m = indexed(messages);
    ASSERT_TRUE(tables.open(type));
    const std::vector<PhraseWord> phrase{{"RED"}, {"APPLE"}};
    const SearchExpression both{{entryOf(word("red")), entryOf(word("apple"))}, {}};
    std::vector<ULONG> wanted;
    for (std::size_t i = 0; i < m.size(); i += 2) wanted.push_back(m[i]);

    ui.takeDefaults(false);
    ui.answer(ButtonNo);  // pause after the first block of 4
    SearchCollector collector(both, type, 4, phrase);
    EXPECT_EQ(runToEnd(collector), JobStatus::Paused);
    EXPECT_EQ(collector.messages(), (std::vector<ULONG>{m[0], m[2]}));
    EXPECT_EQ(reportCounter(collector.report(), "Found"), 2);
    ASSERT_TRUE(collector.nextBlock());
    ui.answer(ButtonYes);
    EXPECT_EQ(runToEnd(collector), JobStatus::Done);
    EXPECT_EQ(collector.messages(), wanted);
    EXPECT_EQ(collector.messagesNewestFirst(), (std::vector<ULONG>(wanted.rbegin(), wanted.rend())));
}

TEST_F(WordSearchTest, ANotOnlySearchAsksFirstAndPausesAtAThousand) {
    std::vector<std::pair<std::string, std::string>> messages;
    for (int i = 0; i < 1003; ++i) messages.push_back({"", i < 2 ? "excluded text" : "plain text"});
    indexed(messages);
    ASSERT_TRUE(tables.open(type));
    ui.takeDefaults(false);
    ui.answer(ButtonOk);   // Continue
    ui.answer(ButtonYes);  // search more
    SearchCollector collector({{entryOf(word("excluded"), true)}, {}}, type, 10000);
    EXPECT_EQ(runToEnd(collector), JobStatus::Done);
    EXPECT_EQ(collector.messages().size(), 1001u);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].caption, "Too Many Matches");
    EXPECT_NE(ui.shown()[0].text.find("The 1st 1000 will be found"), std::string::npos);
    EXPECT_EQ(ui.shown()[1].text.substr(0, 22), "1000 search hits found");

    ui.answer(ButtonCancel);
    SearchCollector cancelled({{entryOf(word("excluded"), true)}, {}}, type, 10000);
    EXPECT_EQ(runToEnd(cancelled), JobStatus::Done);
    EXPECT_TRUE(cancelled.messages().empty());
}

TEST_F(WordSearchTest, PhrasesMustStandTogetherInTheHeadingOrTheText) {
    addStopWord("THE");
    const auto m = indexed({{"", "we flew to new york city"},
                            {"", "york is not new"},
                            {"", "the new new york times"},  // a partial match that breaks off
                            {"New York stories", "nothing here"},
                            {"", "new\r\n\r\nyork in the footer"},
                            {"", "at the end of the day"},
                            {"", "the final end"}});
    WordQuery query;
    query.words = {"new", "york"};
    query.options.phrase = true;
    WordQueryResult r = runWordQuery(query, type);
    ASSERT_EQ(r.status, WordQueryResult::Found);
    // The footer of m[4] is not indexed, so its words do not lead there.
    EXPECT_EQ(r.messages, (std::vector<ULONG>{m[3], m[2], m[0]}));

    query.words = {"the", "end"};  // a stop word inside the phrase
    r = runWordQuery(query, type);
    EXPECT_EQ(r.messages, std::vector<ULONG>{m[5]});

    query.words = {"is", "new"};  // both in m[1], but apart
    ui.clear();
    r = runWordQuery(query, type);
    EXPECT_EQ(r.status, WordQueryResult::NoMatches);
    EXPECT_EQ(ui.last().caption, "Try again");
    EXPECT_EQ(ui.last().text, "No documents contain the phrase. Sorry!");

    query.words = {"new", "jersey"};
    r = runWordQuery(query, type);
    EXPECT_EQ(r.status, WordQueryResult::NoMatches);
    EXPECT_EQ(ui.last().text, "One of the words in the phrase was not found in any document.|Word: JERSEY");
}

TEST_F(WordSearchTest, AMailPhraseMayStandInTheSubject) {
    useDatabase(TypeMail, "Mail");
    const auto m = indexed({{"Quarterly report", "numbers attached"},
                            {"Report", "quarterly figures, see the report"},
                            {"Status", "the quarterly report follows"}});
    WordQuery query;
    query.words = {"quarterly", "report"};
    query.options.phrase = true;
    EXPECT_EQ(runWordQuery(query, type).messages, (std::vector<ULONG>{m[2], m[0]}));
}

TEST_F(WordSearchTest, TheMessageTablesOpenOnlyForAPhraseCheck) {
    const auto m = indexed({{"", "red apple pie"}, {"", "apple red pie"}});
    SearchTables words;
    ASSERT_TRUE(words.open(type, false));
    EXPECT_GT(useCount(WordList), 0);
    EXPECT_EQ(useCount(MsgText), 0);
    words.openMessages(type);
    words.openMessages(type);  // once is enough
    EXPECT_EQ(useCount(MsgText), 1);
    words.close();
    EXPECT_EQ(useCount(MsgText), 0);
    EXPECT_EQ(useCount(WordList), 0);

    // A phrase query opens them for its check (the texts decide) and lets go.
    WordQuery query;
    query.words = {"red", "apple"};
    query.options.phrase = true;
    EXPECT_EQ(runWordQuery(query, type).messages, std::vector<ULONG>{m[0]});
    query.options.phrase = false;
    EXPECT_EQ(runWordQuery(query, type).messages, (std::vector<ULONG>{m[1], m[0]}));
    EXPECT_EQ(useCount(MsgText), 0);
}

TEST_F(WordSearchTest, QueriesOfCommandModeCombineWildcardsAndNotWords) {
    const auto m = indexed({{"", "windows 95 install"}, {"", "win.ini edit"}, {"", "windows edit"}, {"", "dos edit"}});
    WordQuery query;
    query.words = {"win*", "edit"};
    WordQueryResult r = runWordQuery(query, type);
    EXPECT_EQ(r.messages, (std::vector<ULONG>{m[2], m[1]}));
    EXPECT_EQ(r.hitWords, (std::vector<std::string>{"EDIT", "WIN.INI", "WINDOWS"}));

    query.notWords = {"dos", "w?n.ini"};
    query.words = {"edit"};
    EXPECT_EQ(runWordQuery(query, type).messages, std::vector<ULONG>{m[2]});

    query = {};
    query.any = true;
    query.words = {"install", "dos"};
    EXPECT_EQ(runWordQuery(query, type).messages, (std::vector<ULONG>{m[3], m[0]}));

    query.any = false;
    query.words = {"w*", "*s*"};  // both match several words
    EXPECT_EQ(runWordQuery(query, type).status, WordQueryResult::Ambiguous);
    query.words = {"edit", "nowhere"};
    ui.clear();
    EXPECT_EQ(runWordQuery(query, type).status, WordQueryResult::NoMatches);
    EXPECT_EQ(ui.last().caption, "No Matches");
}

TEST_F(WordSearchTest, AnUnindexedDatabaseCanNotBeSearched) {
    EXPECT_FALSE(tables.open(type));
    EXPECT_EQ(ui.last().caption, "Open File Error");
    // Indexed, but the word list is empty.
    {
        MessageWriter writer(type);
        writer.add("", "...");
    }
    ASSERT_EQ(index(), IndexRun::State::Done);
    ASSERT_TRUE(tables.open(type));
    WordFinder finder("ANY", MatchType::StartsWith, true);
    EXPECT_EQ(runToEnd(finder), JobStatus::Failed);
    EXPECT_EQ(ui.last().text, "This database is not indexed.\r\nUnable to allocate memory for Search.");
}

TEST_F(WordSearchTest, TheResultSetRunsNewestFirst) {
    ASSERT_TRUE(storeSearchResult({900, 700, 500}));
    OP_CLOSE(OpenShared, {32});
    std::vector<ULONG> byKey, byPosition;
    Search.set(SEA_IdKey);
    while (Search.next() == StorageStatus::Ok) byKey.push_back(SEA.ID);
    Search.setPhysical();
    while (Search.next() == StorageStatus::Ok) byPosition.push_back(SEA.ID);
    OP_CLOSE(ReleaseTable, {32});
    EXPECT_EQ(byKey, (std::vector<ULONG>{900, 700, 500}));
    EXPECT_EQ(byPosition, byKey);
    ASSERT_TRUE(storeSearchResult({}));
    EXPECT_EQ(Search.storedRecords(), 0);
}

TEST(ExpressionBuilder, ButtonsWithoutASelectionSayWhatIsMissing) {
    RecorderScope r;
    ExpressionBuilder b;
    EXPECT_FALSE(b.readyToSearch());
    EXPECT_EQ(r.ui.last().caption, "No Search Words");
    EXPECT_FALSE(b.deleteEntry(-1, -1));
    EXPECT_EQ(r.ui.last().caption, "Pick One First");
    b.addFoundWords({{5, "APPLE", 1, false}, {3, "BANANA", 2, false}, {5, "APPLE", 1, false}});
    EXPECT_EQ(b.foundWords().size(), 2u);
    EXPECT_FALSE(b.addSelectedToAnd());
    EXPECT_EQ(r.ui.last().text, "Please Click on a Search Word to Select it then Try Again");
    b.foundWords()[0].selected = true;
    EXPECT_TRUE(b.addSelectedToAnd());
    b.selectAll();
    EXPECT_TRUE(b.addSelectedToOr());  // APPLE is in the AND list already
    EXPECT_EQ(b.expression().orList.size(), 1u);
    EXPECT_FALSE(b.toggleNot(-1));
    EXPECT_EQ(r.ui.last().text, "Please Click on a Search Word in one of the Lists Above to NOT and Try Again.");
    EXPECT_TRUE(b.toggleNot(0));
    EXPECT_EQ(b.expression().andList[0].condition, "NOT");
    EXPECT_FALSE(b.deleteEntry(5, -1));
    EXPECT_EQ(r.ui.last().text, "Please Click on a Search Word in one of the Lists Above to Delete and Try Again.");
    EXPECT_TRUE(b.deleteEntry(-1, 0));
    EXPECT_TRUE(b.readyToSearch());
}

}  // namespace
}  // namespace pm::test
