// Keyed tables of pairs in the posting-list layout: file operations and
// writes, with the appended pairs that wait in memory.
#include "storage/posting_backend.h"

#include <cstring>
#include <limits>
#include <utility>

namespace pm {

std::unique_ptr<TableBackend> makePostingBackend(Table& table) {
    return std::make_unique<postings::PostingBackend>(table);
}

namespace postings {
namespace {

using sql::Connection;

// Appended pairs held in memory before they are merged (64 MB when they
// come in runs): a whole batch of an indexing run merges at once.
constexpr std::size_t kMaxPending = std::size_t{16} << 20;
// The savepoint that spans the parts of one merge.
constexpr const char* kBuildSavepoint = "pm_postings_build";

// Takes back what the parts of a merge wrote and closes its savepoint.
void undoBuild() {
    Connection& c = Connection::instance();
    c.exec(std::string("ROLLBACK TO ") + kBuildSavepoint);
    c.exec(std::string("RELEASE ") + kBuildSavepoint);
}

RecordPosition positionOf(const Pair& pair) {
    return static_cast<RecordPosition>((static_cast<std::uint64_t>(pair.first) << 32) | pair.second);
}
std::uint32_t aOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos) >> 32); }
std::uint32_t bOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos)); }

}  // namespace

PostingBackend::PostingBackend(Table& table) : StoreBackend(table), lists_(table.def()) {
    Connection::instance().addListener(this);
}

PostingBackend::~PostingBackend() {
    close();
    Connection::instance().removeListener(this);
}

// --- file operations -------------------------------------------------------------

StorageStatus PostingBackend::findTable() {
    bool exist = false, matches = false;
    if (int rc = lists_.tablesExist(exist); rc != SQLITE_OK) return fail(rc);
    if (!exist) return report(StorageStatus::FileNotFound, "File not found: " + table_.displayName());
    if (int rc = lists_.layoutMatches(matches); rc != SQLITE_OK) return fail(rc);
    if (!matches) return report(StorageStatus::LayoutDiffers, {});
    return StorageStatus::Ok;
}

void PostingBackend::close() {
    if (open_ && !connectionLost()) {
        mergePending();  // appended pairs are kept even without a key build
    } else {
        pending_.release();
        working_ = false;
        work_ = MergeWork{};
    }
    StoreBackend::close();
}

StorageStatus PostingBackend::create() {
    return withStore(true, [&] {
        pending_.release();
        abandonWork();
        std::string error;
        const int rc = sql::inSavepoint("pm_postings", error, [&] { return lists_.create(error); });
        ++writeGeneration_;
        return fail(rc, error);
    });
}

bool PostingBackend::exists() {
    if (isOpen()) return true;
    bool found = false;
    withStore(false, [&] { return fail(lists_.tablesExist(found)); });
    return found;
}

StorageStatus PostingBackend::remove() {
    pending_.release();
    abandonWork();
    return StoreBackend::remove();
}

StorageStatus PostingBackend::empty() {
    if (!isOpen()) return notOpen();
    pending_.release();
    abandonWork();
    std::string error;
    const int rc = sql::inSavepoint("pm_postings", error, [&] { return lists_.clear(error); });
    ++writeGeneration_;
    return fail(rc, error);
}

StorageStatus PostingBackend::pack() {
    if (!isOpen()) return notOpen();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    return StoreBackend::pack();
}

StorageStatus PostingBackend::buildKeys() {
    return withStore(false, [&] {
        if (isOpen()) return mergePending();
        bool exist = true;
        if (int rc = lists_.tablesExist(exist); rc != SQLITE_OK) return fail(rc);
        return exist ? StorageStatus::Ok : report(StorageStatus::FileNotFound, {});
    });
}

