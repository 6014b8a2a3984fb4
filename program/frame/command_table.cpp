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
        {.id = C::ChangeActiveDatabase, .menu = kFile, .text = "&Change Active Database",
         .tip = "Change to another database", .kind = K::OpenWindow, .window = "ChangeForum", .flags = kCloses},
        {.id = C::ImportWizard, .menu = kFile, .text = "&Import Wizard", .tip = "Import Messages",
         .kind = K::OpenWindow, .window = "ImportMeny", .flags = kCloses},
        {.id = C::Preferences, .menu = kFile, .text = "&Preferences", .tip = "User definable settings",
         .kind = K::OpenWindow, .window = "UserPanel", .flags = kCloses},
        {.id = C::MergeDatabases, .menu = kFile, .text = "Merge &Databases", .tip = "Merge two databases",
         .kind = K::OpenWindow, .window = "MergeMeny", .flags = ClosesConflicts},
        {.id = C::ImportRedirection, .menu = kFile, .text = "Import redirection",
         .tip = "Redirect newsgroup message import", .kind = K::OpenWindow, .window = "RedirectMeny"},
        {.id = C::RebuildUtility, .menu = kFile, .text = "&Rebuild Utility",
         .tip = "Rebuild the database list and check next ID number", .kind = K::OpenWindow, .window = "RebuildMeny",
         .flags = ClosesConflicts},
        {.id = C::MailDatabaseSetup, .menu = kFile, .text = "&Mail Database Setup", .tip = "Set up a Mail Database",
         .kind = K::OpenWindow, .window = "BrowseBox", .flags = ClosesConflicts},
        {.id = C::DefineImportProcedures, .menu = kFile, .submenu = kTaskManager, .text = "Define Import Procedures",
         .tip = "Define the import procedures that tasks run", .kind = K::OpenWindow, .window = "BrowseBatch",
         .flags = ClosesConflicts | TaskCommand},
        {.id = C::ScheduleTasks, .menu = kFile, .submenu = kTaskManager, .text = "Schedule Tasks",
         .tip = "Schedule the tasks that run unattended", .kind = K::OpenWindow, .window = "BrowseTasks",
         .flags = kCloses | TaskCommand},
        {.id = C::ShowTaskLog, .menu = kFile, .submenu = kTaskManager, .text = "Show Task Log",
         .tip = "Show the log of the task runs", .kind = K::OpenWindow, .window = "ShowLog", .flags = TaskCommand},
        {.id = C::WordIndexSetupWizard, .menu = kFile, .text = "Word Index &SetUp Wizard",
         .tip = "Wizard to set up Word Indexing preferences", .kind = K::OpenWindow, .window = "SearchWz"},
        {.id = C::PrintSetup, .menu = kFile, .text = "Print &Setup ...", .tip = "Setup printer",
         .kind = K::FrameAction},
        {.id = C::Exit, .menu = kFile, .text = "E&xit Postmoor", .tip = "Exit Postmoor", .kind = K::FrameAction},

        // The texts of the persons commands follow the database type.
        {.id = C::BrowsePersons, .menu = kPersons, .text = "", .tip = "", .kind = K::OpenWindow,
         .window = "BrowsePerson", .flags = NeedsDatabase},
        {.id = C::MergeDuplicatePersons, .menu = kPersons, .text = "", .tip = "", .kind = K::OpenWindow,
         .window = "Duplicates", .flags = NeedsDatabase | NotDuringCountdown},
        {.id = C::ExportAddressBook, .menu = kPersons, .text = "&Export Address Book", .tip = "Export Address Book",
         .kind = K::OpenWindow, .window = "AddressExport", .flags = NeedsDatabase},

        {.id = C::BrowseMessages, .menu = kMessages, .text = "&Browse Messages", .tip = "Show Messages browse list",
         .kind = K::OpenMessageBrowse, .flags = kDatabase},
        {.id = C::CountMessages, .menu = kMessages, .text = "&Count Messages",
         .tip = "Show Count Messages starting window", .kind = K::OpenWindow, .window = "PurgeMess",
         .request = RequestCount, .flags = kDatabase | kCloses},
        {.id = C::PurgeDeletedMessages, .menu = kMessages, .text = "Purge &Deleted Messages",
         .tip = "Show Purge Deleted Messages starting window", .kind = K::OpenWindow, .window = "PurgeMess",
         .request = RequestPurge, .flags = kDatabase | kCloses},
        {.id = C::StandardSearch, .menu = kMessages, .text = "&Standard Search", .tip = "Standard search",
         .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::ProfessionalSearch, .menu = kMessages, .text = "&Professional Search", .tip = "Professional search",
         .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::Topics, .menu = kMessages, .submenu = kClassify, .text = "Topics",
         .tip = "Edit Message Topics list", .kind = K::OpenWindow, .window = "BrowseTopics", .flags = kDatabase},
        {.id = C::AttachTopics, .menu = kMessages, .submenu = kClassify, .text = "Attach Topics",
         .tip = "Associate messages with Topics", .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::ClassifyMessageSets, .menu = kMessages, .submenu = kClassify, .text = "Classify Message Sets",
         .tip = "Classify sets of messages", .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::MessageStatus, .menu = kMessages, .text = "Message Stat&us", .tip = "Set message status codes",
         .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::ExportMessages, .menu = kMessages, .text = "&Export Messages", .tip = "Export messages to a file",
         .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::PrintMessages, .menu = kMessages, .text = "P&rint Messages", .tip = "Print messages",
         .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::CopyToClipboard, .menu = kMessages, .text = "C&opy to Clip-board",
         .tip = "Copy messages to the clipboard", .kind = K::PassToBrowse, .flags = kDatabase},
        {.id = C::ShowThreadTree, .menu = kMessages, .text = "Show T&hread Tree",
         .tip = "Show the thread of the selected message", .kind = K::PassToBrowse, .flags = kDatabase},

        {.id = C::IndexedWords, .menu = kIndexing, .text = "&Indexed Words", .tip = "List of indexed Words",
         .kind = K::OpenWindow, .window = "WordList", .flags = kDatabase},
        {.id = C::NonIndexedWords, .menu = kIndexing, .text = "&Non Indexed Words",
         .tip = "List of non indexed Words", .kind = K::OpenWindow, .window = "StopList", .flags = kDatabase},
        {.id = C::BuildWordIndex, .menu = kIndexing, .text = "&Build Word Index",
         .tip = "Show Build Word Index starting window", .kind = K::OpenWindow, .window = "AutoIndex",
         .flags = kDatabase | kCloses},
        {.id = C::WordIndexStatus, .menu = kIndexing, .text = "&Word Index Status", .tip = "Toggle Auto Indexing",
         .kind = K::OpenWindow, .window = "SetIndex", .flags = kDatabase},

        {.id = C::TileWindows, .menu = kWindow, .text = "&Tile", .tip = "Arrange the windows side by side",
         .kind = K::FrameAction},
        {.id = C::CascadeWindows, .menu = kWindow, .text = "&Cascade", .tip = "Arrange the windows overlapping",
         .kind = K::FrameAction},
        {.id = C::CloseAllWindows, .menu = kWindow, .text = "Close &All", .tip = "Close all windows",
         .kind = K::FrameAction},
        {.id = C::NextWindow, .menu = kWindow, .text = "Ne&xt", .tip = "Activate the next window",
         .kind = K::FrameAction},
        {.id = C::PreviousWindow, .menu = kWindow, .text = "Pre&vious", .tip = "Activate the previous window",
         .kind = K::FrameAction},

        {.id = C::HelpContents, .menu = kHelp, .text = "&Contents", .tip = "Show the contents of the help",
         .kind = K::FrameAction, .flags = NotDuringCountdown, .helpTopic = TopicContents},
        {.id = C::HelpSearch, .menu = kHelp, .text = "&Search for Help On...", .tip = "Search the help for a word",
         .kind = K::FrameAction, .flags = NotDuringCountdown, .helpTopic = TopicContents},
        {.id = C::HelpHowToUse, .menu = kHelp, .text = "How to &Use Help", .tip = "How to use the help",
         .kind = K::FrameAction, .flags = NotDuringCountdown, .helpTopic = TopicHowToUseHelp},
        {.id = C::HelpWhatsNew, .menu = kHelp, .text = "What is new?", .tip = "What is new in this version",
         .kind = K::FrameAction, .flags = NotDuringCountdown, .helpTopic = TopicWhatsNew},
        {.id = C::HelpSupport, .menu = kHelp, .text = "Su&pport", .tip = "Support and future updates",
         .kind = K::FrameAction, .flags = NotDuringCountdown, .helpTopic = TopicSupport},
        {.id = C::About, .menu = kHelp, .text = "&About..", .tip = "About Postmoor", .kind = K::OpenWindow,
         .window = "About"},
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
        {.name = "ChangeForum", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase, .slot = SlotChangeForum,
         .helpTopic = "~Change_Active_Database"},
        {.name = "BrowseBox", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase, .slot = SlotBrowseBox,
         .helpTopic = "~Mail_Database_Setup"},
        {.name = "SetIndex", .group = &NotToolsGroup, .slot = SlotSetIndex, .helpTopic = "~Word_Index_Status"},
        {.name = "StartUpWizard", .slot = SlotStartUpWizard, .helpTopic = "~StartUp_Wizard",
         .serviceCode = ServiceStartUpWizard},
        {.name = "About", .slot = SlotAbout, .helpTopic = "~About_Postmoor"},
        {.name = "ImportMeny", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase,
         .helpTopic = "~Import_Wizard", .serviceCode = ServiceImportWizard},
        {.name = "UserPanel", .group = &NotToolsGroup, .tool = T::Tool, .closingEvent = EventSettingsToolClosed,
         .helpTopic = "~User_Preferences",
         .serviceCode = ServicePreferences},
        {.name = "MergeMeny", .tool = T::Tool, .closingEvent = EventDeactivateDatabase, .helpTopic = "~Merge_Databases",
         .serviceCode = ServiceMergeDatabases},
        {.name = "RedirectMeny", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase,
         .helpTopic = "~Import_Redirection",
         .serviceCode = ServiceImportRedirection},
        {.name = "RebuildMeny", .tool = T::Tool, .closingEvent = EventDeactivateDatabase, .helpTopic = "~Rebuild_Utility"},
        {.name = "RebuildIt", .group = &ImportGroup, .helpTopic = "~Rebuild_Utility", .serviceCode = ServiceRebuild},
        {.name = "BrowseBatch", .tool = T::TaskTool, .closingEvent = EventTaskToolClosed,
         .helpTopic = "~Import_Procedures", .serviceCode = ServiceImportProcedures},
        {.name = "BrowseTasks", .tool = T::TaskTool, .closingEvent = EventTaskToolClosed,
         .helpTopic = "~Scheduled_Tasks", .serviceCode = ServiceScheduledTasks},
        {.name = "ShowLog", .helpTopic = "~Task_Log", .serviceCode = ServiceTaskLog},
        {.name = "StartTask", .helpTopic = "~Task_Start", .serviceCode = ServiceTaskCountdown},
        {.name = "TaskRun", .group = &ImportGroup, .helpTopic = "~Task_Processing"},
        {.name = "SearchWz", .tool = T::Tool, .closingEvent = EventSettingsToolClosed,
         .helpTopic = "~Word_Index_SetUp_Wizard", .serviceCode = ServiceWordIndexSetup},
        {.name = "ImportIt", .group = &ImportGroup, .closingEvent = EventRefreshActiveDatabase,
         .helpTopic = "~Import_Processing"},
        {.name = "MergeIt", .group = &ImportGroup, .helpTopic = "~Merge_Databases"},
        {.name = "MergeRedirection", .group = &ImportGroup, .helpTopic = "~Import_Redirection"},
        {.name = "PurgeRedir", .group = &ImportGroup, .helpTopic = "~Import_Redirection"},
        {.name = "BrowseMail", .group = &NotToolsGroup, .helpTopic = "~Browse_Messages"},
        {.name = "BrowseMsgNmbr", .group = &NotToolsGroup, .helpTopic = "~Browse_Messages"},
        {.name = "ThreadTree", .group = &NotToolsGroup, .helpTopic = "~Thread_Tree"},
        {.name = "BrowsePerson", .group = &NotToolsGroup, .helpTopic = "~Browse_Persons"},
        {.name = "Duplicates", .group = &NotToolsGroup, .helpTopic = "~Merge_Duplicate_Persons"},
        {.name = "AddressExport", .group = &NotToolsGroup},
        {.name = "PurgeMess", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase,
         .helpTopic = "~Purge_Messages"},
        {.name = "SetOperations", .group = &NotToolsGroup, .helpTopic = "~Export_Print_Classify"},
        {.name = "BrowseTopics", .group = &NotToolsGroup, .helpTopic = "~Topics", .serviceCode = ServiceAddTopic},
        {.name = "AttachTopics", .group = &NotToolsGroup, .helpTopic = "~Attach_Topics"},
        {.name = "FindText", .group = &FindGroup, .helpTopic = "~Standard_Search"},
        {.name = "MailFind", .group = &FindGroup, .helpTopic = "~Standard_Search"},
        {.name = "WordList", .group = &NotToolsGroup, .helpTopic = "~Indexed_Words", .serviceCode = ServiceWordList},
        {.name = "StopList", .group = &NotToolsGroup, .helpTopic = "~Non_Index_Words", .serviceCode = ServiceStopWords},
        {.name = "AutoIndex", .tool = T::Tool, .closingEvent = EventRefreshActiveDatabase,
         .helpTopic = "~Build_Word_Index", .serviceCode = ServiceWordIndexBuild},
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
