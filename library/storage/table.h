#pragma once
// A table: one record buffer, one file, one sequence position.
//
// Each table of the system has exactly one Table object and one record buffer
// for the whole process. Reads fill the buffer (and the memo strings); writes
// take it. The file is named by setFileName() with the system's own path
// (".../F3/IDX003.TPS"); how that maps onto storage is the backend's business.
//
// Sequence: set*() chooses an order and a start, next()/previous() move along
// it. Positioning by buffer values uses every component of the key. Writes
// never disturb the sequence: the next read continues after the record last
// read, in the order chosen.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "storage/storage_status.h"
#include "storage/table_def.h"

namespace pm {

enum class ShareMode { Shared, SharedReadOnly, Exclusive, DenyWrite };

// A record's position in its table (stable while the record exists).
using RecordPosition = std::int64_t;

class TableBackend;
class Table;

// Tables named by their objects, in the order they are to be used.
using TableList = std::vector<Table*>;

// Sets the fixed part of a record of `def` at `record` as Table::clear()
// does: 0 numbers and blank texts; 1 every field at its highest value; -1
// every field at its lowest value.
void clearRecord(const TableDef& def, void* record, int how = 0);

class Table {
public:
    // `record` points at the table's record buffer (def.recordSize bytes);
    // `memos` at one string per declared memo. Neither is owned.
    Table(const TableDef& def, void* record, std::vector<std::string*> memos = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const TableDef& def() const { return def_; }
    int number() const { return def_.number; }
    const std::string& label() const { return def_.label; }

    // --- the file ----------------------------------------------------------
    void setFileName(std::string name);
    const std::string& fileName() const { return fileName_; }
    // The table as a person finds it, for messages: a table kept in a store
    // is its label and the store ("Forums in CFG/postmoor.db", the
    // directory relative to the display root when it lies below it); a
    // table kept in a file of its own is that file's name. The label alone
    // while no file name is set.
    std::string displayName() const;

    StorageStatus open(ShareMode mode = ShareMode::Shared);
    void close();
    bool isOpen() const;
    ShareMode shareMode() const { return mode_; }

    // Creates the (empty) file; the directory must exist. The table need not be open.
    StorageStatus create();
    // Whether the file exists (the directory and the table in it).
    bool exists();
    // Deletes the file. A missing file counts as deleted.
    StorageStatus remove();
    // Removes every record (open table).
    StorageStatus empty();
    // Compacts the file (open table).
    StorageStatus pack();
    // Rebuilds every key, including keys built on demand and keys left out
    // by append().
    StorageStatus buildKeys();
    // Builds only the keys that are not there or not kept up to date: those
    // left out by append() and keys built on demand that were never built.
    // Keys kept up to date are left as they are, so this costs little when
    // every key is there (backends that can not tell build every key).
    StorageStatus completeKeys();
    // The same a part at a time, for long runs that want to do other work
    // between the parts: about `budget` records a call, `done` after the
    // last part. Inside a transaction the parts of one build are one
    // savepoint (a failed part undoes them all, a rollback drops the
    // build); any other access of the table first finishes the build.
    StorageStatus buildKeysSome(std::size_t budget, bool& done);
    // Ok when the stored layout matches the declaration, else LayoutDiffers.
    StorageStatus checkLayout();
    // Brings a stored layout that is the declaration's beginning up to the
    // declaration: the fields declared after the stored ones are added,
    // blank in every record (a table that gained fields at its end). Ok when
    // the layout matches afterwards (or did already, also when another
    // process extended it meanwhile); LayoutDiffers when the stored layout
    // is not such a beginning (nothing is changed). The table need not be
    // open.
    StorageStatus extendLayout();
    // Records held by the file, whatever its layout (the table need not be
    // open); -1 when the file cannot be read.
    std::int64_t storedRecords();

    // --- the record buffer -------------------------------------------------
    void* record() { return record_; }
    std::string& memo(std::size_t index) { return *memos_.at(index); }
    // 0: numbers 0 and texts blank; 1: every field at its highest value;
    // -1: every field at its lowest value. Memos are emptied.
    void clear(int how = 0);
    // Reads skip the memos while set (for fast scans of the fixed part).
    void setSkipMemos(bool skip) { skipMemos_ = skip; }

    // --- sequence ----------------------------------------------------------
    void setPhysical();                     // record order, from the first
    void setPhysicalAt(RecordPosition pos); // record order, from `pos`
    void set(const KeyDef& key);            // key order, from its first record
    void setAt(const KeyDef& key);          // key order, from the buffer's values
    void setAtPosition(const KeyDef& key, RecordPosition pos);  // key order, from that record
    // NotFound at the end of the sequence.
    StorageStatus next();
    StorageStatus previous();

    // Reads the first record whose key equals the buffer's key values.
    StorageStatus get(const KeyDef& key);
    StorageStatus getAt(RecordPosition pos);
    // Reads only the text field or memo named `column` ("SUBJECT",
    // "MsgText") of the record get(key) would read, into `value`: a text
    // field as the buffer would hold it, without its trailing blanks; a memo
    // whole. The buffer, the memos and the position stay as they were, so a
    // check of one text over many records reads no other column. NotFound
    // when no record has the key values; Other for a name that is no text
    // field or memo of the table.
    StorageStatus getText(const KeyDef& key, const std::string& column, std::string& value);
    // Position of the record last read, added or appended.
    RecordPosition position() const { return position_; }
    // Tables of pairs (A, B) in the posting-list layout: the A of every pair
    // whose B is `second`, ascending, appended to `out` in one read of the
    // second key's lists, as a walk of that key would deliver them. The
    // buffer and the sequence stay as they were. Other on any other table.
    StorageStatus firstValuesOf(std::uint32_t second, std::vector<std::uint32_t>& out);
    // The same tables: erases the pairs whose B is `second` with the
    // `limit` smallest A values, in one write that rewrites each A's list
    // once; `erased` says how many went (0 once none is left). The
    // sequence must be chosen again afterwards. Other on any other table.
    StorageStatus eraseFirstPairsOf(std::uint32_t second, std::size_t limit, std::size_t& erased);

    // --- ranges of a key ------------------------------------------------------
    // A range is the run of records whose first `equalParts` components of
    // `key` equal the buffer's (every record when 0); ordinals count its
    // records from 0 in key order. These leave the buffer as it was; the
    // sequence must be chosen again afterwards. They serve lists that show a
    // window of a long range: counting and jumping cost one pass over the
    // key's index (the records skipped), never a read of the records.
    //
    // Records in the range; -1 when it cannot be read (lastError() says why).
    std::int64_t rangeCount(const KeyDef& key, std::size_t equalParts);
    // The position of the record `ordinal` places from the start of the
    // range (from its end when `fromEnd`); NotFound beyond the range.
    StorageStatus rangePosition(const KeyDef& key, std::size_t equalParts, std::int64_t ordinal, bool fromEnd,
                                RecordPosition& pos);
    // The ordinal of the record at `pos`; -1 when that record is not in the
    // range (or cannot be read: lastError() then says why).
    std::int64_t rangeOrdinal(const KeyDef& key, std::size_t equalParts, RecordPosition pos);

    // --- writes ------------------------------------------------------------
    StorageStatus add();
    // Adds without key maintenance; buildKeys() (or the next keyed access)
    // rebuilds the keys.
    StorageStatus append();
    // Tables of two 4-byte numbers in the posting layout: appends the
    // records (first, second) of `pairs` at once, as append() would one by
    // one. Other tables refuse (Other).
    StorageStatus appendPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs);
    // Adds `delta` to the number field `field` of the record that the
    // unique `key` finds for the buffer's key values, in one write that
    // touches no other field (nor the keys without it); NotFound when no
    // record has those values. The buffer stays as it was. Other when the
    // key is not unique or the field not a number.
    StorageStatus addToNumber(const KeyDef& key, int field, std::int64_t delta);
    StorageStatus put();    // rewrites the record last read
    StorageStatus erase();  // deletes the record last read
    std::int64_t records();

