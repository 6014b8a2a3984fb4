// The frame: title and commands from the active database, the persons menu,
// the window manager behind the commands, tool windows, frame events and
// exit.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <filesystem>

#include "common/dates.h"
#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame_test_support.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/catalog_list.h"
#include "tables/services/library_services.h"

namespace pm::test {

using frame::CommandId;
using frame::MainFrame;

namespace {

QString title(const char* suffix) { return QString(frame::ProgramTitle) + suffix; }

// A browse stand-in: takes every toolbar button and records what it gets.
class BrowseProbe : public QWidget, public frame::ToolbarTarget {
public:
    std::vector<frame::ToolbarButton> buttons;
    std::vector<int> commands;
    bool refuseClose = false;
    bool toolbarButtonEnabled(frame::ToolbarButton) const override { return true; }

protected:
    bool event(QEvent* e) override {
        if (e->type() == frame::ToolbarButtonEvent::eventType()) {
            buttons.push_back(static_cast<frame::ToolbarButtonEvent*>(e)->button());
            return true;
        }
        if (e->type() == frame::CommandEvent::eventType()) {
            commands.push_back(static_cast<frame::CommandEvent*>(e)->command());
            return true;
        }
        return QWidget::event(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (refuseClose) e->ignore();
        else e->accept();
    }
};

// The menu item texts of `menu`, submenus in brackets.
QStringList itemTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        if (a->menu()) out << "[" + a->text() + "]" + itemTexts(a->menu()).join("/");
        else out << a->text();
    }
    return out;
}

QMenu* topMenu(MainFrame& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

}  // namespace

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void withoutDatabaseTheTitleSaysSoAndDatabaseCommandsAreOff();
    void startActivatesTheDefaultOrTheFirstEnterableDatabase();
    void menusHoldEveryCommandWithItsAccelerator();
    void personsMenuFollowsTheDatabaseType_data();
    void personsMenuFollowsTheDatabaseType();
    void secondRequestBringsTheFirstWindowToTheFront();
    void toolWindowsDisableAllButExitAndRestoreOnClose();
    void registeringAWindowEnablesItsCommandAndService();
    void conflictingWindowsCloseAndTheCommandRunsAfterwards();
    void exitIsRefusedWhileIndexingAndSavesStateAfterwards();
    void frameEventsSwitchCommandsAndDatabases();
    void deletingTheActiveDatabaseThroughItsEvents();
    void toolbarButtonsAndCommandsReachTheActiveBrowse();
    void statusBarShowsDateAndTimeInTheChosenFormats();
    void savedPlaceOrMaximized();
    void screenshotWithADatabaseActive();
};

void FrameTest::withoutDatabaseTheTitleSaysSoAndDatabaseCommandsAreOff() {
    Installation inst;
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.windowTitle(), title("[No Active Database]"));
    QVERIFY(frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
    QVERIFY(frame.action(CommandId::MailDatabaseSetup)->isEnabled());
    QVERIFY(frame.action(CommandId::Exit)->isEnabled());
    QVERIFY(!frame.action(CommandId::WordIndexStatus)->isEnabled());  // needs a database
    // Windows later parts build are present but off.
    QVERIFY(!frame.action(CommandId::ImportWizard)->isEnabled());
    QVERIFY(!frame.action(CommandId::BrowseMessages)->isEnabled());
    QVERIFY(frame.action(CommandId::Preferences)->isEnabled());  // no database needed
    settle();
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));  // not a first start
}

void FrameTest::startActivatesTheDefaultOrTheFirstEnterableDatabase() {
    Installation inst;
    inst.addDatabase(TypeForum, "First");
    const ULONG second = inst.addDatabase(TypeNewsgroup, "comp.second");
    inst.settings.values[frame::ItemDefaultDatabase] = static_cast<LONG>(second);
    {
        MainFrame frame(inst.settings, false);
        frame.start();
        QCOMPARE(frame.windowTitle(), title("[comp.second]"));
        QVERIFY(frame.action(CommandId::WordIndexStatus)->isEnabled());
    }
    deactivateDatabase();
    std::filesystem::remove_all(inst.path("F2"));  // the default cannot be entered
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.windowTitle(), title("[First]"));
}

