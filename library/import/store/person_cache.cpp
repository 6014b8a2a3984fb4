#include "import/store/person_cache.h"

#include "storage/table.h"
#include "tables/records/message_tables.h"

namespace pm {

std::uint64_t PersonCache::tableWrites() const { return Person.writeCount() + PLINK.writeCount(); }

void PersonCache::clear() {
    entries_.clear();
    stamped_ = false;
}

bool PersonCache::trusted() {
    if (!inTransaction()) {
        clear();
        return false;
    }
    const std::uint64_t transaction = transactionSerial();
    const bool newTransaction = !stamped_ || transaction != transaction_;
    const std::int64_t version = newTransaction ? Person.othersVersion() : othersVersion_;
    if (stamped_ && (rollbackCount() != rollbacks_ || tableWrites() != writes_ || version != othersVersion_))
        clear();
    if (!stamped_) {
        writes_ = tableWrites();
        rollbacks_ = rollbackCount();
    }
    transaction_ = transaction;
    othersVersion_ = version;
    // A store that cannot tell about other processes' commits: no cache.
    stamped_ = version >= 0;
    return stamped_;
}

const PersonCache::Entry* PersonCache::find(const std::string& personString) {
    if (!trusted()) return nullptr;
    const auto found = entries_.find(personString);
    return found == entries_.end() ? nullptr : &found->second;
}

void PersonCache::add(const std::string& personString, const Entry& entry) {
    // find() has just stamped the cache, unless it could not be trusted.
    if (!stamped_) return;
    if (entries_.size() >= kMostPersons) entries_.clear();
    entries_.insert_or_assign(personString, entry);
    writes_ = tableWrites();
}

void PersonCache::ownWritesDone() {
    if (stamped_) writes_ = tableWrites();
}

}  // namespace pm
