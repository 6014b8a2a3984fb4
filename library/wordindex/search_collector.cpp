#include "wordindex/search_collector.h"

#include <algorithm>
#include <iterator>

#include "common/fatal_error.h"
#include "common/user_interface.h"
#include "tables/records/message_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

constexpr std::size_t kNotOnlyBlock = 1000;
constexpr std::size_t kPhrasePerStep = 200;

std::vector<std::string> phraseTexts(const std::vector<PhraseWord>& words) {
    std::vector<std::string> out;
    for (const PhraseWord& w : words) out.push_back(w.word);
    return out;
}

}  // namespace

SearchCollector::SearchCollector(SearchExpression expression, BYTE databaseType, LONG pause,
                                 std::vector<PhraseWord> phrase, MoreBlocks moreBlocks)
    : expression_(std::move(expression)), databaseType_(databaseType),
      pause_(static_cast<std::size_t>(pause < 1 ? 1 : pause)), phraseWords_(std::move(phrase)),
      phrase_(!phraseWords_.empty()), phraseCheck_(phraseTexts(phraseWords_), databaseType), moreBlocks_(moreBlocks) {}

JobStatus SearchCollector::status() const {
    switch (state_) {
        case State::Paused: return JobStatus::Paused;
        case State::Done: return JobStatus::Done;
        case State::Stopped: return JobStatus::Stopped;
        case State::Failed: return JobStatus::Failed;
        default: return JobStatus::Running;
    }
}

bool SearchCollector::requestStop(StopRequest) {
    switch (state_) {
        case State::Done:
        case State::Stopped:
        case State::Failed: return true;
        case State::Phrase: afterPhrase_ = State::Stopped; return true;
        default: finishSession(State::Stopped); return true;
    }
}

ProgressReport SearchCollector::report() const {
    ProgressReport r;
    r.title = " Search";
    r.lines = {status_};
    r.counters = {{"Found", static_cast<long long>(messages_.size())}, {"Occurrences read", occurrencesRead_}};
    r.percent = percent_;
    return r;
}

JobStatus SearchCollector::step() {
    switch (state_) {
        case State::Start: start(); break;
        case State::Confirm: {
            if (moreBlocks_ == MoreBlocks::Continue) {
                confirmed_ = true;
                state_ = State::Gather;
                break;
            }
            const Button answer = message("Too Many Matches",
                                          "The Search you have requested has too many matches.|The 1st " +
                                              std::to_string(kNotOnlyBlock) +
                                              " will be found or try a more restrictive Search.|Would you like "
                                              "to Continue or Cancel the Search?",
                                          Icon::Question, ButtonOk | ButtonCancel, ButtonOk);
            if (answer == ButtonOk) {
                confirmed_ = true;
                state_ = State::Gather;
            } else {
                exhausted_ = true;
                state_ = State::Done;
            }
            break;
        }
        case State::Gather: gather(); break;
        case State::Ask: ask(); break;
        case State::Phrase: checkPhrase(); break;
        case State::Paused:
        case State::Done:
        case State::Stopped:
        case State::Failed: break;
    }
    return status();
}

bool SearchCollector::nextBlock() {
    if (state_ != State::Paused || exhausted_) {
        message("No Search", "Nothing (More) to Search for!");
        return false;
    }
    state_ = State::Gather;
    return true;
}

void SearchCollector::start() {
    status_ = "Building a List of Messages that Contain the Requested Information.";
    for (const ExpressionEntry& e : expression_.orList) {
        if (e.isNot()) fatal("Internal Error", "Logic Error - should not have NOTS on OR list here!");
        orSum_ += e.count;
    }
    for (std::size_t i = 0; i < expression_.andList.size(); ++i) {
        const ExpressionEntry& e = expression_.andList[i];
        if (e.isNot()) continue;
        if (noPositiveAnd_ || e.count < drivingCount_) {
            driving_ = i;
            drivingCount_ = e.count;
            noPositiveAnd_ = false;
        }
    }
    if (noPositiveAnd_ && expression_.orList.empty()) {
        if (expression_.andList.empty()) {
            message("No Search", "Nothing (More) to Search for!");
            exhausted_ = true;
            state_ = State::Done;
            return;
        }
        state_ = State::Confirm;  // NOT entries only
        return;
    }
    state_ = State::Gather;
}