void FrameTest::menusHoldEveryCommandWithItsAccelerator() {
    Installation inst;
    MainFrame frame(inst.settings, false);
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"&File", "Forum Mem&bers", "&Messages", "&Indexing", "&Window", "&Help"}));
    QCOMPARE(itemTexts(topMenu(frame, "&File")),
             QStringList({"&Change Active Database", "&Import Wizard", "&Preferences", "Merge &Databases",
                          "Import redirection", "&Rebuild Utility", "&Mail Database Setup",
                          "[&Task Manager]Define Import Procedures/Schedule Tasks/Show Task Log",
                          "Word Index &SetUp Wizard", "Print &Setup ...", "E&xit Postmoor"}));
    QCOMPARE(itemTexts(topMenu(frame, "&Messages")),
             QStringList({"&Browse Messages", "&Count Messages", "Purge &Deleted Messages", "&Standard Search",
                          "&Professional Search", "[Classify &Messages]Topics/Attach Topics/Classify Message Sets",
                          "Message Stat&us", "&Export Messages", "P&rint Messages", "C&opy to Clip-board",
                          "Show T&hread Tree"}));
    QCOMPARE(itemTexts(topMenu(frame, "&Indexing")),
             QStringList({"&Indexed Words", "&Non Indexed Words", "&Build Word Index", "&Word Index Status"}));
    QCOMPARE(itemTexts(topMenu(frame, "&Help")).mid(0, 6),
             QStringList({"&Contents", "&Search for Help On...", "How to &Use Help", "What is new?", "Su&pport",
                          "&About.."}));
    // Tooltips as the status line shows them.
    const std::pair<CommandId, const char*> tips[] = {
        {CommandId::ChangeActiveDatabase, "Change to another database"},
        {CommandId::ImportWizard, "Import Messages"},
        {CommandId::RebuildUtility, "Rebuild the database list and check next ID number"},
        {CommandId::MailDatabaseSetup, "Set up a Mail Database"},
        {CommandId::WordIndexSetupWizard, "Wizard to set up Word Indexing preferences"},
        {CommandId::PrintSetup, "Setup printer"},
        {CommandId::CountMessages, "Show Count Messages starting window"},
        {CommandId::Topics, "Edit Message Topics list"},
        {CommandId::AttachTopics, "Associate messages with Topics"},
        {CommandId::MessageStatus, "Set message status codes"},
        {CommandId::WordIndexStatus, "Toggle Auto Indexing"},
        {CommandId::NonIndexedWords, "List of non indexed Words"},
    };
    for (const auto& [id, tip] : tips) QCOMPARE(frame.action(id)->statusTip(), QString(tip));
    QCOMPARE(topMenu(frame, "&File")->actions().at(7)->statusTip(), QString("Automating the import process"));
    // Toolbar: the main commands, then the record navigation.
    QStringList toolbar;
    for (QAction* a : frame.toolBar()->actions())
        if (!a->isSeparator()) toolbar << a->text();
    QCOMPARE(toolbar.mid(toolbar.size() - 9, 6),
             QStringList({"First Page", "Prior Page", "Prior Record", "Next Record", "Next Page", "Last Page"}));
}

