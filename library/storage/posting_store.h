#pragma once
// The SQL side of the posting-list layout (internal to the storage layer).
//
// A table of pairs (A, B) is kept in three SQL tables of its store, named
// after the table's label L and its two fields:
//
//   L            A INTEGER PRIMARY KEY, ENTRIES, <B>S BLOB
//                one row per A with its B values, ascending
//   L_by_<key>   B, FIRST<A>, LAST<A>, ENTRIES, <A>S BLOB, WITHOUT ROWID,
//                primary key (B, FIRST<A>): the A values of each B, ascending,
//                in blocks of at most kBlockEntries values and about
//                kBlockBytes bytes, so that a block stays on its page
//   L_info       RECORDS: the number of pairs
//
// Lists are stored as varint distances (posting_codec.h); a block's blob
// holds the values after its first, which is FIRST<A>. Every write keeps the
// two directions and the count in step inside one savepoint. The SQL side
// is in posting_store.cpp, the merging of lists in posting_merge.cpp.
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/sql_statement.h"
#include "storage/table_def.h"

namespace pm::postings {

inline constexpr std::size_t kBlockEntries = 1024;
inline constexpr std::size_t kBlockBytes = 900;

using Pair = std::pair<std::uint32_t, std::uint32_t>;  // (A, B)

// Pairs as they are appended, mostly a run of one A after the other (the
// words of one message): each run keeps its A once beside its B values, so
// a pair takes 4 bytes and a merge holds twice the pairs in the same room.
// The B values are kept in chunks, so holding more never copies them.
class PairRuns {
public:
    struct Run {
        std::uint32_t a;
        std::uint32_t count;  // B values of the run
    };
    static constexpr std::size_t kChunk = std::size_t{1} << 16;

    static PairRuns of(const Pair& pair) {
        PairRuns one;
        one.add(pair.first, pair.second);
        return one;
    }
    void add(std::uint32_t a, std::uint32_t b) {
        if (runs_.empty() || runs_.back().a != a) runs_.push_back({a, 0});
        ++runs_.back().count;
        if (chunks_.empty() || chunks_.back().size() == kChunk) {
            chunks_.emplace_back();
            chunks_.back().reserve(kChunk);
        }
        chunks_.back().push_back(b);
        ++size_;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Frees the memory too.
    void release() {
        std::vector<Run>().swap(runs_);
        std::vector<std::vector<std::uint32_t>>().swap(chunks_);
        size_ = 0;
    }
    // One run per A, in ascending order of A (B values in any order within
    // a run).
    void sortByA();

    const std::vector<Run>& runs() const { return runs_; }
    // The `i`th B value, run after run.
    std::uint32_t b(std::size_t i) const { return chunks_[i / kChunk][i % kChunk]; }
    // Copies `count` B values from the `from`th on to `out`.
    void copyB(std::size_t from, std::size_t count, std::uint32_t* out) const {
        while (count > 0) {
            const std::vector<std::uint32_t>& chunk = chunks_[from / kChunk];
            const std::size_t at = from % kChunk, n = std::min(count, chunk.size() - at);
            std::copy_n(chunk.data() + at, n, out);
            out += n;
            from += n;
            count -= n;
        }
    }
    // Calls visit(a, b) for every pair, run after run.
    template <class Visit>
    void forEach(Visit&& visit) const {
        std::size_t chunk = 0, at = 0;
        for (const Run& run : runs_) {
            for (std::uint32_t i = 0; i < run.count; ++i) {
                if (at == kChunk) {
                    ++chunk;
                    at = 0;
                }
                visit(run.a, chunks_[chunk][at++]);
            }
        }
    }

private:
    std::vector<Run> runs_;
    std::vector<std::vector<std::uint32_t>> chunks_;
    std::size_t size_ = 0;
};

// A merge of many pairs done a part at a time (Store::mergeSome): the A
// lists first, in order of A, then the B lists, a run of B values at a
// time, and the count last. What the merge reckons (sorting, gathering,
// encoding) is done ahead of its writes (posting_prepare.h).
struct MergeProgress;
struct MergeWork {
    MergeWork();
    ~MergeWork();
    MergeWork(MergeWork&&) noexcept;
    MergeWork& operator=(MergeWork&&) noexcept;

    std::unique_ptr<MergeProgress> progress;  // the pairs and where the merge is
    std::int64_t count = 0;  // pairs in all
    bool done = false;
};

// One block of the A values of a B.
struct Block {
    std::uint32_t b = 0;
    std::uint32_t first = 0;
    std::vector<std::uint32_t> values;  // ascending; values.front() == first
};

class Store {
public:
    // `def` must declare two 4-byte numbers, the primary key (+A +B) and a
    // second key (+B); throws std::logic_error otherwise.
    explicit Store(const TableDef& def);

    // The schema (attached store) the statements address. Changing it drops
    // the prepared statements.
    void setSchema(const std::string& schema);
    // Drops the prepared statements (before DDL, on close).
    void finalizeAll() { statements_.finalizeAll(); }
    // The connection closed under us: forget the statements.
    void forgetAll() { statements_.forgetAll(); }

