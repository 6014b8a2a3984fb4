// Keyed tables of pairs (A, B) in the posting-list layout (posting_store.h).
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
// Appended pairs wait in memory (up to kMaxPending) until buildKeys(),
// flush(), close() or any other access merges them into the store in one
// savepoint. Pairs appended inside a transaction that is rolled back before
// they were merged are dropped with it; a duplicate among them fails the
// merge and drops them all.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "storage/posting_store.h"
#include "storage/sql_connection.h"
#include "storage/table_backend.h"

namespace pm {
namespace {

using postings::Block;
using postings::Pair;
using sql::Connection;

constexpr std::uint32_t kMax = 0xFFFFFFFFu;
// Appended pairs held in memory before they are merged (32 MB).
constexpr std::size_t kMaxPending = std::size_t{4} << 20;

RecordPosition positionOf(std::uint32_t a, std::uint32_t b) {
    return static_cast<RecordPosition>((static_cast<std::uint64_t>(a) << 32) | b);
}
std::uint32_t aOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos) >> 32); }
std::uint32_t bOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos)); }

class PostingBackend final : public TableBackend {
public:
    explicit PostingBackend(Table& table) : TableBackend(table), store_(table.def()) {}
    ~PostingBackend() override { close(); }

    // --- file operations ------------------------------------------------------
    StorageStatus open(ShareMode mode) override {
        if (isOpen()) return StorageStatus::Ok;
        StorageStatus st = attach(false);
        if (st != StorageStatus::Ok) return st;
        if (!store_.tablesExist()) {
            table_.setError(StorageStatus::FileNotFound, "File not found: " + table_.fileName());
            st = StorageStatus::FileNotFound;
        } else if (!store_.layoutMatches()) {
            table_.setError(StorageStatus::LayoutDiffers, {});
            st = StorageStatus::LayoutDiffers;
        } else if (mode != ShareMode::SharedReadOnly && access(storeFile().c_str(), W_OK) != 0) {
            table_.setError(StorageStatus::AccessDenied, "The store is read-only: " + storeFile());
            st = StorageStatus::AccessDenied;
        } else if (mode == ShareMode::Exclusive || mode == ShareMode::DenyWrite) {
            st = takeLock(kExclusiveRow, 0);
            if (st == StorageStatus::Ok) ownsExclusive_ = true;
        } else if (foreignLock(kExclusiveRow)) {
            table_.setError(StorageStatus::IsLocked, "The file is opened exclusively by another user");
            st = StorageStatus::IsLocked;
        }
        if (st != StorageStatus::Ok) {
            detachStore();
            return st;
        }
        open_ = true;
        cursor_ = {};
        return StorageStatus::Ok;
    }

    void close() override {
        if (!open_) return;
        if (connectionGeneration_ != Connection::instance().connectionGeneration()) {
            store_.forgetAll();
            storeRef_ = nullptr;
            open_ = ownsExclusive_ = ownsFileLock_ = holding_ = false;
            pending_.clear();
            cursor_ = {};
            return;
        }
        mergePending();  // appended pairs are kept even without a key build
        if (ownsExclusive_) dropLock(kExclusiveRow);
        if (ownsFileLock_) dropLock(kFileLockRow);
        if (holding_) dropLock(heldPosition_);
        ownsExclusive_ = ownsFileLock_ = holding_ = false;
        store_.finalizeAll();
        open_ = false;
        cursor_ = {};
        detachStore();
    }

    bool isOpen() const override {
        return open_ && connectionGeneration_ == Connection::instance().connectionGeneration();
    }