void FrameTest::personsMenuFollowsTheDatabaseType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("expected");  // title, items, tips, toolbar tips
    QTest::newRow("mail") << int(TypeMail)
                          << QStringList{"Mail &Partners", "&Browse Mail Partners", "Show mail partners browse list",
                                         "&Merge Duplicate Mail Partners",
                                         "Show Merge Duplicate Mail Partners starting window",
                                         "Show mail partners browse list", "Merge duplicate mail partners"};
    QTest::newRow("forum") << int(TypeForum)
                           << QStringList{"Forum Mem&bers", "&Browse Forum Members", "Show Forum Members browse list",
                                          "&Merge Duplicate Forum Members",
                                          "Show Merge Duplicate Forum Members starting window",
                                          "Show Forum members browse list", "Merge duplicate Forum members"};
    QTest::newRow("newsgroup") << int(TypeNewsgroup)
                               << QStringList{"Newsgroup &Participants", "&Browse Newsgroup Participants",
                                              "Show Newsgroup Participants browse list",
                                              "&Merge Duplicate Newsgroup Participants",
                                              "Show Merge Duplicate Newsgroup Participants starting window",
                                              "Show Newsgroup participants browse list",
                                              "Merge duplicate Newsgroup participants"};
}

void FrameTest::personsMenuFollowsTheDatabaseType() {
    QFETCH(int, type);
    QFETCH(QStringList, expected);
    Installation inst;
    const ULONG mail = inst.addDatabase(TypeMail, "My mail");
    const ULONG other = inst.addDatabase(static_cast<BYTE>(type == TypeMail ? TypeNewsgroup : type), "Other");
    inst.settings.values[frame::ItemDefaultDatabase] = static_cast<LONG>(mail);
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.personsMenu()->title(), QString("Mail &Partners"));
    // Switching databases renames the menu.
    activateDatabase(type == TypeMail ? mail : other);
    frame.frameEvent(EventRefreshActiveDatabase);
    QAction* browse = frame.action(CommandId::BrowsePersons);
    QAction* merge = frame.action(CommandId::MergeDuplicatePersons);
    QCOMPARE(QStringList({frame.personsMenu()->title(), browse->text(), browse->statusTip(), merge->text(),
                          merge->statusTip(), browse->toolTip(), merge->toolTip()}),
             expected);
}

void FrameTest::secondRequestBringsTheFirstWindowToTheFront() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    frame.start();
    // Through the menu command ...
    frame.runCommand(CommandId::WordIndexStatus);
    QMdiSubWindow* first = frame.windows().TmGetId("SetIndex");
    QVERIFY(first);
    QVERIFY(frame.openWindow("About"));
    QCOMPARE(frame.area()->activeSubWindow(), frame.windows().TmGetId("About"));
    frame.runCommand(CommandId::WordIndexStatus);
    settle();
    QCOMPARE(frame.windows().TmGetId("SetIndex"), first);
    QCOMPARE(frame.area()->activeSubWindow(), first);
    QCOMPARE(frame.area()->subWindowList().size(), 2);
    // ... and for a tool window, whose own menu item is off while it is open.
    QVERIFY(frame.openWindow("ChangeForum"));
    QMdiSubWindow* list = frame.windows().TmGetId("ChangeForum");
    frame.area()->setActiveSubWindow(first);
    QVERIFY(frame.openWindow("ChangeForum"));
    QCOMPARE(frame.windows().TmGetId("ChangeForum"), list);
    QCOMPARE(frame.area()->activeSubWindow(), list);
    QCOMPARE(frame.area()->subWindowList().size(), 3);
}

void FrameTest::toolWindowsDisableAllButExitAndRestoreOnClose() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.windowTitle(), title("[Forum]"));
    frame.runCommand(CommandId::MailDatabaseSetup);
    QVERIFY(frame.windows().TmGetId("BrowseBox"));
    QCOMPARE(frame.windowTitle(), title("[No Active Database]"));
    QVERIFY(!frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
    QVERIFY(!frame.action(CommandId::WordIndexStatus)->isEnabled());
    QVERIFY(frame.action(CommandId::Exit)->isEnabled());
    frame.windows().TmDestroy("BrowseBox");
    settle();  // the closing window's EventRefreshActiveDatabase
    QCOMPARE(frame.windowTitle(), title("[Forum]"));
    QVERIFY(frame.action(CommandId::ChangeActiveDatabase)->isEnabled());

    // A task window leaves the task manager commands on.
    frame.factories().add("BrowseBatch", [](frame::FrameContext&) -> QWidget* { return new QWidget; });
    frame.factories().add("ShowLog", [](frame::FrameContext&) -> QWidget* { return new QWidget; });
    frame.updateCommandStates();
    frame.runCommand(CommandId::DefineImportProcedures);
    QVERIFY(frame.windows().TmGetId("BrowseBatch"));
    QVERIFY(frame.action(CommandId::ShowTaskLog)->isEnabled());
    QVERIFY(!frame.action(CommandId::MailDatabaseSetup)->isEnabled());
}

