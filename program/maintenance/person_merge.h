#pragma once
// Merging persons: the messages of a merged person are re-pointed to the
// person that survives, its aliases (PLINK) and its own person string
// become the survivor's aliases, and its record goes. The same pass also
// renews the short names the headers keep of a renamed person.
//
// The headers are re-pointed by one pass over the message table rather
// than along the sender and receiver keys: a header's short name is the
// name the message gave, which need not be the person's present last name
// (the mailbox owner's never is), so a walk along the keys would miss it.
#include <map>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "tables/records/message_tables.h"

namespace pm {

// What headers naming a person are to name instead.
struct PersonTarget {
    ULONG id = 0;               // the survivor (the person itself when renamed)
    FixedText<25> lastName;     // its last name: the short names are cut from it
};

// Person id -> its target.
using PersonTargets = std::map<ULONG, PersonTarget>;

// The target of a person record.
PersonTarget targetOf(const PersonRecord& person);

// A pass over the headers of the active database re-pointing every sender,
// receiver and mail partner that `targets` names; in slices, inside the
// caller's transaction.
class HeaderRepointing {
public:
    explicit HeaderRepointing(BYTE databaseType) : type_(databaseType) {}
    // Up to `quota` headers; true when the pass is through (or a write
    // failed: `failed` set, rolled back and reported).
    bool slice(const PersonTargets& targets, int quota, bool& failed, long long& rewritten);

private:
    BYTE type_;
    RecordPosition last_ = 0;
};

// Gives the aliases of `merged` to `survivor`, adds the merged person's own
// string as an alias of the survivor unless present, and deletes the
// merged person (read by id). Inside the caller's transaction; false after
// a failed write (rolled back and reported).
bool retireMergedPerson(ULONG merged, ULONG survivor);

// Renews the short names of person `id` in the headers that carry the
// one cut from `oldLast` (along the sender and receiver keys, and the
// partner key of mails) to the one cut from `newLast`. Inside the caller's
// transaction; false after a failed write.
bool renewShortNames(BYTE databaseType, ULONG id, const FixedText<25>& oldLast, const FixedText<25>& newLast);

// One person of a group that shares an address, as the survivor choice
// sees it.
struct Suspect {
    ULONG id = 0;
    std::string prefix;  // the short name (first 10 characters of the last name), trimmed
    ULONG messages = 0;  // messages sent
    LONG lastDate = 0;   // date of the newest of them
};

// The survivor of a group (in address order): among the suspects with
// messages the first, replaced by a later one when the survivor's prefix is
// blank, or when the later one has a prefix and a newer last message. The
// mailbox owner (`owner`, 0 none), when in the group, always survives.
// 0 when no suspect has messages.
ULONG chooseSurvivor(const std::vector<Suspect>& group, ULONG owner);

}  // namespace pm
