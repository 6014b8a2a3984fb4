#pragma once
// The frame's single table of commands and of the windows they open.
//
// A command is enabled when what it opens exists: a window whose factory
// is registered (window_factories.h), or an action of the frame itself.
// A later window plugs in by registering its factory under its window
// name; its menu item, toolbar button and service code follow.
#include <QString>
#include <vector>

#include "common/types.h"

namespace pm::frame {

enum class CommandId {
    // File
    ChangeActiveDatabase, ImportWizard, Preferences, MergeDatabases, ImportRedirection,
    RebuildUtility, MailDatabaseSetup, DefineImportProcedures, ScheduleTasks, ShowTaskLog,
    WordIndexSetupWizard, PrintSetup, Exit,
    // persons (titled by database type)
    BrowsePersons, MergeDuplicatePersons, ExportAddressBook,
    // Messages
    BrowseMessages, CountMessages, PurgeDeletedMessages, StandardSearch, ProfessionalSearch,
    Topics, AttachTopics, ClassifyMessageSets, MessageStatus, ExportMessages, PrintMessages,
    CopyToClipboard, ShowThreadTree,
    // Indexing
    IndexedWords, NonIndexedWords, BuildWordIndex, WordIndexStatus,
    // Window
    TileWindows, CascadeWindows, CloseAllWindows, NextWindow, PreviousWindow,
    // Help
    HelpContents, HelpSearch, HelpHowToUse, HelpWhatsNew, HelpSupport, About,
};

// How a command is carried out.
enum class CommandKind {
    OpenWindow,         // opens (or brings to the front) `window`
    OpenMessageBrowse,  // BrowseMail for a mail database, BrowseMsgNmbr otherwise
    PassToBrowse,       // opens the message browse when needed and hands it the command
    FrameAction,        // done by the frame itself (exit, printer, help, window commands)
};

enum CommandFlag : unsigned {
    NeedsDatabase = 1,       // disabled while no database is active
    ClosesConflicts = 2,     // closes FindGroup and NotToolsGroup windows first
    TaskCommand = 4,         // stays enabled while a task window is open
    NotDuringCountdown = 8,  // does nothing while the task countdown runs (DoTask TaskDue)
    MessageCommand = 16,     // disabled while indexing runs (EventDisableMessageCommands)
};

// What the purge window ("PurgeMess") is opened for (GlobalRequest).
enum PurgeWindowRequest : LONG { RequestPurge = 1, RequestCount = 2 };

// A row of the command table; rows name their fields (designated
// initializers) and leave out those that keep their defaults.
struct CommandEntry {
    CommandId id;
    const char* menu = nullptr;       // "&File", "persons", "&Messages", "&Indexing", "&Window", "&Help"
    const char* submenu = nullptr;    // "&Task Manager", "Classify &Messages" or nullptr
    const char* text = nullptr;       // the item, with its & accelerator
    const char* tip = nullptr;        // status tip
    CommandKind kind = CommandKind::FrameAction;
    const char* window = nullptr;     // window opened (OpenWindow), else nullptr
    LONG request = 0;                 // GlobalRequest set before opening (0 = leave)
    unsigned flags = 0;
    const char* helpTopic = nullptr;  // help commands: the topic opened
};

// Every command, in menu order.
const std::vector<CommandEntry>& commandTable();
const CommandEntry& commandEntry(CommandId id);

// Submenu tips.
inline constexpr const char* TaskManagerTip = "Automating the import process";
inline constexpr const char* WindowMenuTip = "Create and Arrange Windows";

// How a window takes part in the frame's modes.
enum class ToolKind {
    None,
    Tool,      // disables the other commands while open
    TaskTool,  // a tool window that leaves the task manager commands enabled
};

// A row of the window table (designated initializers, as above).
struct WindowEntry {
    const char* name;
    const QString* group = nullptr;   // nullptr: no group
    ToolKind tool = ToolKind::None;
    int closingEvent = 0;             // FrameEvent posted when it closes (0 none)
    int slot = 0;                     // WindowPos slot (0: not remembered)
    const char* helpTopic = nullptr;
    int serviceCode = 0;              // ServiceCode of the library service that opens it (0 none)
};

// Every window the frame knows by name.
const std::vector<WindowEntry>& windowTable();
// The entry of `name`; nullptr for a name the table does not hold.
const WindowEntry* windowEntry(const QString& name);

// The persons menu for a database type (1 forum, 2 mail, 3 newsgroup; any
// other value reads as forum).
struct PersonsMenuTexts {
    const char* title;
    const char* browseItem;
    const char* browseTip;
    const char* mergeItem;
    const char* mergeTip;
    const char* browseButtonTip;
    const char* mergeButtonTip;
};
const PersonsMenuTexts& personsMenuTexts(BYTE databaseType);

// The help topics of the frame (the windows name their own).
inline constexpr const char* TopicContents = "Contents";
inline constexpr const char* TopicHowToUseHelp = "~How_to_use_help";
inline constexpr const char* TopicWhatsNew = "~What_s_new_in_Postmoor_4.0_";
inline constexpr const char* TopicSupport = "~Support_and_future_updates";

}  // namespace pm::frame
