#pragma once
// The events the frame receives, named after their numbers, and the events
// the frame hands to its child windows.
//
// The library posts frame events through postFrameEvent() (library
// services); child windows do the same, or post a FramePostedEvent to the
// frame themselves. Each is handled on the frame's event loop in the order
// posted.
#include <QEvent>

namespace pm::frame {

enum FrameEvent : int {
    Event1288 = 1288,  // disable all toolbar buttons (whole-database work runs)
    Event1289 = 1289,  // enable all menus and toolbar buttons
    Event1298 = 1298,  // refresh the title and menus from the active database
    Event1299 = 1299,  // deactivate the database, reset the busy counter, refresh
    Event1318 = 1318,  // the active database is to be deleted: lock the commands, post 1319
    Event1319 = 1319,  // delete the active database, unlock the commands, refresh
    Event1330 = 1330,  // refresh; ends the task-window mode
    Event1331 = 1331,  // refresh; ends the task-window mode
    Event1345 = 1345,  // enable the message and indexing commands
    Event1346 = 1346,  // disable the message and indexing commands (indexing runs)
    Event1369 = 1369,  // open the task start countdown (StartTask)
    Event1377 = 1377,  // start the import wizard
    Event1378 = 1378,  // task step: activate the procedure's database and purge it
    Event1380 = 1380,  // task step: ... build its word index
    Event1381 = 1381,  // task step: ... count its messages
    Event1382 = 1382,  // task step: ... merge its duplicate persons
    Event1384 = 1384,  // bring BrowseBatch to the front, or open it
    Event1385 = 1385,  // continue task processing (service 208)
    Event1392 = 1392,  // run the queued post-import jobs
    Event1393 = 1393,  // finish the queued post-import jobs
    Event1394 = 1394,  // task processing ended: exit or deactivate (item 57)
    Event1396 = 1396,  // bring StartUpWizard to the front, or open it (service 22)
};

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
