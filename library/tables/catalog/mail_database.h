#pragma once
// Creating a mail database: its directory, its owner as a person, the
// catalog record with the owner's addresses, and the identity record.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// Creates the mail database `name` owned by `defaultAddress` (with up to
// ten alternative addresses; more are ignored). The directory F<n> is
// created first; then, in one transaction over the catalog, Control,
// Person, PLINK and REF, the owner is added as a person (AddPers of the
// database name and the default address), and the catalog record (type
// mail, FOR.PERSONID = the owner, FOR.MAILADDRESS and FOR.ALTADDRESS in
// lower case, MSGCOUNT and DUMMY 0) and the identity record are written.
// Any failure rolls the whole transaction back ("The last transaction is
// rolled back."), removes the new directory and returns 0: no catalog
// record remains. Returns the new FOR:ID on success; the FOR buffer then
// holds the record. Mem.Dirnamn is left as it was. Person, PLINK and REF
// must not be open (they are opened on the new directory); when they are,
// nothing is created and 0 returned after a message.
ULONG createMailDatabase(const std::string& name, const std::string& defaultAddress,
                         const std::vector<std::string>& altAddresses);

}  // namespace pm
