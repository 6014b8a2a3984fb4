#include "cli/commands.h"

namespace pm::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {.name = "init",
         .run = commandInit,
         .usage = "init                          create the installation (CFG, TEMP, settings)"},
        {.name = "db",
         .run = commandDb,
         .usage = "db list                       catalog as TSV: id, name, type, dir, msgcount, noimport\n"
                  "  db create forum|newsgroup NAME\n"
                  "  db create newsgroup NAME --target   a target database for redirected newsgroups\n"
                  "  db create mail NAME --address ADDR [--alt ADDR]...   (up to 10 --alt)"},
        {.name = "addresses",
         .run = commandAddresses,
         .usage = "addresses DB 1|2|3|4 [FILE]   write the persons of DB as an address book into the temporary\n"
                  "                                directory (FILE default Address.Txt); prints its path"},
        {.name = "import",
         .run = commandImport,
         .usage = "import --format NAME [--mailbox DB] [--target DB] [--reimport]\n"
                  "         [--method files|dir|tree] [--mask MASKS] PATH...\n"
                  "                                import messages; prints the imported and skipped counts\n"
                  "                                (after Ctrl-C: those of the messages stored so far)\n"
                  "  import --format \"Outlook Mail\" --mailbox DB [--folder NAME]... FILE.pst\n"
                  "                                the mail of Outlook's folder file (every mail folder unless\n"
                  "                                --folder names some; see outlook-folders)"},
        {.name = "outlook-folders",
         .run = commandOutlookFolders,
         .usage = "outlook-folders FILE          mail folders of an Outlook folder file (.pst/.ost) as TSV:\n"
                  "                                name, items, path"},
        {.name = "index",
         .run = commandIndex,
         .usage = "index [DB] [--full]           word-index DB (partial unless --full or a full run is needed);\n"
                  "                                without DB every database whose word list needs updating;\n"
                  "                                replacing an existing index with --full needs --yes;\n"
                  "                                after Ctrl-C the next run goes on where this one stopped"},
        {.name = "search",
         .run = commandSearch,
         .usage = "search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--whole] [--phrase] [--all] "
                  "WORD...\n"
                  "                                matching message numbers, newest first, one a line (exit 1: none);\n"
                  "                                every WORD must occur (--any: one is enough); ? and * are wildcards;\n"
                  "                                words match whole (--prefix: at the start, --whole: at the end);\n"
                  "                                a search pauses every block of hits unless --all"},
        {.name = "show",
         .run = commandShow,
         .usage = "show DB MSGNUMBER [--json]    header and text of one message"},
        {.name = "list",
         .run = commandList,
         .usage = "list DB [--by VIEW] [--thread N|--section N|--person ID|--topic ID|--word WORD]\n"
                  "        [--status normal|keep|delete] [--limit N] [--json]\n"
                  "                                the messages of a browse view in its order, one a line: number,\n"
                  "                                date, time, sender, receiver, subject, status (the one the browse\n"
                  "                                colours by: message, then thread, section or partner, database);\n"
                  "                                VIEW: number|thread|section|from|to|date|word|topic|search\n"
                  "                                (mail: date|subject|partner|from|to|word|topic|search)"},
        {.name = "thread",
         .run = commandThread,
         .usage = "thread DB MSGNUMBER [--json]  the message's thread as the thread tree shows it, indented by depth"},
        {.name = "mark",
         .run = commandMark,
         .usage = "mark DB MSGNUMBER... --normal|--keep|--delete [--thread|--section|--partner|--database]\n"
                  "                                set the status of the messages (or of their threads, sections,\n"
                  "                                mail partners, or of the database)"},
        {.name = "words",
         .run = commandWords,
         .usage = "words DB [--top N]            indexed words with their message counts (TSV)"},
        {.name = "config",
         .run = commandConfig,
         .usage = "config get ITEM               print a settings item (2-19, 22-63; 17/18/44 directories)\n"
                  "  config set ITEM VALUE         store a settings item (fonts: NAME,SIZE)"},
        {.name = "nextid-check",
         .run = commandNextIdCheck,
         .usage = "nextid-check                  set the identifier counter above every identifier in use"},
        {.name = "rebuild",
         .run = commandRebuild,
         .usage = "rebuild [--report FILE]       rebuild the database list from the database directories, then the\n"
                  "                                Next ID check; prints (TSV) what was corrected, dropped, attached\n"
                  "                                or not recognized, and the next id; --report copies TestDB.Txt;\n"
                  "                                a catalogued directory that is missing is dropped only with --yes"},
        {.name = "merge",
         .run = commandMerge,
         .usage = "merge SOURCE TARGET           copy every message of SOURCE into TARGET (both forum, mail or\n"
                  "                                newsgroup); prints converted, merged and skipped; a second run\n"
                  "                                after an interruption merges the rest"},
        {.name = "redirect",
         .run = commandRedirect,
         .usage = "redirect                      newsgroup redirections as TSV: newsgroup, target now, before\n"
                  "  redirect NEWSGROUP TARGET|--none\n"
                  "                                redirect a newsgroup database's import to a target database\n"
                  "                                (see db create newsgroup NAME --target), or stop doing so\n"
                  "  redirect --apply              move the stored messages where the redirections say, then\n"
                  "                                purge them where they were; prints moved, deleted, not moved"},
    };
    return table;
}

}  // namespace pm::cli
