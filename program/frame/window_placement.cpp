#include "frame/window_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace pm::frame {

QRect placeInside(const QRect& wanted, const QSize& minimum, const QRect& area) {
    const QSize size = wanted.size().expandedTo(minimum).boundedTo(area.size());
    const int x = std::clamp(wanted.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    const int y = std::clamp(wanted.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

void keepOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (!screen) return;
    const QRect frame = window->frameGeometry();
    const QRect inside = placeInside(frame, QSize(), screen->availableGeometry());
    if (inside == frame) return;
    window->resize(window->size() - (frame.size() - inside.size()));
    window->move(inside.topLeft());  // a window's position is its frame's
}

}  // namespace pm::frame