void FrameTest::registeringAWindowEnablesItsCommandAndService() {
    Installation inst;
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(!frame.action(CommandId::ImportWizard)->isEnabled());
    QCOMPARE(SemaFore(ServiceImportWizard), 0);
    int built = 0;
    frame.factories().add("ImportMeny", [&built](frame::FrameContext&) -> QWidget* {
        ++built;
        return new QWidget;
    });
    frame.updateCommandStates();
    QVERIFY(frame.action(CommandId::ImportWizard)->isEnabled());
    frame.runCommand(CommandId::ImportWizard);
    QVERIFY(frame.windows().TmGetId("ImportMeny"));
    QCOMPARE(SemaFore(ServiceImportWizard), 1);  // open already: to the front
    QCOMPARE(built, 1);
    // The StartUp wizard is reached through its service code and its event.
    frame.frameEvent(EventOpenStartUpWizard);
    QVERIFY(frame.windows().TmGetId("StartUpWizard"));
}

void FrameTest::conflictingWindowsCloseAndTheCommandRunsAfterwards() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::WordIndexStatus);
    QVERIFY(frame.windows().TmGetId("SetIndex"));
    frame.runCommand(CommandId::ChangeActiveDatabase);
    QVERIFY(!frame.windows().TmGetId("SetIndex"));
    QVERIFY(!frame.windows().TmGetId("ChangeForum"));  // re-posted
    settle();
    QVERIFY(frame.windows().TmGetId("ChangeForum"));
    frame.windows().TmDestroy("ChangeForum");
    settle();

    // Before such a command the tables are closed, so the next opens follow
    // the active database; a running import keeps its own.
    OP_CLOSE(OpenShared, {2});
    frame.factories().add("ImportIt", [](frame::FrameContext&) -> QWidget* { return new QWidget; });
    frame.openWindow("ImportIt");
    frame.runCommand(CommandId::ChangeActiveDatabase);
    QCOMPARE(useCount(2), 1);
    frame.windows().TmDestroy("ChangeForum");
    frame.windows().TmDestroy("ImportIt");
    settle();
    frame.runCommand(CommandId::ChangeActiveDatabase);
    QCOMPARE(useCount(2), 0);
    frame.windows().TmDestroy("ChangeForum");
    settle();

    // A window that refuses to close keeps the command from running.
    BrowseProbe* stubborn = nullptr;
    frame.factories().add("BrowsePerson", [&stubborn](frame::FrameContext&) -> QWidget* {
        stubborn = new BrowseProbe;
        stubborn->refuseClose = true;
        return stubborn;
    });
    frame.updateCommandStates();
    frame.runCommand(CommandId::BrowsePersons);
    QVERIFY(frame.windows().TmGetId("BrowsePerson"));
    frame.runCommand(CommandId::ChangeActiveDatabase);
    settle();
    QVERIFY(frame.windows().TmGetId("BrowsePerson"));
    QVERIFY(!frame.windows().TmGetId("ChangeForum"));
    stubborn->refuseClose = false;
}

