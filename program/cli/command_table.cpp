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
         .usage = "search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--suffix] [--phrase] [--all]\n"
                  "        [--format numbers|summary|json] WORD...\n"
                  "                                matching messages, newest first (exit 1: none): their numbers one\n"
                  "                                a line, or number, date, sender, subject (summary, TSV), or JSON;\n"
                  "                                every WORD must occur (--any: one is enough); ? and * are wildcards;\n"
                  "                                words match whole (--prefix: at the start, --suffix: at the end);\n"
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
        {.name = "purge",
         .run = commandPurge,
         .usage = "purge DB [--aged WEEKS]       remove what is marked Delete (with --aged also the threads whose\n"
                  "                                last message is older than WEEKS weeks), then recount; prints\n"
                  "                                the counters as name<TAB>value lines. A database marked Delete\n"
                  "                                asks first: without --yes the purge stops, --yes removes it whole"},
        {.name = "count",
         .run = commandCount,
         .usage = "count DB                      recount the messages of every person, thread and section and of\n"
                  "                                the database; prints the counters as name<TAB>value lines"},
        {.name = "dedupe-persons",
         .run = commandDedupePersons,
         .usage = "dedupe-persons DB             merge the persons that share an address (letter case aside) into\n"
                  "                                one; prints the counters as name<TAB>value lines"},
        {.name = "persons",
         .run = commandPersons,
         .usage = "persons DB [--json]           the persons by name, one a line: id, name, address, messages sent,\n"
                  "                                received, aliases (numbered from 1, separated by \" | \")"},
        {.name = "person",
         .run = commandPerson,
         .usage = "person DB merge KEEP_ID OTHER_ID...   merge the others into KEEP_ID (never the mailbox owner)\n"
                  "  person DB rename ID NAME      new first and last name (the last word is the last name)\n"
                  "  person DB swap-alias ID ALIAS_NUMBER  the person takes that alias's string and address"},
        {.name = "words",
         .run = commandWords,
         .usage = "words DB [--top N]            indexed words with their message counts (TSV)\n"
                  "  words DB --mark-delete WORD...  mark indexed words for deletion (--unmark: take the mark\n"
                  "                                off); the next index run removes them and makes them stop words"},
        {.name = "stopwords",
         .run = commandStopwords,
         .usage = "stopwords DB list|add WORD...|remove WORD...\n"
                  "                                the words DB's index runs never index (stored in upper case)"},
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
