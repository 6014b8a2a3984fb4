// Carrying out the frame's commands: closing conflicting windows first,
// opening windows through the window manager, passing commands on.
#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "common/globals.h"
#include "frame/frame_settings.h"
#include "frame/help_viewer.h"
#include "frame/main_frame.h"
#include "frame/window_placement.h"
#include "tables/access/open_close.h"

namespace pm::frame {

namespace {

// A command posted again once the conflicting windows have closed.
class RepostedCommandEvent : public QEvent {
public:
    explicit RepostedCommandEvent(CommandId id) : QEvent(eventType()), id(id) {}
    static QEvent::Type eventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    CommandId id;
};

}  // namespace

void MainFrame::runCommand(CommandId id) { runCommandOnce(id, false); }

void MainFrame::runCommandOnce(CommandId id, bool reposted) {
    const CommandEntry& entry = commandEntry(id);
    QAction* a = action(id);
    if (a && !a->isEnabled()) return;
    if (Mem.DoTask == TaskDue && (entry.flags & NotDuringCountdown)) return;
    switch (entry.kind) {
        case CommandKind::OpenWindow: {
            const QString name = QString::fromUtf8(entry.window);
            if (windows_->bringToFront(name)) return;
            if ((entry.flags & ClosesConflicts) && !closeConflictingWindows(id, reposted)) return;
            if (entry.request != 0) GlobalRequest = entry.request;
            openWindow(name);
            return;
        }
        case CommandKind::OpenMessageBrowse:
            openWindow(messageBrowseName());
            return;
        case CommandKind::PassToBrowse:
            passToBrowse(id);
            return;
        case CommandKind::FrameAction:
            frameAction(id);
            return;
    }
}

bool MainFrame::closeConflictingWindows(CommandId id, bool reposted) {
    const bool open = !windows_->TmQuery(FindGroup).isEmpty() || !windows_->TmQuery(NotToolsGroup).isEmpty();
    if (!open) {
        // The next opens use the active database of then. A running import
        // or rebuild keeps its tables: closing them under it would break it.
        if (windows_->TmQuery(ImportGroup).isEmpty()) closeAllTables();
        return true;
    }
    if (reposted) return false;  // a window refused to close: the command is dropped
    windows_->TmDestroyGroup(FindGroup);
    windows_->TmDestroyGroup(NotToolsGroup);
    QCoreApplication::postEvent(this, new RepostedCommandEvent(id));
    return false;
}

bool MainFrame::openWindow(const QString& name) {
    if (windows_->bringToFront(name)) return true;
    if (!factories_.has(name)) return false;
    FrameContext context{*this, settings_};
    QWidget* widget = factories_.create(name, context);
    if (!widget) return false;
    const WindowEntry* entry = windowEntry(name);
    if (entry && entry->helpTopic && !widget->property("helpTopic").isValid())
        widget->setProperty("helpTopic", QString::fromUtf8(entry->helpTopic));
    const QSize wanted = widget->size();  // the window's own choice, before the sub-window lays it out
    QMdiSubWindow* sub = windows_->TmCreate(name, entry && entry->group ? *entry->group : QString(), widget);
    const QSize frameMargins = sub->size() - widget->size();
    QRect target(sub->pos(), wanted + frameMargins);
    WindowPlace place;
    if (entry && entry->slot != 0 && settings_.place(entry->slot, place))
        target = QRect(place.left, place.top, place.width, place.height);
    // Whatever was stored (on another screen, at another scale), the window
    // shows all it must and stays where the person can reach it. Wrapped
    // texts need the more height the narrower they are.
    QSize minimum = widget->minimumSizeHint();
    if (widget->hasHeightForWidth()) {
        const int width = std::max(target.width() - frameMargins.width(), minimum.width());
        minimum.setHeight(std::max(minimum.height(), widget->heightForWidth(width)));
    }
    sub->setGeometry(placeInside(target, minimum + frameMargins, area_->viewport()->rect()));
    widget->setFocus();
    return true;
}

void MainFrame::passToBrowse(CommandId id) {
    const QString browse = messageBrowseName();
    if (!windows_->TmGetId(browse) && !openWindow(browse)) return;
    windows_->bringToFront(browse);
    windows_->post(browse, new CommandEvent(static_cast<int>(id)));
}

void MainFrame::pressToolbarButton(ToolbarButton button) {
    QMdiSubWindow* active = area_->activeSubWindow();
    if (!active || !active->widget()) return;
    ToolbarButtonEvent event(button);
    QCoreApplication::sendEvent(active->widget(), &event);
}

void MainFrame::frameAction(CommandId id) {
    const CommandEntry& entry = commandEntry(id);
    switch (id) {
        case CommandId::Exit: close(); return;
        case CommandId::PrintSetup: printSetup(); return;
        case CommandId::TileWindows: area_->tileSubWindows(); return;
        case CommandId::CascadeWindows: area_->cascadeSubWindows(); return;
        case CommandId::CloseAllWindows: windows_->closeAll(); return;
        case CommandId::NextWindow: area_->activateNextSubWindow(); return;
        case CommandId::PreviousWindow: area_->activatePreviousSubWindow(); return;
        case CommandId::HelpSearch:
            showHelp(QString::fromUtf8(entry.helpTopic));
            if (help_) help_->focusSearch();
            return;
        default:
            if (entry.helpTopic) showHelp(QString::fromUtf8(entry.helpTopic));
            return;
    }
}

void MainFrame::showHelp(const QString& topic) { help_ = openHelp(topic); }

void MainFrame::printSetup() {
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    QPrintDialog dialog(printer_.get(), this);
    dialog.setWindowTitle(QStringLiteral(" Print Setup"));
    dialog.exec();
}

bool MainFrame::event(QEvent* event) {
    if (event->type() == FramePostedEvent::eventType()) {
        frameEvent(static_cast<FramePostedEvent*>(event)->code());
        return true;
    }
    if (event->type() == RepostedCommandEvent::eventType()) {
        runCommandOnce(static_cast<RepostedCommandEvent*>(event)->id, true);
        return true;
    }
    return QMainWindow::event(event);
}

}  // namespace pm::frame
