#include "storage/sql_memory.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <mutex>  // std::lock_guard
#include <thread>
#include <type_traits>

namespace pm::sql {

namespace {

// Every block starts with its usable size; the caller's bytes follow.
constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kChunkBytes = 64 * 1024;

// Size classes: 8 to 64 bytes in steps of 8, then four classes to each
// doubling (80, 96, 112, 128, 160, ...) up to kLargestPooledBlock, so no
// block wastes more than a fifth of itself.
constexpr int kSmallClasses = 8;
constexpr int kClassCount = kSmallClasses + 4 * 6;
static_assert(kLargestPooledBlock == 64 << 6, "four classes per doubling from 64 up to the largest block");

constexpr int classOf(std::size_t n) {
    if (n <= 64) return n == 0 ? 0 : static_cast<int>((n + 7) / 8) - 1;
    const std::size_t m = n - 1;
    const int top = 63 - __builtin_clzll(m);  // 2^top < n <= 2^(top+1)
    const int quarter = static_cast<int>((m - (std::size_t{1} << top)) >> (top - 2));
    return kSmallClasses + (top - 6) * 4 + quarter;
}

constexpr std::array<std::size_t, kClassCount> classSizes() {
    std::array<std::size_t, kClassCount> sizes{};
    for (int c = 0; c < kSmallClasses; ++c) sizes[c] = 8 * static_cast<std::size_t>(c + 1);
    for (int top = 6; top < 12; ++top)
        for (int q = 0; q < 4; ++q)
            sizes[kSmallClasses + (top - 6) * 4 + q] = (std::size_t{1} << top) + (q + 1) * (std::size_t{1} << (top - 2));
    return sizes;
}

constexpr std::array<std::size_t, kClassCount> kClassSize = classSizes();
static_assert(kClassSize[kClassCount - 1] == kLargestPooledBlock);
static_assert(classOf(kLargestPooledBlock) == kClassCount - 1 && classOf(65) == kSmallClasses);

std::size_t roundedSize(std::size_t n) {
    return n <= kLargestPooledBlock ? kClassSize[classOf(n)] : (n + 7) & ~std::size_t{7};
}

// The pool's lock: held for a few instructions, nearly always by the one
// thread that uses the stores, where a system mutex would cost as much as
// the allocation itself.
class SpinLock {
public:
    void lock() {
        while (held_.exchange(true, std::memory_order_acquire)) {
            while (held_.load(std::memory_order_relaxed)) std::this_thread::yield();
        }
    }
    void unlock() { held_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> held_{false};
};

struct FreeBlock {
    FreeBlock* next;
};

// The pool: free lists and the unused end of the newest chunk. Chunks are
// never returned; the blocks of a class are reused for that class.
class Pool {
public:
    void* take(int sizeClass) {
        std::lock_guard<SpinLock> lock(lock_);
        if (FreeBlock* block = free_[sizeClass]) {
            free_[sizeClass] = block->next;
            return block;
        }
        const std::size_t bytes = kHeaderBytes + kClassSize[sizeClass];
        if (static_cast<std::size_t>(end_ - next_) < bytes) {
            // The unused end of the old chunk goes to the free lists it fits.
            keepRest();
            next_ = static_cast<char*>(std::malloc(kChunkBytes));
            if (!next_) {
                end_ = nullptr;
                return nullptr;
            }
            end_ = next_ + kChunkBytes;
        }
        char* block = next_;
        next_ += bytes;
        std::memcpy(block, &kClassSize[sizeClass], kHeaderBytes);
        return block + kHeaderBytes;
    }

    void give(void* p, int sizeClass) {
        std::lock_guard<SpinLock> lock(lock_);
        auto* block = static_cast<FreeBlock*>(p);
        block->next = free_[sizeClass];
        free_[sizeClass] = block;
    }

private:
    void keepRest() {
        for (int c = kClassCount - 1; c >= 0 && next_; --c) {
            while (static_cast<std::size_t>(end_ - next_) >= kHeaderBytes + kClassSize[c]) {
                std::memcpy(next_, &kClassSize[c], kHeaderBytes);
                auto* block = reinterpret_cast<FreeBlock*>(next_ + kHeaderBytes);
                block->next = free_[c];
                free_[c] = block;
                next_ += kHeaderBytes + kClassSize[c];
            }
        }
    }

    SpinLock lock_;
    std::array<FreeBlock*, kClassCount> free_{};
    char* next_ = nullptr;
    char* end_ = nullptr;
};

// Built by the compiler and trivially destroyed, so it is there for every
// block SQLite allocates or frees, before main() and while the program ends.
constinit Pool thePool;
static_assert(std::is_trivially_destructible_v<Pool>);

Pool& pool() { return thePool; }

std::size_t usableSize(void* p) {
    std::size_t size;
    std::memcpy(&size, static_cast<char*>(p) - kHeaderBytes, kHeaderBytes);
    return size;
}

void* allocate(int n) {
    const std::size_t wanted = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (wanted <= kLargestPooledBlock) return pool().take(classOf(wanted));
    const std::size_t size = roundedSize(wanted);
    auto* block = static_cast<char*>(std::malloc(kHeaderBytes + size));
    if (!block) return nullptr;
    std::memcpy(block, &size, kHeaderBytes);
    return block + kHeaderBytes;
}

void release(void* p) {
    if (!p) return;
    const std::size_t size = usableSize(p);
    if (size <= kLargestPooledBlock) pool().give(p, classOf(size));
    else std::free(static_cast<char*>(p) - kHeaderBytes);
}

void* reallocate(void* p, int n) {
    if (!p) return allocate(n);
    const std::size_t old = usableSize(p);
    const std::size_t size = roundedSize(n > 0 ? static_cast<std::size_t>(n) : 0);
    if (size == old) return p;
    if (old > kLargestPooledBlock && size > kLargestPooledBlock) {
        auto* block = static_cast<char*>(std::realloc(static_cast<char*>(p) - kHeaderBytes, kHeaderBytes + size));
        if (!block) return nullptr;
        std::memcpy(block, &size, kHeaderBytes);
        return block + kHeaderBytes;
    }
    void* moved = allocate(n);
    if (!moved) return nullptr;  // the old block stays, as realloc() leaves it
    std::memcpy(moved, p, old < size ? old : size);
    release(p);
    return moved;
}

int sizeOf(void* p) { return p ? static_cast<int>(usableSize(p)) : 0; }

int roundup(int n) { return static_cast<int>(roundedSize(n > 0 ? static_cast<std::size_t>(n) : 0)); }

int initialize(void*) { return SQLITE_OK; }
void shutDown(void*) {}

const sqlite3_mem_methods kMethods = {allocate, release, reallocate, sizeOf, roundup, initialize, shutDown, nullptr};

}  // namespace

const sqlite3_mem_methods& pooledMemoryMethods() { return kMethods; }

#if defined(__SANITIZE_ADDRESS__)
#define PM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PM_ADDRESS_SANITIZER 1
#endif
#endif

bool usePooledMemory() {
#ifdef PM_ADDRESS_SANITIZER
    // A checked build leaves SQLite's blocks to the checker's allocator,
    // which sees every overrun.
    return false;
#else
    return sqlite3_config(SQLITE_CONFIG_MALLOC, &kMethods) == SQLITE_OK;
#endif
}

}  // namespace pm::sql
