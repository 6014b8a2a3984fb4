#include "frame/engine_wiring.h"

#include "import/driver/format_table.h"
#include "import/store/person_recount.h"
#include "import/windows/mail_database_form.h"
#include "tables/catalog/mail_database.h"
#include "tables/services/library_services.h"

namespace pm::frame {

void connectLibraryServices() {
    MailDatabaseForm::setCreator(&createMailDatabase);
    // Service 213: whether the person in the Person buffer has forum or
    // newsgroup messages (the counts land in the buffer).
    registerService(ServicePersonHasMessages, [] { return static_cast<LONG>(personMessageRecount()); });
}

std::vector<FileTypeChoice> importFileTypes() {
    std::vector<FileTypeChoice> types;
    for (const FormatEntry* f : formatList()) types.push_back({f->number, f->name});
    return types;
}

}  // namespace pm::frame
