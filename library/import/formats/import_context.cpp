#include "import/formats/import_context.h"

#include "import/addresses/cis_address.h"
#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/internet/address_split.h"

namespace pm::formats {

ImportHeaderContext::ImportHeaderContext(const ImportRequest& request, const DatabaseResolver& databases)
    : request_(request), databases_(databases) {
    ownerName = std::string(request.mailboxOwner.mailboxName());
    ownerAddress = std::string(request.mailboxOwner.defaultAddress());
    cisSplit = splitCompuServeText;
}

bool ImportHeaderContext::databaseExists(std::string_view name) {
    return databases_.resolveByName(std::string(name)).found();
}

bool ImportHeaderContext::isOwnerAddress(std::string_view address) {
    return !address.empty() && request_.mailboxOwner.isForeign(address) == 0;
}

void splitCompuServeText(std::string_view text, std::string& address, std::string& name) {
    FindCISAdress(CisForumText, text, address, name);
    if (!address.empty() || text.find('@') == std::string_view::npos) return;
    inet::AddressParts parts = inet::splitAddress(text);
    const std::size_t at = parts.address.find('@');
    const std::size_t colon = parts.address.rfind(':', at);
    if (colon != std::string::npos) parts.address.erase(0, colon + 1);
    address = parts.address;
    name = parts.name;
}

}  // namespace pm::formats
