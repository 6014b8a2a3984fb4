#pragma once
// The in-memory lists of an indexing run: the words met since the last
// flush, the occurrences found since then, and the stop words.
//
// Every word of every indexed text meets the word list buffer and the stop
// list, so both are open-addressing tables in flat arrays: a look-up costs a
// hash of the word and a probe into a slot array whose slots hold each
// word's length and first bytes (a word of up to 25 bytes is compared in
// its slot, one cache line), instead of a chase through the nodes of a
// node-based map.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/types.h"

namespace pm {

// Starts loading the cache line at `address`. GCC 12 drops a plain
// __builtin_prefetch that sits in a branch (or reads its address from
// memory), so on x86 the instruction is spelled out; a prefetch never
// faults, whatever the address.
inline void prefetchLine(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("prefetcht0 (%0)" : : "r"(address));
#else
    __builtin_prefetch(address);
#endif
}

// The hash the word tables use (fast on words of up to 40 bytes).
std::uint64_t indexWordHash(std::string_view word);

// A set of words in a flat open-addressing table: the words and their place
// in insertion order. Words are never removed one by one (erase marks them).
class FlatWordTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // The place of `word`, or kNone. `hash` is indexWordHash(word), for
    // callers that computed it already.
    std::uint32_t find(std::string_view word) const { return find(word, indexWordHash(word)); }
    std::uint32_t find(std::string_view word, std::uint64_t hash) const;
    // The place of `word`, added when it is new (`added` tells).
    std::uint32_t insert(std::string_view word, bool& added) { return insert(word, indexWordHash(word), added); }
    std::uint32_t insert(std::string_view word, std::uint64_t hash, bool& added);
    // Starts loading the slot a look-up of a word with `hash` reads first,
    // so that a look-up a few words later finds it in the cache.
    void prefetch(std::uint64_t hash) const {
        if (!slots_.empty()) prefetchLine(&slots_[hash & (slots_.size() - 1)]);
    }
    // The place of the word in the slot a look-up of `hash` reads first, or
    // kNone: the word's own place for most words, another's after a
    // collision. Only a hint, for loading what goes with the word early.
    std::uint32_t firstPlace(std::uint64_t hash) const {
        return slots_.empty() ? kNone : slots_[hash & (slots_.size() - 1)].place - 1;
    }
    // From now on `find` no longer finds the word at `place`.
    void erase(std::uint32_t place);
    void clear();
    // Forgets every word but keeps the memory of a small table, for a
    // table filled and emptied again and again (the words of one message):
    // only the slots in use are emptied.
    void reset();

    std::size_t size() const { return live_; }
    // Places run from 0 to places() - 1 in insertion order; erased ones stay.
    std::size_t places() const { return items_.size(); }
    bool erased(std::uint32_t place) const { return items_[place].erased; }
    std::string_view word(std::uint32_t place) const {
        const Item& it = items_[place];
        return {text_.data() + it.offset, it.length};
    }
    std::size_t bytes() const;

private:
    static constexpr std::size_t kHeadBytes = 25;
    // A slot: the word's place (+1; 0 = empty), its length, whether it was
    // erased and its first bytes. 32 bytes, two to a cache line.
    struct Slot {
        std::uint32_t place = 0;
        std::uint16_t length = 0;
        bool erased = false;
        char head[kHeadBytes] = {};
    };
    struct Item {
        std::uint32_t offset = 0;
        std::uint16_t length = 0;
        bool erased = false;
        std::uint32_t slot = 0;  // the slot that holds it
    };
    bool holds(const Slot& slot, std::string_view word) const;
    std::size_t probe(std::string_view word, std::uint64_t hash, bool& found) const;
    static void fill(Slot& slot, std::string_view word, std::uint32_t place);
    void grow();

    std::vector<Slot> slots_;
    std::vector<Item> items_;
    std::string text_;  // every word's bytes, one after the other
    std::size_t live_ = 0;
};

// A word of the word list buffer.
struct BufferedWord {
    // Stop: a stop word, kept here so that meeting it again costs one
    // look-up; never written.
    enum Action : BYTE { Update = 1, Add = 2, Stop = 3 };
    LONG id = 0;
    LONG count = 0;         // messages holding the word, this run's included
    LONG storedCount = 0;   // WOR:WORDCOUNT when read or last written (0 for a new word)
    Action action = Add;
    ULONG lastMessage = 0;  // the last message the word was counted for
};

