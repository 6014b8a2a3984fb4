#include "support/qt/window_test.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <QtTest>

#include "common/globals.h"
#include "storage/table.h"
#include "support/command_runner.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"

namespace pm::test {

WindowTestInstallation::WindowTestInstallation() : previous_(setUserInterface(&ui)) {
    ui.takeDefaults();
    open();
}

WindowTestInstallation::~WindowTestInstallation() {
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
    IndexingInProgress = 0;
    setUserInterface(previous_);
}

void WindowTestInstallation::open() {
    Mem = MemGlobals{};
    if (runStartupSettings(dir_.path(), nullptr) == StartupOutcome::Aborted) qFatal("the installation cannot be set up");
}

int WindowTestInstallation::command(std::vector<std::string> args) {
    closeAllTables();
    closeStorage();
    args.insert(args.begin(), {"--root", dir_.path()});
    const CommandResult r = runCommand(std::move(args));
    // Command mode has its own user interface; this test's comes back.
    setUserInterface(&ui);
    open();
    return r.code;
}

QString saveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("POSTMOOR_SCREENSHOTS");
    if (dir.isEmpty()) return {};
    QDir().mkpath(dir);
    // Layouts that follow a text just set are settled first.
    QCoreApplication::processEvents();
    const QString file = dir + "/" + name + ".png";
    return widget->grab().save(file) ? file : QString();
}

std::vector<WindowTestFactory>& windowTestClasses() {
    static std::vector<WindowTestFactory> classes;
    return classes;
}

int runWindowTests(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    for (const WindowTestFactory& make : windowTestClasses()) {
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace pm::test