void SearchCollector::readFailed(Table& table) {
    message(table.displayName(), "Record read error!|" + table.lastError().text, Icon::Hand);
    state_ = State::Failed;
}

// Reads the occurrences of `entry` from `resume` (0 = its first) into `out`,
// at most `budget`. `resume` becomes the next unread occurrence; `wordDone`
// tells whether none is left.
bool SearchCollector::gatherWord(const ExpressionEntry& entry, RecordPosition& resume, std::size_t budget,
                                 std::vector<ULONG>& out, bool& wordDone) {
    const ULONG id = static_cast<ULONG>(entry.wordId);
    MasIdx.clear();
    MAS.WORDID = id;
    if (resume != 0) MasIdx.setAtPosition(MAS_by_WordId, resume);
    else MasIdx.setAt(MAS_by_WordId);
    wordDone = false;
    for (std::size_t n = 0;; ++n) {
        const StorageStatus st = MasIdx.next();
        if (st != StorageStatus::Ok && st != StorageStatus::NotFound) {
            readFailed(MasIdx);
            return false;
        }
        if (st == StorageStatus::NotFound || MAS.WORDID != id) {
            wordDone = true;
            resume = 0;
            return true;
        }
        if (n == budget) {  // one more than the budget: where the next block starts
            resume = MasIdx.position();
            return true;
        }
        out.push_back(MAS.SYSID);
        ++occurrencesRead_;
    }
}

void SearchCollector::gatherOrWords(std::vector<ULONG>& block) {
    std::size_t budget = pause_;
    while (currentOr_ < expression_.orList.size() && budget > 0) {
        const ExpressionEntry& e = expression_.orList[currentOr_];
        hitWords_.insert(e.word);
        const std::size_t before = block.size();
        bool wordDone = false;
        if (!gatherWord(e, orResume_, budget, block, wordDone)) return;
        budget -= block.size() - before;
        if (wordDone) ++currentOr_;
    }
    exhausted_ = currentOr_ >= expression_.orList.size();
    std::sort(block.begin(), block.end());
    block.erase(std::unique(block.begin(), block.end()), block.end());
    if (orSum_ > 0) percent_ = static_cast<int>(std::min<long long>(100, occurrencesRead_ * 100 / orSum_));
}

// Appends the messages taken, newest first, to `taken`.
void SearchCollector::scanNotOnly(std::vector<ULONG>& taken) {
    MsgText.setSkipMemos(true);
    MsgText.clear();
    if (notResume_ == 0) {
        MsgText.set(TXT_IdKey);
    } else {
        TXT.MSGNUMBER = notResume_;
        MsgText.setAt(TXT_IdKey);
    }
    bool failed = false;
    for (;;) {
        const StorageStatus st = MsgText.previous();
        if (st == StorageStatus::NotFound) {
            exhausted_ = true;
            break;
        }
        if (st != StorageStatus::Ok) {
            MsgText.setSkipMemos(false);
            return readFailed(MsgText);
        }
        const ULONG msg = TXT.MSGNUMBER;
        if (notResume_ != 0 && msg >= notResume_) continue;  // tested in the last block
        notResume_ = msg;
        bool ok = true;
        for (const ExpressionEntry& e : expression_.andList) {
            if (holds(msg, e, 1, failed) == !e.isNot()) continue;
            ok = false;
            break;
        }
        if (failed) {
            MsgText.setSkipMemos(false);
            return readFailed(MasIdx);
        }
        if (!ok) continue;
        taken.push_back(msg);
        if (taken.size() == kNotOnlyBlock) break;
    }
    MsgText.setSkipMemos(false);
}

