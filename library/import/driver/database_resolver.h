#pragma once
// The databases of one import run: the queue of every catalogued database
// (plus those the parsers name for the first time), the list of databases
// that received something, and the resolution of a forum, mailbox or
// newsgroup name to its database that the format parsers use.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/types.h"
#include "import/driver/format_parser.h"
#include "tables/records/scratch_tables.h"

namespace pm {

struct DatabaseEntry {
    ULONG id = 0;               // FOR:ID
    std::string name;           // FOR:DESCRIPTION (100)
    std::string upperName;      // the look-up key
    ULONG dirNumber = 0;        // FOR:DIRNUMBER
    bool isNew = false;         // not catalogued yet: phase B writes its Forums record
    bool importAllowed = true;  // not FOR:NOIMPORT
    BYTE type = TypeForum;      // FOR:TYPE
    ULONG redirectTo = 0;       // FOR:REDIRNOW when the redirection is usable, else 0
    std::string redirectName;   // the redirect target's name
};

struct Resolution {
    ULONG id = 0;  // 0: not found (nothing may be written)
    bool importAllowed = false;
    BYTE type = 0;

    bool found() const { return id != 0; }
};

class DatabaseResolver {
public:
    // Loads every catalog record (Forums must be open) as the queue, works
    // out the usable redirections and the next directory number. New entries
    // take their identifiers from `*runningId`, the run's in-memory counter
    // (the Control table is locked while the parsers run).
    void load(LONG* runningId);

    // Resolves a forum, mailbox or newsgroup name (blank-trimmed, at most 100
    // bytes, compared upper-cased). A name not in the queue becomes a new
    // entry (identifier from the running counter, the next directory number,
    // import allowed, type 3 for ResolveNewsgroup, else 1) - except a mailbox,
    // which must exist: an unknown mailbox or a blank name is not found.
    // For a newsgroup entry the SECTIONNUMBER and SEC_DESCRIPTION of
    // `record` (the message the name came from, when given) are set to that
    // newsgroup's identifier and name; a usable redirection then hands the
    // target entry back. A database that allows import joins the used list.
    Resolution resolve(const std::string& name, ResolveKind kind, NewHRRecord* record = nullptr);

    // Looks a name up without creating, redirecting or using anything.
    Resolution resolveByName(const std::string& name) const;

    // The entry of an identifier; nullptr when the queue holds none.
    const DatabaseEntry* entry(ULONG id) const;

    // The queue in order (entries still to be stored) and the used list.
    const std::vector<DatabaseEntry>& queue() const { return queue_; }
    const std::vector<DatabaseEntry>& used() const { return used_; }
    ULONG nextDirectoryNumber() const { return nextDirectory_; }

    // Drops every queued entry that no parser resolved with import allowed.
    void keepUsedOnly();

    // Phase B walks the queue from its front.
    bool empty() const { return queue_.empty(); }
    DatabaseEntry& front() { return queue_.front(); }
    void popFront();

    // Releases everything.
    void clear();

private:
    static std::string lookupKey(const std::string& name);
    void reindex();
    std::size_t addEntry(DatabaseEntry entry);

    LONG* runningId_ = nullptr;
    ULONG nextDirectory_ = 1;
    std::vector<DatabaseEntry> queue_;
    std::unordered_map<std::string, std::size_t> byName_;
    std::vector<DatabaseEntry> used_;
    std::unordered_map<ULONG, std::size_t> usedIndex_;
};

// The name the mail of `request` is filed under: the name of the request's
// mailbox when the queue holds it, else the request's target name.
std::string requestMailboxName(const ImportRequest& request, const DatabaseResolver& databases);

}  // namespace pm
