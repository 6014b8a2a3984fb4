#include "cli/commands.h"

namespace pm::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"init", commandInit, "init                          create the installation (CFG, TEMP, settings)"},
        {"db", commandDb,
         "db list                       catalog as TSV: id, name, type, dir, msgcount, noimport\n"
         "  db create forum|newsgroup NAME\n"
         "  db create mail NAME --address ADDR [--alt ADDR]...   (up to 10 --alt)"},
        {"addresses", commandAddresses,
         "addresses DB 1|2|3|4 [FILE]   write the persons of DB as an address book into the temporary\n"
         "                                directory (FILE default Address.Txt); prints its path"},
        {"import", commandImport,
         "import --format NAME [--mailbox DB] [--target DB] [--reimport]\n"
         "         [--method files|dir|tree] [--mask MASKS] PATH...\n"
         "                                import messages; prints the imported and skipped counts"},
    };
    return table;
}

}  // namespace pm::cli
