// The parties of a mail merged from another mail database.
#include "import/store/message_store.h"
#include "tables/records/message_tables.h"

namespace pm {

bool MessageStore::resolveMergedMailPeople(const WorkRecord& record, People& people) {
    const ULONG owner = mailbox_.personId();
    auto party = [&](std::string_view name, std::string_view address, Party& p) {
        if (owner != 0 && !trimRight(address).empty() && mailbox_.isForeign(address) == 0) {
            Person.clear();
            PER.PERSONID = owner;
            if (Person.get(PER_PersonKey) == StorageStatus::Ok) {
                p.id = owner;
                p.lastName = PER.LASTNAME;
                p.address = PER.ADDRESS;
                return true;
            }
        }
        return resolveParty(name, address, p);
    };
    // The receiver first, as the mailbox sees a mail.
    if (!party(record.R_NAME.view(), record.R_CISADRESS.view(), people.receiver)) return false;
    if (!party(record.S_NAME.view(), record.S_CISADRESS.view(), people.sender)) return false;
    people.partner = record.MAILTYPE == MailReceived ? people.sender : people.receiver;
    return true;
}

}  // namespace pm
