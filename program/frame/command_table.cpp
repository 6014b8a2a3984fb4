#include "frame/command_table.h"

#include <stdexcept>

#include "frame/frame_events.h"
#include "frame/frame_settings.h"
#include "frame/window_manager.h"
#include "tables/services/library_services.h"

namespace pm::frame {

namespace {

constexpr unsigned kCloses = ClosesConflicts | NotDuringCountdown;
constexpr unsigned kDatabase = NeedsDatabase | MessageCommand;
constexpr const char* kFile = "&File";
constexpr const char* kPersons = "persons";
constexpr const char* kMessages = "&Messages";
constexpr const char* kIndexing = "&Indexing";
constexpr const char* kWindow = "&Window";
constexpr const char* kHelp = "&Help";
constexpr const char* kTaskManager = "&Task Manager";
constexpr const char* kClassify = "Classify &Messages";

using K = CommandKind;
using C = CommandId;

}  // namespace

const std::vector<CommandEntry>& commandTable() {
    static const std::vector<CommandEntry> table = {
        {C::ChangeActiveDatabase, kFile, nullptr, "&Change Active Database", "Change to another database",
         K::OpenWindow, "ChangeForum", 0, kCloses, nullptr},
        {C::ImportWizard, kFile, nullptr, "&Import Wizard", "Import Messages", K::OpenWindow, "ImportMeny", 0,
         kCloses, nullptr},
        {C::Preferences, kFile, nullptr, "&Preferences", "User definable settings", K::OpenWindow, "UserPanel", 0,
         kCloses, nullptr},
        {C::MergeDatabases, kFile, nullptr, "Merge &Databases", "Merge two databases", K::OpenWindow, "MergeMeny", 0,
         ClosesConflicts, nullptr},
        {C::ImportRedirection, kFile, nullptr, "Import redirection", "Redirect newsgroup message import",
         K::OpenWindow, "RedirectMeny", 0, 0, nullptr},
        {C::RebuildUtility, kFile, nullptr, "&Rebuild Utility", "Rebuild the database list and check next ID number",
         K::OpenWindow, "RebuildMeny", 0, ClosesConflicts, nullptr},
        {C::MailDatabaseSetup, kFile, nullptr, "&Mail Database Setup", "Set up a Mail Database", K::OpenWindow,
         "BrowseBox", 0, ClosesConflicts, nullptr},
        {C::DefineImportProcedures, kFile, kTaskManager, "Define Import Procedures",
         "Define the import procedures that tasks run", K::OpenWindow, "BrowseBatch", 0,
         ClosesConflicts | TaskCommand, nullptr},
        {C::ScheduleTasks, kFile, kTaskManager, "Schedule Tasks", "Schedule the tasks that run unattended",
         K::OpenWindow, "BrowseTasks", 0, kCloses | TaskCommand, nullptr},
        {C::ShowTaskLog, kFile, kTaskManager, "Show Task Log", "Show the log of the task runs", K::OpenWindow,
         "ShowLog", 0, TaskCommand, nullptr},
        {C::WordIndexSetupWizard, kFile, nullptr, "Word Index &SetUp Wizard",
         "Wizard to set up Word Indexing preferences", K::OpenWindow, "SearchWz", 0, 0, nullptr},
        {C::PrintSetup, kFile, nullptr, "Print &Setup ...", "Setup printer", K::FrameAction, nullptr, 0, 0, nullptr},
        {C::Exit, kFile, nullptr, "E&xit Postmoor", "Exit Postmoor", K::FrameAction, nullptr, 0, 0, nullptr},

        // The texts of the persons commands follow the database type.
        {C::BrowsePersons, kPersons, nullptr, "", "", K::OpenWindow, "BrowsePerson", 0, NeedsDatabase, nullptr},
        {C::MergeDuplicatePersons, kPersons, nullptr, "", "", K::OpenWindow, "Duplicates", 0,
         NeedsDatabase | NotDuringCountdown, nullptr},
        {C::ExportAddressBook, kPersons, nullptr, "&Export Address Book", "Export Address Book", K::OpenWindow,
         "AddressExport", 0, NeedsDatabase, nullptr},

        {C::BrowseMessages, kMessages, nullptr, "&Browse Messages", "Show Messages browse list",
         K::OpenMessageBrowse, nullptr, 0, kDatabase, nullptr},
        {C::CountMessages, kMessages, nullptr, "&Count Messages", "Show Count Messages starting window",
         K::OpenWindow, "PurgeMess", 2, kDatabase | kCloses, nullptr},
        {C::PurgeDeletedMessages, kMessages, nullptr, "Purge &Deleted Messages",
         "Show Purge Deleted Messages starting window", K::OpenWindow, "PurgeMess", 1, kDatabase | kCloses, nullptr},
        {C::StandardSearch, kMessages, nullptr, "&Standard Search", "Standard search", K::PassToBrowse, nullptr, 0,
         kDatabase, nullptr},
        {C::ProfessionalSearch, kMessages, nullptr, "&Professional Search", "Professional search", K::PassToBrowse,
         nullptr, 0, kDatabase, nullptr},
        {C::Topics, kMessages, kClassify, "Topics", "Edit Message Topics list", K::OpenWindow, "BrowseTopics", 0,
         kDatabase, nullptr},
        {C::AttachTopics, kMessages, kClassify, "Attach Topics", "Associate messages with Topics", K::PassToBrowse,
         nullptr, 0, kDatabase, nullptr},
        {C::ClassifyMessageSets, kMessages, kClassify, "Classify Message Sets", "Classify sets of messages",
         K::PassToBrowse, nullptr, 0, kDatabase, nullptr},
        {C::MessageStatus, kMessages, nullptr, "Message Stat&us", "Set message status codes", K::PassToBrowse,
         nullptr, 0, kDatabase, nullptr},
        {C::ExportMessages, kMessages, nullptr, "&Export Messages", "Export messages to a file", K::PassToBrowse,
         nullptr, 0, kDatabase, nullptr},
        {C::PrintMessages, kMessages, nullptr, "P&rint Messages", "Print messages", K::PassToBrowse, nullptr, 0,
         kDatabase, nullptr},
        {C::CopyToClipboard, kMessages, nullptr, "C&opy to Clip-board", "Copy messages to the clipboard",
         K::PassToBrowse, nullptr, 0, kDatabase, nullptr},
        {C::ShowThreadTree, kMessages, nullptr, "Show T&hread Tree", "Show the thread of the selected message",
         K::PassToBrowse, nullptr, 0, kDatabase, nullptr},

        {C::IndexedWords, kIndexing, nullptr, "&Indexed Words", "List of indexed Words", K::OpenWindow, "WordList",
         0, kDatabase, nullptr},
        {C::NonIndexedWords, kIndexing, nullptr, "&Non Indexed Words", "List of non indexed Words", K::OpenWindow,
         "StopList", 0, kDatabase, nullptr},
        {C::BuildWordIndex, kIndexing, nullptr, "&Build Word Index", "Show Build Word Index starting window",
         K::OpenWindow, "AutoIndex", 0, kDatabase | kCloses, nullptr},
        {C::WordIndexStatus, kIndexing, nullptr, "&Word Index Status", "Toggle Auto Indexing", K::OpenWindow,
         "SetIndex", 0, kDatabase, nullptr},

        {C::TileWindows, kWindow, nullptr, "&Tile", "Arrange the windows side by side", K::FrameAction, nullptr, 0,
         0, nullptr},
        {C::CascadeWindows, kWindow, nullptr, "&Cascade", "Arrange the windows overlapping", K::FrameAction, nullptr,
         0, 0, nullptr},
        {C::CloseAllWindows, kWindow, nullptr, "Close &All", "Close all windows", K::FrameAction, nullptr, 0, 0,
         nullptr},
        {C::NextWindow, kWindow, nullptr, "Ne&xt", "Activate the next window", K::FrameAction, nullptr, 0, 0,
         nullptr},
        {C::PreviousWindow, kWindow, nullptr, "Pre&vious", "Activate the previous window", K::FrameAction, nullptr,
         0, 0, nullptr},

        {C::HelpContents, kHelp, nullptr, "&Contents", "Show the contents of the help", K::FrameAction, nullptr, 0,
         NotDuringCountdown, TopicContents},
        {C::HelpSearch, kHelp, nullptr, "&Search for Help On...", "Search the help for a word", K::FrameAction,
         nullptr, 0, NotDuringCountdown, TopicContents},
        {C::HelpHowToUse, kHelp, nullptr, "How to &Use Help", "How to use the help", K::FrameAction, nullptr, 0,
         NotDuringCountdown, TopicHowToUseHelp},
        {C::HelpWhatsNew, kHelp, nullptr, "What is new?", "What is new in this version", K::FrameAction, nullptr, 0,
         NotDuringCountdown, TopicWhatsNew},
        {C::HelpSupport, kHelp, nullptr, "Su&pport", "Support and future updates", K::FrameAction, nullptr, 0,
         NotDuringCountdown, TopicSupport},
        {C::About, kHelp, nullptr, "&About..", "About Postmoor", K::OpenWindow, "About", 0, 0, nullptr},
    };
    return table;
}

const CommandEntry& commandEntry(CommandId id) {
    for (const CommandEntry& c : commandTable())
        if (c.id == id) return c;
    throw std::logic_error("command without a table entry");
}

const std::vector<WindowEntry>& windowTable() {
    using T = ToolKind;
    static const std::vector<WindowEntry> table = {
        {"ChangeForum", nullptr, T::Tool, Event1298, SlotChangeForum, "~Change_Active_Database", 0},
        {"BrowseBox", nullptr, T::Tool, Event1298, SlotBrowseBox, "~Mail_Database_Setup", 0},
        {"SetIndex", &NotToolsGroup, T::None, 0, SlotSetIndex, "~Word_Index_Status", 0},
        {"StartUpWizard", nullptr, T::None, 0, SlotStartUpWizard, "~StartUp_Wizard", ServiceStartUpWizard},
        {"About", nullptr, T::None, 0, SlotAbout, "~About_Postmoor", 0},
        {"ImportMeny", nullptr, T::Tool, Event1298, 0, nullptr, ServiceImportWizard},
        {"UserPanel", &NotToolsGroup, T::Tool, Event1331, 0, nullptr, ServicePreferences},
        {"MergeMeny", nullptr, T::Tool, Event1299, 0, nullptr, ServiceMergeDatabases},
        {"RedirectMeny", nullptr, T::Tool, Event1298, 0, nullptr, ServiceImportRedirection},
        {"RebuildMeny", nullptr, T::Tool, Event1299, 0, nullptr, 0},
        {"RebuildIt", &ImportGroup, T::None, 0, 0, nullptr, ServiceRebuild},
        {"BrowseBatch", nullptr, T::TaskTool, Event1330, 0, nullptr, ServiceImportProcedures},
        {"BrowseTasks", nullptr, T::TaskTool, Event1330, 0, nullptr, ServiceScheduledTasks},
        {"ShowLog", nullptr, T::None, 0, 0, nullptr, ServiceTaskLog},
        {"StartTask", nullptr, T::None, 0, 0, nullptr, ServiceTaskCountdown},
        {"SearchWz", nullptr, T::Tool, Event1331, 0, nullptr, ServiceWordIndexSetup},
        {"ImportIt", &ImportGroup, T::None, 0, 0, nullptr, 0},
        {"BrowseMail", &NotToolsGroup, T::None, 0, SlotBrowseMail, nullptr, 0},
        {"BrowseMsgNmbr", &NotToolsGroup, T::None, 0, SlotBrowseMsgNmbr, nullptr, 0},
        {"ThreadTree", &NotToolsGroup, T::None, 0, SlotThreadTree, nullptr, 0},
        {"BrowsePerson", &NotToolsGroup, T::None, 0, 0, nullptr, 0},
        {"Duplicates", &NotToolsGroup, T::None, 0, 0, nullptr, 0},
        {"AddressExport", &NotToolsGroup, T::None, 0, 0, nullptr, 0},
        {"PurgeMess", nullptr, T::Tool, Event1298, 0, nullptr, 0},
        {"BrowseTopics", &NotToolsGroup, T::None, 0, 0, nullptr, ServiceAddTopic},
        {"WordList", &NotToolsGroup, T::None, 0, 0, nullptr, ServiceWordList},
        {"StopList", &NotToolsGroup, T::None, 0, 0, nullptr, ServiceStopWords},
        {"AutoIndex", nullptr, T::Tool, Event1298, 0, nullptr, ServiceWordIndexBuild},
    };
    return table;
}

const WindowEntry* windowEntry(const QString& name) {
    for (const WindowEntry& w : windowTable())
        if (name == QLatin1String(w.name)) return &w;
    return nullptr;
}

const PersonsMenuTexts& personsMenuTexts(BYTE databaseType) {
    static const PersonsMenuTexts mail = {
        "Mail &Partners", "&Browse Mail Partners", "Show mail partners browse list",
        "&Merge Duplicate Mail Partners", "Show Merge Duplicate Mail Partners starting window",
        "Show mail partners browse list", "Merge duplicate mail partners"};
    static const PersonsMenuTexts forum = {
        "Forum Mem&bers", "&Browse Forum Members", "Show Forum Members browse list",
        "&Merge Duplicate Forum Members", "Show Merge Duplicate Forum Members starting window",
        "Show Forum members browse list", "Merge duplicate Forum members"};
    static const PersonsMenuTexts newsgroup = {
        "Newsgroup &Participants", "&Browse Newsgroup Participants", "Show Newsgroup Participants browse list",
        "&Merge Duplicate Newsgroup Participants", "Show Merge Duplicate Newsgroup Participants starting window",
        "Show Newsgroup participants browse list", "Merge duplicate Newsgroup participants"};
    switch (databaseType) {
        case TypeMail: return mail;
        case TypeNewsgroup: return newsgroup;
        default: return forum;
    }
}

}  // namespace pm::frame
