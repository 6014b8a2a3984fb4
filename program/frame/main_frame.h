#pragma once
// The frame: the program's main window with its menus, toolbar, status bar
// and the area in which every other window opens. It carries out the menu
// commands, receives the frame events of the library and of its child
// windows, and keeps the title and the enabled commands in step with the
// active database and the open windows.
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "frame/command_table.h"
#include "frame/frame_events.h"
#include "frame/help_viewer.h"
#include "frame/window_factories.h"
#include "frame/window_manager.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QPrinter;
class QTimer;
class QToolBar;

namespace pm::frame {

class FrameSettings;

// The program title; the suffix follows it.
inline constexpr const char* ProgramTitle = " Postmoor Mail, Forum & Newsgroup Message Archiver ";
inline constexpr const char* NoActiveDatabase = "[No Active Database]";

// A toolbar icon made from `source` whose disabled form is plainly
// disabled: grey and faint.
QIcon toolbarIcon(const QIcon& source);

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `firstStart`: the start-up settings found a new installation.
    MainFrame(FrameSettings& settings, bool firstStart, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Frame initialisation: saved place or maximized (item 42), shown,
    // Mem.ScrRes, status bar date and time with a 1-second refresh, title
    // and menus, busy counter lowered, idle task check installed (206).
    void start();

    // The frame running now (nullptr when none).
    static MainFrame* instance();

    WindowManager& windows() { return *windows_; }
    WindowFactories& factories() { return factories_; }
    FrameSettings& settings() { return settings_; }
    QMdiArea* area() const { return area_; }

    // Carries out a menu command: refuses while the countdown runs where the
    // command says so, closes conflicting windows (re-posting itself), and
    // opens its window or does its action.
    void runCommand(CommandId id);

    // Opens window `name` (or brings it to the front). False when it has no
    // factory or the factory refused.
    bool openWindow(const QString& name);

    // Title, enabled commands and persons menu from the active database;
    // activates the start database when none is active.
    void refreshFromActiveDatabase();
    // Enables the commands for the present state.
    void updateCommandStates();
    // Enables the navigation buttons for the active child window.
    void updateNavigation();

    // Opens the help at `topic` (Contents when empty).
    void showHelp(const QString& topic);
    HelpViewer* helpViewer() const { return help_; }

    // The menu item or toolbar action of a command.
    QAction* action(CommandId id) const;
    QAction* navigationAction(ToolbarButton button) const;
    QMenu* personsMenu() const { return personsMenu_; }
    QToolBar* toolBar() const { return toolBar_; }
    QString titleSuffix() const { return suffix_; }
    QString statusDate() const;
    QString statusTime() const;

    // Handles a frame event at once (posted ones arrive here too).
    void frameEvent(int code);
    // Posts a frame event to this frame's queue.
    void postFrameEvent(int code);

    // Registers a handler that replaces the frame's own for event `code`
    // (the task manager's post-import jobs, EventRunPostImportJobs and
    // EventFinishPostImportJobs, plug in here).
    void setEventHandler(int code, std::function<void()> handler) { eventHandlers_[code] = std::move(handler); }

    // Whether tool tips are shown (settings item 2: 2 hides them).
    bool toolTipsShown() const { return !toolTipsHidden_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction* makeAction(const CommandEntry& entry);
    void applyPersonsMenu(BYTE databaseType);
    void refreshStatusClock();
    void readStatusFormats();
    void setTitleSuffix(const QString& suffix);
    bool commandAvailable(const CommandEntry& entry) const;
    bool toolMode() const;
    bool taskWindowMode() const;
    bool hasActiveDatabase() const;
    QString messageBrowseName() const;
    bool closeConflictingWindows(CommandId id, bool reposted);
    // runCommand; `reposted` on the second attempt, after conflicting
    // windows were closed.
    void runCommandOnce(CommandId id, bool reposted);
    void frameAction(CommandId id);
    void passToBrowse(CommandId id);
    void pressToolbarButton(ToolbarButton button);
    void onWindowClosed(const QString& name, const QRect& geometry, bool maximized);
    void onWindowOpened(const QString& name);
    void registerWindowServices();
    void saveState();
    void runTaskStep(const QString& window, LONG request);
    void printSetup();

    FrameSettings& settings_;
    bool firstStart_;
    bool wizardOffered_ = false;
    bool toolbarDisabled_ = false;     // EventDisableToolbar
    bool indexingLocked_ = false;      // EventDisableMessageCommands
    bool commandsLocked_ = false;      // between EventPrepareDatabaseDelete and EventDeleteActiveDatabase
    bool toolTipsHidden_ = false;      // settings item 2
    ULONG lastDatabase_ = 0;           // the active database last recorded (FrameSettings::lastDatabase)
    bool started_ = false;             // the start's database has been chosen
    QString suffix_;
    QString datePicture_;
    QString timePicture_;

    QMdiArea* area_ = nullptr;
    std::unique_ptr<WindowManager> windows_;
    WindowFactories factories_;
    std::map<CommandId, QAction*> actions_;
    std::map<ToolbarButton, QAction*> navigation_;
    std::map<int, std::function<void()>> eventHandlers_;
    QMenu* personsMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* classifyButton_ = nullptr;
    std::vector<QMenu*> submenus_;
    std::vector<std::pair<CommandId, QAction*>> classifyItems_;
    QLabel* dateLabel_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QTimer* clock_ = nullptr;
    QPointer<HelpViewer> help_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace pm::frame
