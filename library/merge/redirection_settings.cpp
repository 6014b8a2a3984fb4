#include "merge/redirection_settings.h"

#include <algorithm>
#include <map>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/identity_record.h"
#include "tables/records/config_tables.h"
#include "tables/rebuild/database_detection.h"

namespace pm {

namespace {

constexpr int kLockWaitSeconds = 5;

using Catalog = std::map<ULONG, ForumsRecord>;

Catalog readWholeCatalog() {
    Catalog catalog;
    Forums.set(FOR_ForumKey);
    while (Forums.next() == StorageStatus::Ok) catalog.emplace(FOR.ID, FOR);
    return catalog;
}

// The catalog opened and locked for as long as the scope lives.
class LockedCatalog {
public:
    LockedCatalog() {
        OP_CLOSE(OpenShared, {&Forums});
        locked_ = Forums.lock(kLockWaitSeconds) == StorageStatus::Ok;
        if (!locked_)
            message("Warning!", "The database list is in use by another user!\r\nTry again later.",
                    Icon::Exclamation);
    }
    ~LockedCatalog() {
        if (locked_) Forums.unlock();
        OP_CLOSE(ReleaseTable, {&Forums});
    }
    LockedCatalog(const LockedCatalog&) = delete;
    LockedCatalog& operator=(const LockedCatalog&) = delete;
    bool locked() const { return locked_; }

private:
    bool locked_ = false;
};

// Rewrites the redirection fields of catalog record `id`.
bool writeRedirection(ULONG id, ULONG now, ULONG before) {
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) != StorageStatus::Ok) return true;  // gone meanwhile
    if (FOR.REDIRNOW == now && FOR.REDIRBEFORE == before) return true;
    FOR.REDIRNOW = now;
    FOR.REDIRBEFORE = before;
    return UppDat(Forums, UpdateRecord, ReportOnly);
}

bool isNewsgroup(const Catalog& catalog, ULONG id) {
    auto it = catalog.find(id);
    return it != catalog.end() && it->second.TYPE == TypeNewsgroup;
}

// Where the newsgroup's messages belong: its target when the redirection is
// in force (the target exists, is a newsgroup database and is not
// redirected itself), else its own database.
ULONG destinationOf(const Catalog& catalog, const ForumsRecord& newsgroup) {
    const ULONG target = newsgroup.REDIRNOW;
    if (target == 0 || target == newsgroup.ID || !isNewsgroup(catalog, target)) return newsgroup.ID;
    return catalog.at(target).REDIRNOW == 0 ? target : newsgroup.ID;
}

}  // namespace

ULONG prepareRedirectionChanges() {
    LockedCatalog catalog;
    if (!catalog.locked()) return 0;
    for (const auto& [id, record] : readWholeCatalog())
        if (record.REDIRNOW != 0 && record.REDIRBEFORE == 0 && !writeRedirection(id, record.REDIRNOW, record.REDIRNOW))
            return 0;
    return nextDirectoryNumber();
}

bool setRedirection(ULONG newsgroup, ULONG target) {
    LockedCatalog locked;
    if (!locked.locked()) return false;
    const Catalog catalog = readWholeCatalog();
    auto it = catalog.find(newsgroup);
    if (it == catalog.end() || it->second.TYPE != TypeNewsgroup) {
        message("Illegal selection!", "Only newsgroup databases can be redirected!", Icon::Exclamation);
        return false;
    }
    if (target != 0) {
        auto t = catalog.find(target);
        if (t == catalog.end() || t->second.TYPE != TypeNewsgroup || t->second.TARGETNG != 1) {
            message("Illegal selection!", "Newsgroups can only be redirected to a target newsgroup database!",
                    Icon::Exclamation);
            return false;
        }
        if (target == newsgroup) {
            message("Illegal selection!", "A newsgroup database cannot be redirected to itself!", Icon::Exclamation);
            return false;
        }
    }
    return writeRedirection(newsgroup, target, it->second.REDIRBEFORE);
}