void FrameTest::exitIsRefusedWhileIndexingAndSavesStateAfterwards() {
    Installation inst;
    inst.settings.values[frame::ItemSavedFramePlace] = 1;
    inst.settings.places[frame::SlotFrame] = {10, 20, 900, 600};
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.openWindow("About");
    frame.openWindow("ChangeForum");
    IndexingInProgress = 1;
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    QVERIFY(inst.ui.sawCaption("Exit Not Allowed"));
    QVERIFY(inst.ui.sawText("You May NOT Exit until Indexing Is Done.|This is to Avoid Corruption."));
    QCOMPARE(inst.settings.windowStateSaves, 0);
    frame.resize(880, 590);
    IndexingInProgress = 0;
    QVERIFY(frame.close());
    QCOMPARE(inst.settings.windowStateSaves, 1);
    QCOMPARE(inst.settings.places[frame::SlotFrame].width, 880);
    QCOMPARE(inst.settings.places[frame::SlotAbout].width > 0, true);  // the children's places too
    QVERIFY(inst.settings.columnWidths[frame::ColumnsChangeForum][0] > 0);  // and their column widths
    QVERIFY(frame.windows().openNames().isEmpty());
}

void FrameTest::frameEventsSwitchCommandsAndDatabases() {
    Installation inst;
    const ULONG first = inst.addDatabase(TypeForum, "First");
    const ULONG second = inst.addDatabase(TypeForum, "Second");
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(Mem.ForumNumber, first);
    pm::postFrameEvent(EventDisableToolbar);
    settle();
    QVERIFY(!frame.toolBar()->isEnabled());
    pm::postFrameEvent(EventEnableToolbar);
    settle();
    QVERIFY(frame.toolBar()->isEnabled());

    pm::postFrameEvent(EventDisableMessageCommands);  // indexing runs
    settle();
    QVERIFY(!frame.action(CommandId::WordIndexStatus)->isEnabled());
    QVERIFY(frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
    pm::postFrameEvent(EventEnableMessageCommands);
    settle();
    QVERIFY(frame.action(CommandId::WordIndexStatus)->isEnabled());

    // EventDeactivateDatabase deactivates; the refresh asks for a database again (the default).
    inst.settings.values[frame::ItemDefaultDatabase] = static_cast<LONG>(second);
    raiseBusyCounter();
    pm::postFrameEvent(EventDeactivateDatabase);
    settle();
    QCOMPARE(Mem.ForumNumber, second);
    QCOMPARE(busyCounter(), 0);
    QCOMPARE(frame.windowTitle(), title("[Second]"));

    // Task processing ended: without "exit after task" the database is deactivated.
    Mem.DoTask = TaskRunning;
    inst.settings.values[frame::ItemDefaultDatabase] = 0;
    pm::postFrameEvent(EventTasksEnded);
    settle();
    QCOMPARE(Mem.DoTask, BYTE{TaskIdle});
    QCOMPARE(Mem.ForumNumber, first);
    QVERIFY(frame.isVisible());
    inst.settings.values[frame::ItemExitAfterTasks] = 1;
    pm::postFrameEvent(EventTasksEnded);
    settle();
    QVERIFY(!frame.isVisible());
}

void FrameTest::deletingTheActiveDatabaseThroughItsEvents() {
    Installation inst;
    const ULONG keep = inst.addDatabase(TypeForum, "Keep");
    const ULONG gone = inst.addDatabase(TypeForum, "Gone");
    inst.settings.values[frame::ItemDefaultDatabase] = static_cast<LONG>(gone);
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::WordIndexStatus);  // a window on the database
    QCOMPARE(Mem.ForumNumber, gone);
    pm::postFrameEvent(EventPrepareDatabaseDelete);
    QCoreApplication::sendPostedEvents(&frame, frame::FramePostedEvent::eventType());
    settle();
    CatalogEntry e;
    QVERIFY(!readCatalogEntry(gone, e));
    QVERIFY(!std::filesystem::exists(inst.path("F2")));
    QCOMPARE(Mem.ForumNumber, keep);
    QCOMPARE(frame.windowTitle(), title("[Keep]"));
    QVERIFY(!frame.windows().TmGetId("SetIndex"));
    QVERIFY(frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
}

void FrameTest::toolbarButtonsAndCommandsReachTheActiveBrowse() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(!frame.navigationAction(frame::ToolbarButton::NextRecord)->isEnabled());
    BrowseProbe* browse = nullptr;
    frame.factories().add("BrowseMsgNmbr", [&browse](frame::FrameContext&) -> QWidget* {
        browse = new BrowseProbe;
        return browse;
    });
    frame.factories().addCommands("BrowseMsgNmbr", {int(CommandId::StandardSearch)});
    frame.updateCommandStates();
    frame.runCommand(CommandId::BrowseMessages);
    QVERIFY(browse);
    QVERIFY(frame.navigationAction(frame::ToolbarButton::NextRecord)->isEnabled());
    frame.navigationAction(frame::ToolbarButton::NextRecord)->trigger();
    frame.navigationAction(frame::ToolbarButton::LastPage)->trigger();
    QCOMPARE(browse->buttons, (std::vector{frame::ToolbarButton::NextRecord, frame::ToolbarButton::LastPage}));
    frame.runCommand(CommandId::StandardSearch);
    settle();
    QCOMPARE(browse->commands, (std::vector{int(CommandId::StandardSearch)}));
    // Another window in front takes the buttons away from the browse.
    frame.openWindow("About");
    QVERIFY(!frame.navigationAction(frame::ToolbarButton::NextRecord)->isEnabled());
}

