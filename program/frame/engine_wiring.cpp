#include "frame/engine_wiring.h"

#include "import/windows/mail_database_form.h"

#if __has_include("import/store/mail_database.h")
#include "import/store/mail_database.h"
#define POSTMOOR_HAS_MAIL_DATABASE_CREATION 1
#endif

#if __has_include("import/driver/format_table.h")
#include "import/driver/format_table.h"
#define POSTMOOR_HAS_IMPORT_FORMATS 1
#endif

namespace pm::frame {

void connectLibraryServices() {
#ifdef POSTMOOR_HAS_MAIL_DATABASE_CREATION
    MailDatabaseForm::setCreator(&createMailDatabase);
#endif
}

std::vector<FileTypeChoice> importFileTypes() {
    std::vector<FileTypeChoice> types;
#ifdef POSTMOOR_HAS_IMPORT_FORMATS
    for (const FormatEntry* f : formatList()) types.push_back({f->number, f->name});
#endif
    return types;
}

}  // namespace pm::frame
