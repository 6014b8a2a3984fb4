#include "tables/catalog/mail_database.h"

#include <filesystem>

#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/identity_record.h"
#include "tables/catalog/mail_address.h"
#include "tables/persons/person_store.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

constexpr const char* RolledBack = "The last transaction is rolled back.";

// Removes the directory this creation made, with the store opened in it.
void removeNewDirectory(const std::string& directory) {
    releaseDirectory(directory);
    std::error_code ec;
    std::filesystem::remove_all(directory, ec);
}

// The writes of the transaction; false after reporting (rolled back).
bool writeMailDatabase(const std::string& name, const std::string& address,
                       const std::vector<std::string>& altAddresses) {
    if (!prepareCatalogRecord(TypeMail, name)) {
        rollbackTransaction();
        message(Forums.displayName(), RolledBack, Icon::Exclamation);
        return false;
    }
    // AddPers leaves FOR alone: the prepared record waits there.
    if (AddPers(name, address) != 0) return false;
    FOR.PERSONID = PER.PERSONID;
    FOR.MAILADDRESS = address;
    for (std::size_t i = 0; i < AltAddressCount; ++i)
        FOR.ALTADDRESS[i] = i < altAddresses.size() ? normalizeMailAddress(altAddresses[i]) : std::string();
    FOR.MSGCOUNT = 0;
    FOR.DUMMY = 0;
    if (!UppDat(Forums, AddRecord, RollBackAndReport)) return false;
    if (!UpdREF()) {
        rollbackTransaction();
        message(REFFile.displayName(), RolledBack, Icon::Exclamation);
        return false;
    }
    StorageError error;
    if (commitTransaction(&error) != StorageStatus::Ok) {
        message(Forums.displayName(), error.text + "\r\n" + RolledBack, Icon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace

ULONG createMailDatabase(const std::string& name, const std::string& defaultAddress,
                         const std::vector<std::string>& altAddresses) {
    if (useCount(Person) > 0 || useCount(REFFile) > 0 || useCount(PLINK) > 0) {
        message("Mail Database Setup", "Close the windows of the active database first.", Icon::Exclamation);
        return 0;
    }
    TableScope catalog({&Forums, &Control});
    const ULONG dirNumber = nextDirectoryNumber();
    const std::string dirnamn = "F" + std::to_string(dirNumber);
    const std::string directory = Mem.FileDir + "/" + dirnamn;
    std::error_code ec;
    const bool existed = std::filesystem::exists(directory, ec);
    ExistPath(CreatePathArgument, 0, {}, directory, true);

    const std::string savedDirnamn = Mem.Dirnamn;
    Mem.Dirnamn = dirnamn;
    TableScope databaseTables({&Person, &PLINK, &REFFile});
    bool ok = beginTransactionChecked({&Forums, &Control, &Person, &PLINK, &REFFile}) &&
              writeMailDatabase(name, normalizeMailAddress(defaultAddress), altAddresses);
    const ULONG id = ok ? FOR.ID : 0;
    databaseTables.release();
    catalog.release();
    Mem.Dirnamn = savedDirnamn;
    if (!ok && !existed) removeNewDirectory(directory);
    return id;
}

}  // namespace pm
