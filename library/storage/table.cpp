#include "storage/table.h"

#include <cfloat>
#include <climits>
#include <cstring>
#include <filesystem>

#include "storage/sql_connection.h"
#include "storage/table_backend.h"

namespace pm {

namespace {

// Runs `call`; when it met another's lock inside a read transaction, which
// answers at once rather than wait while it holds other stores' locks (a
// writer may hold this store and wait for those), the read transaction is
// let go of and the call runs once more holding nothing, waiting as
// outside a read scope. The read transaction is taken again after.
template <class Call>
StorageStatus unlockedOnBusy(Call call) {
    StorageStatus st = call();
    if (st != StorageStatus::IsLocked) return st;
    sql::Connection& connection = sql::Connection::instance();
    if (!connection.dropRead()) return st;
    st = call();
    connection.resumeRead();
    return st;
}

}  // namespace

const char* storageStatusText(StorageStatus status) {
    switch (status) {
        case StorageStatus::Ok: return "No error";
        case StorageStatus::FileNotFound: return "File not found";
        case StorageStatus::PathNotFound: return "Path not found";
        case StorageStatus::AccessDenied: return "Access denied";
        case StorageStatus::InvalidName: return "Invalid file name";
        case StorageStatus::IsLocked: return "File is locked";
        case StorageStatus::RecordNotAvailable: return "Record not available";
        case StorageStatus::NotFound: return "Record not found";
        case StorageStatus::NotOpen: return "File not open";
        case StorageStatus::DuplicateKey: return "Creates duplicate key";
        case StorageStatus::BadKeys: return "Keys need rebuilding";
        case StorageStatus::LayoutDiffers: return "Invalid record declaration";
        case StorageStatus::Other: return "Storage error";
    }
    return "Storage error";
}

void registerTable(Table* table);
void unregisterTable(Table* table);

Table::Table(const TableDef& def, void* record, std::vector<std::string*> memos)
    : def_(def), record_(record), memos_(std::move(memos)) {
    registerTable(this);
}

Table::~Table() { unregisterTable(this); }

TableBackend& Table::backend() {
    if (!backend_) {
        switch (def_.storage) {
            case StorageClass::Keyed:
            case StorageClass::Simple:
                backend_ = def_.layout == PhysicalLayout::PostingLists ? makePostingBackend(*this)
                                                                       : makeSqlBackend(*this);
                break;
            case StorageClass::Chunks: backend_ = makeChunkBackend(*this); break;
            case StorageClass::Lines: backend_ = makeLineBackend(*this); break;
            case StorageClass::DBase: backend_ = makeDBaseBackend(*this); break;
        }
    }
    return *backend_;
}

void Table::setError(StorageStatus status, std::string text) {
    error_.status = status;
    error_.text = text.empty() && status != StorageStatus::Ok ? storageStatusText(status)
                                                               : std::move(text);
}

StorageStatus Table::result(StorageStatus status) {
    // Called for every record read: a clean error stays untouched.
    if (status == StorageStatus::Ok) {
        if (error_.status != StorageStatus::Ok || !error_.text.empty()) error_ = {};
    }
    else if (error_.status != status) setError(status, {});
    return status;
}

namespace {
std::string& displayRoot() {
    static std::string root;
    return root;
}
}  // namespace

void setDisplayRoot(const std::string& directory) {
    std::string root = std::filesystem::path(directory).lexically_normal().string();
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    displayRoot() = root;
}

std::string Table::displayName() const {
    if (fileName_.empty()) return def_.label;
    if (def_.storage != StorageClass::Keyed && def_.storage != StorageClass::Simple) return fileName_;
    std::string dir = std::filesystem::path(fileName_).lexically_normal().parent_path().string();
    const std::string& root = displayRoot();
    if (!root.empty() && dir == root) dir.clear();
    else if (!root.empty() && dir.size() > root.size() && dir.compare(0, root.size(), root) == 0 && dir[root.size()] == '/')
        dir.erase(0, root.size() + 1);
    return def_.label + " in " + (dir.empty() ? std::string() : dir + "/") + kStoreFileName;
}

void Table::setFileName(std::string name) {
    if (name != fileName_ && isOpen()) close();
    fileName_ = std::move(name);
}

StorageStatus Table::open(ShareMode mode) {
    error_ = {};
    if (isOpen()) return StorageStatus::Ok;
    mode_ = mode;
    return result(unlockedOnBusy([&] { return backend().open(mode); }));
}

void Table::close() {
    if (backend_) backend_->close();
}

bool Table::isOpen() const { return backend_ && backend_->isOpen(); }

StorageStatus Table::create() {
    error_ = {};
    return result(backend().create());
}

bool Table::exists() {
    bool found = false;
    unlockedOnBusy([&] {
        found = backend().exists();
        return found ? StorageStatus::Ok : error_.status;
    });
    return found;
}

StorageStatus Table::remove() {
    error_ = {};
    ++writes_;
    return result(backend().remove());
}

StorageStatus Table::empty() {
    error_ = {};
    ++writes_;
    return result(backend().empty());
}

StorageStatus Table::pack() {
    error_ = {};
    return result(backend().pack());
}

StorageStatus Table::buildKeys() {
    error_ = {};
    return result(backend().buildKeys());
}

StorageStatus Table::completeKeys() {
    if (!isOpen()) return buildKeys();
    return result(unlockedOnBusy([&] { return backend().completeKeys(); }));
}

StorageStatus Table::buildKeysSome(std::size_t budget, bool& done) {
    error_ = {};
    done = false;
    return result(backend().buildKeysSome(budget, done));
}

StorageStatus Table::checkLayout() {
    error_ = {};
    return result(unlockedOnBusy([&] { return backend().checkLayout(); }));
}

StorageStatus Table::extendLayout() {
    error_ = {};
    return result(backend().extendLayout());
}

std::int64_t Table::storedRecords() { return backend().storedRecords(); }

void clearRecord(const TableDef& def, void* record, int how) {
    auto* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, how > 0 ? 0xFF : 0, def.recordSize);
    for (const FieldDef& f : def.fields) {
        unsigned char* p = bytes + f.offset;
        switch (f.type) {
            case FieldType::String:
                if (how <= 0) std::memset(p, ' ', f.totalWidth());
                break;
            case FieldType::Long: {
                std::int32_t v = how > 0 ? INT32_MAX : (how < 0 ? INT32_MIN : 0);
                std::memcpy(p, &v, sizeof v);
                break;
            }
            case FieldType::Real: {
                double v = how > 0 ? DBL_MAX : (how < 0 ? -DBL_MAX : 0.0);
                std::memcpy(p, &v, sizeof v);
                break;
            }
            case FieldType::DbDate: {
                std::int32_t v = how > 0 ? INT32_MAX : 0;
                std::memcpy(p, &v, sizeof v);
                break;
            }
            case FieldType::Byte:
            case FieldType::ULong:
            case FieldType::Bytes: break;  // the memset gave 0 or all ones
        }
    }
}

