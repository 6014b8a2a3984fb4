#pragma once
// Small helpers of the frame's child windows.
#include <QMdiSubWindow>
#include <QWidget>

namespace pm::frame {

// Closes the child window `widget` lives in (its sub-window when it has
// one, so the window manager hears of it).
inline void closeChildWindow(QWidget* widget) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget()))
        sub->close();
    else
        widget->close();
}

}  // namespace pm::frame
