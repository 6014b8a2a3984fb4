#include "tables/catalog/catalog_list.h"

#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

CatalogEntry catalogEntryFrom_FOR() {
    CatalogEntry e;
    e.id = FOR.ID;
    e.name = FOR.DESCRIPTION.str();
    e.type = FOR.TYPE;
    e.dirNumber = FOR.DIRNUMBER;
    e.msgCount = FOR.MSGCOUNT;
    e.countFlag = FOR.COUNTFLAG;
    e.noImport = FOR.NOIMPORT;
    e.status = FOR.DUMMY;
    e.noDir = FOR.NODIR;
    e.indexType = FOR.INDEXTYPE;
    e.mailAddress = FOR.MAILADDRESS.str();
    e.personId = FOR.PERSONID;
    e.redirectNow = FOR.REDIRNOW;
    e.redirectBefore = FOR.REDIRBEFORE;
    e.targetNewsgroup = FOR.TARGETNG;
    for (const auto& alt : FOR.ALTADDRESS)
        if (!alt.empty()) e.altAddresses.push_back(alt.str());
    return e;
}

std::vector<CatalogEntry> readCatalog(CatalogOrder order, BYTE type) {
    std::vector<CatalogEntry> entries;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.set(order == CatalogOrder::ByName ? FOR_AlphaKey : FOR_DirKey);
    while (Forums.next() == StorageStatus::Ok)
        if (type == 0 || FOR.TYPE == type) entries.push_back(catalogEntryFrom_FOR());
    OP_CLOSE(ReleaseTable, {&Forums});
    return entries;
}

bool readCatalogEntry(ULONG id, CatalogEntry& entry) {
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.ID = id;
    const bool found = Forums.get(FOR_ForumKey) == StorageStatus::Ok;
    if (found) entry = catalogEntryFrom_FOR();
    OP_CLOSE(ReleaseTable, {&Forums});
    return found;
}

long catalogCount() {
    OP_CLOSE(OpenShared, {&Forums});
    const long n = static_cast<long>(Forums.records());
    OP_CLOSE(ReleaseTable, {&Forums});
    return n;
}

long mailDatabaseCount() {
    long n = 0;
    OP_CLOSE(OpenShared, {&Forums});
    Forums.clear();
    FOR.TYPE = TypeMail;
    Forums.setAt(FOR_TypeKey);
    while (Forums.next() == StorageStatus::Ok && FOR.TYPE == TypeMail) ++n;
    OP_CLOSE(ReleaseTable, {&Forums});
    return n;
}

bool isUnknownDatabaseName(const std::string& name, ULONG dirNumber) {
    return name == "Unknown:F" + std::to_string(dirNumber);
}

std::string databaseTypeName(BYTE type) {
    switch (type) {
        case TypeForum: return "Forum";
        case TypeMail: return "Mail";
        case TypeNewsgroup: return "Newsgroup";
        default: return "";
    }
}

}  // namespace pm