// The word list buffer: the run's words, by word. A flush writes the words
// added or counted since the one before; the words stay (marked stored), so
// that meeting them again costs no look-up in the word list.
class WordListBuffer {
public:
    // `hash` is indexWordHash(word).
    BufferedWord* find(std::string_view word, std::uint64_t hash);
    BufferedWord* find(std::string_view word) { return find(word, indexWordHash(word)); }
    bool contains(std::string_view word, std::uint64_t hash) const {
        return table_.find(word, hash) != FlatWordTable::kNone;
    }
    BufferedWord& insert(std::string_view word, std::uint64_t hash, const BufferedWord& entry);
    BufferedWord& insert(std::string_view word, const BufferedWord& entry) {
        return insert(word, indexWordHash(word), entry);
    }
    // Starts loading the slot of a word with `hash` (well ahead of its
    // look-up), or, once that slot is loaded, its entry (a little ahead).
    void prefetch(std::uint64_t hash) const { table_.prefetch(hash); }
    void prefetchEntry(std::uint64_t hash) const {
        const std::uint32_t place = table_.firstPlace(hash);
        if (place != FlatWordTable::kNone) prefetchLine(&entries_[place]);
    }
    void erase(std::string_view word);
    void clear();

    std::size_t size() const { return table_.size(); }
    bool empty() const { return table_.size() == 0; }
    // Calls `visit(word, entry)` for each word, in the order they were added.
    template <class Visit>
    void forEach(Visit&& visit) const {
        for (std::uint32_t p = 0; p < table_.places(); ++p)
            if (!table_.erased(p)) visit(table_.word(p), entries_[p]);
    }
    template <class Visit>
    void forEach(Visit&& visit) {
        for (std::uint32_t p = 0; p < table_.places(); ++p)
            if (!table_.erased(p)) visit(table_.word(p), entries_[p]);
    }
    // After a committed flush: every word is in the word list now, with the
    // count it has here.
    void markStored();
    // Rough bytes held (for flushing by size).
    std::size_t bytes() const { return table_.bytes() + entries_.capacity() * sizeof(BufferedWord); }

private:
    FlatWordTable table_;
    std::vector<BufferedWord> entries_;  // by place in the table
};

// The occurrence buffer: (message number, word id) pairs in the order found.
// The pairs of one message come one after the other, so each message is
// kept once beside the run of its word ids (4 bytes a pair). Kept in chunks
// so a flush can hand them on and free them as it goes.
class OccurrenceBuffer {
public:
    using Pair = std::pair<ULONG, ULONG>;
    static constexpr std::size_t kChunk = 1u << 17;

    void add(ULONG message, ULONG word);
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t bytes() const { return chunks_.size() * kChunk * sizeof(ULONG) + runs_.size() * sizeof(Run); }

    // Moves up to `limit` pairs from the front to the end of `out`, freeing
    // them here; returns how many.
    std::size_t takeFront(std::size_t limit, std::vector<Pair>& out);
    void clear();

private:
    struct Run {
        ULONG message;
        std::uint32_t count;  // word ids of the message still held
    };
    std::deque<std::vector<ULONG>> chunks_;  // word ids in the order found
    std::deque<Run> runs_;                   // their messages, in the same order
    std::size_t front_ = 0;                  // ids already handed out of chunks_.front()
    std::size_t size_ = 0;
};

// The stop words, upper case.
class StopList {
public:
    bool contains(std::string_view word) const { return words_.find(word) != FlatWordTable::kNone; }
    // `hash` is indexWordHash(word).
    bool contains(std::string_view word, std::uint64_t hash) const {
        return words_.size() != 0 && words_.find(word, hash) != FlatWordTable::kNone;
    }
    void add(std::string_view word) {
        bool added = false;
        words_.insert(word, added);
    }
    std::size_t size() const { return words_.size(); }
    void clear() { words_.clear(); }

private:
    FlatWordTable words_;
};

}  // namespace pm
