// The frame's side of the events: frame events from the library and the
// child windows, windows opening and closing, the title, and exit.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QTimer>

#include "common/globals.h"
#include "common/user_interface.h"
#include "frame/frame_events.h"
#include "frame/frame_settings.h"
#include "frame/main_frame.h"
#include "tables/access/open_close.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_deletion.h"
#include "tables/services/library_services.h"

namespace pm::frame {

void MainFrame::refreshFromActiveDatabase() {
    readStatusFormats();
    refreshStatusClock();
    if (!hasActiveDatabase() && !quiet()) {
        // The default database of the preferences; at start, without one,
        // the database active when the program last ran.
        const auto chosen = static_cast<ULONG>(settings_.value(ItemDefaultDatabase));
        activateStartDatabase(chosen != 0 ? chosen : started_ ? 0 : settings_.lastDatabase());
    }
    started_ = true;
    if (hasActiveDatabase() && static_cast<ULONG>(Mem.ForumNumber) != lastDatabase_) {
        lastDatabase_ = static_cast<ULONG>(Mem.ForumNumber);
        settings_.setLastDatabase(lastDatabase_);
    }
    if (toolMode()) {
        setTitleSuffix(NoActiveDatabase);
    } else if (!hasActiveDatabase()) {
        setTitleSuffix(NoActiveDatabase);
        // A new installation: the StartUp wizard follows the frame, once.
        if (firstStart_ && !wizardOffered_) {
            wizardOffered_ = true;
            postFrameEvent(EventOpenStartUpWizard);
        }
    } else {
        setTitleSuffix("[" + QString::fromStdString(Mem.Description) + "]");
    }
    if (hasActiveDatabase()) applyPersonsMenu(Mem.ForumType);
    updateCommandStates();
}

void MainFrame::frameEvent(int code) {
    if (auto it = eventHandlers_.find(code); it != eventHandlers_.end() && it->second) {
        it->second();
        return;
    }
    switch (code) {
        case EventDisableToolbar:
            toolbarDisabled_ = true;
            updateCommandStates();
            return;
        case EventEnableToolbar:
            toolbarDisabled_ = false;
            updateCommandStates();
            return;
        case EventRefreshActiveDatabase:
        case EventTaskToolClosed:
        case EventSettingsToolClosed:
            refreshFromActiveDatabase();
            return;
        case EventDeactivateDatabase:
            deactivateDatabase();
            resetBusyCounter();
            refreshFromActiveDatabase();
            return;
        case EventPrepareDatabaseDelete:
            commandsLocked_ = true;
            updateCommandStates();
            postFrameEvent(EventDeleteActiveDatabase);
            return;
        case EventDeleteActiveDatabase:
            // Windows still showing the database would hold its files.
            windows_->TmDestroyGroup(FindGroup);
            windows_->TmDestroyGroup(NotToolsGroup);
            deleteActiveDatabase();
            commandsLocked_ = false;
            refreshFromActiveDatabase();
            return;
        case EventEnableMessageCommands:
            indexingLocked_ = false;
            updateCommandStates();
            return;
        case EventDisableMessageCommands:
            indexingLocked_ = true;
            updateCommandStates();
            return;
        case EventOpenTaskCountdown: openWindow(QStringLiteral("StartTask")); return;
        case EventOpenImportWizard: openWindow(QStringLiteral("ImportMeny")); return;
        case EventTaskPurge: runTaskStep(QStringLiteral("PurgeMess"), RequestPurge); return;
        case EventTaskBuildWordIndex: runTaskStep(QStringLiteral("AutoIndex"), 0); return;
        case EventTaskCountMessages: runTaskStep(QStringLiteral("PurgeMess"), RequestCount); return;
        case EventTaskMergeDuplicatePersons: runTaskStep(QStringLiteral("Duplicates"), 0); return;
        case EventShowImportProcedures: openWindow(QStringLiteral("BrowseBatch")); return;
        case EventContinueTasks: SemaFore(ServiceContinueTasks); return;
        case EventTasksEnded:
            Mem.DoTask = TaskIdle;
            if (settings_.value(ItemExitAfterTasks) != 0)
                close();
            else
                postFrameEvent(EventDeactivateDatabase);
            return;
        case EventOpenStartUpWizard: SemaFore(ServiceStartUpWizard); return;
        case EventFindStarted:
        case EventFoundInHeading:
        case EventFoundInText:
        case EventFindEndReached:
        case EventFindClosed:
            // The standard search's news goes to the message browse it follows.
            if (QWidget* browse = windows_->widgetOf(messageBrowseName())) {
                FramePostedEvent news(code);
                QCoreApplication::sendEvent(browse, &news);
            }
            return;
        default:
            return;  // the post-import jobs and unknown codes: nothing unless a handler is set
    }
}

void MainFrame::runTaskStep(const QString& window, LONG request) {
    if (Mem.DoTask == TaskDue) return;  // a task run from the countdown window does its own steps
    closeAllTables();
    SemaFore(ServiceActivateProcedureDatabase);
    refreshFromActiveDatabase();
    if (request != 0) GlobalRequest = request;
    openWindow(window);
}

void MainFrame::registerWindowServices() {
    for (const WindowEntry& w : windowTable()) {
        if (w.serviceCode == 0) continue;
        const QString name = QString::fromUtf8(w.name);
        registerService(w.serviceCode, [this, name]() -> LONG { return openWindow(name) ? 1 : 0; });
    }
}

void MainFrame::onWindowOpened(const QString& name) {
    const WindowEntry* entry = windowEntry(name);
    if (entry && entry->tool != ToolKind::None) setTitleSuffix(NoActiveDatabase);
    updateCommandStates();
}

void MainFrame::onWindowClosed(const QString& name, const QRect& geometry, bool maximized) {
    const WindowEntry* entry = windowEntry(name);
    if (entry && entry->slot != 0 && !maximized) {
        WindowPlace place;
        place.left = static_cast<std::int16_t>(geometry.x());
        place.top = static_cast<std::int16_t>(geometry.y());
        place.width = static_cast<std::int16_t>(geometry.width());
        place.height = static_cast<std::int16_t>(geometry.height());
        settings_.storePlace(entry->slot, place);
    }
    if (entry && entry->closingEvent != 0)
        postFrameEvent(entry->closingEvent);
    else
        updateCommandStates();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (IndexingInProgress) {
        message("Exit Not Allowed", "You May NOT Exit until Indexing Is Done.|This is to Avoid Corruption.",
                Icon::Exclamation);
        event->ignore();
        return;
    }
    for (const QString& group : {FindGroup, ImportGroup, NotToolsGroup}) windows_->TmDestroyGroup(group);
    if (!windows_->closeAll()) {
        event->ignore();
        return;
    }
    clock_->stop();
    saveState();
    closeAllTables();
    event->accept();
}

void MainFrame::saveState() {
    if (!isMaximized() && !isMinimized()) {
        const QRect g = geometry();
        WindowPlace place;
        place.left = static_cast<std::int16_t>(g.x());
        place.top = static_cast<std::int16_t>(g.y());
        place.width = static_cast<std::int16_t>(g.width());
        place.height = static_cast<std::int16_t>(g.height());
        settings_.storePlace(SlotFrame, place);
    }
    settings_.saveWindowState();
}

}  // namespace pm::frame
