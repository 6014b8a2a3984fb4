#include "wordindex/index_buffers.h"

#include <algorithm>
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

// Whether the `n` bytes at `a` and `b` are the same: most words are a few
// bytes long, for which this costs less than a call of memcmp.
inline bool sameBytes(const char* a, const char* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) return false;
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

// Whether `slot` holds `word`: the length and the head of the word stand in
// the slot itself, so most probes read one cache line.
bool FlatWordTable::holds(const Slot& slot, std::string_view word) const {
    if (slot.length != word.size()) return false;
    if (!sameBytes(slot.head, word.data(), std::min<std::size_t>(word.size(), kHeadBytes))) return false;
    if (word.size() <= kHeadBytes) return true;
    const Item& item = items_[slot.place - 1];
    return std::memcmp(text_.data() + item.offset + kHeadBytes, word.data() + kHeadBytes,
                       word.size() - kHeadBytes) == 0;
}

// The slot holding `word`, or the empty slot where it would go.
std::size_t FlatWordTable::probe(std::string_view word, std::uint64_t hash, bool& found) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.place == 0) {
            found = false;
            return i;
        }
        if (!slot.erased && holds(slot, word)) {
            found = true;
            return i;
        }
    }
}

std::uint32_t FlatWordTable::find(std::string_view word, std::uint64_t hash) const {
    if (live_ == 0) return kNone;
    bool found = false;
    const std::size_t slot = probe(word, hash, found);
    return found ? slots_[slot].place - 1 : kNone;
}

void FlatWordTable::fill(Slot& slot, std::string_view word, std::uint32_t place) {
    slot.place = place + 1;
    slot.length = static_cast<std::uint16_t>(word.size());
    std::memcpy(slot.head, word.data(), std::min<std::size_t>(word.size(), kHeadBytes));
}

std::uint32_t FlatWordTable::insert(std::string_view word, std::uint64_t hash, bool& added) {
    // At most half full (erased words keep their slots), so probes stay short.
    if ((items_.size() + 1) * 2 > slots_.size()) grow();
    bool found = false;
    const std::size_t slot = probe(word, hash, found);
    added = !found;
    if (found) return slots_[slot].place - 1;
    const auto place = static_cast<std::uint32_t>(items_.size());
    items_.push_back({static_cast<std::uint32_t>(text_.size()), static_cast<std::uint16_t>(word.size()), false,
                      static_cast<std::uint32_t>(slot)});
    text_.append(word);
    fill(slots_[slot], word, place);
    ++live_;
    return place;
}

void FlatWordTable::erase(std::uint32_t place) {
    if (place >= items_.size() || items_[place].erased) return;
    items_[place].erased = true;
    --live_;
    slots_[items_[place].slot].erased = true;
}

void FlatWordTable::grow() {
    const std::size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
    slots_.assign(size, Slot{});
    const std::size_t mask = size - 1;
    for (std::uint32_t place = 0; place < items_.size(); ++place) {
        if (items_[place].erased) continue;
        const std::string_view w = word(place);
        std::size_t i = indexWordHash(w) & mask;
        while (slots_[i].place != 0) i = (i + 1) & mask;
        fill(slots_[i], w, place);
        items_[place].slot = static_cast<std::uint32_t>(i);
    }
}

void FlatWordTable::clear() {
    std::vector<Slot>().swap(slots_);
    std::vector<Item>().swap(items_);
    std::string().swap(text_);
    live_ = 0;
}

void FlatWordTable::reset() {
    // Past this many slots emptying them one by one gains nothing over
    // starting afresh, and a table that large spreads a few words over
    // more cache than they need.
    constexpr std::size_t kKeptSlots = 4096;
    if (slots_.size() > kKeptSlots) {
        clear();
        return;
    }
    for (const Item& item : items_) slots_[item.slot] = Slot{};
    items_.clear();
    text_.clear();
    live_ = 0;
}

std::size_t FlatWordTable::bytes() const {
    return slots_.capacity() * sizeof(Slot) + items_.capacity() * sizeof(Item) + text_.capacity();
}

// --- WordListBuffer --------------------------------------------------------------------

BufferedWord* WordListBuffer::find(std::string_view word, std::uint64_t hash) {
    const std::uint32_t place = table_.find(word, hash);
    return place == FlatWordTable::kNone ? nullptr : &entries_[place];
}

BufferedWord& WordListBuffer::insert(std::string_view word, std::uint64_t hash, const BufferedWord& entry) {
    bool added = false;
    const std::uint32_t place = table_.insert(word, hash, added);
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

void WordListBuffer::markStored() {
    for (BufferedWord& entry : entries_) {
        if (entry.action == BufferedWord::Stop) continue;
        entry.action = BufferedWord::Update;
        entry.storedCount = entry.count;
    }
}

// --- OccurrenceBuffer --------------------------------------------------------------------

void OccurrenceBuffer::add(ULONG message, ULONG word) {
    if (chunks_.empty() || chunks_.back().size() == kChunk) {
        chunks_.emplace_back();
        chunks_.back().reserve(kChunk);
    }
    chunks_.back().push_back(word);
    if (runs_.empty() || runs_.back().message != message) runs_.push_back({message, 0});
    ++runs_.back().count;
    ++size_;
}

std::size_t OccurrenceBuffer::takeFront(std::size_t limit, std::vector<Pair>& out) {
    std::size_t given = 0;
    while (given < limit && !chunks_.empty()) {
        std::vector<ULONG>& chunk = chunks_.front();
        while (given < limit && front_ < chunk.size()) {
            Run& run = runs_.front();
            const std::size_t n = std::min({limit - given, chunk.size() - front_, std::size_t{run.count}});
            for (std::size_t i = 0; i < n; ++i) out.emplace_back(run.message, chunk[front_ + i]);
            front_ += n;
            given += n;
            size_ -= n;
            run.count -= static_cast<std::uint32_t>(n);
            if (run.count == 0) runs_.pop_front();
        }
        if (front_ == chunk.size()) {
            chunks_.pop_front();
            front_ = 0;
        }
    }
    return given;
}

void OccurrenceBuffer::clear() {
    std::deque<std::vector<ULONG>>().swap(chunks_);
    std::deque<Run>().swap(runs_);
    front_ = 0;
    size_ = 0;
}

}  // namespace pm
