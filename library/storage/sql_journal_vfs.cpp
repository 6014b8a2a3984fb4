#include "storage/sql_journal_vfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <mutex>
#include <vector>

namespace pm::sql {
namespace {

// The unix VFS writes at most 128 KB - 1 bytes per call.
constexpr int kBufferBytes = 64 * 1024;
constexpr const char* kVfsName = "postmoor-journal";

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs journalVfs;

// A file of the real VFS wrapped by ours: `real` lives right behind it in
// the memory SQLite provides (szOsFile covers both).
struct WrappedFile {
    sqlite3_file base;
    sqlite3_file* real;
};

struct JournalFile : WrappedFile {
    std::unique_ptr<char[]> buffer;
    sqlite3_int64 offset = 0;  // where buffer[0] belongs in the file
    int length = 0;
};

// The journals with buffered writes. The connection is used from one
// thread; the lock keeps the list sound should SQLite call from another.
std::mutex openJournalsLock;
std::vector<JournalFile*> openJournals;

// Test hook: POSTMOOR_TEST_WRITE_LIMIT=BYTES lets the disk run full once the
// process has grown its stores and journals by that many bytes: a write that
// would grow a file further fails (SQLITE_FULL), as on a full disk, while
// writes into space a file already has still succeed (a rollback). Tests let
// the disk run full in any phase of a run this way.
int writeFile(sqlite3_file* real, const void* data, int amount, sqlite3_int64 offset) {
    static const long long limit = [] {
        const char* env = std::getenv("POSTMOOR_TEST_WRITE_LIMIT");
        return env ? std::atoll(env) : -1LL;
    }();
    static long long grown = 0;
    if (limit >= 0) {
        sqlite3_int64 size = 0;
        if (real->pMethods->xFileSize(real, &size) != SQLITE_OK) size = 0;
        const long long growth = offset + amount > size ? offset + amount - size : 0;
        if (grown + growth > limit) return SQLITE_FULL;
        grown += growth;
    }
    return real->pMethods->xWrite(real, data, amount, offset);
}

// Test hook: POSTMOOR_TEST_NO_SYNC=1 leaves out every sync. Tests that kill
// processes (not machines) lose nothing by it: what was written is with the
// operating system; it only spares them waiting for the disk.
bool syncsSkipped() {
    static const bool skipped = [] {
        const char* env = std::getenv("POSTMOOR_TEST_NO_SYNC");
        return env && *env == '1';
    }();
    return skipped;
}

int flush(JournalFile* f) {
    if (f->length == 0) return SQLITE_OK;
    const int rc = writeFile(f->real, f->buffer.get(), f->length, f->offset);
    f->length = 0;
    return rc;
}

// Before a database file changes, every journal write has reached its file.
int flushJournals() {
    std::lock_guard<std::mutex> guard(openJournalsLock);
    for (JournalFile* f : openJournals)
        if (int rc = flush(f); rc != SQLITE_OK) return rc;
    return SQLITE_OK;
}

sqlite3_file* realOf(sqlite3_file* p) { return reinterpret_cast<WrappedFile*>(p)->real; }
JournalFile* journalOf(sqlite3_file* p) { return static_cast<JournalFile*>(reinterpret_cast<WrappedFile*>(p)); }

// --- journals ------------------------------------------------------------------

int journalClose(sqlite3_file* p) {
    JournalFile* f = journalOf(p);
    int rc;
    {
        std::lock_guard<std::mutex> guard(openJournalsLock);
        rc = flush(f);
        std::erase(openJournals, f);
    }
    const int closed = f->real->pMethods->xClose(f->real);
    f->~JournalFile();
    return rc != SQLITE_OK ? rc : closed;
}

int journalRead(sqlite3_file* p, void* data, int amount, sqlite3_int64 offset) {
    JournalFile* f = journalOf(p);
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    return f->real->pMethods->xRead(f->real, data, amount, offset);
}

int journalWrite(sqlite3_file* p, const void* data, int amount, sqlite3_int64 offset) {
    JournalFile* f = journalOf(p);
    if (f->length > 0 && offset == f->offset + f->length && f->length + amount <= kBufferBytes) {
        std::memcpy(f->buffer.get() + f->length, data, static_cast<std::size_t>(amount));
        f->length += amount;
        return SQLITE_OK;
    }
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    if (amount >= kBufferBytes) return writeFile(f->real, data, amount, offset);
    if (!f->buffer) f->buffer = std::make_unique<char[]>(kBufferBytes);
    std::memcpy(f->buffer.get(), data, static_cast<std::size_t>(amount));
    f->offset = offset;
    f->length = amount;
    return SQLITE_OK;
}

int journalTruncate(sqlite3_file* p, sqlite3_int64 size) {
    JournalFile* f = journalOf(p);
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    return f->real->pMethods->xTruncate(f->real, size);
}

int journalSync(sqlite3_file* p, int flags) {
    JournalFile* f = journalOf(p);
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    if (syncsSkipped()) return SQLITE_OK;
    return f->real->pMethods->xSync(f->real, flags);
}

int journalFileSize(sqlite3_file* p, sqlite3_int64* size) {
    JournalFile* f = journalOf(p);
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    return f->real->pMethods->xFileSize(f->real, size);
}

int journalFileControl(sqlite3_file* p, int op, void* arg) {
    JournalFile* f = journalOf(p);
    if (int rc = flush(f); rc != SQLITE_OK) return rc;
    return f->real->pMethods->xFileControl(f->real, op, arg);
}

// --- every file: passed on ---------------------------------------------------------

int passClose(sqlite3_file* p) {
    sqlite3_file* real = realOf(p);
    return real->pMethods->xClose(real);
}
int passRead(sqlite3_file* p, void* data, int amount, sqlite3_int64 offset) {
    return realOf(p)->pMethods->xRead(realOf(p), data, amount, offset);
}
int passLock(sqlite3_file* p, int level) { return realOf(p)->pMethods->xLock(realOf(p), level); }
int passUnlock(sqlite3_file* p, int level) { return realOf(p)->pMethods->xUnlock(realOf(p), level); }
int passCheckReservedLock(sqlite3_file* p, int* out) {
    return realOf(p)->pMethods->xCheckReservedLock(realOf(p), out);
}
int passSectorSize(sqlite3_file* p) { return realOf(p)->pMethods->xSectorSize(realOf(p)); }
int passDeviceCharacteristics(sqlite3_file* p) { return realOf(p)->pMethods->xDeviceCharacteristics(realOf(p)); }
int passFileSize(sqlite3_file* p, sqlite3_int64* size) { return realOf(p)->pMethods->xFileSize(realOf(p), size); }
int passFileControl(sqlite3_file* p, int op, void* arg) {
    return realOf(p)->pMethods->xFileControl(realOf(p), op, arg);
}
int passShmMap(sqlite3_file* p, int page, int size, int extend, void volatile** out) {
    return realOf(p)->pMethods->xShmMap(realOf(p), page, size, extend, out);
}
int passShmLock(sqlite3_file* p, int offset, int n, int flags) {
    return realOf(p)->pMethods->xShmLock(realOf(p), offset, n, flags);
}
void passShmBarrier(sqlite3_file* p) { realOf(p)->pMethods->xShmBarrier(realOf(p)); }
int passShmUnmap(sqlite3_file* p, int deleteFlag) { return realOf(p)->pMethods->xShmUnmap(realOf(p), deleteFlag); }
int passFetch(sqlite3_file* p, sqlite3_int64 offset, int amount, void** out) {
    return realOf(p)->pMethods->xFetch(realOf(p), offset, amount, out);
}
int passUnfetch(sqlite3_file* p, sqlite3_int64 offset, void* page) {
    return realOf(p)->pMethods->xUnfetch(realOf(p), offset, page);
}

// --- database files: the journals first --------------------------------------------

int databaseWrite(sqlite3_file* p, const void* data, int amount, sqlite3_int64 offset) {
    if (int rc = flushJournals(); rc != SQLITE_OK) return rc;
    return writeFile(realOf(p), data, amount, offset);
}
int databaseTruncate(sqlite3_file* p, sqlite3_int64 size) {
    if (int rc = flushJournals(); rc != SQLITE_OK) return rc;
    return realOf(p)->pMethods->xTruncate(realOf(p), size);
}
int databaseSync(sqlite3_file* p, int flags) {
    if (int rc = flushJournals(); rc != SQLITE_OK) return rc;
    if (syncsSkipped()) return SQLITE_OK;
    return realOf(p)->pMethods->xSync(realOf(p), flags);
}

const sqlite3_io_methods journalMethods = {
    1,           journalClose,     journalRead,          journalWrite,       journalTruncate,
    journalSync, journalFileSize,  passLock,             passUnlock,         passCheckReservedLock,
    journalFileControl, passSectorSize, passDeviceCharacteristics,
    nullptr,     nullptr,          nullptr,              nullptr,            nullptr,
    nullptr,
};

// Version 3 with the shared memory and memory-mapped reads of the real file.
const sqlite3_io_methods databaseMethods = {
    3,           passClose,        passRead,             databaseWrite,      databaseTruncate,
    databaseSync, passFileSize,    passLock,             passUnlock,         passCheckReservedLock,
    passFileControl, passSectorSize, passDeviceCharacteristics,
    passShmMap,  passShmLock,      passShmBarrier,       passShmUnmap,       passFetch,
    passUnfetch,
};

int vfsOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    const bool journal = (flags & SQLITE_OPEN_MAIN_JOURNAL) != 0;
    const bool database = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    if (!journal && !database) return realVfs->xOpen(realVfs, name, file, flags, outFlags);
    // The real file sits behind the wrapper; both fit in szOsFile.
    auto* wrapped = reinterpret_cast<WrappedFile*>(file);
    sqlite3_file* real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + sizeof(JournalFile));
    real->pMethods = nullptr;
    const int rc = realVfs->xOpen(realVfs, name, real, flags, outFlags);
    if (rc != SQLITE_OK) {
        // SQLite closes a file whose methods are set even when the open failed.
        if (real->pMethods) real->pMethods->xClose(real);
        file->pMethods = nullptr;
        return rc;
    }
    if (database && real->pMethods->iVersion < 3) {
        // A real file without shared memory: it needs no wrapper's version 3.
        real->pMethods->xClose(real);
        return realVfs->xOpen(realVfs, name, file, flags, outFlags);
    }
    if (journal) {
        auto* f = new (file) JournalFile;
        f->real = real;
        f->base.pMethods = &journalMethods;
        std::lock_guard<std::mutex> guard(openJournalsLock);
        openJournals.push_back(f);
    } else {
        wrapped->real = real;
        wrapped->base.pMethods = &databaseMethods;
    }
    return SQLITE_OK;
}

}  // namespace

const char* journalVfsName() {
    static std::once_flag once;
    std::call_once(once, [] {
        realVfs = sqlite3_vfs_find(nullptr);
        journalVfs = *realVfs;
        journalVfs.zName = kVfsName;
        journalVfs.szOsFile = static_cast<int>(sizeof(JournalFile)) + realVfs->szOsFile;
        journalVfs.xOpen = vfsOpen;
        journalVfs.pNext = nullptr;
        sqlite3_vfs_register(&journalVfs, 0);
    });
    return kVfsName;
}

}  // namespace pm::sql
