#include "wordindex/word_filing.h"

#include <algorithm>

namespace pm {

namespace {
// The automatic stop-word rule looks at words once this many messages are indexed.
constexpr long long kAutoStopAfter = 10000;
}  // namespace

WordFiler::WordFiler(Setup setup)
    : stops_(std::move(setup.stops)),
      nextWordId_(setup.lastWordId),
      wordsComplete_(setup.wordsComplete),
      autoStop_(setup.autoStop),
      keepWordBytes_(setup.keepWordBytes) {}

void WordFiler::misses(const BrokenMessage& m, FlatWordTable& pending, std::vector<WordLookup>& out) const {
    std::uint32_t begin = 0;
    for (std::size_t k = 0; k < m.ends.size(); ++k) {
        const std::string_view word = std::string_view(m.bytes).substr(begin, m.ends[k] - begin);
        begin = m.ends[k];
        const std::uint64_t hash = m.hashes[k];
        if (word.empty() || words_.contains(word, hash) || stops_.contains(word, hash))
            continue;
        bool added = false;
        pending.insert(word, hash, added);
        if (added) out.push_back({std::string(word), hash});
    }
}

void WordFiler::addStored(const WordLookup& found) {
    BufferedWord entry;
    entry.id = found.id;
    entry.count = found.count;
    entry.storedCount = found.count;
    entry.action = BufferedWord::Update;
    words_.insert(found.word, found.hash, entry);
}

void WordFiler::file(const BrokenMessage& m, long long ordinal) {
    // The word table and the entries are far larger than the cache: the
    // slot of a word well ahead is loaded, then a little ahead (its slot in
    // the cache by then) the entry that slot points to, while this word is
    // filed.
    constexpr std::size_t kSlotAhead = 16;
    constexpr std::size_t kEntryAhead = 8;
    const std::size_t count = m.ends.size();
    for (std::size_t k = 0; k < std::min(kSlotAhead, count); ++k) words_.prefetch(m.hashes[k]);
    std::uint32_t begin = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (k + kSlotAhead < count) words_.prefetch(m.hashes[k + kSlotAhead]);
        if (k + kEntryAhead < count) words_.prefetchEntry(m.hashes[k + kEntryAhead]);
        const std::uint32_t end = m.ends[k];
        fileWord(std::string_view(m.bytes).substr(begin, end - begin), m.hashes[k], m.number, ordinal);
        begin = end;
    }
}

void WordFiler::fileWord(std::string_view word, std::uint64_t hash, ULONG message, long long ordinal) {
    if (word.empty()) return;
    // The buffer never holds a stop word but as one (the run's stop list
    // only grows): one look-up serves the common case.
    BufferedWord* entry = words_.find(word, hash);
    if (entry && entry->action == BufferedWord::Stop) return;
    if (!entry && stops_.contains(word, hash)) {
        BufferedWord stop;
        stop.action = BufferedWord::Stop;
        words_.insert(word, hash, stop);
        return;
    }
    if (!entry) {
        // A new word counts this message already.
        BufferedWord fresh;
        fresh.id = ++nextWordId_;
        fresh.count = 1;
        fresh.action = BufferedWord::Add;
        fresh.lastMessage = message;
        words_.insert(word, hash, fresh);
        occurrences_.add(message, static_cast<ULONG>(fresh.id));
        ++newWords_;
        return;
    }
    if (autoStop_ && ordinal > kAutoStopAfter && entry->count > static_cast<LONG>(ordinal / 4)) {
        // Too common to be worth indexing: from now on a stop word, and its
        // entries leave the index with the cleanup after the batch's flush
        // (those not yet written never reach it).
        stops_.add(word);
        newStopWords_.emplace_back(word);
        cleanupIds_.push_back(entry->id);
        entry->action = BufferedWord::Stop;
        ++stopWordsMoved_;
        return;
    }
    if (entry->lastMessage != message) {
        entry->lastMessage = message;
        occurrences_.add(message, static_cast<ULONG>(entry->id));
        ++entry->count;
    }
}

FlushBatch WordFiler::takeBatch() {
    FlushBatch batch;
    batch.occurrences = std::move(occurrences_);
    occurrences_.clear();
    words_.forEach([&](std::string_view word, const BufferedWord& entry) {
        // Words counted in no message since the last batch have nothing to
        // write, nor have stop words.
        const bool counted = entry.action == BufferedWord::Update && entry.count != entry.storedCount;
        if (entry.action == BufferedWord::Add || counted)
            batch.words.push_back({std::string(word), entry.id, entry.count, entry.storedCount, entry.action});
    });
    words_.markStored();
    batch.newStopWords = std::move(newStopWords_);
    newStopWords_.clear();
    batch.cleanupIds = std::move(cleanupIds_);
    cleanupIds_.clear();
    if (words_.bytes() > keepWordBytes_) dropWords();
    return batch;
}

void WordFiler::dropWords() {
    words_.clear();
    wordsComplete_ = false;
    ++drops_;
}

}  // namespace pm
