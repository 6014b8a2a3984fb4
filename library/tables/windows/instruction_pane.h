#pragma once
// The help pane of a wizard or setup window: one or more numbered
// instruction texts (GetMenuText), read-only and scrollable.
#include <initializer_list>

class QWidget;

namespace pm {

// A pane showing the instruction texts `numbers`, one paragraph block each;
// at most `maximumHeight` pixels high (0: as high as the layout allows).
QWidget* instructionPane(std::initializer_list<int> numbers, int maximumHeight = 0);

}  // namespace pm