void Table::clear(int how) {
    clearRecord(def_, record_, how);
    for (std::string* m : memos_) m->clear();
}

void Table::setPhysical() { backend().setPhysical(0); }
void Table::setPhysicalAt(RecordPosition pos) { backend().setPhysical(pos); }
void Table::set(const KeyDef& key) { backend().setKey(key, TableBackend::FromStart, 0); }
void Table::setAt(const KeyDef& key) { backend().setKey(key, TableBackend::FromValues, 0); }
void Table::setAtPosition(const KeyDef& key, RecordPosition pos) {
    backend().setKey(key, TableBackend::FromPosition, pos);
}

StorageStatus Table::next() { return result(unlockedOnBusy([&] { return backend().next(); })); }
StorageStatus Table::previous() { return result(unlockedOnBusy([&] { return backend().previous(); })); }
StorageStatus Table::get(const KeyDef& key) { return result(unlockedOnBusy([&] { return backend().get(key); })); }
StorageStatus Table::getAt(RecordPosition pos) {
    return result(unlockedOnBusy([&] { return backend().getAt(pos); }));
}
StorageStatus Table::getText(const KeyDef& key, const std::string& column, std::string& value) {
    return result(unlockedOnBusy([&] { return backend().getText(key, column, value); }));
}
StorageStatus Table::firstValuesOf(std::uint32_t second, std::vector<std::uint32_t>& out) {
    const std::size_t had = out.size();
    return result(unlockedOnBusy([&] {
        out.resize(had);  // a second try after a lock starts again
        return backend().firstValuesOf(second, out);
    }));
}

// Every write is counted, failed ones too: a failure may have changed what
// it touched before it was undone.
StorageStatus Table::add() {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().add(false); }));
}
StorageStatus Table::append() {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().add(true); }));
}
StorageStatus Table::appendPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().appendPairs(pairs); }));
}
StorageStatus Table::addToNumber(const KeyDef& key, int field, std::int64_t delta) {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().addToNumber(key, field, delta); }));
}
StorageStatus Table::put() {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().put(); }));
}
StorageStatus Table::erase() {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().erase(); }));
}
StorageStatus Table::eraseFirstPairsOf(std::uint32_t second, std::size_t limit, std::size_t& erased) {
    ++writes_;
    return result(unlockedOnBusy([&] { return backend().eraseFirstPairsOf(second, limit, erased); }));
}

std::int64_t Table::othersVersion() { return isOpen() ? backend().othersVersion() : -1; }
std::int64_t Table::records() {
    std::int64_t count = 0;
    unlockedOnBusy([&] {
        error_ = {};
        count = backend().records();
        return error_.status;
    });
    return count;
}

StorageStatus Table::lock(int waitSeconds) { return result(backend().lock(waitSeconds)); }
void Table::unlock() { backend().unlock(); }
StorageStatus Table::hold(int waitSeconds) { return result(backend().hold(waitSeconds)); }
void Table::release() { backend().release(); }
StorageStatus Table::checkLock() { return result(backend().checkLock()); }
void Table::flush() { backend().flush(); }

}  // namespace pm
