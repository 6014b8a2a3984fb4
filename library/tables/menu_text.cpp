#include "tables/menu_text.h"

#include <algorithm>
#include <iterator>

namespace pm {
namespace {

struct MenuText {
    int number;
    const char* text;
};

// In number order, for the binary search below. Numbers 7, 14, 36, 39 and 40
// have no text.
constexpr MenuText Texts[] = {
    {0,
     "With this Wizard you can easily import messages to the Postmoor relational database. "
     "It takes you through a few short steps: the type of message file to import from, the "
     "kinds of messages to keep and where they go, and the files, directory or directory "
     "tree to read. Push Next to go on and Back to change an earlier choice; nothing is "
     "imported until you start the import on the last step.\r\n\r\n"
     "Forum and newsgroup messages are stored in one database per forum or newsgroup, and "
     "such a database is created automatically the first time its messages arrive. Mail "
     "goes into a mail database that you set up beforehand with Mail Database Setup.\r\n\r\n"
     "If you choose to save the settings, the import is also stored as a predefined import "
     "procedure together with an inactive task, so that the Task Manager can repeat it "
     "later without the wizard."},
    {1,
     "Choose the kind of message file(s) that you want to import from; then proceed by "
     "pushing the Next button! The list holds every mail program, newsreader and "
     "CompuServe program whose files Postmoor can read. Picking a type also fills in the "
     "file extensions that program normally uses; you can change them on a later step. The "
     "type you import most often can be made the default in Preferences (Default message "
     "file type)."},
    {2,
     "Postmoor can import three types of messages: mail messages, CompuServe Forum "
     "messages and newsgroup messages. Which of them a file holds depends on its type: "
     "mail programs save mail, newsreaders save newsgroup messages, and the CompuServe "
     "programs save forum messages, where AUTOSIG, CISCOMM, GoldenCompass, OzCIS and the "
     "TAPCIS files may hold mail as well.\r\n\r\n"
     "Check the kinds of messages you want to take from the files. Messages of a kind that "
     "is not checked are passed over and counted as skipped."},
    {3,
     "You can import selected message files or all message files with specified extensions "
     "in a certain directory or in a whole directory tree.\r\n\r\n"
     "Selected files: you pick each file yourself; use it for a few files with unusual "
     "names. Directory: every file of one directory whose name matches one of the "
     "extensions is read. Directory tree: the same, in a top directory and every directory "
     "below it, at any depth.\r\n\r\n"
     "Extensions are file masks such as *.MBX or *.MSG; separate several with semicolons "
     "(each mask at most 12 characters). The masks usual for the chosen file type are "
     "already filled in."},
    {4,
     "Push the Select button to choose the message files to import. In the File Selection "
     "Dialog open the directory that holds them in the directory tree, then mark the files "
     "in the file list; only files matching the mask are shown.\r\n\r\n"
     "Save selection keeps your choice and Exit without saving drops it. At least one file "
     "must be selected before the selection can be saved."},
    {5,
     "Push the Select button to choose the directory that holds your message files. In the "
     "Directory Selection Dialog open the directory in the tree and give the file "
     "extensions to import, for example *.MBX;*.MSG.\r\n\r\n"
     "Every file of that directory matching one of the extensions is imported; directories "
     "below it are not read. At least one extension is needed before the selection can be "
     "saved."},
    {6,
     "Normally already imported messages are not reimported: Postmoor remembers which "
     "forum and newsgroup messages it has stored in each database, so importing the same "
     "files again adds only the new messages. This keeps repeated and scheduled imports "
     "fast and free of duplicates.\r\n\r\n"
     "Check Allow reimport when the messages must be read again, for example after their "
     "text was cut off or damaged. A message that is already stored is then updated with "
     "the header and text from the file and counted only once; a Keep or Delete status it "
     "had returns to Normal."},
    {8,
     "This procedure merges one Mail database with another, or one Forum database or "
     "Newsgroup database with another of the same kind. Enter the source database, whose "
     "messages are copied, and the target database that receives them; databases of "
     "different kinds cannot be merged.\r\n\r\n"
     "Forum and newsgroup messages that the target already holds are skipped, and a mail "
     "that is already in the target (same subject, time, parties and text) is not copied "
     "twice. The source database is left unchanged: delete it yourself when it is no "
     "longer needed.\r\n\r\n"
     "The merge does not recount messages per person, thread and section, so run Count "
     "Messages on the target database afterwards. Stopping the merge half way leaves those "
     "counts wrong as well."},
    {9,
     "Postmoor can handle any number of mail databases so you can separate your personal "
     "mail, business mail, mailing lists etc. Each mail database belongs to one owner and "
     "has a name, the owner's default mail address and up to ten other addresses the owner "
     "uses.\r\n\r\n"
     "When mail is imported, these addresses tell Postmoor which mail you sent and which "
     "you received, and the other party of each mail becomes one of the database's mail "
     "partners. Keep the addresses complete, or mail you sent from a missing address will "
     "be taken for mail you received.\r\n\r\n"
     "Use the list to add a new mail database or to change one. The mail database that the "
     "ImportWizard offers first is chosen in Preferences."},
    {10,
     "With this utility you can both rebuild the database list and reset the next "
     "generated ID to a sufficiently high value.\r\n\r\n"
     "Use the rebuild when the database list no longer matches the database directories, "
     "for example after the list file was damaged or deleted, or after you copied a "
     "database directory in from another installation. It checks the directories for "
     "temporary, database and word index files, compares every database in the list with "
     "its directory, corrects or removes entries that do not match and adds database "
     "directories the list does not know. A database whose name cannot be found is listed "
     "as Unknown:F followed by its directory number; you can rename it in the database "
     "list.\r\n\r\n"
     "The Next ID check alone makes sure that new identifiers are higher than any already "
     "used. Details of every run are written to the log file TestDB.Txt in the CFG "
     "directory."},
    {11,
     "The size of the temporary files built during import grows with the messages read in "
     "one run: every message is copied there, with its text, before it is stored in its "
     "database. The files are deleted when the import window closes.\r\n\r\n"
     "Choose a directory on a local drive with plenty of free space; the import warns you "
     "when that drive runs low and stops when you cancel. A directory that does not exist "
     "yet is created when you press OK."},
    {12,
     "The increase in size of your database files during an import is somewhat larger than "
     "the messages themselves, because headers, persons, threads, sections and keys are "
     "stored with them. Before storing, the import checks that the drive of the database "
     "files has at least as much room as the temporary import file.\r\n\r\n"
     "Every database has its own directory (F followed by a number) below this top "
     "directory. Changing the top directory does not move existing databases: move their F "
     "directories there yourself, then run the Rebuild Utility. A directory that does not "
     "exist yet is created when you press OK."},
    {13,
     "The size of the word index files grows with the number of messages indexed and with "
     "the number of different words in each of them: every word is recorded once per "
     "message that holds it. For large databases the word index can take a good part of "
     "the space the messages themselves use.\r\n\r\n"
     "You may place the word index files on another drive than the database files. When "
     "this top directory differs from the one for database files, each database gets its "
     "own word index directory below it. Changing it does not move existing word indexes; "
     "index the databases again after a change. Stop words and leaving numbers unindexed "
     "keep the files smaller."},
    {15,
     "The professional Search and Index Engine indexes all words in the selected database "
     "except for so called Stop words, words so common that searching for them would find "
     "nearly every message. When more than 10,000 messages have been indexed, a word found "
     "in more than a quarter of them is moved to the stop list automatically, if automatic "
     "stop words are on in the Word Index SetUp Wizard.\r\n\r\n"
     "Full indexing builds the whole word index again; partial indexing adds only the "
     "messages stored since the last run and removes the words you marked for deletion in "
     "the word list. The window recommends one of them; Recount checks again how far the "
     "database is indexed.\r\n\r\n"
     "Indexing a large database can take a long time. Postmoor cannot be closed while "
     "indexing runs."},
    {16,
     "The Task Manager allows you to set up scheduled tasks that import messages and tidy "
     "up your databases while you are away. A task runs one or more predefined import "
     "procedures in the order you give, then the housekeeping jobs you chose for every "
     "database that received messages.\r\n\r\n"
     "Use the buttons to add a new task, update the highlighted one or delete it. A task "
     "starts at its next run date and time, and Postmoor must be running then. Show Task "
     "Log lists when each task ran, how long it took and whether it completed."},
    {17,
     "You can repeat the task every week on the weekdays you check, or every month on up "
     "to five days of the month. After each run the next run date moves on to the next "
     "chosen day; the time of day stays the same. A day that a month does not have, such "
     "as the 31st in April, rolls over into the following month.\r\n\r\n"
     "A task without weekdays or days of the month runs only once and is then deactivated."},
    {18,
     "A task is a scheduled event with a description, the date and time of its next run, "
     "an optional repetition, the import procedures to run and the housekeeping jobs that "
     "follow them. A next run date needs a time as well.\r\n\r\n"
     "Check Run now to start the task at the next check instead of waiting for its date; "
     "check Inactive to keep a task without running it.\r\n\r\n"
     "When a task is due, a window counts down 60 seconds. There you can postpone it by "
     "some hours, skip this run, or deactivate the task or all tasks. While a task runs "
     "all other windows are closed and no other work can be done in Postmoor."},
    {19,
     "After the import procedures have run the task manager can run the house keeping "
     "operations on every database that received messages, one after the other: duplicate "
     "elimination merges persons that appear twice, purging removes the messages marked "
     "Delete and brings the counts up to date, counting only recounts the messages (it is "
     "not needed when purging is chosen), and word indexing adds the new messages to the "
     "word index.\r\n\r\n"
     "Word indexing runs only for databases whose automatic indexing is switched on in "
     "Word Index Status."},
    {20,
     "When using the ImportWizard to import, you must make a number of settings every "
     "time: the file type, the files or directories, the kinds of messages and the target "
     "databases. A predefined import procedure stores these settings once, so that the "
     "Task Manager can run the import unattended as a step of a task.\r\n\r\n"
     "The ImportWizard can also save its settings as a procedure for you. A procedure "
     "whose database is deleted loses that database, and one left without any database is "
     "removed."},
    {21,
     "Postmoor can import three types of messages: mail messages, CompuServe Forum "
     "messages and newsgroup messages, and each kind goes into its own kind of database. "
     "Forum messages are stored in one database per forum and newsgroup messages in one "
     "database per newsgroup (or in the common database a newsgroup is redirected to); "
     "these databases are found by name or created for you.\r\n\r\n"
     "Mail needs a mail database that already exists: choose it in the list. The mail "
     "database offered first is the default chosen in Preferences. For file types whose "
     "messages do not name their forum, choose the database the forum messages are to go "
     "into."},
    {22,
     "You must tell Postmoor which message files you want to import from. With the file "
     "selection method you pick the files one by one: push the Select button, open the "
     "directory that holds them and mark each file; only files matching the mask are "
     "shown.\r\n\r\n"
     "The procedure reads exactly these files at every run, so use this method for files "
     "that keep their names. A file that is missing at run time is skipped. A procedure "
     "with this method and no file selected cannot be saved."},
    {23,
     "You must tell Postmoor which message files you want to import from. With the "
     "directory method you choose one directory and the extensions of the files to read, "
     "for example *.MBX;*.MSG.\r\n\r\n"
     "At every run the directory is searched again, so new files that match the extensions "
     "are picked up without changing the procedure. Directories below it are not read; use "
     "the directory tree method for those."},
    {24,
     "You can also set some additional import options. Checking Allow reimport reads "
     "messages again even when they were imported before: a stored forum or newsgroup "
     "message is then updated from the file and its Keep or Delete status returns to "
     "Normal. Leave it unchecked for regular imports, so that each run adds only new "
     "messages.\r\n\r\n"
     "A mail topic attaches every imported mail to that topic, so that you find it again "
     "under Classify Messages. The message filter can be set to create the databases of "
     "the forums or newsgroups found in the files without storing any message."},
    {25,
     "You must tell Postmoor which message files you want to import from. With the "
     "directory tree method you choose a top directory and the extensions of the files to "
     "read.\r\n\r\n"
     "At every run the top directory and all directories below it are searched again, "
     "whatever their depth, so new folders and files are picked up without changing the "
     "procedure. This suits programs that keep one directory per forum, folder or "
     "newsgroup."},
    {26,
     "Push the Select button to choose the top directory of the directory tree to import "
     "from. In the Directory Tree Selection Dialog open the top directory and give the "
     "file extensions to import.\r\n\r\n"
     "Every file matching one of the extensions is read in the top directory and in all "
     "directories below it, whatever their depth. This suits programs that keep one "
     "directory per forum, folder or newsgroup. At least one extension is needed before "
     "the selection can be saved."},
    {27,
     "You must tell Postmoor which message files you want to import from, each time this "
     "procedure runs. Choose how the files are found: selected files reads the files you "
     "pick, the directory method reads every file with the given extensions in one "
     "directory, and the directory tree method does the same in a top directory and all "
     "directories below it.\r\n\r\n"
     "The extensions usual for the chosen file type are filled in; separate several masks "
     "with semicolons."},
    {28,
     "This Wizard is shown only when you start Postmoor for the very first time. In a few "
     "steps it sets the defaults for importing, helps you set up a mail database and leads "
     "you to your first import.\r\n\r\n"
     "Push Next to go on and Back to return to a previous step. Cancel quits the wizard; "
     "everything it sets can be changed later in Preferences and Mail Database Setup."},
    {29,
     "Postmoor can import messages from a large number of mail programs, newsreaders and "
     "CompuServe programs. Choose the type of message file you will import most often and "
     "the directory where those files are normally kept.\r\n\r\n"
     "They become the defaults of the ImportWizard, which you can change later in "
     "Preferences. The path is stored only when the directory exists."},
    {30,
     "There are two independant search and indexing engines in Postmoor. The standard "
     "search reads the messages one by one looking for a piece of text; it needs no "
     "preparation, but takes its time on a large database.\r\n\r\n"
     "The professional search finds words and combinations of words (AND, OR, NOT) at once "
     "with the help of a word index. That index must be built with Build Word Index and "
     "kept up to date after imports, by hand or as part of a scheduled task. New databases "
     "are marked for automatic word indexing; Word Index Status switches this per "
     "database."},
    {31,
     "Now you are all set to make your first import of messages. Push Start to open the "
     "ImportWizard, which guides you through choosing the files and the messages to "
     "import.\r\n\r\n"
     "When the import has finished, choose Browse Messages in the Messages menu to read "
     "them: the tabs above the list sort them by number, thread, section, sender, receiver "
     "or date, Show Thread Tree shows how they answer each other, and the right mouse button "
     "marks a message, its thread or its section Keep or Delete. Build the word index if "
     "you want to use the professional search."},
    {32,
     "This wizard will help you define how words are indexed by the professional search "
     "engine: which characters make up a word, whether numbers are indexed, which parts of "
     "a message are left out, and how long a search runs before it pauses.\r\n\r\n"
     "Changing which characters make up a word means every database must be indexed again. "
     "The other settings apply to messages indexed from then on."},
    {33,
     "By default both words and numbers are indexed. If numbers are not indexed, decimal "
     "and hexadecimal numbers and words beginning with a digit are left out, which makes "
     "the word index smaller; you can then no longer search for message numbers, prices or "
     "years.\r\n\r\n"
     "Long numbers, dates and times from mail headers are never indexed."},
    {34,
     "Internet mail headers (if present) are never indexed, nor uuencoded data or the "
     "parts of a MIME message that are not plain text.\r\n\r\n"
     "Footers are normally not indexed either: the signature or tag lines after the last "
     "empty line of a forum or newsgroup message, which repeat in every message of their "
     "author. Check the boxes to index the footers of forum messages or of newsgroup "
     "messages."},
    {35,
     "These settings determine how messages are broken into words. For every character "
     "three columns tell whether it may start a word (Start), stand inside a word (Inside) "
     "and end a word (End); click a cell to switch it between yes and no. Setting Inside "
     "to no also sets End to no.\r\n\r\n"
     "With the standard definition letters and digits are word characters, and a period, "
     "colon, underscore or tilde may stand inside a word but not end it, so WIN.INI stays "
     "one word while a full stop is dropped. A saved definition set can be chosen from the "
     "list.\r\n\r\n"
     "Saving a changed definition deletes the existing word indexes: searching will not "
     "work until every database has been indexed again."},
    {37,
     "Here you can define how many indexed words will be scanned during a search before it "
     "pauses and asks whether to go on, so that a search for a very common word does not "
     "run for ages.\r\n\r\n"
     "The default is 10000; values below 1000 are raised to 1000. When a search pauses you "
     "can go on at once, or later with Next Block."},
    {38,
     "There is a Task Monitoring background process in Postmoor that checks about every 15 "
     "seconds whether a scheduled task is due, as long as Postmoor is running and no other "
     "task is busy.\r\n\r\n"
     "Here you can give a period of the day during which no delayed task is started, "
     "deactivate all tasks, and choose whether Postmoor exits when task processing has "
     "finished or stays open without an active database. A period whose end lies before "
     "its start restricts nothing."},
    {41,
     "To be able to convert mail messages you must specify your name and mail addresses. "
     "Postmoor compares the sender and receiver of every mail with them to tell the mail "
     "you sent from the mail you received.\r\n\r\n"
     "Enter a name for your mail database, your default mail address and any other "
     "addresses you send or receive mail with (up to ten). You can set up further mail "
     "databases later with Mail Database Setup."},
    {42,
     "You can select the message folders that you wish to import from Outlook: mark every "
     "folder whose mail is to be imported. Each mail of the selected folders is stored in "
     "the mail database you chose.\r\n\r\n"
     "Outlook must be installed and able to start on this computer."},
    {43,
     "If you want the messages of certain newsgroups to be imported into a common "
     "database, for example several small groups on one subject, create a target newsgroup "
     "database with Add Target Newsgroup Database and redirect those newsgroups to it.\r\n\r\n"
     "New messages of a redirected newsgroup then go straight into the target database "
     "when they are imported."},
    {44,
     "Newsgroup messages are normally imported into a separate database for each "
     "newsgroup. Pick a newsgroup in the list and choose the target database it is to be "
     "redirected to, or remove its redirection to give it back its own database.\r\n\r\n"
     "Nothing changes until you finish the wizard; choosing again the target a newsgroup "
     "already has changes nothing."},
    {45,
     "After specifying redirection already imported messages must be moved so that the "
     "databases match the new settings. A newly redirected newsgroup's messages move into "
     "its target, a newsgroup whose redirection was removed gets its messages back, and "
     "one whose target changed has them moved from the old target to the new one.\r\n\r\n"
     "The moved messages are then purged from their former databases, and counts and word "
     "indexes are repaired. This can take a while. If you stop it before it has finished, "
     "run Count Messages to correct the counts."},
    {46,
     "Add, change or delete predefined import procedures in this list. A procedure holds "
     "all the settings of one import: file type, files or directories, kinds of messages, "
     "target databases and options.\r\n\r\n"
     "Procedures are run as the steps of scheduled tasks: deleting a procedure that a task "
     "still uses makes that task stop at its step."},
    {47,
     "Drag and drop the predefined import procedures from the list into the steps of this "
     "task. The steps run in the order shown, each importing with its procedure, and the "
     "housekeeping jobs follow once the last step is done.\r\n\r\n"
     "A task needs at least one step to run."},
    {48,
     "You must tell Postmoor which message files you want to import from; for Outlook Mail "
     "these are Outlook's own mail folders rather than files. Push the Select button and "
     "mark the folders whose mail this procedure is to import.\r\n\r\n"
     "Outlook must be installed and able to start when the procedure runs. If a selected "
     "folder has been removed or renamed in Outlook, the import stops; select the folders "
     "again."},
};

constexpr bool sortedByNumber() {
    for (std::size_t i = 1; i < std::size(Texts); ++i)
        if (Texts[i - 1].number >= Texts[i].number) return false;
    return true;
}
static_assert(sortedByNumber(), "instruction texts must stay in number order");

}  // namespace

std::string GetMenuText(int number) {
    const auto it = std::lower_bound(std::begin(Texts), std::end(Texts), number,
                                     [](const MenuText& entry, int n) { return entry.number < n; });
    if (it == std::end(Texts) || it->number != number) return {};
    return it->text;
}

}  // namespace pm
