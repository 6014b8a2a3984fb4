#include "wordindex/index_buffers.h"

namespace pm {

BufferedWord* WordListBuffer::find(std::string_view word) {
    auto it = words_.find(word);
    return it == words_.end() ? nullptr : &it->second;
}

BufferedWord& WordListBuffer::insert(std::string_view word, const BufferedWord& entry) {
    auto [it, inserted] = words_.emplace(std::string(word), entry);
    if (inserted && word.size() > 15) textBytes_ += word.size() + 1;  // beyond the inline buffer
    return it->second;
}

void WordListBuffer::erase(std::string_view word) {
    auto it = words_.find(word);
    if (it == words_.end()) return;
    if (it->first.size() > 15) textBytes_ -= it->first.size() + 1;
    words_.erase(it);
}

void WordListBuffer::clear() {
    Map().swap(words_);
    textBytes_ = 0;
}

std::size_t WordListBuffer::bytes() const {
    // A node holds the key, the entry and the bucket links.
    constexpr std::size_t perNode = sizeof(std::string) + sizeof(BufferedWord) + 3 * sizeof(void*);
    return words_.size() * perNode + words_.bucket_count() * sizeof(void*) + textBytes_;
}

void OccurrenceBuffer::add(ULONG message, ULONG word) {
    if (chunks_.empty() || chunks_.back().size() == kChunk) {
        chunks_.emplace_back();
        chunks_.back().reserve(kChunk);
    }
    chunks_.back().emplace_back(message, word);
    ++size_;
}

std::size_t OccurrenceBuffer::drain(std::size_t limit, const std::function<bool(const Pair&)>& take) {
    std::size_t given = 0;
    while (given < limit && !chunks_.empty()) {
        std::vector<Pair>& chunk = chunks_.front();
        while (given < limit && front_ < chunk.size()) {
            if (!take(chunk[front_])) return given;
            ++front_;
            ++given;
            --size_;
        }
        if (front_ == chunk.size()) {
            chunks_.erase(chunks_.begin());
            front_ = 0;
        }
    }
    return given;
}

void OccurrenceBuffer::clear() {
    std::vector<std::vector<Pair>>().swap(chunks_);
    front_ = 0;
    size_ = 0;
}

}  // namespace pm