void FrameTest::statusBarShowsDateAndTimeInTheChosenFormats() {
    Installation inst;
    TestClock clock({dayNumber(2001, 2, 3), timeOf(16, 5, 9)});
    ScopedClock scoped(clock);
    inst.settings.values[frame::ItemDateFormat] = 10;
    inst.settings.values[frame::ItemTimeFormat] = 3;
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.statusDate(), QString("2001-02-03"));
    QCOMPARE(frame.statusTime(), QString("04:05PM"));
    inst.settings.values[frame::ItemDateFormat] = 5;  // no such format: no date
    inst.settings.values[frame::ItemTimeFormat] = 1;
    frame.frameEvent(EventRefreshActiveDatabase);
    QCOMPARE(frame.statusDate(), QString());
    QCOMPARE(frame.statusTime(), QString("16:05"));
}

void FrameTest::savedPlaceOrMaximized() {
    Installation inst;
    {
        MainFrame frame(inst.settings, false);
        frame.start();
        QVERIFY(frame.isMaximized());
        QCOMPARE(Mem.ScrRes, BYTE(1));
        QVERIFY(frame.toolTipsShown());
    }
    inst.settings.values[frame::ItemSavedFramePlace] = 1;
    inst.settings.places[frame::SlotFrame] = {30, 40, 500, 300};
    inst.settings.values[frame::ItemToolTips] = 2;
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(!frame.isMaximized());
    QCOMPARE(frame.geometry().size(), QSize(500, 300));
    QCOMPARE(Mem.ScrRes, BYTE(0));  // below 450 x 260 dialog units: the compact layouts
    QVERIFY(!frame.toolTipsShown());
}

void FrameTest::screenshotWithADatabaseActive() {
    Installation inst;
    inst.addDatabase(TypeForum, "CompuServe Windows Forum");
    inst.addDatabase(TypeMail, "Private mail");
    inst.settings.values[frame::ItemSavedFramePlace] = 1;
    inst.settings.places[frame::SlotFrame] = {0, 0, 1100, 720};
    inst.settings.values[frame::ItemDateFormat] = 17;
    inst.settings.values[frame::ItemTimeFormat] = 7;
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.statusBar()->showMessage("Change to another database");
    QCOMPARE(frame.windowTitle(), title("[CompuServe Windows Forum]"));
    QVERIFY(!screenshot(&frame, "frame").isNull());
    frame.runCommand(CommandId::WordIndexStatus);
    frame.openWindow("About");
    frame.area()->tileSubWindows();
    screenshot(&frame, "frame_with_windows");
}

static RegisterTest<FrameTest> registeredFrameTest;

}  // namespace pm::test

#include "frame_test.moc"