    StorageStatus create() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(true);
        if (st != StorageStatus::Ok) return st;
        pending_.clear();
        std::string error;
        int rc = store_.savepoint(error);
        if (rc == SQLITE_OK) rc = store_.create(error);
        if (rc == SQLITE_OK) rc = store_.release(error);
        else store_.rollbackToSavepoint();
        ++writeGeneration_;
        if (!wasOpen) detachStore();
        return fail(rc, error);
    }

    bool exists() override {
        if (isOpen()) return true;
        if (attach(false) != StorageStatus::Ok) return false;
        const bool found = store_.tablesExist();
        detachStore();
        return found;
    }

    StorageStatus remove() override {
        pending_.clear();
        if (isOpen()) close();
        StorageStatus st = attach(false);
        if (st == StorageStatus::FileNotFound || st == StorageStatus::PathNotFound) return StorageStatus::Ok;
        if (st != StorageStatus::Ok) return st;
        std::string error;
        int rc = store_.drop(error);
        if (rc == SQLITE_OK && hasLocksTable())
            Connection::instance().exec("DELETE FROM " + locksTable() + " WHERE tbl = '" + table_.label() + "'");
        detachStore();
        return fail(rc, error);
    }

    StorageStatus empty() override {
        if (!isOpen()) return notOpen();
        pending_.clear();
        std::string error;
        int rc = store_.savepoint(error);
        if (rc == SQLITE_OK) rc = store_.clear(error);
        if (rc == SQLITE_OK) rc = store_.release(error);
        else store_.rollbackToSavepoint();
        ++writeGeneration_;
        return fail(rc, error);
    }

    StorageStatus pack() override {
        if (!isOpen()) return notOpen();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        if (Connection::instance().inTransaction()) return StorageStatus::Ok;
        std::string error;
        store_.finalizeAll();
        int rc = Connection::instance().exec("VACUUM " + sql::ident(storeRef_->schema), &error);
        return fail(rc, error);
    }

    // The lists are kept in step on every write; building the keys means
    // merging what was appended.
    StorageStatus buildKeys() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
        if (st != StorageStatus::Ok) return st;
        if (!wasOpen && !store_.tablesExist()) st = StorageStatus::FileNotFound;
        else st = mergePending();
        if (!wasOpen) detachStore();
        return st;
    }

    StorageStatus checkLayout() override {
        const bool wasOpen = isOpen();
        StorageStatus st = wasOpen ? StorageStatus::Ok : attach(false);
        if (st != StorageStatus::Ok) return st;
        if (!store_.tablesExist()) st = StorageStatus::FileNotFound;
        else st = store_.layoutMatches() ? StorageStatus::Ok : StorageStatus::LayoutDiffers;
        if (!wasOpen) detachStore();
        if (st != StorageStatus::Ok) table_.setError(st, {});
        return st;
    }

    std::int64_t storedRecords() override {
        if (isOpen()) return records();
        if (attach(false) != StorageStatus::Ok) return -1;
        const std::int64_t n = store_.tablesExist() ? store_.records() : -1;
        detachStore();
        return n;
    }

    // --- sequence ---------------------------------------------------------------
    void setPhysical(RecordPosition from) override {
        cursor_ = {};
        cursor_.chosen = true;
        cursor_.order = ByA;
        cursor_.startMode = from != 0 ? FromPosition : FromStart;
        cursor_.startPosition = from;
    }

    void setKey(const KeyDef& key, int mode, RecordPosition pos) override {
        cursor_ = {};
        cursor_.chosen = true;
        cursor_.order = key.index == 0 ? ByA : ByB;
        cursor_.startMode = mode;
        cursor_.startPosition = pos;
        if (mode == FromValues) {
            cursor_.startA = fieldValue(0);
            cursor_.startB = fieldValue(1);
        }
    }

    StorageStatus next() override { return step(+1); }
    StorageStatus previous() override { return step(-1); }

    StorageStatus get(const KeyDef& key) override {
        if (!isOpen()) return notOpen();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        const std::uint32_t a = fieldValue(0), b = fieldValue(1);
        if (key.index == 0) return readPair(a, b);
        Block block;
        int rc = store_.blockAtOrBefore(b, 0, block);
        if (rc == SQLITE_DONE) rc = store_.blockBeside(b, 0, +1, block);
        if (rc == SQLITE_DONE) return notFound();
        if (rc != SQLITE_OK) return sqlFailure(rc);
        deliver(block.values.front(), b);
        return StorageStatus::Ok;
    }

    StorageStatus getAt(RecordPosition pos) override {
        if (!isOpen()) return notOpen();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        return readPair(aOf(pos), bOf(pos));
    }

    // --- writes -------------------------------------------------------------------
    StorageStatus add(bool append) override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        const Pair pair{fieldValue(0), fieldValue(1)};
        if (append) {
            const bool inTransaction = Connection::instance().inTransaction();
            if (!pending_.empty() && inTransaction != pendingInTransaction_) {
                if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
            }
            if (pending_.empty()) {
                pendingInTransaction_ = inTransaction;
                pendingRollback_ = Connection::instance().rollbackGeneration();
            }
            pending_.push_back(pair);
            table_.setPosition(positionOf(pair.first, pair.second));
            // Long runs of appends merge in parts so memory stays bounded.
            if (pending_.size() >= kMaxPending) return mergePending();
            return StorageStatus::Ok;
        }
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        StorageStatus st = writeInSavepoint([&](std::string& error) { return store_.merge({pair}, error); });
        if (st == StorageStatus::Ok) table_.setPosition(positionOf(pair.first, pair.second));
        return st;
    }

    StorageStatus put() override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        const RecordPosition old = table_.position();
        const Pair pair{fieldValue(0), fieldValue(1)};
        if (positionOf(pair.first, pair.second) == old) return readPair(pair.first, pair.second);
        StorageStatus st = writeInSavepoint([&](std::string& error) {
            int rc = store_.erase(aOf(old), bOf(old), error);
            if (rc == SQLITE_OK) rc = store_.merge({pair}, error);
            return rc;
        });
        if (st == StorageStatus::Ok) table_.setPosition(positionOf(pair.first, pair.second));
        return st;
    }

    StorageStatus erase() override {
        if (!isOpen()) return notOpen();
        if (table_.shareMode() == ShareMode::SharedReadOnly) return readOnly();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        const RecordPosition pos = table_.position();
        return writeInSavepoint([&](std::string& error) { return store_.erase(aOf(pos), bOf(pos), error); });
    }

    std::int64_t records() override {
        if (!isOpen()) return 0;
        dropRolledBackPending();
        const std::int64_t stored = store_.records();
        return (stored < 0 ? 0 : stored) + static_cast<std::int64_t>(pending_.size());
    }

    void flush() override { mergePending(); }

    // --- locks ----------------------------------------------------------------------
    StorageStatus lock(int waitSeconds) override {
        if (!isOpen()) return notOpen();
        StorageStatus st = takeLock(kFileLockRow, waitSeconds);
        if (st == StorageStatus::Ok) ownsFileLock_ = true;
        return st;
    }

    void unlock() override {
        if (ownsFileLock_ && isOpen()) dropLock(kFileLockRow);
        ownsFileLock_ = false;
    }

    StorageStatus hold(int waitSeconds) override {
        if (!isOpen()) return notOpen();
        if (holding_) release();
        const RecordPosition pos = table_.position();
        if (foreignLock(kFileLockRow)) {
            table_.setError(StorageStatus::RecordNotAvailable, "The file is locked by another user");
            return StorageStatus::RecordNotAvailable;
        }
        StorageStatus st = takeLock(pos, waitSeconds);
        if (st == StorageStatus::IsLocked) {
            table_.setError(StorageStatus::RecordNotAvailable, "The record is held by another user");
            return StorageStatus::RecordNotAvailable;
        }
        if (st != StorageStatus::Ok) return st;
        holding_ = true;
        heldPosition_ = pos;
        st = getAt(pos);
        if (st != StorageStatus::Ok) release();
        return st;
    }

    void release() override {
        if (holding_ && isOpen()) dropLock(heldPosition_);
        holding_ = false;
    }

