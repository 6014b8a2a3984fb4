#include "frame/desktop.h"

#include <QApplication>
#include <QStatusBar>
#include <cstdio>

#include "cli/exit_codes.h"
#include "common/fatal_error.h"
#include "common/user_interface.h"
#include "frame/engine_wiring.h"
#include "frame/frame_settings.h"
#include "frame/help_viewer.h"
#include "frame/main_frame.h"
#include "frame/program_start.h"
#include "frame/qt_user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"

namespace pm::frame {

namespace {

void reportFatal(const FatalError& e) {
    messageAlways(e.caption(), e.text(), Icon::Hand);
    if (!e.haltText().empty()) std::fprintf(stderr, "%s\n", e.haltText().c_str());
}

// A fatal error thrown while an event is handled must not unwind through
// the toolkit: it is reported here and the program ends.
class DesktopApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const FatalError& e) {
            reportFatal(e);
            closeAllTables();
            closeStorage();
            removeRunStore();
            std::exit(cli::ExitFatal);
        }
    }
};

}  // namespace

int runDesktop(int argc, char** argv, const std::string& root) {
    DesktopApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Postmoor"));
    QtUserInterface qtInterface;
    ScopedUserInterface scope(qtInterface);
    installHelpKey(app);
    connectLibraryServices();
    KonfigFrameSettings settings;
    int code = cli::ExitOk;
    try {
        const StartupOutcome outcome = runProgramStart(root, settings);
        // A start-up the person ended (a lost directory not given again)
        // leaves no installation to work on.
        if (outcome == StartupOutcome::Aborted) code = cli::ExitInstallation;
        if (outcome != StartupOutcome::Aborted) {
            MainFrame frame(settings, outcome == StartupOutcome::FirstStart);
            qtInterface.setStatusLine([&frame](const QString& line) { frame.statusBar()->showMessage(line, 5000); });
            frame.start();
            code = app.exec();
            qtInterface.setStatusLine({});
        }
    } catch (const FatalError& e) {
        reportFatal(e);
        code = cli::ExitFatal;
    }
    closeAllTables();
    closeStorage();
    removeRunStore();
    return code;
}

}  // namespace pm::frame
