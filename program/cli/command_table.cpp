#include "cli/commands.h"

namespace pm::cli {

// Each entry carries its own help beside it: a new command brings its
// synopsis, every option with one line, and an example.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {.name = "init",
         .run = commandInit,
         .usage = "init                          create the installation (CFG, TEMP, settings)",
         .help = {.synopsis = "init",
                  .description = "Creates an installation at the root: the configuration directory CFG (the catalog\n"
                                 "of databases, the settings, the identifier counter) and the temporary directory\n"
                                 "TEMP. On an existing installation it only checks the settings. Prints \"Created\n"
                                 "installation at DIR\" or \"Checked installation at DIR\".",
                  .example = "pmoor32 --root ~/postmoor init"}},
        {.name = "db",
         .run = commandDb,
         .usage = "db list [--header] [--json]   catalog as TSV: id, name, type, dir, msgcount, noimport\n"
                  "  db create forum|newsgroup NAME\n"
                  "  db create newsgroup NAME --target   a target database for redirected newsgroups\n"
                  "  db create mail NAME --address ADDR [--alt ADDR]...   (up to 10 --alt)",
         .help = {.synopsis = "db list [--header] [--json]\n"
                              "db create forum|newsgroup NAME\n"
                              "db create newsgroup NAME --target\n"
                              "db create mail NAME --address ADDR [--alt ADDR]...",
                  .description = "db list prints the catalog, one database a line, in tab-separated columns:\n"
                                 "  id        the database's identifier (DB arguments take it as well as the name)\n"
                                 "  name      its name\n"
                                 "  type      forum, mail or newsgroup\n"
                                 "  dir       its directory below the database top directory (F1, F2, ...)\n"
                                 "  msgcount  the number of messages it holds\n"
                                 "  noimport  1 when import into it is not allowed, else 0\n"
                                 "db create makes a database and prints its id, name and directory.",
                  .options = {{"--header", "print the column names first"},
                              {"--json", "print a JSON array of objects with those names instead"},
                              {"forum|newsgroup", "the kind of database: a CompuServe forum or a newsgroup"},
                              {"NAME", "the name of the new database (no other database may have it)"},
                              {"--target", "a newsgroup database that receives the messages of other newsgroups\n"
                                           "(see redirect)"},
                              {"--address ADDR", "mail databases: the owner's default mail address (required)"},
                              {"--alt ADDR", "another address of the owner; up to 10"}},
                  .example = "pmoor32 db create mail \"My Mail\" --address me@example.com\n"
                             "pmoor32 db list --header"}},
        {.name = "addresses",
         .run = commandAddresses,
         .usage = "addresses DB 1|2|3|4 [FILE]   write the persons of DB as an address book into the temporary\n"
                  "                                directory (FILE default Address.Txt); prints its path",
         .help = {.synopsis = "addresses DB 1|2|3|4 [FILE]",
                  .description = "Writes every person of the database that has an address into an address book in\n"
                                 "the temporary directory and prints the book's path. Nothing is written (exit 1)\n"
                                 "when the database has no persons or the file cannot be created.",
                  .options = {{"DB", "a database: its name (an exact name, else a unique beginning) or its id"},
                              {"1", "one line a person: name, address (INTERNET: before mail addresses), |"},
                              {"2", "alias lines: alias \"First Last\" address"},
                              {"3", "lines of \"First Last\" address"},
                              {"4", "binary: the name and the address, each after its length byte"},
                              {"FILE", "the file name (default Address.Txt); an absolute path is used as given"}},
                  .example = "pmoor32 addresses \"My Mail\" 3 contacts.txt"}},
        {.name = "import",
         .run = commandImport,
         .usage = "import --format NAME [--mailbox DB] [--target DB] [--reimport]\n"
                  "         [--method files|dir|tree] [--mask MASKS] PATH...\n"
                  "                                import messages; prints the imported and skipped counts\n"
                  "                                (after Ctrl-C: those of the messages stored so far)\n"
                  "  import --format \"Outlook Mail\" --mailbox DB [--folder NAME]... FILE.pst\n"
                  "                                the mail of Outlook's folder file (every mail folder unless\n"
                  "                                --folder names some; see outlook-folders)",
         .help = {.synopsis = "import --format NAME [--mailbox DB] [--target DB] [--reimport]\n"
                              "       [--method files|dir|tree] [--mask MASKS] PATH...\n"
                              "import --format \"Outlook Mail\" --mailbox DB [--folder NAME]... FILE.pst",
                  .description = "Imports the messages of the files. Forum and newsgroup messages go to the\n"
                                 "database of their forum or newsgroup (made when it is new), mail to the mail\n"
                                 "database --mailbox names. Messages imported before are skipped. Prints the\n"
                                 "counts as two TSV lines, \"imported N\" and \"skipped N\"; files without any\n"
                                 "message import nothing and it says \"no messages found\" (exit 0). After Ctrl-C\n"
                                 "the counts are those of what was stored; the next run imports the rest.",
                  .options = {{"--format NAME", "the format of the files, named as in the import wizard (any case)\n"
                                                "(\"Generic Mail Type 2\" is a Unix mbox)"},
                              {"--mailbox DB", "the mail database that receives the mail (mail formats need it)"},
                              {"--target DB", "put every forum or newsgroup message into this database"},
                              {"--reimport", "import messages again that were imported before"},
                              {"--method files|dir|tree", "PATH names files (the default), one directory, or a tree"},
                              {"--mask MASKS", "with dir or tree: the file masks to read, separated by ;"},
                              {"PATH", "a file to import; with --method dir or tree, the directory"},
                              {"--folder NAME", "Outlook Mail: a folder to read, by name or path as outlook-folders\n"
                                                "lists it (repeatable; without it every mail folder)"},
                              {"FILE.pst", "Outlook Mail: the folder file (.pst or .ost)"}},
                  .example = "pmoor32 import --format \"Generic Mail Type 2\" --mailbox \"My Mail\" inbox.mbox\n"
                             "pmoor32 import --format \"Outlook Mail\" --mailbox \"My Mail\" --folder Inbox outlook.pst"}},
        {.name = "formats",
         .run = commandFormats,
         .usage = "formats [--json]              the import formats: number, name, default masks, the files each reads",
         .help = {.synopsis = "formats [--json]",
                  .description = "Lists every import format, one a line, in tab-separated columns: its number, its\n"
                                 "name (what --format takes), its default file masks and one line on the files it\n"
                                 "reads and the kinds of message they hold. \"Generic Mail Type 2\" reads a Unix mbox.",
                  .options = {{"--json", "print a JSON array of objects (number, name, masks, files, importable)"}},
                  .example = "pmoor32 formats"}},
        {.name = "procedure",
         .run = commandProcedure,
         .usage = "procedure list|show ID|create NAME --format F ... PATH...|delete ID\n"
                  "                                the import definitions that scheduled tasks run",
         .help = {.synopsis = "procedure list [--header] [--json]\n"
                              "procedure show ID [--json]\n"
                              "procedure create NAME --format F [--mailbox DB|--target DB] [--method files|dir|tree]\n"
                              "          [--mask M]... [--reimport] PATH...\n"
                              "procedure delete ID",
                  .description = "Import definitions (predefined import procedures) hold what one import reads\n"
                                 "and where it puts it; a task runs them as its steps. list prints id, name,\n"
                                 "format, method, mailbox id, target id and path, one a line; show prints one\n"
                                 "definition as name/value lines and an \"entry\" line per mask or file. create\n"
                                 "checks and stores a definition (the same rules as the import command) and prints\n"
                                 "its id and name; delete removes it and the task steps that run it.",
                  .options = {{"--header", "list: print the column names first"},
                              {"--json", "print JSON instead of tab-separated lines"},
                              {"ID", "the definition's id, as list prints it"},
                              {"NAME", "the definition's name (up to 50 bytes)"},
                              {"--format F", "the format of the files, as formats lists it"},
                              {"--mailbox DB", "the mail database that receives the mail (mail formats need it)"},
                              {"--target DB", "put every forum or newsgroup message into this database"},
                              {"--method files|dir|tree", "PATH names files (the default), one directory, or a tree"},
                              {"--mask M", "with dir or tree: a file mask to read (repeatable; default: the format's)"},
                              {"--reimport", "import messages again that were imported before"},
                              {"PATH", "a file to import; with --method dir or tree, the directory"}},
                  .example = "pmoor32 procedure create \"Nightly mail\" --format \"Generic Mail Type 2\" --mailbox \"My Mail\" ~/mail/inbox\n"
                             "pmoor32 procedure list --header"}},
        {.name = "task",
         .run = commandTask,
         .usage = "task list|show ID|create NAME --procedure ID... [options]|delete ID|run ID|run-due|log\n"
                  "     |deactivate-all|activate-all\n"
                  "                                scheduled tasks: their import steps, maintenance jobs and log",
         .help = {.synopsis = "task list [--header] [--json]\n"
                              "task show ID\n"
                              "task create NAME --procedure ID... [--dedupe] [--purge] [--count] [--index]\n"
                              "          [--at YYYY-MM-DDTHH:MM] [--weekdays Mo,Tu,...|--monthdays 1,15]\n"
                              "task delete ID\n"
                              "task run ID\n"
                              "task run-due\n"
                              "task log [--task ID] [--json]\n"
                              "task deactivate-all\n"
                              "task activate-all",
                  .description = "A task runs its import definitions in order, then the maintenance jobs on every\n"
                                 "database that received messages, unattended, and writes the task log. create\n"
                                 "prints the new task's id; a task with --at is due at that moment and, with\n"
                                 "--weekdays or --monthdays, again on those days at that time; one without a\n"
                                 "repetition is deactivated after its run. run runs a task now; run-due runs\n"
                                 "every task that is due, as the desktop program's scheduler does, and exits 0\n"
                                 "when all ran to completion (1 when a step failed: the task is deactivated and\n"
                                 "the next due task still runs). One task runs at a time on an installation:\n"
                                 "run-due beside the desktop program or another run-due never runs a task twice.\n"
                                 "A run prints \"task ID OUTCOME NAME\" and a \"step\" line for each import and\n"
                                 "job with its result. log prints a \"run\" line per run (log id, task, started,\n"
                                 "finished, duration, result) followed by its \"item\" lines (log id, type,\n"
                                 "procedure, started, finished, result, and why the step did not complete).\n"
                                 "deactivate-all sets \"Deactivate all tasks\": no task starts by its schedule,\n"
                                 "neither in the desktop program nor by run-due, until activate-all clears it\n"
                                 "(task run still runs a task by hand).",
                  .options = {{"--header", "list: print the column names first"},
                              {"--json", "print JSON instead of tab-separated lines"},
                              {"ID", "the task's id, as list prints it"},
                              {"NAME", "the task's name (up to 50 bytes)"},
                              {"--procedure ID", "an import definition to run (repeatable; they run in id order)"},
                              {"--dedupe", "merge duplicate persons in each database that received messages"},
                              {"--purge", "purge the messages marked Delete there (it counts too)"},
                              {"--count", "count the messages there"},
                              {"--index", "bring the word index of the indexed ones up to date"},
                              {"--at YYYY-MM-DDTHH:MM", "the first run (local time); without it the task runs only by task run"},
                              {"--weekdays Mo,Tu,...", "repeat on these weekdays (Su Mo Tu We Th Fr Sa) at the same time"},
                              {"--monthdays 1,15", "repeat on these days of the month (up to 5) at the same time"},
                              {"--task ID", "log: only the runs of this task"}},
                  .example = "pmoor32 task create Nightly --procedure 250001 --purge --index --at 2026-12-09T02:30 --weekdays Mo,Tu,We,Th,Fr\n"
                             "pmoor32 task run-due\n"
                             "pmoor32 task log --task 250002"}},
        {.name = "outlook-folders",
         .run = commandOutlookFolders,
         .usage = "outlook-folders FILE          mail folders of an Outlook folder file (.pst/.ost) as TSV:\n"
                  "                                name, items, path",
         .help = {.synopsis = "outlook-folders FILE",
                  .description = "Lists the mail folders of an Outlook folder file, one a line, in tab-separated\n"
                                 "columns: the folder's name, the number of items it holds, and its path in the\n"
                                 "file. import --format \"Outlook Mail\" --folder takes a name or a path.\n"
                                 "Needs no installation. Exit 1 when the file cannot be read.",
                  .options = {{"FILE", "the Outlook folder file (.pst or .ost)"}},
                  .example = "pmoor32 outlook-folders outlook.pst"}},
        {.name = "index",
         .run = commandIndex,
         .usage = "index [DB] [--full]           word-index DB (partial unless --full or a full run is needed);\n"
                  "                                without DB every database whose word list needs updating;\n"
                  "                                replacing an existing index with --full needs --yes;\n"
                  "                                after Ctrl-C the next run goes on where this one stopped",
         .help = {.synopsis = "index [DB] [--full]",
                  .description = "Builds the word index of a database, so that search finds its messages. A run\n"
                                 "indexes the messages added since the last one, unless --full is given or the\n"
                                 "index must be built anew. Prints a line per database with what was done.\n"
                                 "After Ctrl-C the next run goes on where this one stopped.",
                  .options = {{"DB", "the database; without it, every database whose word list needs updating"},
                              {"--full", "index every message again (replacing an existing index needs --yes)"}},
                  .example = "pmoor32 index \"My Mail\"\n"
                             "pmoor32 index"}},
        {.name = "search",
         .run = commandSearch,
         .usage = "search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--suffix] [--phrase] [--all]\n"
                  "        [--format numbers|summary|json] WORD...\n"
                  "                                matching messages, newest first (exit 1: none): their numbers one\n"
                  "                                a line, or number, date, sender, subject (summary, TSV), or JSON;\n"
                  "                                every WORD must occur (--any: one is enough); ? and * are wildcards;\n"
                  "                                words match whole (--prefix: at the start, --suffix: at the end);\n"
                  "                                a search pauses every block of hits unless --all",
         .help = {.synopsis = "search DB [--any] [--not WORD]... [--soundex|--approx N|--prefix|--suffix]\n"
                              "       [--phrase] [--all] [--format numbers|summary|json] WORD...",
                  .description = "Finds the messages of a word-indexed database that hold the words and prints\n"
                                 "them newest first: their numbers one a line, a summary line each, or JSON; a\n"
                                 "line on stderr counts them and names the indexed words that matched. Exit 1 when\n"
                                 "no message matches.",
                  .options = {{"DB", "the database (word-index it first: pmoor32 index DB)"},
                              {"WORD", "a word every message must hold; ? stands for one character, * for any"},
                              {"--any", "one of the words is enough"},
                              {"--not WORD", "leave out the messages that hold WORD"},
                              {"--soundex", "match words that sound alike"},
                              {"--approx N", "match words that differ from WORD in up to N letters"},
                              {"--prefix", "match the indexed words that begin with WORD"},
                              {"--suffix", "match the indexed words that end with WORD (--whole says the same)"},
                              {"--phrase", "the words must stand next to each other, in this order"},
                              {"--all", "go through every block of hits without pausing"},
                              {"--format numbers|summary|json",
                               "numbers (the default); summary: number, date, sender, subject (TSV);\n"
                               "json: the objects list --json prints"}},
                  .example = "pmoor32 search \"My Mail\" lunch friday\n"
                             "pmoor32 search \"My Mail\" --any --prefix meet lunch --format summary"}},
        {.name = "show",
         .run = commandShow,
         .usage = "show DB MSGNUMBER [--json]    header and text of one message",
         .help = {.synopsis = "show DB MSGNUMBER [--json]",
                  .description = "Prints the header of one message (number, date, section, sender, receiver,\n"
                                 "subject, status) and its text. Exit 1 when the database has no such message.",
                  .options = {{"DB", "the database"},
                              {"MSGNUMBER", "the message's number, as search and list print it"},
                              {"--json", "one JSON object: the columns of list, the section (forums and\n"
                                         "newsgroups), reply_to, own_status and text"}},
                  .example = "pmoor32 show \"My Mail\" 250003\n"
                             "pmoor32 show \"My Mail\" 250003 --json"}},
        {.name = "list",
         .run = commandList,
         .usage = "list DB [--by VIEW] [--thread N|--section N|--person ID|--topic ID|--word WORD]\n"
                  "        [--status normal|keep|delete] [--limit N] [--json]\n"
                  "                                the messages of a browse view in its order, one a line: number,\n"
                  "                                date, time, sender, receiver, subject, status (the one the browse\n"
                  "                                colours by: message, then thread, section or partner, database);\n"
                  "                                VIEW: number|thread|section|from|to|date|word|topic|search\n"
                  "                                (mail: date|subject|partner|from|to|word|topic|search)",
         .help = {.synopsis = "list DB [--by VIEW] [--thread N|--section N|--person ID|--topic ID|--word WORD]\n"
                              "       [--status normal|keep|delete] [--limit N] [--json]",
                  .description = "Prints the messages of one of the database's browse views, in the view's order,\n"
                                 "one a line in tab-separated columns: number, date, time, sender, receiver,\n"
                                 "subject and status. The status is the one the browse colours the line by: the\n"
                                 "message's own, else its thread's, section's or mail partner's, else the\n"
                                 "database's. Exit 1 when the view holds no message.",
                  .options = {{"DB", "the database"},
                              {"--by VIEW", "the view: number (the default), thread, section, from, to, date, word,\n"
                                            "topic or search; mail: date (the default), subject, partner, from,\n"
                                            "to, word, topic or search (search: the last search's hits)"},
                              {"--thread N", "--by thread: only the messages of thread N"},
                              {"--section N", "--by section: the section numbered N (needed)"},
                              {"--person ID", "--by from, to or partner: only those of the person ID"},
                              {"--topic ID", "--by topic: the topic ID (needed)"},
                              {"--word WORD", "--by word: the messages that hold WORD (needed; the database\n"
                                              "must be word-indexed)"},
                              {"--status normal|keep|delete", "only the messages of that status"},
                              {"--limit N", "at most N messages"},
                              {"--json", "a JSON array of objects: number, date, time, sender, receiver,\n"
                                         "subject, status"}},
                  .example = "pmoor32 list \"My Mail\" --by subject --limit 20\n"
                             "pmoor32 list comp.lang.c --by word --word lunch --json"}},
        {.name = "thread",
         .run = commandThread,
         .usage = "thread DB MSGNUMBER [--json]  the message's thread as the thread tree shows it, indented by depth",
         .help = {.synopsis = "thread DB MSGNUMBER [--json]",
                  .description = "Prints the thread of a forum or newsgroup message as the thread tree window\n"
                                 "shows it: one message a line, indented two blanks a level, in the line format\n"
                                 "and date format of the settings. Exit 1 for a mail database (mails have no\n"
                                 "threads) or a number the database does not hold.",
                  .options = {{"DB", "a forum or newsgroup database"},
                              {"MSGNUMBER", "any message of the thread"},
                              {"--json", "a JSON array of objects: number, depth, text, and selected (true for\n"
                                         "MSGNUMBER)"}},
                  .example = "pmoor32 thread comp.lang.c 250012"}},
        {.name = "topics",
         .run = commandTopics,
         .usage = "topics DB list [--json]       the topics of DB: id, name, messages carrying it\n"
                  "  topics DB add NAME | rename TOPIC NAME | delete TOPIC\n"
                  "  topics DB attach TOPIC MSGNUMBER... | detach TOPIC MSGNUMBER...",
         .help = {.synopsis = "topics DB list [--json]\n"
                              "topics DB add NAME\n"
                              "topics DB rename TOPIC NAME\n"
                              "topics DB delete TOPIC\n"
                              "topics DB attach TOPIC MSGNUMBER...\n"
                              "topics DB detach TOPIC MSGNUMBER...",
                  .description = "The topics of a database, as the Topics window and the Attach Topics window\n"
                                 "keep them. list prints one topic a line: id, name and the number of messages\n"
                                 "carrying it. add prints the new topic's id and name; rename the id and the new\n"
                                 "name; delete removes the topic and its attachments and prints \"deleted\", the\n"
                                 "id, the name and how many messages carried it. attach and detach print\n"
                                 "\"attached\" (or \"detached\") and \"unchanged\" with their counts; a number the\n"
                                 "database holds no message for is named on stderr and gives exit 1 (the others\n"
                                 "are still changed). Topic names are unique in a database, in any case.",
                  .options = {{"DB", "the database"},
                              {"NAME", "a topic name, up to 40 bytes (a longer one is cut)"},
                              {"TOPIC", "a topic id, or its name"},
                              {"MSGNUMBER", "a message (a mail in a mail database); several may follow"},
                              {"--json", "list: a JSON array of objects: id, name, count"}},
                  .example = "pmoor32 topics comp.lang.c add \"Good advice\"\n"
                             "pmoor32 topics comp.lang.c attach \"Good advice\" 250012 250014"}},
        {.name = "find",
         .run = commandFind,
         .usage = "find DB TEXT [--in subject|text|both] [--case] [--word] [--backward] [--by VIEW ...]\n"
                  "                                the standard search: the numbers of the messages whose subject\n"
                  "                                or text holds TEXT, in the browse's order",
         .help = {.synopsis = "find DB TEXT [--in subject|text|both] [--case] [--word] [--backward]\n"
                              "     [--by VIEW] [--thread N|--section N|--person ID|--topic ID|--indexed WORD]",
                  .description = "The standard search of the browse, without the word index: reads the messages\n"
                                 "in the order the browse opens with (messages by number, mail newest first) and\n"
                                 "prints the number of each one whose subject (the thread's subject, the mail's\n"
                                 "subject) or text holds TEXT, one a line, as pressing \"Next\" again and again\n"
                                 "would find them. --by reads one view of the browse instead, narrowed as\n"
                                 "list narrows it (the same views and options; the word of --by word comes\n"
                                 "with --indexed, as --word is the whole-word switch). Exit 1 when nothing is\n"
                                 "found.",
                  .options = {{"DB", "the database"},
                              {"TEXT", "what to look for; only its first 20 characters count"},
                              {"--in subject|text|both", "look in the subject only, the text only, or both (default)"},
                              {"--case", "match the letter case of TEXT (default: any case)"},
                              {"--word", "match whole words only: CAT does not find CATALOG"},
                              {"--backward", "read from the oldest message to the newest"},
                              {"--by VIEW", "the view to read, as list takes it: number|thread|section|from|to|date|\n"
                               "word|topic|search (mail: date|subject|partner|from|to|word|topic|search)"},
                              {"--thread N", "--by thread: only the messages of thread N"},
                              {"--section N", "--by section: the section numbered N (needed)"},
                              {"--person ID", "--by from, to or partner: only this person's messages"},
                              {"--topic ID", "--by topic: the messages attached to this topic (needed)"},
                              {"--indexed WORD", "--by word: the messages the word index lists for WORD (needed)"}},
                  .example = "pmoor32 find comp.lang.c \"segfault\" --in subject\n"
                             "pmoor32 find comp.lang.c \"segfault\" --by thread --thread 12\n"
                             "pmoor32 find \"My Mail\" Invoice --case --word"}},
        {.name = "mark",
         .run = commandMark,
         .usage = "mark DB MSGNUMBER... --normal|--keep|--delete [--thread|--section|--partner|--database]\n"
                  "                                set the status of the messages (or of their threads, sections,\n"
                  "                                mail partners, or of the database)",
         .help = {.synopsis = "mark DB MSGNUMBER... --normal|--keep|--delete [--thread|--section|--partner]\n"
                              "mark DB --normal|--keep|--delete --database",
                  .description = "Sets a status as the browse's status menu does, and prints a line for each\n"
                                 "mark: the message number, what was marked (message, thread, section or partner,\n"
                                 "with its id) and the status. Exit 1 when a number is not in the database (the\n"
                                 "other numbers are still marked).",
                  .options = {{"DB", "the database"},
                              {"MSGNUMBER", "a message; several may follow each other"},
                              {"--normal", "clear the mark"},
                              {"--keep", "mark to keep"},
                              {"--delete", "mark to delete"},
                              {"--thread", "mark the message's thread instead (forums and newsgroups)"},
                              {"--section", "mark the message's section instead (forums and newsgroups)"},
                              {"--partner", "mark the mail's partner instead (mail databases)"},
                              {"--database", "mark the whole database (no MSGNUMBER needed)"}},
                  .example = "pmoor32 mark \"My Mail\" 250003 250004 --keep\n"
                             "pmoor32 mark comp.lang.c 250012 --delete --thread"}},
        {.name = "export",
         .run = commandExport,
         .usage = "export DB --layout plain|tapcis|eudora|unix-rfc822|ozwin2 [--by SET] [--of MSGNUMBER]\n"
                  "        [--from-date D --to-date D] [--word WORD] [--topic ID] [--append] [--sent FILE] OUTFILE\n"
                  "                                write a set of messages to a file in the layout of an outside\n"
                  "                                program; SET: thread|section|from|to|date|topic|word|search",
         .help = {.synopsis = "export DB --layout plain|tapcis|eudora|unix-rfc822|ozwin2 [--by SET] [--of MSGNUMBER]\n"
                              "       [--from-date D --to-date D] [--word WORD] [--topic ID] [--append] [--sent FILE]\n"
                              "       OUTFILE",
                  .description = "Writes the messages related to message --of to OUTFILE, in the layout of an outside\n"
                                 "program that reads them again, as the Export Messages window does: all messages\n"
                                 "of its thread (mail: subject), section, sender (mail: partner) or receiver, all\n"
                                 "messages by date (newest first), those of a key word, a topic or the last search.\n"
                                 "With --layout plain and --of alone it writes that one message as the plain copy\n"
                                 "framed by the banner (the Copy to Clip-board text). Prints the messages written\n"
                                 "and those passed over by the date range. The layouts offered: forum ozwin2 or\n"
                                 "tapcis; mail eudora, ozwin2, tapcis or unix-rfc822; newsgroup unix-rfc822.",
                  .options = {{"DB", "the database"},
                              {"--layout plain|tapcis|eudora|unix-rfc822|ozwin2", "the layout of the file"},
                              {"--by SET", "the set: thread, section, from, to, date, topic, word or search\n"
                                           "(default: thread with --of, else date)"},
                              {"--of MSGNUMBER", "the current message the set is related to"},
                              {"--from-date D", "pass over messages before day D (YYYY-MM-DD); with --to-date"},
                              {"--to-date D", "pass over messages after day D (YYYY-MM-DD)"},
                              {"--word WORD", "the key word of --by word"},
                              {"--topic ID", "the topic of --by topic"},
                              {"--append", "append to the files instead of writing them anew"},
                              {"--sent FILE", "mail in a two-file layout: sent mail goes to FILE (in the directory\n"
                                              "of OUTFILE) instead of OUTFILE"},
                              {"OUTFILE", "the file written (received mail in the two-file layouts)"}},
                  .example = "pmoor32 export \"My Mail\" --layout unix-rfc822 --by date mail.mbx\n"
                             "pmoor32 export comp.lang.c --layout plain --of 250003 copy.txt"}},
        {.name = "print",
         .run = commandPrint,
         .usage = "print DB [--by SET] [--of MSGNUMBER] [--from-date D --to-date D] [--word WORD] [--topic ID]\n"
                  "        --pdf OUTFILE        print a set of messages to a PDF file (no printer or display needed)",
         .help = {.synopsis = "print DB [--by SET] [--of MSGNUMBER] [--from-date D --to-date D] [--word WORD]\n"
                              "      [--topic ID] --pdf OUTFILE",
                  .description = "Prints the messages related to message --of, chosen as export chooses them, to a\n"
                                 "PDF file, as the Print Messages window prints them: every page headed by the\n"
                                 "report title, the database and the page number, each message with its header\n"
                                 "and text. Needs no printer and no display. Prints the messages printed and\n"
                                 "those passed over by the date range.",
                  .options = {{"DB", "the database"},
                              {"--by SET", "the set: thread, section, from, to, date, topic, word or search\n"
                                           "(default: thread with --of, else date)"},
                              {"--of MSGNUMBER", "the current message the set is related to"},
                              {"--from-date D", "pass over messages before day D (YYYY-MM-DD); with --to-date"},
                              {"--to-date D", "pass over messages after day D (YYYY-MM-DD)"},
                              {"--word WORD", "the key word of --by word"},
                              {"--topic ID", "the topic of --by topic"},
                              {"--pdf OUTFILE", "the PDF file written"}},
                  .example = "pmoor32 print \"My Mail\" --by thread --of 250003 --pdf thread.pdf"}},
        {.name = "purge",
         .run = commandPurge,
         .usage = "purge DB [--aged WEEKS]       remove what is marked Delete (with --aged also the threads whose\n"
                  "                                last message is older than WEEKS weeks), then recount; prints\n"
                  "                                the counters as name<TAB>value lines. A database marked Delete\n"
                  "                                asks first: without --yes the purge stops, --yes removes it whole",
         .help = {.synopsis = "purge DB [--aged WEEKS]",
                  .description = "Removes the messages marked Delete (and those of threads, sections and partners\n"
                                 "marked Delete), as the Purge window does, then recounts the database. Prints\n"
                                 "the counters as name<TAB>value lines. When the whole database is marked Delete\n"
                                 "it asks first: without --yes the purge stops, with --yes the database goes.",
                  .options = {{"DB", "the database"},
                              {"--aged WEEKS", "also remove the threads whose last message is older than WEEKS\n"
                                               "weeks (1-99999)"}},
                  .example = "pmoor32 purge \"My Mail\"\n"
                             "pmoor32 purge comp.lang.c --aged 52"}},
        {.name = "count",
         .run = commandCount,
         .usage = "count DB                      recount the messages of every person, thread and section and of\n"
                  "                                the database; prints the counters as name<TAB>value lines",
         .help = {.synopsis = "count DB",
                  .description = "Counts the messages of every person, thread and section and of the database\n"
                                 "anew, as the Purge window's recount does, and prints the counters as\n"
                                 "name<TAB>value lines. Nothing is removed.",
                  .options = {{"DB", "the database"}},
                  .example = "pmoor32 count \"My Mail\""}},
        {.name = "dedupe-persons",
         .run = commandDedupePersons,
         .usage = "dedupe-persons DB             merge the persons that share an address (letter case aside) into\n"
                  "                                one; prints the counters as name<TAB>value lines",
         .help = {.synopsis = "dedupe-persons DB",
                  .description = "Merges the persons that share an address (letter case aside) into one, as the\n"
                                 "Merge Duplicates window does: their messages and aliases go to the person kept.\n"
                                 "Prints the counters as name<TAB>value lines.",
                  .options = {{"DB", "the database"}},
                  .example = "pmoor32 dedupe-persons \"My Mail\""}},
        {.name = "persons",
         .run = commandPersons,
         .usage = "persons DB [--json]           the persons by name, one a line: id, name, address, messages sent,\n"
                  "                                received, aliases (numbered from 1, separated by \" | \")",
         .help = {.synopsis = "persons DB [--json]",
                  .description = "Lists the persons of the database by name, as the persons browse shows them,\n"
                                 "one a line in tab-separated columns: id, name, address, messages sent, messages\n"
                                 "received, and the aliases (numbered from 1, separated by \" | \").",
                  .options = {{"DB", "the database"},
                              {"--json", "a JSON array of objects: id, name, address, sent, received, aliases"}},
                  .example = "pmoor32 persons \"My Mail\"\n"
                             "pmoor32 persons \"My Mail\" --json"}},
        {.name = "person",
         .run = commandPerson,
         .usage = "person DB merge KEEP_ID OTHER_ID...   merge the others into KEEP_ID (never the mailbox owner)\n"
                  "  person DB rename ID NAME      new first and last name (the last word is the last name)\n"
                  "  person DB swap-alias ID ALIAS_NUMBER  the person takes that alias's string and address",
         .help = {.synopsis = "person DB merge KEEP OTHER...\n"
                              "person DB rename ID NAME\n"
                              "person DB swap-alias ID ALIAS",
                  .description = "Changes one person, as the person windows do (ids as persons prints them).\n"
                                 "merge moves the messages and aliases of the others to the person kept and prints\n"
                                 "a line for each person merged; rename prints the id and the new name;\n"
                                 "swap-alias prints the id, the new string and the aliases.",
                  .options = {{"DB", "the database"},
                              {"KEEP", "merge: the id of the person kept (never the mailbox owner)"},
                              {"OTHER", "merge: the id of a person merged into it; several may follow"},
                              {"ID", "the id of the person"},
                              {"NAME", "rename: first and last name (the last word is the last name)"},
                              {"ALIAS", "swap-alias: the alias's number, counted from 1 as persons lists them;\n"
                                        "the person takes that alias's string and address"}},
                  .example = "pmoor32 person \"My Mail\" merge 1200 1201 1202\n"
                             "pmoor32 person \"My Mail\" rename 1200 \"Ann Smith\""}},
        {.name = "words",
         .run = commandWords,
         .usage = "words DB [--top N]            indexed words with their message counts (TSV)\n"
                  "  words DB --mark-delete WORD...  mark indexed words for deletion (--unmark: take the mark\n"
                  "                                off); the next index run removes them and makes them stop words",
         .help = {.synopsis = "words DB [--top N]\n"
                              "words DB --mark-delete|--unmark WORD...",
                  .description = "Prints the words of the database's word index in alphabetical order, each with\n"
                                 "the number of messages that hold it (TSV: word, count). Marked words leave the\n"
                                 "index with the next index run and become stop words (see stopwords). Exit 1\n"
                                 "when the database is not word-indexed.",
                  .options = {{"DB", "the database"},
                              {"--top N", "only the N most frequent words, the most frequent first"},
                              {"--mark-delete", "mark the words for deletion, as the word list window does"},
                              {"--unmark", "take the deletion mark off the words"},
                              {"WORD", "an indexed word"}},
                  .example = "pmoor32 words \"My Mail\" --top 20\n"
                             "pmoor32 words \"My Mail\" --mark-delete regards thanks"}},
        {.name = "stopwords",
         .run = commandStopwords,
         .usage = "stopwords DB list|add WORD...|remove WORD...\n"
                  "                                the words DB's index runs never index (stored in upper case)",
         .help = {.synopsis = "stopwords DB list\n"
                              "stopwords DB add|remove WORD...",
                  .description = "Lists and edits the stop words of a database, the words its index runs never\n"
                                 "index, as the ignore list window does. They are stored in upper case. add and\n"
                                 "remove print a line for each word; a word that is already as asked is said so.",
                  .options = {{"DB", "the database"},
                              {"list", "print the stop words, one a line"},
                              {"add|remove", "add the words to the stop words, or take them off"},
                              {"WORD", "a word"}},
                  .example = "pmoor32 stopwords \"My Mail\" list\n"
                             "pmoor32 stopwords \"My Mail\" add regards"}},
        {.name = "config",
         .run = commandConfig,
         .usage = "config list                   every settings item: name, number, value, meaning (TSV)\n"
                  "  config get ITEM               print a settings item (by name or number)\n"
                  "  config set ITEM VALUE         store a settings item (fonts: NAME,SIZE)",
         .help = {.synopsis = "config list\n"
                              "config get ITEM\n"
                              "config set ITEM VALUE",
                  .description = "Reads and changes the settings of the installation, the ones the Preferences\n"
                                 "window edits. config list prints every item in tab-separated columns: its name,\n"
                                 "its number, its value and what it means.",
                  .options = {{"ITEM", "a settings item, by its name (date-format) or its number (10)"},
                              {"VALUE", "the new value: a number, a text, a directory (made when it is new) or\n"
                                        "a font as NAME,SIZE"}},
                  .example = "pmoor32 config list\n"
                             "pmoor32 config set date-format 10"}},
        {.name = "nextid-check",
         .run = commandNextIdCheck,
         .usage = "nextid-check                  set the identifier counter above every identifier in use",
         .help = {.synopsis = "nextid-check",
                  .description = "Sets the installation's identifier counter above every identifier that any\n"
                                 "database uses and prints the next identifier. Run it after databases were\n"
                                 "copied in from elsewhere.",
                  .example = "pmoor32 nextid-check"}},
        {.name = "rebuild",
         .run = commandRebuild,
         .usage = "rebuild [--report FILE]       rebuild the database list from the database directories, then the\n"
                  "                                Next ID check; prints (TSV) what was corrected, dropped, attached\n"
                  "                                or not recognized, and the next id; --report copies TestDB.Txt;\n"
                  "                                a catalogued directory that is missing is dropped only with --yes",
         .help = {.synopsis = "rebuild [--report FILE]",
                  .description = "Rebuilds the list of databases from the directories below the database top\n"
                                 "directory, as File | Rebuild does, then runs the Next ID check. Prints a TSV\n"
                                 "line for each change (what happened, the directory, the name, details) and\n"
                                 "then \"next id\" with the next identifier. A database in the list whose\n"
                                 "directory is missing is dropped only with --yes (before the command).",
                  .options = {{"--report FILE", "copy the rebuild's log (TestDB.Txt) to FILE as well"}},
                  .example = "pmoor32 rebuild --report rebuild.txt\n"
                             "pmoor32 --yes rebuild"}},
        {.name = "merge",
         .run = commandMerge,
         .usage = "merge SOURCE TARGET           copy every message of SOURCE into TARGET (both forum, mail or\n"
                  "                                newsgroup); prints converted, merged and skipped; a second run\n"
                  "                                after an interruption merges the rest",
         .help = {.synopsis = "merge SOURCE TARGET",
                  .description = "Copies every message of one database into another of the same kind and prints\n"
                                 "three TSV lines with the counts: converted, merged and skipped. After Ctrl-C, or\n"
                                 "when the run was killed, a second run merges the rest.",
                  .options = {{"SOURCE", "the database whose messages are copied"},
                              {"TARGET", "the database that receives them (forum, mail or newsgroup as SOURCE)"}},
                  .example = "pmoor32 merge \"Old Mail\" \"My Mail\""}},
        {.name = "redirect",
         .run = commandRedirect,
         .usage = "redirect                      newsgroup redirections as TSV: newsgroup, target now, before\n"
                  "  redirect NEWSGROUP TARGET|--none\n"
                  "                                redirect a newsgroup database's import to a target database\n"
                  "                                (see db create newsgroup NAME --target), or stop doing so\n"
                  "  redirect --apply              move the stored messages where the redirections say, then\n"
                  "                                purge them where they were; prints moved, deleted, not moved",
         .help = {.synopsis = "redirect\n"
                              "redirect NEWSGROUP TARGET|--none\n"
                              "redirect --apply",
                  .description = "Without arguments lists the newsgroup databases with their redirection (TSV:\n"
                                 "newsgroup, target now, target before; \"-\" for none; target databases are\n"
                                 "marked \"target\"). With a newsgroup and a target, later imports of that\n"
                                 "newsgroup go to the target. --apply moves the messages already stored to where\n"
                                 "the redirections say and then purges them where they were; it prints the\n"
                                 "converted, moved, skipped, deleted and not moved counts.",
                  .options = {{"NEWSGROUP", "a newsgroup database"},
                              {"TARGET", "a target newsgroup database (made with db create newsgroup NAME --target)"},
                              {"--none", "stop redirecting the newsgroup"},
                              {"--apply", "move and purge the stored messages as the redirections say"}},
                  .example = "pmoor32 redirect comp.lang.c \"All Groups\"\n"
                             "pmoor32 redirect --apply"}},
    };
    return table;
}

}  // namespace pm::cli
