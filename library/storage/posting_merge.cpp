// The posting-list layout: merging pairs into both kinds of lists, and
// taking one out, each inside the caller's savepoint.
#include <algorithm>
#include <iterator>
#include <limits>

#include "storage/posting_store.h"

namespace pm::postings {
namespace {

constexpr const char* kDuplicate = "Creates duplicate key";

// `stored` and `added` merged; false when they share a value.
bool mergeInto(const std::vector<std::uint32_t>& stored, const std::uint32_t* added, std::size_t count,
               std::vector<std::uint32_t>& merged) {
    merged.clear();
    merged.reserve(stored.size() + count);
    std::merge(stored.begin(), stored.end(), added, added + count, std::back_inserter(merged));
    return std::adjacent_find(merged.begin(), merged.end()) == merged.end();
}

}  // namespace

// Adds ascending `values` to the A lists of `b`.
int Store::mergeIntoB(std::uint32_t b, const std::uint32_t* values, std::size_t count) {
    // The last block of b: the one at or before the highest possible A.
    Block last;
    int rc = blockAtOrBefore(b, 0xFFFFFFFFu, last);
    if (rc == SQLITE_DONE) return writeBlocks(b, values, count);
    if (rc != SQLITE_OK) return rc;
    if (values[0] > last.values.back()) {
        // New values after everything stored (the common case): refill the
        // last block when it has room, then go on with new blocks.
        if (last.values.size() < kBlockEntries / 2) {
            std::vector<std::uint32_t> joined = std::move(last.values);
            joined.insert(joined.end(), values, values + count);
            return writeBlocks(b, joined.data(), joined.size());  // replaces the last block (same FIRST)
        }
        return writeBlocks(b, values, count);
    }
    // Interleaved with stored values: rewrite from the block that holds the
    // first new value.
    Block start;
    rc = blockAtOrBefore(b, values[0], start);
    std::uint32_t from = 0;
    if (rc == SQLITE_OK) from = start.first;
    else if (rc != SQLITE_DONE) return rc;
    std::vector<std::uint32_t> stored, merged;
    if ((rc = blocksFrom(b, from, stored)) != SQLITE_OK) return rc;
    if (!mergeInto(stored, values, count, merged)) return SQLITE_CONSTRAINT;
    if ((rc = write(kDeleteFrom, {b, from})) != SQLITE_OK) return rc;
    return writeBlocks(b, merged.data(), merged.size());
}

void PairRuns::sortByA() {
    if (std::adjacent_find(runs_.begin(), runs_.end(), [](const Run& x, const Run& y) { return x.a >= y.a; }) ==
        runs_.end())
        return;
    // Runs out of order or split (appends of single pairs in any order):
    // rare, so sorted as plain pairs.
    std::vector<Pair> pairs;
    pairs.reserve(size_);
    forEach([&](std::uint32_t a, std::uint32_t b) { pairs.emplace_back(a, b); });
    std::sort(pairs.begin(), pairs.end());
    release();
    for (const Pair& p : pairs) add(p.first, p.second);
}

// The B lists of the next A values of `work`, about `budget` pairs.
int Store::mergeRows(MergeWork& work, std::size_t budget, std::string& error) {
    const std::vector<PairRuns::Run>& runs = work.pairs.runs();
    std::vector<std::uint32_t> bs, stored, merged;
    int rc = SQLITE_OK;
    std::size_t taken = 0;
    for (; rc == SQLITE_OK && taken < budget && work.nextRun < runs.size(); ++work.nextRun) {
        const PairRuns::Run& run = runs[work.nextRun];
        bs.clear();
        for (std::uint32_t i = 0; i < run.count; ++i) bs.push_back(work.pairs.b(work.nextB + i));
        std::sort(bs.begin(), bs.end());
        if (std::adjacent_find(bs.begin(), bs.end()) != bs.end()) {
            error = kDuplicate;
            return SQLITE_CONSTRAINT;
        }
        work.maxB = std::max(work.maxB, bs.back());
        if (run.a <= work.highestA) {
            rc = loadRow(run.a, stored);
            if (rc == SQLITE_OK) {
                if (!mergeInto(stored, bs.data(), bs.size(), merged)) {
                    error = kDuplicate;
                    return SQLITE_CONSTRAINT;
                }
                bs.swap(merged);
            } else if (rc != SQLITE_DONE) {
                break;
            }
        }
        rc = writeRow(run.a, bs);
        if (rc != SQLITE_OK) break;
        work.nextB += run.count;
        taken += run.count;
    }
    if (rc != SQLITE_OK) {
        error = sql::lastErrorText();
        return rc;
    }
    return SQLITE_OK;
}

namespace {

// A window holds the A values of this many pairs at most (more only for a
// single B with more). Each window is one pass over the pairs.
constexpr std::size_t kWindowPairs = std::size_t{1} << 20;

// After the A lists: every B of `work` with where its A values begin in
// the order by B. A count by B when the B values are dense enough, else a
// sort of a copy of them.
void groupByB(MergeWork& work) {
    auto& groups = work.groups;
    work.denseB = work.maxB <= 4 * work.pairs.size() + (1u << 20);
    if (work.denseB) {
        std::vector<std::uint32_t>& next = work.cursor;
        next.assign(static_cast<std::size_t>(work.maxB) + 1, 0);
        work.pairs.forEach([&](std::uint32_t, std::uint32_t b) { ++next[b]; });
        std::uint32_t sum = 0;
        for (std::size_t b = 0; b < next.size(); ++b) {
            const std::uint32_t n = next[b];
            next[b] = sum;
            if (n > 0) groups.emplace_back(static_cast<std::uint32_t>(b), sum);
            sum += n;
        }
        return;
    }
    std::vector<std::uint32_t> sorted;
    sorted.reserve(work.pairs.size());
    work.pairs.forEach([&](std::uint32_t, std::uint32_t b) { sorted.push_back(b); });
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (i == 0 || sorted[i] != sorted[i - 1]) groups.emplace_back(sorted[i], static_cast<std::uint32_t>(i));
    work.cursor.resize(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) work.cursor[g] = groups[g].second;
}

std::size_t groupEnd(const MergeWork& work, std::size_t g) {
    return g + 1 < work.groups.size() ? work.groups[g + 1].second : static_cast<std::size_t>(work.count);
}

// Gathers the A values of the groups from work.nextGroup on into the window,
// ascending within each group: the runs come in order of A.
void fillWindow(MergeWork& work) {
    const auto& groups = work.groups;
    const std::size_t from = work.nextGroup;
    const std::size_t base = groups[from].second;
    std::size_t to = from + 1;
    while (to < groups.size() && groupEnd(work, to) - base <= kWindowPairs) ++to;
    const std::size_t size = groupEnd(work, to - 1) - base;
    const std::uint32_t low = groups[from].first, span = groups[to - 1].first - low;
    if (work.denseB) {
        // Without a branch per pair: most pairs fall outside the window and
        // put their A in the spare slot past its end.
        work.window.assign(size + 1, 0);
        std::uint32_t* window = work.window.data();
        std::uint32_t* cursor = work.cursor.data();
        work.pairs.forEach([&](std::uint32_t a, std::uint32_t b) {
            const std::uint32_t inside = b - low <= span;
            std::uint32_t& next = cursor[b];
            window[inside ? next - base : size] = a;
            next += inside;
        });
    } else {
        work.window.assign(size, 0);
        work.pairs.forEach([&](std::uint32_t a, std::uint32_t b) {
            if (b - low > span) return;
            const auto at = std::lower_bound(groups.begin(), groups.end(), std::pair<std::uint32_t, std::uint32_t>(b, 0));
            work.window[work.cursor[static_cast<std::size_t>(at - groups.begin())]++ - base] = a;
        });
    }
    work.windowFrom = from;
    work.windowTo = to;
}

}  // namespace

int Store::startMerge(PairRuns pairs, MergeWork& work) {
    work = MergeWork{};
    if (pairs.size() > std::numeric_limits<std::uint32_t>::max()) return SQLITE_TOOBIG;
    work.count = static_cast<std::int64_t>(pairs.size());
    work.pairs = std::move(pairs);
    work.done = work.pairs.empty();
    return work.done ? SQLITE_OK : highestA(work.highestA);
}

int Store::mergeSome(MergeWork& work, std::size_t budget, std::string& error) {
    if (work.done) return SQLITE_OK;
    if (budget == 0) budget = 1;
    if (!work.rowsDone) {
        if (int rc = mergeRows(work, budget, error); rc != SQLITE_OK) return rc;
        if (work.nextRun < work.pairs.runs().size()) return SQLITE_OK;
        groupByB(work);
        work.rowsDone = true;
        return SQLITE_OK;
    }
    std::size_t taken = 0;
    for (; work.nextGroup < work.groups.size() && taken < budget; ++work.nextGroup) {
        const std::size_t g = work.nextGroup;
        if (g >= work.windowTo) fillWindow(work);
        const std::size_t base = work.groups[work.windowFrom].second;
        const std::size_t begin = work.groups[g].second, end = groupEnd(work, g);
        const int rc = mergeIntoB(work.groups[g].first, work.window.data() + (begin - base), end - begin);
        if (rc != SQLITE_OK) {
            error = rc == SQLITE_CONSTRAINT ? kDuplicate : sql::lastErrorText();
            return rc;
        }
        taken += end - begin;
    }
    if (work.nextGroup < work.groups.size()) return SQLITE_OK;
    if (int rc = write(kAddRecords, {work.count}); rc != SQLITE_OK) {
        error = sql::lastErrorText();
        return rc;
    }
    work = MergeWork{};
    work.done = true;
    return SQLITE_OK;
}

int Store::merge(PairRuns pairs, std::string& error) {
    MergeWork work;
    int rc = startMerge(std::move(pairs), work);
    if (rc != SQLITE_OK) error = sql::lastErrorText();
    while (rc == SQLITE_OK && !work.done) rc = mergeSome(work, work.count > 0 ? static_cast<std::size_t>(work.count) : 1, error);
    return rc;
}

int Store::erase(std::uint32_t a, std::uint32_t b, std::string& error) {
    std::vector<std::uint32_t> bs;
    int rc = loadRow(a, bs);
    if (rc != SQLITE_OK) return rc;
    auto it = std::lower_bound(bs.begin(), bs.end(), b);
    if (it == bs.end() || *it != b) return SQLITE_DONE;
    bs.erase(it);
    rc = bs.empty() ? write(kDeleteRow, {a}) : writeRow(a, bs);

    Block block;
    if (rc == SQLITE_OK) rc = blockAtOrBefore(b, a, block);
    if (rc == SQLITE_OK) {
        auto at = std::lower_bound(block.values.begin(), block.values.end(), a);
        if (at == block.values.end() || *at != a) {
            rc = SQLITE_CORRUPT;
        } else {
            const bool wasFirst = at == block.values.begin();
            block.values.erase(at);
            if (wasFirst || block.values.empty()) rc = write(kDeleteBlock, {b, block.first});
            if (rc == SQLITE_OK && !block.values.empty())
                rc = writeBlocks(b, block.values.data(), block.values.size());
        }
    } else if (rc == SQLITE_DONE) {
        rc = SQLITE_CORRUPT;  // the A list held the pair, the B list must too
    }
    if (rc == SQLITE_OK) rc = write(kAddRecords, {-1});
    if (rc != SQLITE_OK) error = rc == SQLITE_CORRUPT ? "The two lists of " + byA_ + " disagree" : sql::lastErrorText();
    return rc;
}

}  // namespace pm::postings