void SearchCollector::gather() {
    std::vector<ULONG> block;
    if (noPositiveAnd_ && expression_.orList.empty()) {
        scanNotOnly(block);
        std::reverse(block.begin(), block.end());
        addFound(block);  // what was taken stays, even after a failed read
        if (state_ == State::Failed) return;
    } else {
        if (noPositiveAnd_) {
            gatherOrWords(block);
        } else {
            if (driving_ >= expression_.andList.size()) fatal("Internal Error", "Error Reading AndQ");
            const ExpressionEntry& entry = expression_.andList[driving_];
            hitWords_.insert(entry.word);
            bool wordDone = false;
            if (!gatherWord(entry, andResume_, pause_, block, wordDone)) return;
            exhausted_ = wordDone;
            if (drivingCount_ > 0)
                percent_ = static_cast<int>(std::min<long long>(100, occurrencesRead_ * 100 / drivingCount_));
        }
        if (state_ == State::Failed) return;
        filter(block);
        if (state_ == State::Failed) return;
        addFound(block);
    }
    if (exhausted_) finishSession(State::Done);
    else state_ = State::Ask;
}

// Adds a block of found messages to messages_ (and, in phrase mode, those
// new to it to unchecked_). The driving word's blocks come in ascending
// message order and are appended; OR words and NOT-only scans may go back
// below what was found and are merged.
void SearchCollector::addFound(std::vector<ULONG>& block) {
    if (!std::is_sorted(block.begin(), block.end())) std::sort(block.begin(), block.end());
    block.erase(std::unique(block.begin(), block.end()), block.end());
    if (block.empty()) return;
    const auto old = static_cast<std::ptrdiff_t>(messages_.size());
    if (messages_.empty() || messages_.back() < block.front()) {
        messages_.insert(messages_.end(), block.begin(), block.end());
    } else {
        messages_.reserve(messages_.size() + block.size());  // the inserter must not move what it reads
        std::set_difference(block.begin(), block.end(), messages_.begin(), messages_.begin() + old,
                            std::back_inserter(messages_));
    }
    // The tail past `old` holds the new messages, ascending.
    if (phrase_) unchecked_.insert(unchecked_.end(), messages_.begin() + old, messages_.end());
    std::inplace_merge(messages_.begin(), messages_.begin() + old, messages_.end());
}

// Removes the messages in `dropped` (any order) from messages_ in one pass
// over the part from the lowest of them on.
void SearchCollector::dropFound(std::vector<ULONG>& dropped) {
    if (dropped.empty()) return;
    std::sort(dropped.begin(), dropped.end());
    auto out = std::lower_bound(messages_.begin(), messages_.end(), dropped.front());
    auto d = dropped.begin();
    for (auto in = out; in != messages_.end(); ++in) {
        while (d != dropped.end() && *d < *in) ++d;
        if (d != dropped.end() && *d == *in) continue;
        *out++ = *in;
    }
    messages_.erase(out, messages_.end());
}

// Whether `message` holds the word of `entry`. Words whose messages are not
// far more than the block's are read once into memory; others are tested
// pair by pair on MAS:by_SysID.
SearchCollector::WordSet& SearchCollector::wordSet(const ExpressionEntry& entry, std::size_t blockSize, bool& failed) {
    WordSet& set = wordSets_[entry.wordId];
    const bool load = !set.loaded && static_cast<std::size_t>(std::max<LONG>(entry.count, 0)) <= 16 * blockSize + 65536;
    if (load) {
        // The word's messages in one read of its lists.
        if (MasIdx.firstValuesOf(static_cast<ULONG>(entry.wordId), set.messages) != StorageStatus::Ok) {
            failed = true;
            set.messages.clear();
            return set;
        }
        set.loaded = true;
    }
    return set;
}

void SearchCollector::keepByMerge(std::vector<ULONG>& block, const WordSet& set, bool wanted) {
    auto next = set.messages.begin();
    const auto end = set.messages.end();
    // Far more messages in the set than in the block: each one is looked
    // for, from where the last was found.
    const bool search = set.messages.size() > 8 * block.size();
    block.erase(std::remove_if(block.begin(), block.end(),
                               [&](ULONG m) {
                                   if (search) next = std::lower_bound(next, end, m);
                                   else
                                       while (next != end && *next < m) ++next;
                                   return (next != end && *next == m) != wanted;
                               }),
                block.end());
}

