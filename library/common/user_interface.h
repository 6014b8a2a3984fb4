#pragma once
// The one way the engine talks to the person: message boxes, beeps and
// progress. The windows implement it with Qt, command mode on stderr, the
// tests with a recorder that scripts the answers.
//
// The engine itself decides when a message is suppressed (unattended task
// runs, see quiet()); an implementation shows whatever it is given.
#include <string>
#include <utility>
#include <vector>

namespace pm {

// Buttons of a message box; a set of them is a bit mask.
enum Button : unsigned {
    ButtonNone = 0,
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonAbort = 8,
    ButtonRetry = 16,
    ButtonIgnore = 32,
    ButtonCancel = 64,
    ButtonHelp = 128,
};

enum class Icon { None, Information, Exclamation, Question, Hand };

// A message box. Text lines are separated by CR LF or by "|".
struct MessageRequest {
    std::string caption;
    std::string text;
    Icon icon = Icon::Information;
    unsigned buttons = ButtonOk;
    Button defaultButton = ButtonOk;
};

// What a long operation shows: a title, status lines, named counters and a
// percentage (-1 when unknown). Counter names are stable (tests and the
// test hooks read them); people read a counter by its caption when it has
// one, and the phase says in plain words what the work is doing now.
struct ProgressReport {
    std::string title;
    std::vector<std::string> lines;
    std::vector<std::pair<std::string, long long>> counters;
    int percent = -1;
    std::string phase;                                          // "reading files", "indexing messages"
    std::vector<std::pair<std::string, std::string>> captions;  // counter name -> "Messages imported"
};

// The caption of counter `name` in `report`: its caption, else the name.
std::string counterCaption(const ProgressReport& report, const std::string& name);

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Shows the box and returns the button the person chose (one of
    // request.buttons).
    virtual Button message(const MessageRequest& request) = 0;

    virtual void beep() = 0;

    // Called by long operations at most a few times a second.
    virtual void progress(const ProgressReport& report) { (void)report; }
};

// The interface in use. Before any is installed, a silent one answers every
// box with its default button.
UserInterface& ui();

// Installs `ui` (not owned) and returns the previous one. nullptr restores
// the silent default.
UserInterface* setUserInterface(UserInterface* ui);

// Keeps an interface installed for the lifetime of the guard.
class ScopedUserInterface {
public:
    explicit ScopedUserInterface(UserInterface& ui) : previous_(setUserInterface(&ui)) {}
    ~ScopedUserInterface() { setUserInterface(previous_); }
    ScopedUserInterface(const ScopedUserInterface&) = delete;
    ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;

private:
    UserInterface* previous_;
};

// True while unattended work runs (Mem.DoTask TaskRunning or TaskFailed): no box may be shown.
bool quiet();

// While quiet(), the boxes that are not shown are handed here instead, so an
// unattended run can keep the reason a step ended (the task log). nullptr
// drops them. Returns the previous sink.
using SuppressedMessageSink = void (*)(const MessageRequest& request, void* context);
std::pair<SuppressedMessageSink, void*> setSuppressedMessageSink(SuppressedMessageSink sink, void* context);

// Shows a box unless quiet(); when quiet, returns the default button.
Button message(const std::string& caption, const std::string& text, Icon icon = Icon::Information,
               unsigned buttons = ButtonOk, Button defaultButton = ButtonOk);

// A box that is shown even while quiet() (fatal errors).
Button messageAlways(const std::string& caption, const std::string& text,
                     Icon icon = Icon::Hand, unsigned buttons = ButtonOk,
                     Button defaultButton = ButtonOk);

// Beeps unless quiet().
void beep();

// Splits a message text into its lines (CR LF, LF or "|").
std::vector<std::string> messageLines(const std::string& text);

}  // namespace pm
