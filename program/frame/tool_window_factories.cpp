#include "frame/tool_window_factories.h"

#include <QMdiSubWindow>
#include <QTimer>

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "frame/engine_wiring.h"
#include "frame/main_frame.h"
#include "merge/windows/merge_wizard.h"
#include "merge/windows/redirect_wizard.h"
#include "tables/rebuild/rebuild_run.h"
#include "tables/windows/next_id_check_window.h"
#include "tables/windows/rebuild_menu_window.h"
#include "tables/windows/user_panel.h"

namespace pm::frame {

namespace {

// Opens `widget` as the frame's window `name` in the import group.
void openInImportGroup(MainFrame& frame, const QString& name, QWidget* widget) {
    const QSize wanted = widget->sizeHint().expandedTo(QSize(460, 220));
    QMdiSubWindow* sub = frame.windows().TmCreate(name, ImportGroup, widget);
    sub->resize(wanted + (sub->size() - widget->size()));
}

}  // namespace

JobLauncher frameLauncher(MainFrame& frame) {
    return [&frame](const QString& name, std::unique_ptr<Job> job) -> JobProgressWindow* {
        if (!frame.windows().TmQuery(ImportGroup).isEmpty()) {
            message("Warning!", "Another import, merge or rebuild is running!\r\nPlease wait until it has finished.",
                    Icon::Exclamation);
            return nullptr;
        }
        auto* window = new JobProgressWindow(std::move(job));
        window->setObjectName(name);
        if (const WindowEntry* entry = windowEntry(name); entry && entry->helpTopic)
            window->setProperty("helpTopic", QString::fromUtf8(entry->helpTopic));
        // The starting window reads the run's outcome first; the window goes after.
        window->setCloseWhenFinished(false);
        QObject::connect(window, &JobProgressWindow::finished, window, [window] { closeHostWindow(window); },
                         Qt::QueuedConnection);
        openInImportGroup(frame, name, window);
        window->start();
        return window;
    };
}

namespace {

// The Next ID check alone (service 215 with its request): it tells the
// rebuild menu when it ends and closes.
QWidget* nextIdCheckWindow(MainFrame& frame) {
    auto* check = new NextIdCheckWindow;
    MainFrame* owner = &frame;
    QObject::connect(check, &NextIdCheckWindow::checkEnded, owner, [owner] {
        owner->windows().bringToFront(QString::fromLatin1(NextIdCheckWindow::NotifiedWindow));
    });
    QTimer::singleShot(0, check, [check] { check->start(); });
    return check;
}

UserPanel::FileTypes fileTypePairs() {
    UserPanel::FileTypes types;
    for (const FileTypeChoice& t : importFileTypes()) types.emplace_back(t.number, t.name);
    return types;
}

}  // namespace

void registerToolWindows(WindowFactories& f) {
    f.add("UserPanel", [](FrameContext&) -> QWidget* { return new UserPanel(fileTypePairs()); });
    f.add("RebuildMeny", [](FrameContext& c) -> QWidget* { return new RebuildMenuWindow(frameLauncher(c.frame)); });
    // Library service 215: the rebuild, or the Next ID check alone.
    f.add("RebuildIt", [](FrameContext& c) -> QWidget* {
        if (GlobalRequest == NextIdCheckRequest) return nextIdCheckWindow(c.frame);
        auto* window = new JobProgressWindow(std::make_unique<RebuildRun>(GlobalRequest == NextIdCheckRequest));
        window->setCancelText(QObject::tr("Abort"));
        window->setCloseWhenFinished(false);
        QObject::connect(window, &JobProgressWindow::finished, window, [window] { closeHostWindow(window); },
                         Qt::QueuedConnection);
        QMetaObject::invokeMethod(window, [window] { window->start(); }, Qt::QueuedConnection);
        return window;
    });
    f.add("MergeMeny", [](FrameContext& c) -> QWidget* { return new MergeWizard(frameLauncher(c.frame)); });
    f.add("RedirectMeny", [](FrameContext& c) -> QWidget* { return new RedirectWizard(frameLauncher(c.frame)); });
}

}  // namespace pm::frame
