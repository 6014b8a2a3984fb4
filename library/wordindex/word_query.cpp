#include "wordindex/word_query.h"

#include <algorithm>
#include <chrono>

#include "common/user_interface.h"
#include "storage/table.h"
#include "wordindex/index_settings.h"

namespace pm {

namespace {

// How long one slice may go on with further steps: short enough that a stop
// request or a waiting writer is not kept waiting noticeably.
constexpr auto kSliceTime = std::chrono::milliseconds(20);

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

void addUnique(std::vector<ExpressionEntry>& list, const FoundWord& found, bool negated) {
    const bool known = std::any_of(list.begin(), list.end(), [&](const ExpressionEntry& e) {
        return e.wordId == found.wordId;
    });
    if (!known) list.push_back(entryOf(found, negated));
}

}  // namespace

WordQueryRun::WordQueryRun(WordQuery query, BYTE databaseType, MoreBlocks moreBlocks)
    : query_(std::move(query)), databaseType_(databaseType), moreBlocks_(moreBlocks) {}

WordQueryRun::~WordQueryRun() = default;

JobStatus WordQueryRun::step() {
    if (status_ != JobStatus::Running) return status_;
    // A slice of the search only reads, the start too (opening its tables
    // and reading the stop words): one read transaction each. Short steps
    // (the start, a word found in one block) share the slice, for a read
    // transaction costs more than such a step.
    ReadScope reads;
    const auto sliceEnd = std::chrono::steady_clock::now() + kSliceTime;
    do {
        if (!started_) start();
        else if (!collector_) find();
        else collect();
    } while (status_ == JobStatus::Running && std::chrono::steady_clock::now() < sliceEnd);
    return status_;
}

bool WordQueryRun::requestStop(StopRequest how) {
    if (status_ != JobStatus::Running) return true;
    // The collector may wind down (the phrase check of what it found).
    if (collector_) return collector_->requestStop(how);
    result_.status = WordQueryResult::NoMatches;
    end(JobStatus::Stopped);
    return true;
}

ProgressReport WordQueryRun::report() const {
    ProgressReport r;
    r.title = " Search";
    r.captions = {{"Words", "Search words looked up"}, {"Found", "Messages found"}};
    r.phase = collector_ ? "collecting messages" : "looking up words";
    r.counters = {{"Words", static_cast<long long>(found_.size() + notFound_.size())},
                  {"Found", static_cast<long long>(collector_ ? collector_->messages().size() : result_.messages.size())}};
    if (collector_) {
        const ProgressReport c = collector_->report();
        r.lines = c.lines;
        r.percent = c.percent;
    } else if (finder_) {
        const ProgressReport f = finder_->report();
        r.lines = {"Finding a Keyword: " + f.lines.front()};
        r.percent = f.percent;
    }
    return r;
}

void WordQueryRun::end(JobStatus status) {
    finder_.reset();
    collector_.reset();
    tables_.close();
    status_ = status;
}

void WordQueryRun::start() {
    started_ = true;
    // The message tables wait for buildExpression(), which knows whether
    // they are read at all.
    if (!tables_.open(databaseType_, false)) return end(JobStatus::Failed);
    request_ = prepareSearchWords(joined(query_.words), query_.options);
    if (!request_) {
        result_.status = WordQueryResult::Refused;
        return end(JobStatus::Done);
    }
    if (!query_.notWords.empty()) {
        SearchWordOptions notOptions = request_->options;
        notOptions.phrase = false;
        notRequest_ = prepareSearchWords(joined(query_.notWords), notOptions);
        if (!notRequest_) {
            result_.status = WordQueryResult::Refused;
            return end(JobStatus::Done);
        }
    }
    if (request_->words.empty()) buildExpression();
}

// One block of the word list for the word being looked up: the typed words
// first, then the NOT words.
void WordQueryRun::find() {
    const bool typed = found_.size() < request_->words.size();
    std::vector<std::vector<FoundWord>>& into = typed ? found_ : notFound_;
    if (!finder_) {
        const std::string& word = typed ? request_->words[found_.size()] : notRequest_->words[notFound_.size()];
        const SearchWordOptions& o = typed ? request_->options : notRequest_->options;
        finder_ = std::make_unique<WordFinder>(word, o.matchType(), o.wholeWord, o.degree);
    }
    const JobStatus found = finder_->step();
    if (found == JobStatus::Running) return;
    if (found != JobStatus::Done) return end(JobStatus::Failed);
    into.push_back(finder_->found());
    finder_.reset();
    const std::size_t notWords = notRequest_ ? notRequest_->words.size() : 0;
    if (found_.size() == request_->words.size() && notFound_.size() == notWords) buildExpression();
}

void WordQueryRun::buildExpression() {
    SearchExpression expression;
    std::size_t severalMatches = 0;
    for (std::size_t i = 0; i < found_.size(); ++i) {
        result_.matchesPerWord.emplace_back(request_->words[i], found_[i].size());
        if (found_[i].empty() && request_->options.phrase) {
            message("No matches", "One of the words in the phrase was not found in any document.|Word: " +
                                      request_->words[i]);
            result_.status = WordQueryResult::NoMatches;
            return end(JobStatus::Done);
        }
        if (found_[i].size() > 1) ++severalMatches;
    }
    const bool anyFound = std::any_of(found_.begin(), found_.end(), [](const auto& f) { return !f.empty(); });
    const bool allFound = std::all_of(found_.begin(), found_.end(), [](const auto& f) { return !f.empty(); });
    if (!(query_.any ? anyFound : allFound)) {
        message("No Matches", "No Messages Match your Search Criteria. Sorry!");
        result_.status = WordQueryResult::NoMatches;
        return end(JobStatus::Done);
    }
    if (!query_.any && severalMatches > 1) {
        result_.status = WordQueryResult::Ambiguous;
        return end(JobStatus::Done);
    }
    for (const auto& matches : found_)
        for (const FoundWord& f : matches)
            addUnique(query_.any || matches.size() > 1 ? expression.orList : expression.andList, f, false);
    for (const auto& matches : notFound_)
        for (const FoundWord& f : matches) addUnique(expression.andList, f, true);
    const bool positive = !expression.orList.empty() ||
                          std::any_of(expression.andList.begin(), expression.andList.end(),
                                      [](const ExpressionEntry& e) { return !e.isNot(); });
    if (request_->options.phrase || !positive) tables_.openMessages(databaseType_);
    collector_ = std::make_unique<SearchCollector>(
        expression, databaseType_, searchPauseSetting(),
        request_->options.phrase ? request_->phrase : std::vector<PhraseWord>{}, moreBlocks_);
}

void WordQueryRun::collect() {
    const JobStatus collected = collector_->step();
    if (collected == JobStatus::Running) return;
    if (collected == JobStatus::Failed) return end(JobStatus::Failed);
    result_.messages = collector_->messagesNewestFirst();
    result_.hitWords.assign(collector_->hitWords().begin(), collector_->hitWords().end());
    result_.morePending = collected == JobStatus::Paused && collector_->morePending();
    result_.status = result_.messages.empty() ? WordQueryResult::NoMatches : WordQueryResult::Found;
    end(collected == JobStatus::Stopped ? JobStatus::Stopped : JobStatus::Done);
}

WordQueryResult runWordQuery(const WordQuery& query, BYTE databaseType, MoreBlocks moreBlocks) {
    WordQueryRun run(query, databaseType, moreBlocks);
    runToEnd(run);
    return run.result();
}

}  // namespace pm
