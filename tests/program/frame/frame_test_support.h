#pragma once
// Shared pieces of the frame's window tests: a scripted user interface, an
// in-memory stand-in for the stored settings, a fresh installation per
// test, screenshots, and the registry that main() runs the test classes of.
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/types.h"
#include "common/user_interface.h"
#include "frame/frame_settings.h"
#include "support/test_root.h"

class QWidget;

namespace pm::test {

// Records every box and answers questions from a script (the default
// button when the script is empty).
class ScriptedUserInterface final : public UserInterface {
public:
    void answer(Button b) { script_.push_back(b); }
    Button message(const MessageRequest& request) override;
    void beep() override { ++beeps_; }

    const std::vector<MessageRequest>& shown() const { return shown_; }
    bool sawCaption(const std::string& caption) const;
    bool sawText(const std::string& part) const;
    int beeps() const { return beeps_; }
    void clear() { shown_.clear(); }

private:
    std::deque<Button> script_;
    std::vector<MessageRequest> shown_;
    int beeps_ = 0;
};

// The stored settings in memory.
class MemorySettings final : public frame::FrameSettings {
public:
    LONG value(int item) override { return values[item]; }
    void setValue(int item, LONG v) override { values[item] = v; }
    std::string text(int item) override { return texts[item]; }
    void setText(int item, const std::string& t) override { texts[item] = t; }
    bool saveGeneral() override { ++generalSaves; return true; }
    bool place(int slot, WindowPlace& p) override;
    void storePlace(int slot, const WindowPlace& p) override;
    bool columns(int slot, ColumnWidths& widths) override;
    void storeColumns(int slot, const ColumnWidths& widths, int count) override;
    bool saveWindowState() override { ++windowStateSaves; return true; }
    std::string storedPath(int kind) override { return paths[kind]; }
    bool storeNewPath(int kind, const std::string& path) override;
    ULONG lastDatabase() override { return last; }
    void setLastDatabase(ULONG id) override { last = id; }

    std::map<int, LONG> values;
    ULONG last = 0;
    std::map<int, std::string> texts;
    std::map<int, WindowPlace> places;
    std::map<int, ColumnWidths> columnWidths;
    std::map<int, std::string> paths;
    std::vector<std::pair<int, std::string>> newPaths;
    int generalSaves = 0;
    int windowStateSaves = 0;
};

// A fresh installation (start-up settings run on an empty root), the
// scripted interface installed, and everything closed again afterwards.
class Installation {
public:
    Installation();
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::string& root() const { return dir_.path(); }
    std::string path(const std::string& name) const { return dir_ / name; }

    // Creates a database (mail ones with an owner address) and returns its id;
    // the active database stays as it was.
    ULONG addDatabase(BYTE type, const std::string& name);

    ScriptedUserInterface ui;
    MemorySettings settings;

private:
    TempDir dir_;
    UserInterface* previous_;
};

// Makes a mail database the way the message store does, for the form's
// creation hook.
ULONG createMailDatabaseForTest(const std::string& name, const std::string& address,
                                const std::vector<std::string>& alts);

// Lets posted events, deferred deletions and queued calls run.
void settle();

// Saves `widget` as <name>.png in $POSTMOOR_SCREENSHOTS (when set);
// returns the file written ("" when none).
QString screenshot(QWidget* widget, const QString& name);

// Runs `action` on the modal window that opens next (once the event loop
// shows it). The watch ends with the returned guard, so a window that never
// opens leaves nothing behind for later tests.
std::shared_ptr<void> whenModalOpens(std::function<void(QWidget*)> action);

// The test classes main() runs.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& testClasses();

template <typename T>
struct RegisterTest {
    RegisterTest() { testClasses().push_back([] { return std::make_unique<T>(); }); }
};

}  // namespace pm::test
