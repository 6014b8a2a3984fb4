#pragma once
// How frame events travel on the frame's event loop, and the events the
// frame hands to its child windows.
//
// The library posts frame events through postFrameEvent() (library
// services); child windows do the same, or post a FramePostedEvent to the
// frame themselves. Each is handled on the frame's event loop in the order
// posted.
#include <QEvent>

#include "tables/services/library_services.h"

namespace pm::frame {

// The frame events themselves (FrameEvent) are the library's: see
// tables/services/library_services.h.

// A frame event as it travels through the event queue.
class FramePostedEvent : public QEvent {
public:
    explicit FramePostedEvent(int code) : QEvent(eventType()), code_(code) {}
    int code() const { return code_; }
    static QEvent::Type eventType();

private:
    int code_;
};

// The toolbar buttons the frame forwards to the active child window.
enum class ToolbarButton {
    FirstPage, PriorPage, PriorRecord, NextRecord, NextPage, LastPage,
    PreviousFilterValue, ChooseFilterValue, NextFilterValue,
};

// Sent to the active child window when one of the buttons above is pressed.
class ToolbarButtonEvent : public QEvent {
public:
    explicit ToolbarButtonEvent(ToolbarButton button) : QEvent(eventType()), button_(button) {}
    ToolbarButton button() const { return button_; }
    static QEvent::Type eventType();

private:
    ToolbarButton button_;
};

// A child window that takes toolbar buttons says which ones it can use
// now; the frame enables them while that window is active. After a change
// the window calls toolbarTargetChanged().
class ToolbarTarget {
public:
    virtual ~ToolbarTarget() = default;
    virtual bool toolbarButtonEnabled(ToolbarButton button) const = 0;
};

// Asks the frame (if one runs) to re-read the toolbar state of its active
// child window.
void toolbarTargetChanged();

// A menu command handed to a child window (the commands the frame passes
// to the open message browse). `command` is a CommandId.
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int command) : QEvent(eventType()), command_(command) {}
    int command() const { return command_; }
    static QEvent::Type eventType();

private:
    int command_;
};

}  // namespace pm::frame
