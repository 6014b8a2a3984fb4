#include <algorithm>
#include <filesystem>
#include <vector>

#include "storage/sql_catalog.h"
#include "storage/read_once_cache.h"
#include "storage/sql_connection.h"
#include "storage/table.h"

namespace pm {

namespace {
std::vector<Table*>& liveTables() {
    static auto* tables = new std::vector<Table*>;
    return *tables;
}
}  // namespace

void registerTable(Table* table) { liveTables().push_back(table); }

void unregisterTable(Table* table) {
    auto& v = liveTables();
    v.erase(std::remove(v.begin(), v.end(), table), v.end());
}

StorageStatus beginTransaction(std::initializer_list<Table*> tables, int waitSeconds,
                               StorageError* error) {
    return beginTransaction(TableList(tables), waitSeconds, error);
}

StorageStatus beginTransaction(const TableList& tables, int waitSeconds, StorageError* error) {
    // Every table taking part must be open so that its store is attached:
    // stores cannot be attached once the transaction runs.
    for (Table* t : tables) {
        if (t && !t->isOpen()) {
            if (error) *error = {StorageStatus::NotOpen, "The file " + t->displayName() + " is not open"};
            return StorageStatus::NotOpen;
        }
    }
    // The stores of the tables named are the ones the transaction locks.
    std::vector<std::string> schemas;
    for (Table* t : tables) {
        if (!t || (t->def().storage != StorageClass::Keyed && t->def().storage != StorageClass::Simple)) continue;
        const std::string dir =
            sql::canonicalDirectory(std::filesystem::path(t->fileName()).parent_path().string());
        if (sql::Store* store = sql::Connection::instance().find(dir)) {
            if (std::find(schemas.begin(), schemas.end(), store->schema) == schemas.end())
                schemas.push_back(store->schema);
        }
    }
    std::string text;
    StorageStatus st = sql::Connection::instance().begin(waitSeconds, text, schemas);
    if (st != StorageStatus::Ok && error) *error = {st, text};
    return st;
}

StorageStatus commitTransaction(StorageError* error) {
    std::string text;
    StorageStatus st = sql::Connection::instance().commit(text);
    if (st != StorageStatus::Ok && error) *error = {st, text};
    return st;
}

void rollbackTransaction() { sql::Connection::instance().rollback(); }

bool inTransaction() { return sql::Connection::instance().inTransaction(); }

std::uint64_t transactionSerial() { return sql::Connection::instance().transactionSerial(); }

std::uint64_t rollbackCount() { return sql::Connection::instance().rollbackGeneration(); }

ReadScope::ReadScope() : active_(sql::Connection::instance().beginRead()) {}

ReadScope::~ReadScope() {
    if (active_) sql::Connection::instance().endRead();
}

namespace {
std::vector<int> roomyCaches;  // the cache each live PageCacheScope asks for
int readOnceCacheUsers = 0;
constexpr int kReadOnceCacheKibibytes = 256;
// A run's scratch store holds work files written in order and read back in
// order, once: a large cache there only takes memory from the stores whose
// keys take random inserts.
constexpr int kRunScratchCacheKibibytes = 4096;

// The cache the live scopes ask for: a run's roomy one before all.
void applyCacheScopes() {
    int wanted = readOnceCacheUsers > 0 ? kReadOnceCacheKibibytes : sql::kReadCacheKibibytes;
    int scratch = wanted;
    if (!roomyCaches.empty()) {
        wanted = *std::max_element(roomyCaches.begin(), roomyCaches.end());
        scratch = kRunScratchCacheKibibytes;
    }
    sql::Connection& c = sql::Connection::instance();
    if (c.cacheKibibytes() != wanted || c.scratchCacheKibibytes() != scratch) c.setCacheKibibytes(wanted, scratch);
}
}  // namespace

PageCacheScope::PageCacheScope(int kibibytes) : kibibytes_(kibibytes) {
    roomyCaches.push_back(kibibytes_);
    applyCacheScopes();
}

PageCacheScope::~PageCacheScope() {
    roomyCaches.erase(std::find(roomyCaches.begin(), roomyCaches.end(), kibibytes_));
    applyCacheScopes();
}

ReadOnceCacheScope::ReadOnceCacheScope() {
    ++readOnceCacheUsers;
    applyCacheScopes();
}

ReadOnceCacheScope::~ReadOnceCacheScope() {
    --readOnceCacheUsers;
    applyCacheScopes();
}

void closeStorage() {
    for (Table* t : liveTables()) t->close();
    sql::Connection::instance().shutdown();
}

void removeRunStore() { sql::Connection::instance().removeRunStore(); }

std::string storeFilePath(const std::string& directory) {
    return sql::Connection::instance().storeFileOf(sql::canonicalDirectory(directory));
}

void releaseDirectory(const std::string& directory) {
    const std::string dir = sql::canonicalDirectory(directory);
    for (Table* t : liveTables()) {
        if (!t->isOpen()) continue;
        if (sql::canonicalDirectory(std::filesystem::path(t->fileName()).parent_path().string()) == dir)
            t->close();
    }
    sql::Connection::instance().detach(dir);
}

void setScratchDirectory(const std::string& directory, bool ownedByProcess) {
    sql::Connection::instance().setScratchDirectory(directory, ownedByProcess);
}

}  // namespace pm

namespace pm {

bool removeStoreIfEmpty(const std::string& directory) { return removeStoreIfOnly(directory, {}); }

bool removeStoreIfOnly(const std::string& directory, const std::vector<std::string>& labels) {
    const std::string dir = sql::canonicalDirectory(directory);
    const std::string file = sql::Connection::instance().storeFileOf(dir);
    if (!std::filesystem::exists(file)) return true;
    sql::Store* store = nullptr;
    std::string error;
    if (sql::Connection::instance().acquire(dir, false, store, error) != StorageStatus::Ok) return false;
    int tables = 0;
    const bool empty = sql::dataTableCount(store->schema, tables, labels) == SQLITE_OK && tables == 0;
    sql::Connection::instance().release(store);
    if (!empty) return false;
    releaseDirectory(dir);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    std::filesystem::remove(file + "-journal", ec);
    return !std::filesystem::exists(file);
}

}  // namespace pm
