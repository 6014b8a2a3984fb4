#include "import/driver/database_resolver.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/driver/import_request.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm {

namespace {

constexpr std::size_t kNameWidth = 100;

// The name as the catalog stores it: UTF-8 (raw 8-bit names read as
// Windows-1252, as the store does), so that a name met raw and the stored
// one are the same database.
std::string fittedName(const std::string& name) {
    const std::string text = utf8OrWindows1252(trim(name));
    return std::string(trimRight(std::string_view(text).substr(0, utf8FitLength(text, kNameWidth))));
}

Resolution resolutionOf(const DatabaseEntry& e) { return {e.id, e.importAllowed, e.type}; }

}  // namespace

std::string DatabaseResolver::lookupKey(const std::string& name) { return toUpper(fittedName(name)); }

void DatabaseResolver::clear() {
    queue_.clear();
    byName_.clear();
    used_.clear();
    usedIndex_.clear();
    nextDirectory_ = 1;
}

std::size_t DatabaseResolver::addEntry(DatabaseEntry entry) {
    queue_.push_back(std::move(entry));
    const std::size_t index = queue_.size() - 1;
    byName_.emplace(queue_[index].upperName, index);
    return index;
}

void DatabaseResolver::reindex() {
    byName_.clear();
    for (std::size_t i = 0; i < queue_.size(); ++i) byName_.emplace(queue_[i].upperName, i);
}

void DatabaseResolver::load(LONG* runningId) {
    clear();
    runningId_ = runningId;
    std::unordered_map<ULONG, std::pair<ULONG, std::string>> redirectOf;  // id -> (REDIRNOW, name)
    Forums.set(FOR_ForumKey);
    while (Forums.next() == StorageStatus::Ok) {
        DatabaseEntry e;
        e.id = FOR.ID;
        e.name = FOR.DESCRIPTION.str();
        e.upperName = lookupKey(e.name);
        e.dirNumber = FOR.DIRNUMBER;
        e.importAllowed = FOR.NOIMPORT == 0;
        e.type = FOR.TYPE;
        e.redirectTo = FOR.REDIRNOW;
        nextDirectory_ = std::max(nextDirectory_, FOR.DIRNUMBER + 1);
        redirectOf[e.id] = {FOR.REDIRNOW, e.name};
        addEntry(std::move(e));
    }
    // A redirection is usable only when its target exists and is not itself
    // redirected.
    for (DatabaseEntry& e : queue_) {
        if (e.redirectTo == 0) continue;
        auto target = redirectOf.find(e.redirectTo);
        if (target == redirectOf.end() || target->second.first != 0) {
            e.redirectTo = 0;
        } else {
            e.redirectName = target->second.second;
        }
    }
}

Resolution DatabaseResolver::resolveByName(const std::string& name) const {
    auto it = byName_.find(lookupKey(name));
    return it == byName_.end() ? Resolution{} : resolutionOf(queue_[it->second]);
}

const DatabaseEntry* DatabaseResolver::entry(ULONG id) const {
    for (const DatabaseEntry& e : queue_)
        if (e.id == id) return &e;
    return nullptr;
}

Resolution DatabaseResolver::resolve(const std::string& name, ResolveKind kind, NewHRRecord* record) {
    const std::string key = lookupKey(name);
    if (key.empty()) return {};
    std::size_t index;
    if (auto it = byName_.find(key); it != byName_.end()) {
        index = it->second;
    } else {
        // A mailbox is chosen from the existing mail databases; an unknown one
        // must not turn into a forum database holding mail.
        if (kind == ResolveMail || !runningId_ || *runningId_ <= 0) return {};
        DatabaseEntry e;
        e.id = static_cast<ULONG>((*runningId_)++);
        e.name = fittedName(name);
        e.upperName = key;
        e.dirNumber = nextDirectory_++;
        e.isNew = true;
        e.importAllowed = true;
        e.type = kind == ResolveNewsgroup ? TypeNewsgroup : TypeForum;
        index = addEntry(std::move(e));
    }
    const DatabaseEntry* found = &queue_[index];
    if (found->type == TypeNewsgroup) {
        if (record) {
            record->SECTIONNUMBER = found->id;
            record->SEC_DESCRIPTION = found->name;
        }
        if (found->redirectTo > 0) {
            if (auto target = byName_.find(lookupKey(found->redirectName)); target != byName_.end())
                found = &queue_[target->second];
        }
    }
    if (found->importAllowed && usedIndex_.emplace(found->id, used_.size()).second) used_.push_back(*found);
    return resolutionOf(*found);
}

void DatabaseResolver::keepUsedOnly() {
    std::erase_if(queue_, [&](const DatabaseEntry& e) { return !usedIndex_.contains(e.id); });
    reindex();
}

std::string requestMailboxName(const ImportRequest& request, const DatabaseResolver& databases) {
    if (request.mailbox > 0)
        if (const DatabaseEntry* entry = databases.entry(static_cast<ULONG>(request.mailbox))) return entry->name;
    return request.targetName;
}

void DatabaseResolver::popFront() {
    if (queue_.empty()) return;
    queue_.erase(queue_.begin());
    reindex();
}

}  // namespace pm
