#pragma once
// The persons a store has resolved, by person string: mail comes from a few
// thousand people, and each message would otherwise cost a keyed read of
// Person (and of PLINK) to find one of them again.
//
// An entry is what AddPers gave for its person string, so it holds while
// Person and PLINK hold what they held then, apart from what the store
// itself wrote there. The cache forgets everything when that may no longer
// be so:
//   - outside a transaction (nothing keeps another process out);
//   - after any rollback (persons added by the store may be gone);
//   - when a write to Person or PLINK of this process was not the store's
//     own (a person renamed or merged meanwhile);
//   - when, at the start of a transaction, another process has committed to
//     the database's store since the store last looked (checked once per
//     transaction: while it runs, its lock keeps other writers out).
// The store tells the cache about its own writes (ownWritesDone()).
#include <cstdint>
#include <string>
#include <unordered_map>

#include "common/fixed_text.h"
#include "common/types.h"

namespace pm {

class PersonCache {
public:
    struct Entry {
        ULONG id = 0;
        FixedText<25> lastName;
        FixedText<60> address;
    };

    // Beyond this many persons the cache starts afresh, so that its memory
    // stays bounded whatever the source.
    static constexpr std::size_t kMostPersons = 200000;

    // The entry of `personString`, or nullptr (also when the cache cannot
    // be trusted now: then it is emptied).
    const Entry* find(const std::string& personString);
    // Remembers what AddPers gave for `personString`, right after it ran
    // (its writes are the store's own).
    void add(const std::string& personString, const Entry& entry);
    // Call before the store writes Person or PLINK itself (other than
    // through AddPers for add()); ownWritesDone() after. The entries stay.
    void ownWritesBegin() { trusted(); }
    void ownWritesDone();
    void clear();
    std::size_t size() const { return entries_.size(); }

private:
    // Whether the entries may be used now; empties the cache when not.
    bool trusted();
    std::uint64_t tableWrites() const;

    std::unordered_map<std::string, Entry> entries_;
    bool stamped_ = false;           // the fields below describe the entries
    std::uint64_t writes_ = 0;       // Person and PLINK writes of this process
    std::uint64_t rollbacks_ = 0;
    std::uint64_t transaction_ = 0;  // the transaction othersVersion_ was read in
    std::int64_t othersVersion_ = -1;
};

}  // namespace pm
