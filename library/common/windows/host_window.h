#pragma once
// Closing a window that may live in a frame's sub-window.
#include <QMdiSubWindow>
#include <QWidget>

namespace pm {

// Closes `widget`'s window: its sub-window when it has one (so that whoever
// watches the sub-window hears of it), else the widget itself.
inline void closeHostWindow(QWidget* widget) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget()))
        sub->close();
    else
        widget->close();
}

}  // namespace pm
