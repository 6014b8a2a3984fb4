#include "common/number_set.h"

#include <algorithm>
#include <iterator>

namespace pm {

bool NumberSet::inFolded(std::uint64_t n) const {
    auto it = std::upper_bound(folded_.begin(), folded_.end(), n,
                               [](std::uint64_t v, const Range& r) { return v < r.first; });
    return it != folded_.begin() && std::prev(it)->last >= n;
}

bool NumberSet::contains(std::uint64_t n) const {
    if (inFolded(n)) return true;
    auto it = recent_.upper_bound(n);
    return it != recent_.begin() && std::prev(it)->second >= n;
}

bool NumberSet::insert(std::uint64_t n) {
    if (inFolded(n)) return false;
    auto next = recent_.upper_bound(n);  // the first range starting after n
    auto prev = next == recent_.begin() ? recent_.end() : std::prev(next);
    if (prev != recent_.end() && prev->second >= n) return false;
    // prev->second < n, so the + 1 cannot wrap; next->first > n, so n < max.
    const bool joinsPrev = prev != recent_.end() && prev->second + 1 == n;
    const bool joinsNext = next != recent_.end() && next->first == n + 1;
    if (joinsPrev && joinsNext) {
        prev->second = next->second;
        recent_.erase(next);
    } else if (joinsPrev) {
        prev->second = n;
    } else if (joinsNext) {
        const std::uint64_t last = next->second;
        recent_.erase(next);
        recent_.emplace(n, last);
    } else {
        recent_.emplace(n, n);
    }
    ++size_;
    if (recent_.size() > kFoldAt) fold();
    return true;
}

void NumberSet::fold() {
    std::vector<Range> merged;
    merged.reserve(folded_.size() + recent_.size());
    auto add = [&merged](std::uint64_t first, std::uint64_t last) {
        if (!merged.empty() && merged.back().last + 1 == first) merged.back().last = last;
        else merged.push_back({first, last});
    };
    auto f = folded_.begin();
    for (const auto& [first, last] : recent_) {
        for (; f != folded_.end() && f->first < first; ++f) add(f->first, f->last);
        add(first, last);
    }
    for (; f != folded_.end(); ++f) add(f->first, f->last);
    folded_ = std::move(merged);
    recent_.clear();
}

std::size_t NumberSet::ranges() const { return folded_.size() + recent_.size(); }

void NumberSet::clear() {
    folded_.clear();
    folded_.shrink_to_fit();
    recent_.clear();
    size_ = 0;
}

}  // namespace pm
