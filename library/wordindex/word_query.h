#pragma once
// A whole word search, as command mode and the benchmark run it: every
// typed word must occur (or any of them), the NOT words must not, all found
// with the same match options. The steps are those of the professional
// search; questions go to the user interface.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/job.h"
#include "common/types.h"
#include "wordindex/search_collector.h"
#include "wordindex/search_tables.h"
#include "wordindex/search_words.h"
#include "wordindex/word_finder.h"

namespace pm {

struct WordQuery {
    std::vector<std::string> words;     // as typed; "?" and "*" are wildcards
    std::vector<std::string> notWords;  // messages holding any of their matches are left out
    bool any = false;                   // one of the words is enough
    SearchWordOptions options;
};

struct WordQueryResult {
    enum Status {
        Found,         // messages found
        NoMatches,     // searched, nothing matched (reported)
        Refused,       // the input was refused (reported)
        Ambiguous,     // all-words mode and two or more words matched several index words
        Failed,        // a table could not be read (reported)
    };
    Status status = Failed;
    std::vector<ULONG> messages;       // newest first
    std::vector<std::string> hitWords; // in word order
    bool morePending = false;          // the search paused with more to search
    // For Ambiguous: each typed word with the number of index words it matched.
    std::vector<std::pair<std::string, std::size_t>> matchesPerWord;
};

// The query as a job over the active database of type `databaseType`.
//
// States:
//   Start    opens the search tables and prepares the words (a refusal or
//            a table that cannot be opened is reported and ends the run).
//   Find     one block of the word list for the word being looked up (the
//            typed words, then the NOT words).
//   Collect  the expression is built (no match, or several ambiguous
//            words, end the run here); then one step of the collector,
//            which pauses after a block unless every block is wanted.
//   Ended    the result is final and the tables are released.
// As a job the run is Done once it ended (the result tells how, a pause of
// the collector included), Failed when a table could not be read, Stopped
// after a stop request (the messages found so far are the result).
class WordQueryRun final : public Job {
public:
    WordQueryRun(WordQuery query, BYTE databaseType, MoreBlocks moreBlocks = MoreBlocks::Ask);
    ~WordQueryRun() override;

    JobStatus step() override;
    JobStatus status() const override { return status_; }
    bool requestStop(StopRequest how) override;
    // The title " Search", the current status line, the counters "Words"
    // (looked up) and "Found" (messages), the percentage of the current part.
    ProgressReport report() const override;

    // Final once the run is no longer Running.
    const WordQueryResult& result() const { return result_; }

private:
    void start();
    void find();
    void buildExpression();
    void collect();
    void takeCollected();
    void end(JobStatus status);

    WordQuery query_;
    BYTE databaseType_;
    MoreBlocks moreBlocks_;
    JobStatus status_ = JobStatus::Running;
    bool started_ = false;
    WordQueryResult result_;
    SearchTables tables_;
    std::optional<SearchWordRequest> request_, notRequest_;
    std::vector<std::vector<FoundWord>> found_, notFound_;
    std::unique_ptr<WordFinder> finder_;
    std::unique_ptr<SearchCollector> collector_;
};

// Runs the query to its end on the active database of type `databaseType`.
// Opens and releases the tables it reads.
WordQueryResult runWordQuery(const WordQuery& query, BYTE databaseType, MoreBlocks moreBlocks = MoreBlocks::Ask);

}  // namespace pm
