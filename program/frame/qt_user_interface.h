#pragma once
// The person's side of the engine's user interface in the desktop program:
// message boxes as QMessageBox, beeps, and progress lines in the frame's
// status bar. The frame and its windows reach it only through pm::ui(), so
// tests install a scripted interface instead.
#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

#include "common/user_interface.h"

namespace pm::frame {

// The text of a box: its lines ("|", CR LF or LF between them) joined with
// newlines, trailing empty lines dropped.
QString messageBoxText(const std::string& text);

// The box for `request`, configured but not shown: caption, text, icon,
// the requested buttons (OK alone when none) and the default button.
std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest& request, QWidget* parent = nullptr);

// The engine's button for a Qt button; ButtonNone for one it does not know.
Button engineButton(int standardButton);

class QtUserInterface final : public UserInterface {
public:
    // Shows the box modally over the active window and returns the choice;
    // closing the box with Esc or its close box gives Cancel, No or OK, the
    // first of them the box offers.
    Button message(const MessageRequest& request) override;
    void beep() override;
    // Shows the progress title and first line on the status line, when set.
    void progress(const ProgressReport& report) override;

    // Where progress lines go (the frame sets its status bar).
    void setStatusLine(std::function<void(const QString&)> statusLine) { statusLine_ = std::move(statusLine); }

private:
    std::function<void(const QString&)> statusLine_;
};

}  // namespace pm::frame