StorageStatus PostingBackend::buildKeysSome(std::size_t budget, bool& done) {
    done = true;
    Connection& c = Connection::instance();
    // Outside a transaction another process may write between the parts.
    if (!isOpen() || !c.inTransaction()) return buildKeys();
    dropRolledBackPending();
    if (!working_) {
        if (pending_.empty()) return StorageStatus::Ok;
        if (!pendingInTransaction_) return mergePending();
        PairRuns pairs = takePending();
        std::string error;
        int rc = c.exec(std::string("SAVEPOINT ") + kBuildSavepoint, &error);
        if (rc != SQLITE_OK) return fail(rc, error);
        if ((rc = lists_.startMerge(std::move(pairs), work_)) != SQLITE_OK) {
            error = sql::lastErrorText();
            undoBuild();
            work_ = MergeWork{};
            return fail(rc, error);
        }
        working_ = true;
        workRollback_ = c.rollbackGeneration();
    }
    const StorageStatus st = continueWork(budget);
    done = !working_;
    return st;
}

StorageStatus PostingBackend::checkLayout() {
    return withStore(false, [&] { return findTable(); });
}

std::int64_t PostingBackend::storedRecords() {
    if (isOpen()) return records();
    std::int64_t n = -1;
    withStore(false, [&] {
        bool exist = false;
        if (lists_.tablesExist(exist) != SQLITE_OK || !exist || lists_.records(n) != SQLITE_OK) n = -1;
        return StorageStatus::Ok;
    });
    return n;
}

// --- writes ---------------------------------------------------------------------------

StorageStatus PostingBackend::add(bool append) {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    const Pair pair{fieldValue(0), fieldValue(1)};
    if (append) {
        if (StorageStatus st = joinPending(); st != StorageStatus::Ok) return st;
        pending_.add(pair.first, pair.second);
        table_.setPosition(positionOf(pair));
        // Long runs of appends merge in parts so memory stays bounded.
        if (pending_.size() >= kMaxPending) return mergePending();
        return StorageStatus::Ok;
    }
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    StorageStatus st =
        writeInSavepoint([&](std::string& error) { return lists_.merge(PairRuns::of(pair), error); });
    if (st == StorageStatus::Ok) table_.setPosition(positionOf(pair));
    return st;
}

StorageStatus PostingBackend::appendPairs(const std::vector<Pair>& pairs) {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (pairs.empty()) return StorageStatus::Ok;
    if (StorageStatus st = joinPending(); st != StorageStatus::Ok) return st;
    // Merged in parts as with single appends, so memory stays bounded.
    for (const Pair& pair : pairs) {
        pending_.add(pair.first, pair.second);
        if (pending_.size() >= kMaxPending) {
            if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        }
    }
    table_.setPosition(positionOf(pairs.back()));
    return StorageStatus::Ok;
}

StorageStatus PostingBackend::put() {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    const RecordPosition old = table_.position();
    const Pair pair{fieldValue(0), fieldValue(1)};
    if (positionOf(pair) == old) return readPair(pair.first, pair.second);
    StorageStatus st = writeInSavepoint([&](std::string& error) {
        int rc = lists_.erase(aOf(old), bOf(old), error);
        if (rc == SQLITE_OK) rc = lists_.merge(PairRuns::of(pair), error);
        return rc;
    });
    if (st == StorageStatus::Ok) table_.setPosition(positionOf(pair));
    return st;
}

StorageStatus PostingBackend::erase() {
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    const RecordPosition pos = table_.position();
    return writeInSavepoint([&](std::string& error) { return lists_.erase(aOf(pos), bOf(pos), error); });
}

StorageStatus PostingBackend::eraseFirstPairsOf(std::uint32_t second, std::size_t limit, std::size_t& erased) {
    erased = 0;
    if (!isOpen()) return notOpen();
    if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    std::size_t done = 0;
    const StorageStatus st =
        writeInSavepoint([&](std::string& error) { return lists_.eraseFirstOf(second, limit, done, error); });
    if (st == StorageStatus::Ok) erased = done;
    return st;
}