ULONG createTargetNewsgroupDatabase(const std::string& name) {
    OP_CLOSE(OpenShared, {&Forums, &Control});
    ULONG id = createDatabase(TypeNewsgroup, name);
    if (id != 0) {
        ForumsRecord record = FOR;
        record.TARGETNG = 1;
        Forums.clear();
        FOR.ID = id;
        bool ok = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
        if (ok) {
            FOR = record;
            ok = UppDat(Forums, UpdateRecord, ReportOnly);
        }
        if (ok) {
            // The identity record says it is a target, for a rebuild.
            DatabaseDirectoryScope scope("F" + std::to_string(record.DIRNUMBER));
            ok = UpdREF();
        }
        if (!ok) id = 0;
    }
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    return id;
}

std::vector<RedirectionJob> buildRedirectionJobs(bool& ok) {
    std::vector<RedirectionJob> jobs;
    LockedCatalog locked;
    ok = locked.locked();
    if (!ok) return jobs;
    Catalog catalog = readWholeCatalog();
    for (auto& [id, record] : catalog) {
        ULONG now = record.REDIRNOW, before = record.REDIRBEFORE;
        if (before != 0 && (catalog.count(before) == 0 || catalog.at(before).NODIR != 0)) before = 0;
        if (now != 0 && catalog.count(now) == 0) now = 0;
        if (now == record.REDIRNOW && before == record.REDIRBEFORE) continue;
        if (!writeRedirection(id, now, before)) {
            ok = false;
            return jobs;
        }
        record.REDIRNOW = now;
        record.REDIRBEFORE = before;
    }
    for (const auto& [id, newsgroup] : catalog) {
        if (newsgroup.TYPE != TypeNewsgroup || (newsgroup.REDIRNOW == 0 && newsgroup.REDIRBEFORE == 0)) continue;
        const ULONG destination = destinationOf(catalog, newsgroup);
        std::vector<ULONG> places;
        for (ULONG place : {id, newsgroup.REDIRBEFORE, newsgroup.REDIRNOW}) {
            if (place == 0 || place == destination || !isNewsgroup(catalog, place) || catalog.at(place).NODIR != 0 ||
                std::find(places.begin(), places.end(), place) != places.end())
                continue;
            places.push_back(place);
        }
        for (ULONG place : places) {
            RedirectionJob job;
            job.newsgroup = id;
            job.source = place;
            job.target = destination;
            job.kind = place == id ? NewlyRedirected : destination == id ? RedirectionRemoved : TargetChanged;
            job.selection = place == id ? MessageSelection::all() : MessageSelection::ofSection(id);
            job.newsgroupName = newsgroup.DESCRIPTION.str();
            job.sourceName = catalog.at(place).DESCRIPTION.str();
            job.targetName = catalog.at(destination).DESCRIPTION.str();
            jobs.push_back(std::move(job));
        }
    }
    // A database moved as a whole leaves behind the sections of the
    // newsgroups that have a job of their own out of it.
    for (RedirectionJob& job : jobs) {
        if (job.kind != NewlyRedirected) continue;
        std::set<ULONG> others;
        for (const RedirectionJob& other : jobs)
            if (other.source == job.source && other.newsgroup != job.newsgroup) others.insert(other.newsgroup);
        if (!others.empty()) job.selection = MessageSelection::allBut(std::move(others));
    }
    return jobs;
}

bool settleRedirections(const std::vector<ULONG>& unsettled) {
    LockedCatalog locked;
    if (!locked.locked()) return false;
    const Catalog catalog = readWholeCatalog();
    for (const auto& [id, record] : catalog) {
        if (record.TYPE != TypeNewsgroup || (record.REDIRNOW == 0 && record.REDIRBEFORE == 0)) continue;
        if (std::find(unsettled.begin(), unsettled.end(), id) != unsettled.end()) continue;
        const ULONG destination = destinationOf(catalog, record);
        if (!writeRedirection(id, record.REDIRNOW, destination == id ? 0 : destination)) return false;
    }
    return true;
}

}  // namespace pm
