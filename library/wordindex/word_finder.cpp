#include "wordindex/word_finder.h"

#include <algorithm>
#include <new>

#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/records/wordindex_tables.h"
#include "wordindex/word_case.h"

namespace pm {

namespace {

// The block of records tested per step: what fits in 655350 bytes.
constexpr std::size_t kBlockBytes = 655350;

}  // namespace

WordFinder::WordFinder(std::string searchWord, MatchType type, bool wholeWord, int degree)
    : searchWord_(std::move(searchWord)), type_(type), wholeWord_(wholeWord),
      matcher_(searchWord_, type, wholeWord, degree) {
    const bool wildcards = searchWord_.find_first_of("?*") != std::string::npos;
    const std::size_t literal = std::min(searchWord_.find_first_of("?*"), searchWord_.size());
    const bool pinned = (type_ == MatchType::StartsWith && !wildcards) ||
                        ((type_ == MatchType::Plain || type_ == MatchType::StartsWith) &&
                         searchWord_.find('*') != std::string::npos && searchWord_[0] != '*');
    if (type_ == MatchType::StartsWith && wholeWord_ && !wildcards) {
        mode_ = Mode::ByKey;
    } else if ((pinned || (type_ == MatchType::StartsWith && wildcards)) && literal > 0) {
        mode_ = Mode::Range;
        prefix_ = searchWord_.substr(0, literal);
    }
}

bool WordFinder::requestStop(StopRequest) {
    if (status_ == JobStatus::Running) status_ = JobStatus::Stopped;
    return true;
}

ProgressReport WordFinder::report() const {
    ProgressReport r;
    r.title = " Finding a Keyword";
    r.lines = {searchWord_};
    r.counters = {{"Words read", read_}, {"Found", static_cast<long long>(found_.size())}};
    r.percent = percent_;
    return r;
}

bool WordFinder::countWords() {
    total_ = WordList.records();
    if (total_ > 0) return true;
    message("Abort", "This database is not indexed.\r\nUnable to allocate memory for Search.", Icon::Hand);
    return false;
}

bool WordFinder::startReading() {
    if (!WordList.isOpen()) {
        message("Search Failure", "Search Initialization Failed!", Icon::Hand);
        return false;
    }
    // One word is looked up by its key: counting the whole word list (a
    // scan of it) is left to a miss, where an empty list means no index.
    if (mode_ == Mode::ByKey) return true;
    if (!countWords()) return false;
    // A block as large as memory allows, never more than the file holds.
    blockRecords_ = std::min<std::size_t>(kBlockBytes / sizeof(WordListRecord), static_cast<std::size_t>(total_));
    for (;;) {
        try {
            found_.reserve(std::min<std::size_t>(blockRecords_, 1024));
            break;
        } catch (const std::bad_alloc&) {
            if (blockRecords_ <= 1) {
                message("Abort", "Unable to lock global memory.", Icon::Hand);
                return false;
            }
            blockRecords_ /= 2;
        }
    }
    WordList.clear();
    switch (mode_) {
        case Mode::ByKey: break;
        case Mode::Range:
            WOR.THEWORD = cutToStoredWord(prefix_);
            WordList.setAt(WOR_by_theWord);
            break;
        case Mode::Whole: WordList.setPhysical(); break;
    }
    return true;
}

JobStatus WordFinder::step() {
    if (status_ != JobStatus::Running) return status_;
    if (!started_) {
        started_ = true;
        if (!startReading()) return status_ = JobStatus::Failed;
    }
    bool done = false;
    if (mode_ == Mode::ByKey) {
        WordList.clear();
        WOR.THEWORD = cutToStoredWord(searchWord_);
        const StorageStatus st = WordList.get(WOR_by_theWord);
        if (st == StorageStatus::Ok) found_.push_back({WOR.WORDCOUNT, WOR.THEWORD.str(), WOR.WORDID, false});
        percent_ = 100;
        if (st != StorageStatus::Ok && st != StorageStatus::NotFound) {
            message("seek error", "Seek start of data error*", Icon::Hand);
            return status_ = JobStatus::Failed;
        }
        if (st == StorageStatus::NotFound && !countWords()) return status_ = JobStatus::Failed;
        return status_ = JobStatus::Done;
    }
    for (std::size_t n = 0; n < blockRecords_; ++n) {
        const StorageStatus st = WordList.next();
        if (st == StorageStatus::NotFound) {
            done = true;
            break;
        }
        if (st != StorageStatus::Ok) {
            message("seek error", "Seek start of data error*", Icon::Hand);
            return status_ = JobStatus::Failed;
        }
        ++read_;
        // The stretch of words with the literal start is over.
        if (mode_ == Mode::Range && WOR.THEWORD.view().substr(0, prefix_.size()) != prefix_) {
            done = true;
            break;
        }
        if (matcher_.matches(WOR.THEWORD.raw())) found_.push_back({WOR.WORDCOUNT, WOR.THEWORD.str(), WOR.WORDID, false});
    }
    percent_ = done ? 100 : static_cast<int>(std::min<long long>(99, read_ * 100 / std::max(1LL, total_)));
    return status_ = done ? JobStatus::Done : JobStatus::Running;
}

}  // namespace pm
