#pragma once
// The in-memory lists of an indexing run: the words met since the last
// flush, the occurrences found since then, and the stop words.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/types.h"

namespace pm {

// Hash for string keys that also finds by string_view.
struct WordHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// A word of the word list buffer.
struct BufferedWord {
    enum Action : BYTE { Update = 1, Add = 2 };
    LONG id = 0;
    LONG count = 0;         // messages holding the word, this run's included
    LONG storedCount = 0;   // WOR:WORDCOUNT when read (0 for a new word)
    Action action = Add;
    ULONG lastMessage = 0;  // the last message the word was counted for
};

// The word list buffer: words met since the last flush, by word.
class WordListBuffer {
public:
    using Map = std::unordered_map<std::string, BufferedWord, WordHash, std::equal_to<>>;

    BufferedWord* find(std::string_view word);
    BufferedWord& insert(std::string_view word, const BufferedWord& entry);
    void erase(std::string_view word);
    void clear();

    std::size_t size() const { return words_.size(); }
    bool empty() const { return words_.empty(); }
    const Map& words() const { return words_; }
    // Rough bytes held (for flushing by size).
    std::size_t bytes() const;

private:
    Map words_;
    std::size_t textBytes_ = 0;
};

// The occurrence buffer: (message number, word id) pairs in the order found.
// Kept in chunks so a flush can hand them on and free them as it goes.
class OccurrenceBuffer {
public:
    using Pair = std::pair<ULONG, ULONG>;
    static constexpr std::size_t kChunk = 1u << 16;

    void add(ULONG message, ULONG word);
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t bytes() const { return chunks_.size() * kChunk * sizeof(Pair); }

    // Hands out up to `limit` pairs from the front, freeing what was handed
    // out; returns how many were given to `take`.
    std::size_t drain(std::size_t limit, const std::function<bool(const Pair&)>& take);
    void clear();

private:
    std::vector<std::vector<Pair>> chunks_;
    std::size_t front_ = 0;  // pairs already handed out of chunks_.front()
    std::size_t size_ = 0;
};

// The stop words, upper case.
class StopList {
public:
    bool contains(std::string_view word) const { return words_.find(word) != words_.end(); }
    void add(std::string_view word) { words_.emplace(word); }
    std::size_t size() const { return words_.size(); }
    void clear() { words_.clear(); }

private:
    std::unordered_set<std::string, WordHash, std::equal_to<>> words_;
};

}  // namespace pm
