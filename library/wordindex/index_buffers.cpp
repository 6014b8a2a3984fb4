#include "wordindex/index_buffers.h"

#include <cstring>

namespace pm {

std::uint64_t indexWordHash(std::string_view word) {
    const char* p = word.data();
    std::size_t n = word.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (static_cast<std::uint64_t>(n) * 0xC2B2AE3D27D4EB4Full);
    while (n >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
        p += 8;
        n -= 8;
    }
    if (n > 0) {
        std::uint64_t v = 0;
        std::memcpy(&v, p, n);
        h = (h ^ v) * 0xC4CEB9FE1A85EC53ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

// --- FlatWordTable ------------------------------------------------------------------

namespace {
constexpr std::uint64_t tagOf(std::uint64_t hash) { return hash >> 32; }
}  // namespace

// The slot holding `word`, or the empty slot where it would go.
std::uint32_t FlatWordTable::probe(std::string_view word, std::uint64_t hash, bool& found) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t tag = tagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = slots_[i];
        if (slot == 0) {
            found = false;
            return static_cast<std::uint32_t>(i);
        }
        if ((slot >> 32) != tag) continue;
        const std::uint32_t place = static_cast<std::uint32_t>(slot) - 1;
        const Item& item = items_[place];
        if (!item.erased && item.length == word.size() &&
            std::memcmp(text_.data() + item.offset, word.data(), word.size()) == 0) {
            found = true;
            return static_cast<std::uint32_t>(i);
        }
    }
}

std::uint32_t FlatWordTable::find(std::string_view word) const {
    if (live_ == 0) return kNone;
    bool found = false;
    const std::uint32_t slot = probe(word, indexWordHash(word), found);
    return found ? static_cast<std::uint32_t>(slots_[slot]) - 1 : kNone;
}

std::uint32_t FlatWordTable::insert(std::string_view word, bool& added) {
    // At most half full (erased words keep their slots), so probes stay short.
    if ((items_.size() + 1) * 2 > slots_.size()) grow();
    const std::uint64_t hash = indexWordHash(word);
    bool found = false;
    const std::uint32_t slot = probe(word, hash, found);
    added = !found;
    if (found) return static_cast<std::uint32_t>(slots_[slot]) - 1;
    const auto place = static_cast<std::uint32_t>(items_.size());
    items_.push_back({static_cast<std::uint32_t>(text_.size()), static_cast<std::uint16_t>(word.size()), false});
    text_.append(word);
    slots_[slot] = (tagOf(hash) << 32) | (static_cast<std::uint64_t>(place) + 1);
    ++live_;
    return place;
}

void FlatWordTable::erase(std::uint32_t place) {
    if (place >= items_.size() || items_[place].erased) return;
    items_[place].erased = true;
    --live_;
}

void FlatWordTable::grow() {
    const std::size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
    slots_.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::uint32_t place = 0; place < items_.size(); ++place) {
        const std::uint64_t hash = indexWordHash(word(place));
        std::size_t i = hash & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = (tagOf(hash) << 32) | (static_cast<std::uint64_t>(place) + 1);
    }
}

void FlatWordTable::clear() {
    std::vector<std::uint64_t>().swap(slots_);
    std::vector<Item>().swap(items_);
    std::string().swap(text_);
    live_ = 0;
}

std::size_t FlatWordTable::bytes() const {
    return slots_.capacity() * sizeof(std::uint64_t) + items_.capacity() * sizeof(Item) + text_.capacity();
}

// --- WordListBuffer --------------------------------------------------------------------

BufferedWord* WordListBuffer::find(std::string_view word) {
    const std::uint32_t place = table_.find(word);
    return place == FlatWordTable::kNone ? nullptr : &entries_[place];
}

BufferedWord& WordListBuffer::insert(std::string_view word, const BufferedWord& entry) {
    bool added = false;
    const std::uint32_t place = table_.insert(word, added);
    if (added) entries_.push_back(entry);
    return entries_[place];
}

void WordListBuffer::erase(std::string_view word) {
    const std::uint32_t place = table_.find(word);
    if (place != FlatWordTable::kNone) table_.erase(place);
}

void WordListBuffer::clear() {
    table_.clear();
    std::vector<BufferedWord>().swap(entries_);
}

// --- OccurrenceBuffer --------------------------------------------------------------------

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