private:
    enum Order { ByA, ByB };
    // Lock rows of the whole file; record holds use the record's position.
    static constexpr RecordPosition kFileLockRow = -1;
    static constexpr RecordPosition kExclusiveRow = -2;

    struct Group {
        bool valid = false;
        std::pair<std::uint64_t, std::uint64_t> generation;
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

    // --- reading ----------------------------------------------------------------
    std::uint32_t fieldValue(int field) const {
        std::uint32_t v;
        std::memcpy(&v, static_cast<const unsigned char*>(table_.record()) +
                            table_.def().fields[static_cast<std::size_t>(field)].offset,
                    4);
        return v;
    }

    void deliver(std::uint32_t a, std::uint32_t b) {
        auto* record = static_cast<unsigned char*>(table_.record());
        std::memcpy(record + table_.def().fields[0].offset, &a, 4);
        std::memcpy(record + table_.def().fields[1].offset, &b, 4);
        table_.setPosition(positionOf(a, b));
    }

    // Changes with every write of this table and every rollback.
    using Generation = std::pair<std::uint64_t, std::uint64_t>;
    Generation generation() const { return {writeGeneration_, Connection::instance().rollbackGeneration()}; }

    StorageStatus readPair(std::uint32_t a, std::uint32_t b) {
        if (!rowCache_.valid || rowCache_.major != a || rowCache_.generation != generation()) {
            rowCache_.valid = false;
            int rc = store_.loadRow(a, rowCache_.values);
            if (rc == SQLITE_DONE) rowCache_.values.clear();
            else if (rc != SQLITE_OK) return sqlFailure(rc);
            rowCache_.valid = true;
            rowCache_.major = a;
            rowCache_.generation = generation();
        }
        if (!std::binary_search(rowCache_.values.begin(), rowCache_.values.end(), b)) return notFound();
        deliver(a, b);
        return StorageStatus::Ok;
    }

    // Places the group on the first record at or after (dir > 0), or the last
    // at or before (dir < 0), (major, minor) in the cursor's order; strictly
    // after or before when `strict`.
    StorageStatus seek(std::uint32_t major, std::uint32_t minor, bool strict, int dir) {
        Group& g = cursor_.group;
        g.valid = false;
        const auto pick = [&](std::uint32_t groupMajor) -> bool {
            std::vector<std::uint32_t>& v = g.values;
            std::size_t at;
            if (dir > 0) {
                at = static_cast<std::size_t>((strict ? std::upper_bound(v.begin(), v.end(), minor)
                                                      : std::lower_bound(v.begin(), v.end(), minor)) - v.begin());
                if (at >= v.size()) return false;
            } else {
                at = static_cast<std::size_t>((strict ? std::lower_bound(v.begin(), v.end(), minor)
                                                      : std::upper_bound(v.begin(), v.end(), minor)) - v.begin());
                if (at == 0) return false;
                --at;
            }
            g.major = groupMajor;
            g.index = at;
            g.valid = true;
            g.generation = generation();
            return true;
        };
        const auto whole = [&](std::uint32_t groupMajor) {
            if (g.values.empty()) return false;
            g.major = groupMajor;
            g.index = dir > 0 ? 0 : g.values.size() - 1;
            g.valid = true;
            g.generation = generation();
            return true;
        };

        if (cursor_.order == ByA) {
            int rc = store_.loadRow(major, g.values);
            if (rc == SQLITE_OK && pick(major)) return StorageStatus::Ok;
            if (rc != SQLITE_OK && rc != SQLITE_DONE) return sqlFailure(rc);
            std::uint32_t at = major;
            for (;;) {
                std::uint32_t found = 0;
                rc = store_.neighbourRow(at, dir, found, g.values);
                if (rc == SQLITE_DONE) return notFound();
                if (rc != SQLITE_OK) return sqlFailure(rc);
                if (whole(found)) return StorageStatus::Ok;
                at = found;
            }
        }

        Block block;
        int rc = store_.blockAtOrBefore(major, minor, block);
        if (rc == SQLITE_OK) {
            g.values = std::move(block.values);
            if (pick(major)) return StorageStatus::Ok;
            rc = dir > 0 ? store_.blockBeside(major, minor, +1, block)
                         : store_.blockBeside(major, block.first, -1, block);
        } else if (rc == SQLITE_DONE) {
            rc = dir > 0 ? store_.blockBeside(major, minor, +1, block) : SQLITE_DONE;
        }
        if (rc == SQLITE_DONE) rc = store_.blockOfNeighbour(major, dir, block);
        if (rc == SQLITE_DONE) return notFound();
        if (rc != SQLITE_OK) return sqlFailure(rc);
        const std::uint32_t groupMajor = block.b;
        g.values = std::move(block.values);
        whole(groupMajor);
        return StorageStatus::Ok;
    }

    StorageStatus step(int dir) {
        if (!isOpen()) return notOpen();
        if (!cursor_.chosen) return notFound();
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
        Group& g = cursor_.group;
        StorageStatus st;
        if (!cursor_.started) {
            std::uint32_t major, minor;
            startTarget(dir, major, minor);
            st = seek(major, minor, false, dir);
        } else if (g.valid && g.generation == generation() &&
                   (dir > 0 ? g.index + 1 < g.values.size() : g.index > 0)) {
            g.index = dir > 0 ? g.index + 1 : g.index - 1;
            st = StorageStatus::Ok;
        } else {
            st = seek(cursor_.major, cursor_.minor, true, dir);
        }
        if (st != StorageStatus::Ok) return st;
        cursor_.started = true;
        cursor_.major = g.major;
        cursor_.minor = g.values[g.index];
        if (cursor_.order == ByA) deliver(cursor_.major, cursor_.minor);
        else deliver(cursor_.minor, cursor_.major);
        return StorageStatus::Ok;
    }

    void startTarget(int dir, std::uint32_t& major, std::uint32_t& minor) const {
        const bool byA = cursor_.order == ByA;
        switch (cursor_.startMode) {
            case FromValues:
                major = byA ? cursor_.startA : cursor_.startB;
                // The second key has one part: from the first (or last) record of that B.
                minor = byA ? cursor_.startB : (dir > 0 ? 0 : kMax);
                return;
            case FromPosition: {
                const std::uint32_t a = aOf(cursor_.startPosition), b = bOf(cursor_.startPosition);
                major = byA ? a : b;
                minor = byA ? b : a;
                return;
            }
            default:
                major = minor = dir > 0 ? 0 : kMax;
                return;
        }
    }

    // --- writing ------------------------------------------------------------------
    template <class Write>
    StorageStatus writeInSavepoint(Write write) {
        std::string error;
        int rc = store_.savepoint(error);
        if (rc == SQLITE_OK) {
            rc = write(error);
            if (rc == SQLITE_OK) rc = store_.release(error);
            else store_.rollbackToSavepoint();
        }
        ++writeGeneration_;
        if (rc == SQLITE_OK) return StorageStatus::Ok;
        if (rc == SQLITE_DONE) return notFound();
        if (rc == SQLITE_CONSTRAINT) {
            table_.setError(StorageStatus::DuplicateKey, error);
            return StorageStatus::DuplicateKey;
        }
        return fail(rc, error.empty() ? lastMessage() : error);
    }

    // Pairs usually arrive grouped by A (one message after the other): then
    // sorting each group is enough.
    static void sortPairs(std::vector<Pair>& pairs) {
        const auto byA = [](const Pair& x, const Pair& y) { return x.first < y.first; };
        if (!std::is_sorted(pairs.begin(), pairs.end(), byA)) {
            std::sort(pairs.begin(), pairs.end());
            return;
        }
        for (auto group = pairs.begin(); group != pairs.end();) {
            auto end = std::find_if(group, pairs.end(), [&](const Pair& p) { return p.first != group->first; });
            std::sort(group, end);
            group = end;
        }
    }

    // Forgets pairs appended in a transaction that was rolled back since.
    void dropRolledBackPending() {
        if (!pending_.empty() && pendingInTransaction_ &&
            Connection::instance().rollbackGeneration() != pendingRollback_)
            std::vector<Pair>().swap(pending_);
    }

    StorageStatus mergePending() {
        dropRolledBackPending();
        if (pending_.empty()) return StorageStatus::Ok;
        std::vector<Pair> pairs;
        pairs.swap(pending_);
        sortPairs(pairs);
        if (std::adjacent_find(pairs.begin(), pairs.end()) != pairs.end()) {
            table_.setError(StorageStatus::DuplicateKey, "Creates duplicate key");
            return StorageStatus::DuplicateKey;
        }
        return writeInSavepoint([&](std::string& error) { return store_.merge(pairs, error); });
    }

    // --- store --------------------------------------------------------------------
    std::string directory() const { return std::filesystem::path(table_.fileName()).parent_path().string(); }
    std::string storeFile() const { return directory() + "/" + sql::kStoreFileName; }
    std::string lastMessage() const {
        sqlite3* db = Connection::instance().db();
        return db ? sqlite3_errmsg(db) : "no connection";
    }

    StorageStatus attach(bool create) {
        if (table_.fileName().empty() || table_.fileName().find('\0') != std::string::npos) {
            table_.setError(StorageStatus::InvalidName, "The file name is blank");
            return StorageStatus::InvalidName;
        }
        std::string error;
        sql::Store* store = nullptr;
        StorageStatus st = Connection::instance().acquire(directory(), create, store, error);
        if (st != StorageStatus::Ok) {
            table_.setError(st, error);
            return st;
        }
        if (connectionGeneration_ != Connection::instance().connectionGeneration()) {
            store_.forgetAll();
            connectionGeneration_ = Connection::instance().connectionGeneration();
        }
        storeRef_ = store;
        store_.setSchema(store->schema);
        return StorageStatus::Ok;
    }

    void detachStore() {
        if (storeRef_) Connection::instance().release(storeRef_);
        storeRef_ = nullptr;
    }

    StorageStatus fail(int rc, const std::string& text) {
        if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return StorageStatus::Ok;
        StorageStatus st = Connection::statusOf(rc);
        if (st == StorageStatus::Ok) st = StorageStatus::Other;
        table_.setError(st, text);
        return st;
    }
    StorageStatus sqlFailure(int rc) { return fail(rc, rc == SQLITE_CORRUPT ? "Damaged list in " + table_.fileName() : lastMessage()); }
    StorageStatus notOpen() {
        table_.setError(StorageStatus::NotOpen, "The file " + table_.fileName() + " is not open");
        return StorageStatus::NotOpen;
    }
    StorageStatus notFound() {
        table_.setError(StorageStatus::NotFound, {});
        return StorageStatus::NotFound;
    }
    StorageStatus readOnly() {
        table_.setError(StorageStatus::AccessDenied, "The file is open read-only");
        return StorageStatus::AccessDenied;
    }

    // --- lock rows (shared with the other tables of the store) ---------------------
    std::string locksTable() const { return sql::ident(storeRef_->schema) + "._pm_locks"; }

    bool hasLocksTable() {
        postings::Statement stmt;
        stmt.prepare(Connection::instance().db(), "SELECT 1 FROM " + sql::ident(storeRef_->schema) +
                                                      ".sqlite_master WHERE type = 'table' AND name = '_pm_locks'");
        return stmt.ready() && sqlite3_step(stmt.get()) == SQLITE_ROW;
    }

    static bool ownerAlive(const std::string& owner) {
        const std::string mine = Connection::instance().ownerId();
        const auto colon = owner.rfind(':'), myColon = mine.rfind(':');
        if (colon == std::string::npos || myColon == std::string::npos) return true;
        if (owner.substr(0, colon) != mine.substr(0, myColon)) return true;  // another machine
        const int pid = std::atoi(owner.c_str() + colon + 1);
        return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
    }

    std::string lockOwner(RecordPosition rec) {
        postings::Statement stmt;
        stmt.prepare(Connection::instance().db(), "SELECT owner FROM " + locksTable() + " WHERE tbl = ?1 AND rec = ?2");
        if (!stmt.ready()) return {};
        sqlite3_bind_text(stmt.get(), 1, table_.label().c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(stmt.get(), 2, rec);
        std::string owner;
        if (sqlite3_step(stmt.get()) == SQLITE_ROW)
            owner = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        stmt.finalize();
        if (!owner.empty() && !ownerAlive(owner)) {
            dropLockOf(rec, owner);
            owner.clear();
        }
        return owner;
    }

    bool foreignLock(RecordPosition rec) {
        if (!hasLocksTable()) return false;
        const std::string owner = lockOwner(rec);
        return !owner.empty() && owner != Connection::instance().ownerId();
    }

    StorageStatus takeLock(RecordPosition rec, int waitSeconds) {
        std::string error;
        if (Connection::instance().exec("CREATE TABLE IF NOT EXISTS " + locksTable() +
                                            " (tbl TEXT NOT NULL, rec INTEGER NOT NULL, owner TEXT NOT NULL, "
                                            "PRIMARY KEY (tbl, rec))",
                                        &error) != SQLITE_OK) {
            table_.setError(StorageStatus::AccessDenied, error);
            return StorageStatus::AccessDenied;
        }
        const std::string mine = Connection::instance().ownerId();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
        for (;;) {
            postings::Statement stmt;
            stmt.prepare(Connection::instance().db(),
                         "INSERT OR IGNORE INTO " + locksTable() + " (tbl, rec, owner) VALUES (?1, ?2, ?3)");
            if (!stmt.ready()) return fail(SQLITE_ERROR, lastMessage());
            sqlite3_bind_text(stmt.get(), 1, table_.label().c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(stmt.get(), 2, rec);
            sqlite3_bind_text(stmt.get(), 3, mine.c_str(), -1, SQLITE_TRANSIENT);
            const int rc = sqlite3_step(stmt.get());
            if (rc != SQLITE_DONE) return fail(rc, lastMessage());
            if (sqlite3_changes(Connection::instance().db()) == 1) return StorageStatus::Ok;
            stmt.finalize();
            const std::string owner = lockOwner(rec);
            if (owner == mine) return StorageStatus::Ok;
            if (owner.empty()) continue;  // a stale row was just removed
            if (std::chrono::steady_clock::now() >= deadline) {
                table_.setError(StorageStatus::IsLocked, "Locked by another user (" + owner + ")");
                return StorageStatus::IsLocked;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    void dropLock(RecordPosition rec) { dropLockOf(rec, Connection::instance().ownerId()); }

    void dropLockOf(RecordPosition rec, const std::string& owner) {
        postings::Statement stmt;
        stmt.prepare(Connection::instance().db(),
                     "DELETE FROM " + locksTable() + " WHERE tbl = ?1 AND rec = ?2 AND owner = ?3");
        if (!stmt.ready()) return;
        sqlite3_bind_text(stmt.get(), 1, table_.label().c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(stmt.get(), 2, rec);
        sqlite3_bind_text(stmt.get(), 3, owner.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt.get());
    }

    postings::Store store_;
    sql::Store* storeRef_ = nullptr;
    bool open_ = false;
    bool ownsExclusive_ = false;
    bool ownsFileLock_ = false;
    bool holding_ = false;
    RecordPosition heldPosition_ = 0;
    std::uint64_t writeGeneration_ = 0;
    std::uint64_t connectionGeneration_ = 0;
    Cursor cursor_;
    Group rowCache_;
    std::vector<Pair> pending_;
    bool pendingInTransaction_ = false;
    std::uint64_t pendingRollback_ = 0;
};

}  // namespace

std::unique_ptr<TableBackend> makePostingBackend(Table& table) { return std::make_unique<PostingBackend>(table); }

}  // namespace pm
