#pragma once
// Word finding (" Finding a Keyword"): the entries of the word list that
// match one search word, found block by block.
//
// Exact words are read by key. Words pinned to their start (starts with, or
// wildcards without a leading "*") read only the stretch of WOR:by_theWord
// that begins with their literal start. Everything else reads the whole
// word list in blocks of as many records as fit in 655350 bytes.
#include <cstddef>
#include <string>
#include <vector>

#include "common/job.h"
#include "common/types.h"
#include "wordindex/word_matching.h"

namespace pm {

struct FoundWord {
    LONG hits = 0;        // WOR:WORDCOUNT ("Hits")
    std::string word;
    LONG wordId = 0;
    bool selected = false;
    bool operator==(const FoundWord&) const = default;
};

class WordFinder final : public Job {
public:
    // WordList must be open. `searchWord` is upper case, as prepareSearchWords gives it.
    WordFinder(std::string searchWord, MatchType type, bool wholeWord, int degree = 1);

    // Tests one block. Failed after reporting ("Abort" for a word list that
    // is empty, "seek error" when it can not be read).
    JobStatus step() override;
    JobStatus status() const override { return status_; }
    // Stops at once (no question), keeping the words found so far.
    bool requestStop(StopRequest how) override;
    // The search word, the counters "Words read" and "Found", the percentage.
    ProgressReport report() const override;

    const std::vector<FoundWord>& found() const { return found_; }
    const std::string& searchWord() const { return searchWord_; }

private:
    enum class Mode { ByKey, Range, Whole };
    bool startReading();
    // Counts the word list; false (after saying so) when it is empty: not indexed.
    bool countWords();
    bool matchesAndRecord();

    std::string searchWord_;
    MatchType type_;
    bool wholeWord_;
    WordMatcher matcher_;
    Mode mode_ = Mode::Whole;
    std::string prefix_;  // literal start for Range
    bool started_ = false;
    JobStatus status_ = JobStatus::Running;
    std::size_t blockRecords_ = 0;
    long long total_ = 0;
    long long read_ = 0;
    int percent_ = 0;
    std::vector<FoundWord> found_;
};

}  // namespace pm
