#include "maintenance/person_merge.h"

#include <climits>

#include "common/text.h"
#include "maintenance/message_removal.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

template <std::size_t N>
FixedText<N> cut(const FixedText<25>& lastName) {
    FixedText<N> alpha;
    alpha = lastName.view();
    return alpha;
}

// Points the id and short name fields at `t` when they name a person of
// `targets`; true when something changed.
template <std::size_t N>
bool repoint(const PersonTargets& targets, ULONG& id, FixedText<N>& alpha) {
    auto it = targets.find(id);
    if (it == targets.end()) return false;
    const FixedText<N> renewed = cut<N>(it->second.lastName);
    if (id == it->second.id && alpha.view() == renewed.view()) return false;
    id = it->second.id;
    alpha = renewed;
    return true;
}

}  // namespace

PersonTarget targetOf(const PersonRecord& person) { return {person.PERSONID, person.LASTNAME}; }

bool HeaderRepointing::slice(const PersonTargets& targets, int quota, bool& failed, long long& rewritten) {
    failed = false;
    Table& headers = type_ == TypeMail ? Mail : MsgNmbr;
    headers.setPhysicalAt(last_ + 1);
    for (int n = 0; n < quota * 5; ++n) {
        const StorageStatus st = headers.next();
        if (st == StorageStatus::NotFound) return true;
        if (st != StorageStatus::Ok) {
            failed = !readFailed(headers);
            return true;
        }
        last_ = headers.position();
        bool changed = false;
        if (type_ == TypeMail) {
            changed |= repoint(targets, MAI.FROMID, MAI.FROMALPHA);
            changed |= repoint(targets, MAI.TOID, MAI.TOALPHA);
            changed |= repoint(targets, MAI.PAIRID, MAI.PAIRALPHA);
        } else {
            changed |= repoint(targets, MSG.FROMID, MSG.FROMALPHA);
            changed |= repoint(targets, MSG.TOID, MSG.TOALPHA);
        }
        if (!changed) continue;
        if (!write(headers, UpdateRecord)) {
            failed = true;
            return true;
        }
        ++rewritten;
    }
    return false;
}

bool retireMergedPerson(ULONG merged, ULONG survivor) {
    Person.clear();
    PER.PERSONID = merged;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return true;  // gone already
    const FixedText<100> string = PER.PERSONSTRING;
    if (!write(Person, DeleteRecordOp)) return false;
    // Its aliases, then its own string, lead to the survivor from now on.
    for (;;) {
        PLINK.clear();
        PLI.PERSONID = merged;
        PLINK.setAt(PLI_PersonKey);
        const StorageStatus st = PLINK.next();
        if (st == StorageStatus::NotFound || (st == StorageStatus::Ok && PLI.PERSONID != merged)) break;
        if (st != StorageStatus::Ok) return readFailed(PLINK);
        PLI.PERSONID = survivor;
        if (!write(PLINK, UpdateRecord)) return false;
    }
    if (trim(string.view()).empty()) return true;
    PLINK.clear();
    PLI.PERSONSTRING = string;
    if (PLINK.get(PLI_StringKey) == StorageStatus::Ok) return true;
    PLINK.clear();
    PLI.PERSONSTRING = string;
    PLI.PERSONID = survivor;
    return write(PLINK, AddRecord);
}

bool renewShortNames(BYTE type, ULONG id, const FixedText<25>& oldLast, const FixedText<25>& newLast) {
    // Along each key from the old short name while the id matches; each
    // record rewritten leaves the range, so every read starts it again.
    auto walk = [&](Table& table, const KeyDef& key, auto fill, auto matches, auto renew) {
        for (;;) {
            table.clear();
            fill();
            table.setAt(key);
            const StorageStatus st = table.next();
            if (st == StorageStatus::NotFound || (st == StorageStatus::Ok && !matches())) return true;
            if (st != StorageStatus::Ok) return readFailed(table);
            renew();
            if (!write(table, UpdateRecord)) return false;
        }
    };
    FixedText<10> oldAlpha, newAlpha;
    oldAlpha = oldLast.view();
    newAlpha = newLast.view();
    if (oldAlpha.view() == newAlpha.view()) return true;
    if (type != TypeMail) {
        return walk(MsgNmbr, MSG_FromKey, [&] { MSG.FROMALPHA = oldAlpha; MSG.FROMID = id; MSG.MSGNUMBER = UINT32_MAX; },
                    [&] { return MSG.FROMID == id && MSG.FROMALPHA.view() == oldAlpha.view(); },
                    [&] { MSG.FROMALPHA = newAlpha; }) &&
               walk(MsgNmbr, MSG_ToKey, [&] { MSG.TOALPHA = oldAlpha; MSG.TOID = id; MSG.MSGNUMBER = UINT32_MAX; },
                    [&] { return MSG.TOID == id && MSG.TOALPHA.view() == oldAlpha.view(); },
                    [&] { MSG.TOALPHA = newAlpha; });
    }
    FixedText<25> oldPair, newPair;
    oldPair = oldLast.view();
    newPair = newLast.view();
    auto top = [] { MAI.DATE = INT32_MAX; MAI.TIME = INT32_MAX; MAI.MAILID = UINT32_MAX; };
    return walk(Mail, MAI_FromKey, [&] { MAI.FROMALPHA = oldAlpha; MAI.FROMID = id; top(); },
                [&] { return MAI.FROMID == id && MAI.FROMALPHA.view() == oldAlpha.view(); },
                [&] { MAI.FROMALPHA = newAlpha; }) &&
           walk(Mail, MAI_ToKey, [&] { MAI.TOALPHA = oldAlpha; MAI.TOID = id; top(); },
                [&] { return MAI.TOID == id && MAI.TOALPHA.view() == oldAlpha.view(); },
                [&] { MAI.TOALPHA = newAlpha; }) &&
           walk(Mail, MAI_PairKey, [&] { MAI.PAIRALPHA = oldPair; MAI.PAIRID = id; top(); },
                [&] { return MAI.PAIRID == id && MAI.PAIRALPHA.view() == oldPair.view(); },
                [&] { MAI.PAIRALPHA = newPair; });
}

ULONG chooseSurvivor(const std::vector<Suspect>& group, ULONG owner) {
    for (const Suspect& s : group)
        if (owner != 0 && s.id == owner) return owner;
    const Suspect* survivor = nullptr;
    for (const Suspect& s : group) {
        if (s.messages == 0) continue;
        if (!survivor || survivor->prefix.empty() || (!s.prefix.empty() && s.lastDate > survivor->lastDate))
            survivor = &s;
    }
    return survivor ? survivor->id : 0;
}

}  // namespace pm
