#include "wordindex/word_query.h"

#include <algorithm>

#include "common/user_interface.h"
#include "wordindex/index_settings.h"
#include "wordindex/search_collector.h"
#include "wordindex/search_tables.h"
#include "wordindex/word_finder.h"

namespace pm {

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

// The index words matching each word of `request`; false when a finder failed.
bool findAll(const SearchWordRequest& request, std::vector<std::vector<FoundWord>>& out) {
    const SearchWordOptions& o = request.options;
    for (const std::string& word : request.words) {
        WordFinder finder(word, o.matchType(), o.wholeWord, o.degree);
        if (finder.runToEnd() == WordFinder::Result::Failed) return false;
        out.push_back(finder.found());
    }
    return true;
}

void addUnique(std::vector<ExpressionEntry>& list, const FoundWord& found, bool negated) {
    const bool known = std::any_of(list.begin(), list.end(), [&](const ExpressionEntry& e) {
        return e.wordId == found.wordId;
    });
    if (!known) list.push_back(entryOf(found, negated));
}

}  // namespace

WordQueryResult runWordQuery(const WordQuery& query, BYTE databaseType) {
    WordQueryResult result;
    SearchTables tables;
    if (!tables.open(databaseType)) return result;

    const std::optional<SearchWordRequest> request = prepareSearchWords(joined(query.words), query.options);
    if (!request) {
        result.status = WordQueryResult::Refused;
        return result;
    }
    std::optional<SearchWordRequest> notRequest;
    if (!query.notWords.empty()) {
        SearchWordOptions notOptions = request->options;
        notOptions.phrase = false;
        notRequest = prepareSearchWords(joined(query.notWords), notOptions);
        if (!notRequest) {
            result.status = WordQueryResult::Refused;
            return result;
        }
    }

    std::vector<std::vector<FoundWord>> found, notFound;
    if (!findAll(*request, found) || (notRequest && !findAll(*notRequest, notFound))) return result;

    SearchExpression expression;
    std::size_t severalMatches = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        result.matchesPerWord.emplace_back(request->words[i], found[i].size());
        if (found[i].empty() && request->options.phrase) {
            message("No matches", "One of the words in the phrase was not found in any document.|Word: " +
                                      request->words[i]);
            result.status = WordQueryResult::NoMatches;
            return result;
        }
        if (found[i].size() > 1) ++severalMatches;
    }
    const bool anyFound = std::any_of(found.begin(), found.end(), [](const auto& f) { return !f.empty(); });
    const bool allFound = std::all_of(found.begin(), found.end(), [](const auto& f) { return !f.empty(); });
    if (!(query.any ? anyFound : allFound)) {
        message("No Matches", "No Messages Match your Search Criteria. Sorry!");
        result.status = WordQueryResult::NoMatches;
        return result;
    }
    if (!query.any && severalMatches > 1) {
        result.status = WordQueryResult::Ambiguous;
        return result;
    }
    for (const auto& matches : found)
        for (const FoundWord& f : matches) addUnique(query.any || matches.size() > 1 ? expression.orList : expression.andList, f, false);
    for (const auto& matches : notFound)
        for (const FoundWord& f : matches) addUnique(expression.andList, f, true);

    SearchCollector collector(expression, databaseType, searchPauseSetting(),
                              request->options.phrase ? request->phrase : std::vector<PhraseWord>{});
    const SearchCollector::StepResult r = collector.run();
    if (r == SearchCollector::StepResult::Failed) return result;
    result.messages = collector.messagesNewestFirst();
    result.hitWords.assign(collector.hitWords().begin(), collector.hitWords().end());
    result.morePending = r == SearchCollector::StepResult::Paused && collector.morePending();
    result.status = result.messages.empty() ? WordQueryResult::NoMatches : WordQueryResult::Found;
    return result;
}

}  // namespace pm
