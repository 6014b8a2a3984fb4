// The posting-list layout: merging pairs into both kinds of lists, and
// taking one out, each inside the caller's savepoint.
#include <algorithm>
#include <iterator>

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

// The B lists of the next A values of `work`, about `budget` pairs.
int Store::mergeRows(MergeWork& work, std::size_t budget, std::string& error) {
    const std::vector<Pair>& pairs = work.pairs;
    std::vector<std::uint32_t> bs, stored, merged;
    const std::size_t stop = pairs.size() - work.nextPair > budget ? work.nextPair + budget : pairs.size();
    int rc = SQLITE_OK;
    std::size_t i = work.nextPair;
    while (rc == SQLITE_OK && i < stop) {
        const std::uint32_t a = pairs[i].first;
        bs.clear();
        for (; i < pairs.size() && pairs[i].first == a; ++i) {
            bs.push_back(pairs[i].second);
            work.maxB = std::max(work.maxB, pairs[i].second);
        }
        std::sort(bs.begin(), bs.end());
        if (std::adjacent_find(bs.begin(), bs.end()) != bs.end()) {
            error = kDuplicate;
            return SQLITE_CONSTRAINT;
        }
        if (a <= work.highestA) {
            rc = loadRow(a, stored);
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
        rc = writeRow(a, bs);
    }
    if (rc != SQLITE_OK) {
        error = sql::lastErrorText();
        return rc;
    }
    work.nextPair = i;
    return SQLITE_OK;
}

namespace {

// The A values of `work` grouped by B, keeping A ascending within each group
// (the pairs come sorted by A). A counting sort when the B values are dense
// enough, else an ordinary sort.
void groupByB(MergeWork& work) {
    const std::vector<Pair>& pairs = work.pairs;
    std::vector<std::uint32_t>& as = work.as;
    auto& groups = work.groups;
    as.resize(pairs.size());
    if (work.maxB <= 4 * pairs.size() + (1u << 20)) {
        std::vector<std::uint32_t> start(static_cast<std::size_t>(work.maxB) + 2, 0);
        for (const Pair& p : pairs) ++start[static_cast<std::size_t>(p.second) + 1];
        for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (const Pair& p : pairs) as[fill[p.second]++] = p.first;
        for (std::size_t b = 0; b + 1 < start.size(); ++b)
            if (start[b + 1] > start[b]) groups.emplace_back(static_cast<std::uint32_t>(b), start[b]);
    } else {
        std::vector<Pair> byB(pairs.begin(), pairs.end());
        std::sort(byB.begin(), byB.end(),
                  [](const Pair& x, const Pair& y) { return x.second != y.second ? x.second < y.second : x.first < y.first; });
        for (std::size_t i = 0; i < byB.size(); ++i) {
            as[i] = byB[i].first;
            if (i == 0 || byB[i].second != byB[i - 1].second) groups.emplace_back(byB[i].second, i);
        }
    }
}

}  // namespace

int Store::startMerge(std::vector<Pair> pairs, MergeWork& work) {
    work = MergeWork{};
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
        if (work.nextPair < work.pairs.size()) return SQLITE_OK;
        groupByB(work);
        std::vector<Pair>().swap(work.pairs);
        work.rowsDone = true;
        return SQLITE_OK;
    }
    const std::vector<std::uint32_t>& as = work.as;
    std::size_t taken = 0;
    for (; work.nextGroup < work.groups.size() && taken < budget; ++work.nextGroup) {
        const std::size_t g = work.nextGroup;
        const std::size_t begin = work.groups[g].second;
        const std::size_t end = g + 1 < work.groups.size() ? work.groups[g + 1].second : as.size();
        const int rc = mergeIntoB(work.groups[g].first, as.data() + begin, end - begin);
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

int Store::merge(std::vector<Pair> pairs, std::string& error) {
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
