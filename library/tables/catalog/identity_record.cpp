#include "tables/catalog/identity_record.h"

#include <cstring>

#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// The identity record as it should be, built from the FOR buffer.
REFRecord identityFromCatalog() {
    REFRecord wanted;
    REFFile.clear();
    REF.TYPE = FOR.TYPE;
    REF.DESCRIPTION = FOR.DESCRIPTION.view();
    REF.TARGETNG = FOR.TARGETNG;
    if (FOR.TYPE == TypeMail) {
        REF.PERSONID = static_cast<LONG>(FOR.PERSONID);
        REF.MAILADDRESS = FOR.MAILADDRESS.view();
        for (int i = 0; i < 10; ++i) {
            if (FOR.ALTADDRESS[i].empty()) break;
            REF.ALTADDRESS[i] = FOR.ALTADDRESS[i].view();
        }
    }
    std::memcpy(&wanted, &REF, sizeof wanted);
    return wanted;
}

}  // namespace

bool UpdREF() {
    OP_CLOSE(OpenShared, {&REFFile});
    const REFRecord wanted = identityFromCatalog();
    bool ok = true;
    REFFile.setPhysical();
    if (REFFile.next() == StorageStatus::Ok) {
        if (std::memcmp(&REF, &wanted, sizeof wanted) != 0) {
            std::memcpy(&REF, &wanted, sizeof wanted);
            ok = UppDat(REFFile, UpdateRecord, ReportOnly);
        }
    } else {
        std::memcpy(&REF, &wanted, sizeof wanted);
        ok = UppDat(REFFile, AddRecord, ReportOnly);
    }
    OP_CLOSE(ReleaseTable, {&REFFile});
    return ok;
}

}  // namespace pm