bool SearchCollector::holds(ULONG message, const ExpressionEntry& entry, std::size_t blockSize, bool& failed) {
    WordSet& set = wordSet(entry, blockSize, failed);
    if (failed) return false;
    if (set.loaded) return std::binary_search(set.messages.begin(), set.messages.end(), message);
    MAS.SYSID = message;
    MAS.WORDID = static_cast<ULONG>(entry.wordId);
    const StorageStatus st = MasIdx.get(MAS_by_SysID);
    if (st != StorageStatus::Ok && st != StorageStatus::NotFound) failed = true;
    return st == StorageStatus::Ok;
}

void SearchCollector::filter(std::vector<ULONG>& block) {
    bool failed = false;
    for (std::size_t i = 0; i < expression_.andList.size() && !block.empty(); ++i) {
        if (!noPositiveAnd_ && i == driving_) continue;
        const ExpressionEntry& e = expression_.andList[i];
        const bool wanted = !e.isNot();
        if (wanted) hitWords_.insert(e.word);
        const std::size_t size = block.size();
        const WordSet& set = wordSet(e, size, failed);
        if (failed) return readFailed(MasIdx);
        if (set.loaded && std::is_sorted(block.begin(), block.end())) {
            keepByMerge(block, set, wanted);
            continue;
        }
        block.erase(std::remove_if(block.begin(), block.end(),
                                   [&](ULONG m) { return holds(m, e, size, failed) != wanted; }),
                    block.end());
        if (failed) return readFailed(MasIdx);
    }
    if (noPositiveAnd_ || expression_.orList.empty() || block.empty()) return;
    std::vector<bool> keep(block.size(), false);
    for (const ExpressionEntry& e : expression_.orList) {
        bool hit = false;
        for (std::size_t k = 0; k < block.size(); ++k) {
            if (keep[k] || !holds(block[k], e, block.size(), failed)) continue;
            keep[k] = true;
            hit = true;
        }
        if (failed) return readFailed(MasIdx);
        if (hit) hitWords_.insert(e.word);
    }
    std::size_t out = 0;
    for (std::size_t k = 0; k < block.size(); ++k)
        if (keep[k]) block[out++] = block[k];
    block.resize(out);
}

void SearchCollector::ask() {
    if (moreBlocks_ == MoreBlocks::Continue) {
        state_ = State::Gather;
        return;
    }
    const std::size_t n = messages_.size();
    const Button answer = message("Search More?",
                                  (n == 0 ? std::string("No") : std::to_string(n)) +
                                      " search hits found!|But there are more records to search.|Would you like "
                                      "to search more records now?",
                                  Icon::Question, ButtonYes | ButtonNo, ButtonYes);
    if (answer == ButtonYes) state_ = State::Gather;
    else finishSession(State::Paused);
}

// The end of a run of blocks: the phrase check when asked for, then the
// pause or the end.
void SearchCollector::finishSession(State next) {
    afterPhrase_ = next;
    if (phrase_ && !unchecked_.empty()) {
        std::sort(unchecked_.begin(), unchecked_.end());
        status_ = "Phrase Matching...";
        state_ = State::Phrase;
        if (!phraseCache_) phraseCache_.emplace();
        return;
    }
    phraseCache_.reset();
    phraseCheck_.release();
    state_ = next;
    if (messages_.empty() && next != State::Stopped) {
        if (phraseEmptied_) message("Try again", "No documents contain the phrase. Sorry!");
        else message("No Matches", "No Messages Match your Search Criteria. Sorry!");
    }
}

void SearchCollector::checkPhrase() {
    // Newest first, from the back of the sorted list.
    const std::size_t n = std::min(kPhrasePerStep, unchecked_.size());
    const std::vector<ULONG> step(unchecked_.rbegin(), unchecked_.rbegin() + static_cast<std::ptrdiff_t>(n));
    unchecked_.resize(unchecked_.size() - n);
    std::vector<ULONG> dropped = phraseCheck_.lacking(step);
    if (!dropped.empty()) {
        dropFound(dropped);
        phraseEmptied_ = true;
    }
    if (unchecked_.empty()) {
        if (!messages_.empty()) phraseEmptied_ = false;
        finishSession(afterPhrase_);
    }
}

}  // namespace pm
