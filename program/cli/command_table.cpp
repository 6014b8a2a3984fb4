#include "cli/commands.h"

namespace pm::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"init", commandInit, "init                          create the installation (CFG, TEMP, settings)"},
        {"db", commandDb,
         "db list                       catalog as TSV: id, name, type, dir, msgcount, noimport\n"
         "  db create forum|newsgroup NAME"},
    };
    return table;
}

}  // namespace pm::cli
