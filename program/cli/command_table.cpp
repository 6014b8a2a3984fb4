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
        {"index", commandIndex,
         "index [DB] [--full]           word-index DB (partial unless --full or a full run is needed);\n"
         "                                without DB every database whose word list needs updating;\n"
         "                                replacing an existing index with --full needs --yes"},
        {"search", commandSearch,
         "search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--whole] [--phrase] [--all] WORD...\n"
         "                                matching message numbers, newest first, one a line (exit 1: none);\n"
         "                                every WORD must occur (--any: one is enough); ? and * are wildcards;\n"
         "                                words match whole (--prefix: at the start, --whole: at the end);\n"
         "                                a search pauses every block of hits unless --all"},
        {"show", commandShow, "show DB MSGNUMBER [--json]    header and text of one message"},
        {"list", commandList,
         "list DB [--by VIEW] [--thread N|--section N|--person ID|--topic ID|--word WORD]\n"
         "        [--status normal|keep|delete] [--limit N] [--json]\n"
         "                                the messages of a browse view in its order, one a line: number,\n"
         "                                date, time, sender, receiver, subject, status (the one the browse\n"
         "                                colours by: message, then thread, section or partner, database);\n"
         "                                VIEW: number|thread|section|from|to|date|word|topic|search\n"
         "                                (mail: date|subject|partner|from|to|word|topic|search)"},
        {"thread", commandThread,
         "thread DB MSGNUMBER [--json]  the message's thread as the thread tree shows it, indented by depth"},
        {"mark", commandMark,
         "mark DB MSGNUMBER... --normal|--keep|--delete [--thread|--section|--partner|--database]\n"
         "                                set the status of the messages (or of their threads, sections,\n"
         "                                mail partners, or of the database)"},
        {"words", commandWords, "words DB [--top N]            indexed words with their message counts (TSV)"},
        {"config", commandConfig,
         "config get ITEM               print a settings item (2-19, 22-63; 17/18/44 directories)\n"
         "  config set ITEM VALUE         store a settings item (fonts: NAME,SIZE)"},
        {"nextid-check", commandNextIdCheck,
         "nextid-check                  set the identifier counter above every identifier in use"},
    };
    return table;
}

}  // namespace pm::cli
