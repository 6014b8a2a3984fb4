#include "maintenance/person_edits.h"

#include <cstring>

#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "import/addresses/cis_address.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/message_removal.h"
#include "maintenance/person_merge.h"
#include "tables/access/record_services.h"
#include "tables/catalog/identity_record.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

bool write(Table& table, int operation) { return UppDat(table, operation, RollBackAndReport); }

bool readPerson(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    return Person.get(PER_PersonKey) == StorageStatus::Ok;
}

bool ownerRefused(ULONG id) {
    if (Mem.ForumType != TypeMail || id != Mem.PersonID) return false;
    message("Warning!", "You are not allowed to change the mail default address!", Icon::Exclamation);
    return true;
}

PersonEdit failed() {
    if (inTransaction()) rollbackTransaction();
    return PersonEdit::Failed;
}

}  // namespace

std::string displayName(const PersonRecord& p) {
    const std::string last(trim(p.LASTNAME.view())), first(trim(p.FIRSTNAME.view()));
    if (!last.empty() && !first.empty()) return last + ", " + first;
    return last.empty() ? first : last;
}

PersonEdit renamePerson(const PersonRecord& form, const std::string& lastName, const std::string& firstName) {
    const PersonRecord kept = form;  // the form's copy may be the buffer itself
    const TableList tables = Mem.ForumType == TypeMail ? TableList{&Mail, &Person, &Forums}
                                                       : TableList{&MsgNmbr, &Person};
    if (!beginMaintenanceTransaction(tables)) return PersonEdit::Failed;
    if (!readPerson(kept.PERSONID)) return failed();
    if (std::memcmp(&PER, &kept, sizeof PER) != 0) {
        rollbackTransaction();
        message("Warning!", "The record has just been changed by another user!\r\nTry again!", Icon::Exclamation);
        return PersonEdit::ChangedMeanwhile;
    }
    PER.LASTNAME = lastName;
    PER.FIRSTNAME = firstName;
    const PersonRecord renamed = PER;
    if (!write(Person, UpdateRecord)) return failed();
    if (Mem.ForumType == TypeMail && kept.PERSONID == Mem.PersonID) {
        Forums.clear();
        FOR.ID = Mem.ForumNumber;
        if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) {
            const std::string description =
                std::string(trim(renamed.FIRSTNAME.view())) + " " + std::string(trim(renamed.LASTNAME.view()));
            FOR.DESCRIPTION = trim(description);
            if (!write(Forums, UpdateRecord)) return failed();
            Mem.Description = std::string(trim(description));
            if (!UpdREF()) return failed();
        }
    }
    if (!renewShortNames(Mem.ForumType, kept.PERSONID, kept.LASTNAME, renamed.LASTNAME)) return failed();
    if (!commitMaintenanceTransaction()) return PersonEdit::Failed;
    return PersonEdit::Saved;
}

std::vector<std::string> aliasesOf(ULONG id) {
    std::vector<std::string> out;
    PLINK.clear();
    PLI.PERSONID = id;
    PLINK.setAt(PLI_PersonKey);
    while (PLINK.next() == StorageStatus::Ok && PLI.PERSONID == id) out.emplace_back(trim(PLI.PERSONSTRING.view()));
    return out;
}

PersonEdit swapAlias(ULONG id, const std::string& alias) {
    if (ownerRefused(id)) return PersonEdit::Refused;
    if (!beginMaintenanceTransaction({&Person, &PLINK})) return PersonEdit::Failed;
    if (!readPerson(id)) return failed();
    const std::string current(trim(PER.PERSONSTRING.view()));
    if (equalsCaseless(current, trim(alias))) {
        rollbackTransaction();
        return PersonEdit::Saved;
    }
    PLINK.clear();
    PLI.PERSONSTRING = alias;
    if (PLINK.get(PLI_StringKey) != StorageStatus::Ok || PLI.PERSONID != id) return failed();
    // The alias's address: the string is the name in upper case, a blank and the address.
    std::string address, name;
    FindCISAdress(Mem.ForumType == TypeMail ? CisMailText : CisForumText, alias, address, name);
    PLI.PERSONSTRING = current;
    if (!write(PLINK, UpdateRecord)) return failed();
    if (!readPerson(id)) return failed();
    PER.PERSONSTRING = alias;
    PER.ADDRESS = address;
    if (!write(Person, UpdateRecord)) return failed();
    if (!commitMaintenanceTransaction()) return PersonEdit::Failed;
    return PersonEdit::Saved;
}

}  // namespace pm