std::int64_t PostingBackend::records() {
    if (!isOpen()) return 0;
    dropRolledBackPending();
    std::int64_t stored = 0;
    if (int rc = lists_.records(stored); rc != SQLITE_OK) {
        sqlFailure(rc);
        stored = 0;
    }
    return stored + static_cast<std::int64_t>(pending_.size()) + (working_ ? work_.count : 0);
}

template <class Write>
StorageStatus PostingBackend::writeInSavepoint(Write write) {
    std::string error;
    const int rc = sql::inSavepoint("pm_postings", error, [&] { return write(error); });
    ++writeGeneration_;
    if (rc == SQLITE_OK) return StorageStatus::Ok;
    if (rc == SQLITE_DONE) return notFound();
    if (rc == SQLITE_CONSTRAINT) return report(StorageStatus::DuplicateKey, error);
    return fail(rc, error.empty() ? sql::lastErrorText() : error);
}

// Pending pairs belong to one transaction (or to none): those appended in
// another are merged before new ones join.
StorageStatus PostingBackend::joinPending() {
    const bool inTransaction = Connection::instance().inTransaction();
    if (!pending_.empty() && inTransaction != pendingInTransaction_) {
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    }
    if (pending_.empty()) {
        pendingInTransaction_ = inTransaction;
        pendingRollback_ = Connection::instance().rollbackGeneration();
    }
    return StorageStatus::Ok;
}

// Forgets pairs appended in a transaction that was rolled back since, and
// a merge in parts that the rollback undid.
void PostingBackend::dropRolledBackPending() {
    const std::uint64_t rollbacks = Connection::instance().rollbackGeneration();
    if (!pending_.empty() && pendingInTransaction_ && rollbacks != pendingRollback_)
        pending_.release();
    if (working_ && rollbacks != workRollback_) {
        working_ = false;
        work_ = MergeWork{};
    }
}

StorageStatus PostingBackend::continueWork(std::size_t budget) {
    Connection& c = Connection::instance();
    std::string error;
    int rc = lists_.mergeSome(work_, budget, error);
    ++writeGeneration_;
    if (rc == SQLITE_OK && !work_.done) return StorageStatus::Ok;
    working_ = false;
    work_ = MergeWork{};
    if (rc == SQLITE_OK) {
        rc = c.exec(std::string("RELEASE ") + kBuildSavepoint, &error);
    } else {
        if (error.empty()) error = sql::lastErrorText();
        undoBuild();
    }
    if (rc == SQLITE_OK) return StorageStatus::Ok;
    if (rc == SQLITE_CONSTRAINT) return report(StorageStatus::DuplicateKey, error);
    return fail(rc, error);
}

void PostingBackend::abandonWork() {
    dropRolledBackPending();
    if (!working_) return;
    working_ = false;
    work_ = MergeWork{};
    Connection::instance().exec(std::string("RELEASE ") + kBuildSavepoint);
}

PairRuns PostingBackend::takePending() {
    PairRuns pairs = std::exchange(pending_, PairRuns{});
    pairs.sortByA();
    return pairs;
}

StorageStatus PostingBackend::mergePending() {
    dropRolledBackPending();
    while (working_)
        if (StorageStatus st = continueWork(std::numeric_limits<std::size_t>::max()); st != StorageStatus::Ok) return st;
    if (pending_.empty()) return StorageStatus::Ok;
    PairRuns pairs = takePending();
    return writeInSavepoint([&](std::string& error) { return lists_.merge(std::move(pairs), error); });
}

// Pairs appended in the transaction belong to its commit: merged now, they
// are in the store when the commit returns.
StorageStatus PostingBackend::beforeCommit(std::string& errorText) {
    if (!isOpen() || (!working_ && (pending_.empty() || !pendingInTransaction_))) return StorageStatus::Ok;
    StorageStatus st = mergePending();
    if (st != StorageStatus::Ok) errorText = table_.displayName() + ": " + table_.lastError().text;
    return st;
}

}  // namespace postings
}  // namespace pm