    const std::string& mainTable() const { return byA_; }

    // --- DDL (SQLite result codes) -----------------------------------------------
    int create(std::string& error);  // drops and creates the three tables
    int drop(std::string& error);
    int clear(std::string& error);   // removes every pair
    // Whether the three tables are stored, and stored with their columns.
    int tablesExist(bool& exist);
    int layoutMatches(bool& matches);

    // --- reads (SQLite result code; SQLITE_DONE = not found) -------------------
    // The B values of `a`.
    int loadRow(std::uint32_t a, std::vector<std::uint32_t>& out);
    // The nearest A after (dir > 0) or before (dir < 0) `a`, with its B values.
    int neighbourRow(std::uint32_t a, int dir, std::uint32_t& found, std::vector<std::uint32_t>& out);
    // The block of `b` with the greatest FIRST <= `a`.
    int blockAtOrBefore(std::uint32_t b, std::uint32_t a, Block& out);
    // The first block of `b` with FIRST > `a` (dir > 0), or the last with
    // FIRST < `a` (dir < 0).
    int blockBeside(std::uint32_t b, std::uint32_t a, int dir, Block& out);
    // The first block of the first B after `b` (dir > 0), or the last block
    // of the last B before it (dir < 0).
    int blockOfNeighbour(std::uint32_t b, int dir, Block& out);
    // The A values of `b` in the blocks from the one that begins at or after
    // `first` on, ascending, appended to `out`.
    int blocksFrom(std::uint32_t b, std::uint32_t first, std::vector<std::uint32_t>& out);
    int records(std::int64_t& count);
    int highestA(std::uint32_t& a);  // 0 when empty

    // --- writes (inside the caller's savepoint, sql::inSavepoint) -------------
    // Adds `pairs` (sorted by A: PairRuns::sortByA). SQLITE_CONSTRAINT when
    // a pair repeats or is already stored; SQLITE_TOOBIG past 4G pairs.
    int merge(PairRuns pairs, std::string& error);
    // The same in parts: startMerge takes the pairs (as merge), each
    // mergeSome writes about `budget` of them (work.done once all are in).
    // The parts belong in one savepoint: a failed part leaves the lists out
    // of step until it is rolled back.
    int startMerge(PairRuns pairs, MergeWork& work);
    int mergeSome(MergeWork& work, std::size_t budget, std::string& error);
    // Removes one pair; SQLITE_DONE when it is not stored.
    int erase(std::uint32_t a, std::uint32_t b, std::string& error);
    // Removes the pairs of `b` with its `limit` smallest A values, each A's
    // row written once and only the blocks that held them rewritten;
    // `erased` says how many went (0: b has none left).
    int eraseFirstOf(std::uint32_t b, std::size_t limit, std::size_t& erased, std::string& error);

private:
    enum Query : std::size_t {
        kLoadRow, kNextRow, kPrevRow, kWriteRow, kDeleteRow, kAtOrBefore, kAfter, kBefore, kNextB, kPrevB,
        kWriteBlock, kDeleteBlock, kDeleteFrom, kBlocksFrom, kRecords, kAddRecords, kHighestA, kHighestB, kLastBlock,
        kQueryCount
    };
    std::string sqlOf(Query query) const;
    // Statement `query` with `values` bound to parameters 1, 2 ...
    int bound(Query query, std::initializer_list<std::int64_t> values, sqlite3_stmt*& out);
    // Runs a statement that returns no rows.
    int write(Query query, std::initializer_list<std::int64_t> values);
    // Reads the first block a block query finds.
    int blockBy(Query query, std::initializer_list<std::int64_t> values, Block& out);
    int readBlock(sqlite3_stmt* s, Block& out);
    int readList(Query query, std::uint32_t key, std::uint32_t* found, std::vector<std::uint32_t>& out);
    int highestB(bool& any, std::uint32_t& b);
    int writeRow(std::uint32_t a, const std::vector<std::uint32_t>& bs);
    int writeRowBlob(std::uint32_t a, std::size_t entries, std::string_view blob);
    // One block: FIRST, LAST, ENTRIES and the blob of the values after FIRST.
    int writeBlock(std::uint32_t b, std::uint32_t first, std::uint32_t last, std::size_t entries, std::string_view blob);
    int writeBlocks(std::uint32_t b, const std::uint32_t* values, std::size_t count);
    int mergeRows(MergeProgress& progress, std::size_t budget, std::string& error);
    // `mayHold`: b may have stored blocks.
    int mergeIntoB(std::uint32_t b, const std::uint32_t* values, std::size_t count, bool mayHold);
    std::string q(const std::string& table) const;

    std::string schema_ = "main";
    std::string colA_, colB_;   // field names, "SYSID", "WORDID"
    std::string byA_, byB_, info_;
    sql::StatementSet statements_{kQueryCount};
    std::string blob_;  // the list being written
};

}  // namespace pm::postings