    // --- change detection --------------------------------------------------
    // The writes asked of this table by this process (every add, put,
    // erase, append, addToNumber, empty, remove), failed ones included: a
    // cache of what the table holds compares it to see this process's
    // changes.
    std::uint64_t writeCount() const { return writes_; }
    // A number that changes whenever another process commits a change to
    // the store holding the table (any of its tables); this process's own
    // commits leave it. Meaningful while the store is locked (inside a
    // transaction); -1 when the table is not open or the backend cannot
    // tell.
    std::int64_t othersVersion();

    // For chunk and line files: bytes in the buffer after the last read, and
    // the count to write with the next add().
    std::uint32_t bytes() const { return bytes_; }
    void setBytes(std::uint32_t n) { bytes_ = n; }

    // --- locks -------------------------------------------------------------
    StorageStatus lock(int waitSeconds = 0);
    void unlock();
    // Holds the record last read against other users' holds, waiting up to
    // `waitSeconds`; then re-reads it.
    StorageStatus hold(int waitSeconds = 1);
    void release();
    // Ok when no other user holds the file lock (open table); IsLocked, with
    // the error naming the holder, when one does.
    StorageStatus checkLock();
    void flush();

    const StorageError& lastError() const { return error_; }

    // Used by backends.
    void setError(StorageStatus status, std::string text);
    void setPosition(RecordPosition pos) { position_ = pos; }
    const std::vector<std::string*>& memoStrings() const { return memos_; }
    bool skipMemos() const { return skipMemos_; }

private:
    StorageStatus result(StorageStatus status);
    TableBackend& backend();

