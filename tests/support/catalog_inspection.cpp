#include "support/catalog_inspection.h"

#include <algorithm>

#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm::test {

CatalogEntry catalogEntry(const std::string& name) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.DESCRIPTION = name;
    CatalogEntry entry;
    if (Forums.get(FOR_AlphaKey) == StorageStatus::Ok) entry = {FOR.ID, FOR.TYPE};
    OP_CLOSE(ReleaseTable, {2});
    return entry;
}

std::vector<std::string> catalogNames() {
    std::vector<std::string> names;
    OP_CLOSE(OpenShared, {2});
    Forums.setPhysical();
    while (Forums.next() == StorageStatus::Ok) names.push_back(FOR.DESCRIPTION.str());
    OP_CLOSE(ReleaseTable, {2});
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace pm::test
