#pragma once
// Step 3 of the professional search: the messages that match an expression,
// gathered in blocks so that a search that finds too much can be stopped.
//
// States:
//   Start    the first step prepares: the driving word is the AND entry
//            without NOT that has the smallest count (the first of equal
//            ones); the OR counts are summed. With nothing to search: "No
//            Search". An OR entry with NOT is a logic error that ends the
//            program.
//   Confirm  only NOT entries: "Too Many Matches" is asked (not again when
//            resuming; not at all when every block is wanted); Cancel ends
//            the search.
//   Gather   one block: up to P occurrences of the driving word (or of the
//            OR words in turn when there is none), then the AND filter (each
//            other AND word must be there, each NOT word must not) and the
//            OR filter (one OR word must be there, with a driving word only).
//            With only NOT entries the messages are scanned from the newest
//            down instead, until 1000 were taken.
//   Ask      more remains: "Search More?"; Yes gathers the next block, No
//            keeps the positions and pauses. When the caller wants every
//            block (MoreBlocks::Continue) the next block follows unasked.
//   Phrase   phrase mode: each message found since the last check is checked
//            against the message texts, newest first, 200 a step; those
//            without the phrase are dropped.
//   Paused   nextBlock() ("Next Block") goes on gathering from the kept
//            positions.
//   Done     nothing more to search.
//   Stopped  a stop request ended the search; what was found stays (in
//            phrase mode after the phrase check of what was found).
//   Failed   a read failed (reported).
// As a job: Paused is Paused, Done Done, Stopped Stopped, Failed Failed,
// every other state Running.
// On reaching Paused or Done with no message: "No Matches", or in phrase
// mode "Try again" when the phrase check emptied the list.
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/job.h"
#include "common/types.h"
#include "storage/read_once_cache.h"
#include "storage/table.h"
#include "wordindex/phrase_check.h"
#include "wordindex/search_expression.h"
#include "wordindex/search_words.h"

namespace pm {

// What happens when a block of hits is gathered and more remains.
enum class MoreBlocks {
    Ask,       // "Search More?" (and "Too Many Matches" before a NOT-only scan)
    Continue,  // the caller wants every block: no question
};

class SearchCollector final : public Job {
public:
    enum class State { Start, Confirm, Gather, Ask, Phrase, Paused, Done, Stopped, Failed };

    // Searches the active database, whose MasIdx (and, for phrases or NOT-only
    // searches, MsgText and the header tables) must be open. `pause` is P
    // (the search pause setting). `phrase`: the phrase words, empty when not
    // a phrase search.
    SearchCollector(SearchExpression expression, BYTE databaseType, LONG pause,
                    std::vector<PhraseWord> phrase = {}, MoreBlocks moreBlocks = MoreBlocks::Ask);

    JobStatus step() override;
    JobStatus status() const override;
    // Ends the search without a question; see Stopped above.
    bool requestStop(StopRequest how) override;
    // The status line, the counters "Found" and "Occurrences read", the
    // percentage of the occurrences read.
    ProgressReport report() const override;
    // "Next Block": resumes a paused search. False (after "No Search") when
    // nothing more is left to search.
    bool nextBlock();

    State state() const { return state_; }
    // The messages found so far, ascending without repeats, and the hit words.
    const std::vector<ULONG>& messages() const { return messages_; }
    std::vector<ULONG> messagesNewestFirst() const { return {messages_.rbegin(), messages_.rend()}; }
    const std::set<std::string>& hitWords() const { return hitWords_; }
    // Whether a paused search has more to gather.
    bool morePending() const { return !exhausted_; }

private:
    struct WordSet {
        bool loaded = false;
        std::vector<ULONG> messages;  // ascending
    };

    void start();
    void gather();
    bool gatherWord(const ExpressionEntry& entry, RecordPosition& resume, std::size_t budget,
                    std::vector<ULONG>& out, bool& wordDone);
    void gatherOrWords(std::vector<ULONG>& block);
    void scanNotOnly(std::vector<ULONG>& taken);
    void addFound(std::vector<ULONG>& block);
    void dropFound(std::vector<ULONG>& dropped);
    void filter(std::vector<ULONG>& block);
    bool holds(ULONG message, const ExpressionEntry& entry, std::size_t blockSize, bool& failed);
    // The word's set, read into memory first when it is small enough.
    WordSet& wordSet(const ExpressionEntry& entry, std::size_t blockSize, bool& failed);
    // Keeps the messages of an ascending block that hold the word of a loaded
    // set (`wanted`) or do not: one pass over both.
    static void keepByMerge(std::vector<ULONG>& block, const WordSet& set, bool wanted);
    void ask();
    void checkPhrase();
    void finishSession(State next);
    void readFailed(Table& table);

    SearchExpression expression_;
    BYTE databaseType_;
    std::size_t pause_;
    std::vector<PhraseWord> phraseWords_;
    bool phrase_ = false;
    PhraseCheck phraseCheck_;

    MoreBlocks moreBlocks_;
    State state_ = State::Start;
    State afterPhrase_ = State::Done;
    std::string status_;
    int percent_ = 0;

    bool noPositiveAnd_ = true;
    std::size_t driving_ = 0;
    LONG drivingCount_ = 0;
    long long orSum_ = 0;
    std::size_t currentOr_ = 0;
    RecordPosition andResume_ = 0;
    RecordPosition orResume_ = 0;
    ULONG notResume_ = 0;  // message number the NOT-only scan reached
    bool confirmed_ = false;
    bool exhausted_ = false;
    long long occurrencesRead_ = 0;

    // Sorted: a set's node per hit cost half the time of a common-word search.
    std::vector<ULONG> messages_;
    std::vector<ULONG> unchecked_;  // found since the last phrase check (phrase mode only)
    // Held while the phrase check reads the candidates' texts, each once.
    std::optional<ReadOnceCacheScope> phraseCache_;
    bool phraseEmptied_ = false;
    std::set<std::string> hitWords_;
    std::unordered_map<LONG, WordSet> wordSets_;
};

}  // namespace pm
