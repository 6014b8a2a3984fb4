// dBase tables of other programs. Their reader arrives with the importers of
// the navigator stores; until then an open reports that clearly.
#include "storage/table_backend.h"

namespace pm {
namespace {

class DBaseBackend final : public TableBackend {
public:
    using TableBackend::TableBackend;

    StorageStatus open(ShareMode) override { return unavailable(); }
    void close() override {}
    bool isOpen() const override { return false; }
    StorageStatus create() override { return unavailable(); }
    bool exists() override { return false; }
    StorageStatus remove() override { return unavailable(); }
    StorageStatus empty() override { return unavailable(); }
    StorageStatus pack() override { return unavailable(); }
    StorageStatus buildKeys() override { return unavailable(); }
    StorageStatus checkLayout() override { return unavailable(); }
    void setPhysical(RecordPosition) override {}
    void setKey(const KeyDef&, int, RecordPosition) override {}
    StorageStatus next() override { return unavailable(); }
    StorageStatus previous() override { return unavailable(); }
    StorageStatus get(const KeyDef&) override { return unavailable(); }
    StorageStatus getAt(RecordPosition) override { return unavailable(); }
    StorageStatus add(bool) override { return unavailable(); }
    StorageStatus put() override { return unavailable(); }
    StorageStatus erase() override { return unavailable(); }
    std::int64_t records() override { return 0; }
    StorageStatus lock(int) override { return unavailable(); }
    void unlock() override {}
    StorageStatus hold(int) override { return unavailable(); }
    void release() override {}

private:
    StorageStatus unavailable() {
        table_.setError(StorageStatus::Other, "dBase tables cannot be read by this version");
        return StorageStatus::Other;
    }
};

}  // namespace

std::unique_ptr<TableBackend> makeDBaseBackend(Table& table) { return std::make_unique<DBaseBackend>(table); }

}  // namespace pm
