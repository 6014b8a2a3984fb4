#include "cli/commands.h"

namespace pm::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"init", commandInit, "init                          create the installation (CFG, TEMP, settings)"},
        {"db", commandDb,
         "db list                       catalog as TSV: id, name, type, dir, msgcount, noimport\n"
         "  db create forum|newsgroup NAME"},
        {"config", commandConfig,
         "config get ITEM               print a settings item (2-19, 22-63; 17/18/44 directories)\n"
         "  config set ITEM VALUE         store a settings item (fonts: NAME,SIZE)"},
        {"nextid-check", commandNextIdCheck,
         "nextid-check                  set the identifier counter above every identifier in use"},
    };
    return table;
}

}  // namespace pm::cli
