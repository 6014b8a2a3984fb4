// The posting-list layout: merging pairs into both kinds of lists, and
// taking one out, each inside the caller's savepoint.
#include <algorithm>
#include <iterator>
#include <limits>

#include "storage/posting_codec.h"
#include "storage/posting_prepare.h"
#include "storage/posting_store.h"

namespace pm::postings {
namespace {

constexpr const char* kDuplicate = "Creates duplicate key";
constexpr const char* kOutOfMemory = "Out of memory";

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
int Store::mergeIntoB(std::uint32_t b, const std::uint32_t* values, std::size_t count, bool mayHold) {
    if (!mayHold) return writeBlocks(b, values, count);
    // The last block of b, without decoding it.
    sqlite3_stmt* s = nullptr;
    if (int rc = bound(kLastBlock, {b}, s); rc != SQLITE_OK) return rc;
    sql::ResetOnExit reset(s);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) {
        sqlite3_reset(s);
        return writeBlocks(b, values, count);
    }
    if (rc != SQLITE_ROW) return rc;
    const auto first = static_cast<std::uint32_t>(sqlite3_column_int64(s, 0));
    const auto last = static_cast<std::uint32_t>(sqlite3_column_int64(s, 1));
    const std::int64_t entries = sqlite3_column_int64(s, 2);
    if (values[0] > last) {
        // New values after everything stored (the common case): the last
        // block takes them while it has room (its blob grows by their
        // distances, as a block written whole would hold them), then new
        // blocks follow.
        if (entries < static_cast<std::int64_t>(kBlockEntries / 2)) {
            const void* p = sqlite3_column_blob(s, 3);
            blob_.assign(static_cast<const char*>(p), p ? static_cast<std::size_t>(sqlite3_column_bytes(s, 3)) : 0);
            sqlite3_reset(s);
            std::size_t held = static_cast<std::size_t>(entries), taken = 0;
            std::uint32_t previous = last;
            for (; taken < count && held < kBlockEntries; ++taken, ++held) {
                const std::uint32_t delta = values[taken] - previous;
                if (blob_.size() + varintSize(delta) > kBlockBytes) break;
                putVarint(blob_, delta);
                previous = values[taken];
            }
            if (taken > 0 && (rc = writeBlock(b, first, previous, held, blob_)) != SQLITE_OK) return rc;
            return taken < count ? writeBlocks(b, values + taken, count - taken) : SQLITE_OK;
        }
        sqlite3_reset(s);
        return writeBlocks(b, values, count);
    }
    sqlite3_reset(s);
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

// The B lists of the next A values, about `budget` pairs; takes the first
// window once they are all written.
int Store::mergeRows(MergeProgress& p, std::size_t budget, std::string& error) {
    const std::vector<PairRuns::Run>& runs = p.prep.pairs().runs();
    std::vector<std::uint32_t> stored, merged;
    std::size_t taken = 0;
    while (taken < budget) {
        if (p.nextRun >= p.rows.endRun) {
            MergePrep::Part part = p.prep.take();
            if (part.kind == MergePrep::Part::RowsPart) {
                p.rows = std::move(part.rows);
                p.valueAt = p.blobAt = 0;
                continue;
            }
            if (part.kind != MergePrep::Part::WindowPart) {
                error = kOutOfMemory;
                return SQLITE_NOMEM;
            }
            p.window = std::move(part.window);
            p.rowsDone = true;
            return SQLITE_OK;
        }
        if (p.nextRun == p.rows.duplicateRun) {
            error = kDuplicate;
            return SQLITE_CONSTRAINT;
        }
        const PairRuns::Run& run = runs[p.nextRun];
        const std::uint32_t* bs = p.rows.values.data() + p.valueAt;
        const std::size_t blobEnd = p.rows.blobEnds[p.nextRun - p.rows.firstRun];
        const std::string_view blob(p.rows.blobs.data() + p.blobAt, blobEnd - p.blobAt);
        int rc = SQLITE_DONE;
        if (run.a <= p.highestA) {
            rc = loadRow(run.a, stored);
            if (rc == SQLITE_OK) {
                if (!mergeInto(stored, bs, run.count, merged)) {
                    error = kDuplicate;
                    return SQLITE_CONSTRAINT;
                }
                rc = writeRow(run.a, merged);
            }
        }
        if (rc == SQLITE_DONE) rc = writeRowBlob(run.a, run.count, blob);
        if (rc != SQLITE_OK) {
            error = sql::lastErrorText();
            return rc;
        }
        p.valueAt += run.count;
        p.blobAt = blobEnd;
        ++p.nextRun;
        taken += run.count;
    }
    return SQLITE_OK;
}

int Store::startMerge(PairRuns pairs, MergeWork& work) {
    work = MergeWork{};
    if (pairs.size() > std::numeric_limits<std::uint32_t>::max()) return SQLITE_TOOBIG;
    work.count = static_cast<std::int64_t>(pairs.size());
    work.done = pairs.empty();
    if (work.done) return SQLITE_OK;
    work.progress = std::make_unique<MergeProgress>(std::move(pairs));
    MergeProgress& p = *work.progress;
    int rc = highestA(p.highestA);
    if (rc == SQLITE_OK) rc = highestB(p.anyB, p.highestB);
    return rc;
}

int Store::mergeSome(MergeWork& work, std::size_t budget, std::string& error) {
    if (work.done) return SQLITE_OK;
    if (budget == 0) budget = 1;
    MergeProgress& p = *work.progress;
    if (!p.rowsDone) return mergeRows(p, budget, error);
    const auto& groups = p.prep.groups();
    const auto groupEnd = [&](std::size_t g) {
        return g + 1 < groups.size() ? groups[g + 1].second : static_cast<std::size_t>(work.count);
    };
    std::size_t taken = 0;
    for (; p.nextGroup < groups.size() && taken < budget; ++p.nextGroup) {
        const std::size_t g = p.nextGroup;
        if (g >= p.window.to) {
            MergePrep::Part part = p.prep.take();
            if (part.kind != MergePrep::Part::WindowPart) {
                error = kOutOfMemory;
                return SQLITE_NOMEM;
            }
            p.window = std::move(part.window);
        }
        const std::size_t base = groups[p.window.from].second;
        const std::size_t begin = groups[g].second, end = groupEnd(g);
        const std::uint32_t b = groups[g].first;
        const int rc = mergeIntoB(b, p.window.values.data() + (begin - base), end - begin, p.anyB && b <= p.highestB);
        if (rc != SQLITE_OK) {
            error = rc == SQLITE_CONSTRAINT ? kDuplicate : sql::lastErrorText();
            return rc;
        }
        taken += end - begin;
    }
    if (p.nextGroup < groups.size()) return SQLITE_OK;
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

int Store::eraseFirstOf(std::uint32_t b, std::size_t limit, std::size_t& erased, std::string& error) {
    erased = 0;
    // The blocks that hold the first `limit` values, read before any is
    // written: a statement must not read on over rows being changed.
    std::vector<std::uint32_t> firsts, as;
    int rc = SQLITE_OK;
    {
        sqlite3_stmt* s = nullptr;
        rc = bound(kBlocksFrom, {b, 0}, s);
        if (rc == SQLITE_OK) {
            sql::ResetOnExit reset(s);
            Block block;
            while (as.size() < limit && (rc = readBlock(s, block)) == SQLITE_OK) {
                firsts.push_back(block.first);
                as.insert(as.end(), block.values.begin(), block.values.end());
            }
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
        }
    }
    const std::size_t n = std::min(limit, as.size());
    std::vector<std::uint32_t> bs;
    for (std::size_t i = 0; rc == SQLITE_OK && i < n; ++i) {
        rc = loadRow(as[i], bs);
        if (rc == SQLITE_DONE) rc = SQLITE_CORRUPT;  // the B list held the pair, the A list must too
        if (rc != SQLITE_OK) break;
        auto it = std::lower_bound(bs.begin(), bs.end(), b);
        if (it == bs.end() || *it != b) {
            rc = SQLITE_CORRUPT;
            break;
        }
        bs.erase(it);
        rc = bs.empty() ? write(kDeleteRow, {as[i]}) : writeRow(as[i], bs);
    }
    for (std::size_t i = 0; rc == SQLITE_OK && i < firsts.size(); ++i) rc = write(kDeleteBlock, {b, firsts[i]});
    // What the last block read held beyond the erased values stays.
    if (rc == SQLITE_OK && n < as.size()) rc = writeBlocks(b, as.data() + n, as.size() - n);
    if (rc == SQLITE_OK && n > 0) rc = write(kAddRecords, {-static_cast<std::int64_t>(n)});
    if (rc != SQLITE_OK) {
        error = rc == SQLITE_CORRUPT ? "The two lists of " + byA_ + " disagree" : sql::lastErrorText();
        return rc;
    }
    erased = n;
    return SQLITE_OK;
}

}  // namespace pm::postings
