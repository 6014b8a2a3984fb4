#include "tables/persons/person_store.h"

#include "common/fixed_text.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/identifiers/next_number.h"
#include "tables/persons/parse_name.h"
#include "tables/records/message_tables.h"

namespace pm {

std::string personString(std::string_view name, std::string_view address) {
    std::string text = toUpper(std::string(trimRight(name)) + ' ' + std::string(trimRight(address)));
    text.resize(utf8FitLength(text, PersonStringWidth));
    return std::string(trimRight(text));
}

namespace {

bool addPerson(const std::string& string, std::string_view name, std::string_view address) {
    const ULONG id = NextNr();
    if (id == 0) {
        message(Person.displayName(), PersonIdFailedText, Icon::Exclamation);
        rollbackTransaction();
        return false;
    }
    std::string last, first;
    ParseName(name, last, first);
    Person.clear();
    PER.PERSONID = id;
    PER.PERSONSTRING = string;
    PER.ADDRESS = trimRight(address);
    PER.LASTNAME = last;
    PER.FIRSTNAME = first;
    return storeWrite(Person, AddRecord);
}

}  // namespace

BYTE AddPers(std::string_view name, std::string_view address) {
    const std::string string = personString(name, address);
    Person.clear();
    PER.PERSONSTRING = string;
    if (Person.get(PER_StringKey) == StorageStatus::Ok) return 0;

    PLINK.clear();
    PLI.PERSONSTRING = string;
    if (PLINK.isOpen() && PLINK.get(PLI_StringKey) == StorageStatus::Ok) {
        Person.clear();
        PER.PERSONID = PLI.PERSONID;
        if (Person.get(PER_PersonKey) == StorageStatus::Ok) return 0;
        // The alias leads nowhere: the person gets a record again and the
        // alias goes (it would otherwise shadow nothing forever).
        if (!addPerson(string, name, address)) return 1;
        return storeWrite(PLINK, DeleteRecordOp) ? 0 : 1;
    }
    return addPerson(string, name, address) ? 0 : 1;
}

}  // namespace pm
