#pragma once
// Where the browses and the thread tree stand inside the frame: the
// secondary window positions (WindowPos2), which hold the places of the
// child windows in the frame's client area. A window placed in a
// sub-window of the frame takes its slot's place when it first shows, and
// stores where it was when it closes (saved with the settings at exit).
class QWidget;

namespace pm {

// Slots of the secondary positions.
enum ChildSlot : int {
    ChildSlotMessageBrowse = 1,
    ChildSlotMailBrowse = 2,
    ChildSlotBrowseBesideTree = 3,  // the message browse beside the thread tree
    ChildSlotThreadTree = 4,
};

// Moves the sub-window `widget` lives in to the place of `slot` (kept
// inside the frame's client area); does nothing outside a frame.
void placeChild(QWidget* widget, int slot);
// Whether the sub-window `widget` lives in stands at the place of `slot`.
bool childStandsAt(QWidget* widget, int slot);
// Stores the place of the sub-window `widget` lives in as `slot`.
void rememberChild(QWidget* widget, int slot);

}  // namespace pm
