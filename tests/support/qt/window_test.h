#pragma once
// Shared pieces of the engine windows' QtTest programs: a fresh
// installation per test, screenshots, and the registry of test classes that
// one main() runs.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/recording_user_interface.h"
#include "support/test_root.h"

class QWidget;

namespace pm::test {

// A new installation (the start-up settings run on an empty root) with a
// recorder that takes the default answer of every question unless told
// otherwise; everything is closed and the globals reset afterwards.
class WindowTestInstallation {
public:
    WindowTestInstallation();
    ~WindowTestInstallation();
    WindowTestInstallation(const WindowTestInstallation&) = delete;
    WindowTestInstallation& operator=(const WindowTestInstallation&) = delete;

    const std::string& root() const { return dir_.path(); }
    std::string path(const std::string& name) const { return dir_ / name; }
    // Runs a command of command mode on this installation (the settings in
    // memory are loaded again afterwards); its exit code.
    int command(std::vector<std::string> args);

    RecordingUserInterface ui;

private:
    void open();
    TempDir dir_;
    UserInterface* previous_;
};

// Saves `widget` as <name>.png in $POSTMOOR_SCREENSHOTS (when set); the
// file written, "" when none.
QString saveScreenshot(QWidget* widget, const QString& name);

using WindowTestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<WindowTestFactory>& windowTestClasses();

template <typename T>
struct RegisterWindowTest {
    RegisterWindowTest() { windowTestClasses().push_back([] { return std::make_unique<T>(); }); }
};

// Runs every registered class offscreen-ready; 0 when all passed.
int runWindowTests(int argc, char** argv);

}  // namespace pm::test
