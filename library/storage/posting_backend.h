#pragma once
// Keyed tables of pairs (A, B) in the posting-list layout (posting_store.h)
// (internal). File operations and writes are in posting_backend.cpp, reads
// and the sequence in posting_cursor.cpp.
//
// Record position: A << 32 | B, so a position names its record for as long
// as it exists. Orders: physical and the primary key run by (A, B), the
// second key by (B, A). Within either order a record is (major, minor).
//
// Cursor states:
//   idle      - no sequence chosen; next()/previous() return NotFound.
//   unstarted - set*() chose an order and a start target; nothing read yet.
//   started   - `anchor` is the record last returned. `group` holds the
//               decoded list around it (the B values of one A, or one block
//               of the A values of one B) while it is current: a write of
//               this table or a rollback makes it stale, and the next read
//               seeks again from the anchor.
//
// Appended pairs wait in memory (up to kMaxPending, 4 bytes a pair when
// they come a run of one A after the other) until buildKeys(),
// flush(), close(), the commit of the transaction they were appended in, or
// any other access merges them into the store in one savepoint; inside a
// transaction buildKeysSome() merges them in parts, all in one savepoint
// that stays open between the parts (any other access finishes the merge
// first). Pairs
// appended inside a transaction that is rolled back before they were merged
// are dropped with it; a duplicate among them fails the merge and drops
// them all (and fails that commit).
#include <utility>
#include <vector>

#include "storage/posting_store.h"
#include "storage/sql_store_backend.h"

namespace pm::postings {

class PostingBackend final : public sql::StoreBackend, private sql::TransactionListener {
public:
    explicit PostingBackend(Table& table);
    ~PostingBackend() override;

    // --- file operations and writes (posting_backend.cpp) --------------------
    // Merges what was appended before the table closes.
    void close() override;
    StorageStatus create() override;
    bool exists() override;
    StorageStatus remove() override;
    StorageStatus empty() override;
    StorageStatus pack() override;
    // The lists are kept in step on every write; building the keys means
    // merging what was appended.
    StorageStatus buildKeys() override;
    StorageStatus buildKeysSome(std::size_t budget, bool& done) override;
    StorageStatus checkLayout() override;
    std::int64_t storedRecords() override;
    StorageStatus add(bool append) override;
    StorageStatus appendPairs(const std::vector<Pair>& pairs) override;
    StorageStatus put() override;
    StorageStatus erase() override;
    StorageStatus eraseFirstPairsOf(std::uint32_t second, std::size_t limit, std::size_t& erased) override;
    std::int64_t records() override;
    void flush() override { mergePending(); }

    // --- reads (posting_cursor.cpp) ------------------------------------------
    void setPhysical(RecordPosition from) override;
    void setKey(const KeyDef& key, int mode, RecordPosition pos) override;
    StorageStatus next() override { return step(+1); }
    StorageStatus previous() override { return step(-1); }
    StorageStatus get(const KeyDef& key) override;
    StorageStatus getAt(RecordPosition pos) override;
    StorageStatus firstValuesOf(std::uint32_t second, std::vector<std::uint32_t>& out) override;

private:
    enum Order { ByA, ByB };
    // Changes with every write of this table and every rollback.
    using Generation = std::pair<std::uint64_t, std::uint64_t>;

    struct Group {
        bool valid = false;
        Generation generation;
        std::uint32_t major = 0;
        std::vector<std::uint32_t> values;  // minors, ascending
        std::size_t index = 0;              // of the anchor
    };

    struct Cursor {
        bool chosen = false;  // false: idle
        Order order = ByA;
        int startMode = FromStart;
        RecordPosition startPosition = 0;
        std::uint32_t startA = 0, startB = 0;
        bool started = false;
        std::uint32_t major = 0, minor = 0;  // the anchor
        Group group;
    };

    StorageStatus findTable() override;
    int dropTables(std::string& error) override { return lists_.drop(error); }
    void attached() override { lists_.setSchema(schemaName()); }
    void finalizeStatements() override { lists_.finalizeAll(); }
    void forgetStatements() override { lists_.forgetAll(); }
    void resetCursor() override { cursor_ = {}; }
    StorageStatus beforeCommit(std::string& errorText) override;

    // --- writing -------------------------------------------------------------
    template <class Write>
    StorageStatus writeInSavepoint(Write write);
    void dropRolledBackPending();
    StorageStatus joinPending();
    // The appended pairs, sorted by A for a merge; none are left pending.
    PairRuns takePending();
    StorageStatus mergePending();
    // The next part of the merge under way; it ends (its savepoint
    // released, or rolled back on a failure) with its last part.
    StorageStatus continueWork(std::size_t budget);
    // Forgets the merge under way; its savepoint is released unless a
    // rollback took it.
    void abandonWork();

    // --- reading -------------------------------------------------------------
    std::uint32_t fieldValue(int field) const;
    void deliver(std::uint32_t a, std::uint32_t b);
    Generation generation() const;
    StorageStatus readPair(std::uint32_t a, std::uint32_t b);
    StorageStatus seek(std::uint32_t major, std::uint32_t minor, bool strict, int dir);
    StorageStatus step(int dir);
    void startTarget(int dir, std::uint32_t& major, std::uint32_t& minor) const;
    // A failed read of the lists: damaged lists are named as such.
    StorageStatus sqlFailure(int rc);

    Store lists_;
    std::uint64_t writeGeneration_ = 0;
    Cursor cursor_;
    Group rowCache_;
    PairRuns pending_;
    bool pendingInTransaction_ = false;
    std::uint64_t pendingRollback_ = 0;
    MergeWork work_;  // the merge in parts under way
    bool working_ = false;
    std::uint64_t workRollback_ = 0;
};

}  // namespace pm::postings
