#include "tables/catalog/forum_lookup.h"

#include "common/fixed_text.h"
#include "common/text.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

bool qualifies(int mode, BYTE type) { return mode != 1 || FOR.TYPE == type; }

// Next catalog record in name order that the mode allows.
bool nextQualifying(int mode, BYTE type) {
    while (Forums.next() == StorageStatus::Ok)
        if (qualifies(mode, type)) return true;
    return false;
}

}  // namespace

ForumLookup ForumLup(const std::string& typedIn, int mode, BYTE type, bool showList) {
    ForumLookup result;
    const std::string typed(trimRight(typedIn));
    result.listStart = typed;
    if (typed.empty()) {
        result.outcome = ForumLookup::ShowList;
        return result;
    }
    // Only the installation's store is read: the open and the seeks share
    // one read transaction.
    const ReadScope reads;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.DESCRIPTION = typed;
    Forums.setAt(FOR_AlphaKey);
    if (nextQualifying(mode, type) && startsWithCaseless(FOR.DESCRIPTION.view(), typed)) {
        result.id = FOR.ID;
        result.name = FOR.DESCRIPTION.str();
        result.type = FOR.TYPE;
        result.listStart = result.name;
        result.record = FOR;
        // A name typed in full wins over the longer names it begins (it
        // sorts before them): "Alpha" is Alpha even while "Alphabet" exists.
        const bool exact = equalsCaseless(result.name, typed);
        if (!exact && nextQualifying(mode, type) && startsWithCaseless(FOR.DESCRIPTION.view(), typed)) {
            result.ambiguous = true;
            result.outcome = ForumLookup::ShowList;
        } else {
            result.outcome = showList ? ForumLookup::ShowList : ForumLookup::Chosen;
        }
    }
    OP_CLOSE(ReleaseTable, {&Forums});
    return result;
}

}  // namespace pm