    const TableDef& def_;
    void* record_;
    std::vector<std::string*> memos_;
    std::string fileName_;
    ShareMode mode_ = ShareMode::Shared;
    RecordPosition position_ = 0;
    std::uint32_t bytes_ = 0;
    bool skipMemos_ = false;
    std::uint64_t writes_ = 0;
    StorageError error_;
    std::unique_ptr<TableBackend> backend_;
};

// Whether records `a` and `b` (each the table's record size) agree in the
// first `parts` components of `key`, compared as the key compares them:
// texts without trailing blanks, and without regard to letter case in a
// caseless table.
bool sameKeyComponents(const TableDef& def, const KeyDef& key, std::size_t parts, const void* a, const void* b);

// A transaction over every store in use. Stores of the tables named are
// attached before it begins; a transaction waits up to `waitSeconds` for
// other users' locks. Transactions do not nest.
StorageStatus beginTransaction(std::initializer_list<Table*> tables, int waitSeconds = 5,
                               StorageError* error = nullptr);
StorageStatus beginTransaction(const TableList& tables, int waitSeconds = 5, StorageError* error = nullptr);
StorageStatus commitTransaction(StorageError* error = nullptr);
void rollbackTransaction();
bool inTransaction();
// The number of the transaction running now (see inTransaction()); each
// transaction begun gets a new one.
std::uint64_t transactionSerial();
// Counts the rollbacks of this process's transactions (SQLite's own after
// an error included): a cache of what a transaction wrote compares it.
std::uint64_t rollbackCount();

// A run of reads that shares one read transaction: each store is locked
// for reading and checked for changes once for the whole run, not once per
// statement (a lock, a look for a journal and a read of the store header
// each). For slices that only read (indexing a batch of messages, checking
// phrases, opening an installation); others' commits wait for the scope's
// end, so keep it short. Writes inside are not allowed; a transaction begun
// inside ends the scope's transaction first (the scope then does nothing
// more). Begun before any store is open, it starts with the first; a store
// attached or let go inside ends it for that moment, and it goes on after.
// Does nothing inside a transaction or inside another scope.
//
// It never waits for a writer while holding a store: every store in use is
// locked at once when the read transaction begins, trying again while a
// writer commits, and past the usual lock wait the reads go on without one
// (each statement locking for itself). A call that still meets a writer's
// lock inside lets go of the read transaction and runs again. So a reader
// in a scope never fails, nor makes a writer fail, by waiting for the other.
class ReadScope {
public:
    ReadScope();
    ~ReadScope();
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

private:
    bool active_ = false;
};

// Each store's page cache while a long run lives, in KiB.
inline constexpr int RoomyPageCacheKibibytes = 65536;

// A roomy page cache while a long run lives: the keys of large tables take
// random inserts, and their pages stay in memory between the run's commits.
// The scratch store (work files, written and read back in order) keeps a
// small one. Scopes nest; the largest cache asked for applies. Outside such
// runs (the last scope gone) each store keeps a small cache.
class PageCacheScope {
public:
    explicit PageCacheScope(int kibibytes = RoomyPageCacheKibibytes);
    ~PageCacheScope();
    PageCacheScope(const PageCacheScope&) = delete;
    PageCacheScope& operator=(const PageCacheScope&) = delete;

private:
    int kibibytes_;
};

// Closes every table and the storage connection (tests, program end).
void closeStorage();
// Deletes this process's run store in the temporary directory (program
// end, after closeStorage): the work data of its runs goes with it.
void removeRunStore();

// The store file that holds the tables of `directory`: its postmoor.db, or
// in the temporary directory the run store of this process (work data is
// never shared between processes; a dead process's run store is removed
// when the next process sets the temporary directory).
std::string storeFilePath(const std::string& directory);

// Closes the tables whose files lie in `directory` and lets go of its store,
// so that the directory can be deleted or its files replaced.
void releaseDirectory(const std::string& directory);

// Deletes the store file of `directory` when it holds no table any more.
// Returns true when no store file remains.
bool removeStoreIfEmpty(const std::string& directory);
// The same when it holds no table but those labelled `labels` (which the
// caller has closed): one file deletion instead of dropping big tables page
// by page. Returns true when no store file remains.
bool removeStoreIfOnly(const std::string& directory, const std::vector<std::string>& labels);

// The directory that displayName() shows store directories relative to
// (the installation root); "" shows them whole.
void setDisplayRoot(const std::string& directory);

// Gives the free pages of the store of `directory` back to the file system
// when they are a good part of it (after its big tables were dropped): the
// store is rewritten with its live pages. Ok when there was nothing to do,
// no store, or the caller is inside a transaction; IsLocked when another
// user of the store kept it from being rewritten (nothing changed).
StorageStatus shrinkStore(const std::string& directory, std::string* errorText = nullptr);

// Marks the temporary directory: its store trades durability for speed.
// A directory `ownedByProcess` (made for this process alone) is removed
// with the run store by removeRunStore().
void setScratchDirectory(const std::string& directory, bool ownedByProcess = false);

// The name of the store file in every directory that holds tables.
inline constexpr const char* kStoreFileName = "postmoor.db";

}  // namespace pm
