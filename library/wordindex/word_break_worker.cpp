#include "wordindex/word_break_worker.h"

#include <csignal>
#include <pthread.h>

#include "wordindex/text_regions.h"
#include "wordindex/word_case.h"

namespace pm {

WordBreakWorker::WordBreakWorker(BYTE databaseType, BYTE indexFooters)
    : databaseType_(databaseType), indexFooters_(indexFooters), thread_([this] { run(); }) {}

WordBreakWorker::~WordBreakWorker() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void WordBreakWorker::submit(std::vector<MessageToBreak> chunk) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        input_ = std::move(chunk);
        pending_ = true;
    }
    wake_.notify_all();
}

std::vector<BrokenMessage> WordBreakWorker::take() {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [this] { return !pending_; });
    return std::move(output_);
}

void WordBreakWorker::run() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return pending_ || quit_; });
        if (quit_) return;
        hold.unlock();
        breakChunk();
        hold.lock();
        pending_ = false;
        wake_.notify_all();
    }
}

// Runs on the worker while pending_ is set: the run touches neither input_
// nor output_ until take() sees it cleared.
void WordBreakWorker::breakChunk() {
    output_.clear();
    output_.resize(input_.size());
    for (std::size_t i = 0; i < input_.size(); ++i) {
        const MessageToBreak& m = input_[i];
        BrokenMessage& out = output_[i];
        out.number = m.number;
        out.bytes.reserve(m.text.size() / 2);
        out.ends.reserve(m.text.size() / 8);
        out.hashes.reserve(m.text.size() / 8);
        const IndexRegions regions =
            messageIndexRegions(static_cast<DatabaseType>(databaseType_), m.heading, m.text, indexFooters_);
        seen_.clear();
        seenCounts_.clear();
        const auto visit = [&](const BrokenWord& w) {
            const std::string_view word = cutToStoredWord(w.text);
            bool added = false;
            const std::uint64_t hash = indexWordHash(word);
            const std::uint32_t place = seen_.insert(word, hash, added);
            if (added) seenCounts_.push_back(0);
            // A third and later occurrence in one message changes nothing
            // the second did not (the indexer counts a word once a message;
            // the second meeting may make it a stop word, after which it is
            // passed over): those are left out.
            if (seenCounts_[place] == 2) return;
            ++seenCounts_[place];
            out.bytes += word;
            out.ends.push_back(static_cast<std::uint32_t>(out.bytes.size()));
            out.hashes.push_back(hash);
        };
        // Heading and text are broken apart, so no word spans the two.
        breaker_.breakText(regions.heading, visit);
        breaker_.breakText(regions.text, visit);
    }
    input_.clear();
}

}  // namespace pm
