#include "browse/windows/child_place.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "tables/config/settings.h"

namespace pm {

namespace {

QMdiSubWindow* subWindowOf(QWidget* widget) { return qobject_cast<QMdiSubWindow*>(widget->parentWidget()); }

// The place of `slot` kept inside `sub`'s area; an empty rectangle when none is stored.
QRect placeOf(QMdiSubWindow* sub, int slot) {
    WindowPlace place;
    if (!WindowPos2(GetPosition, slot, &place) || place.width <= 0 || place.height <= 0) return {};
    QRect r(place.left, place.top, place.width, place.height);
    if (QMdiArea* area = sub->mdiArea()) {
        const QRect room = area->viewport()->rect();
        if (room.width() > 0 && room.height() > 0) {
            r.setSize(r.size().boundedTo(room.size()));
            if (r.right() > room.right()) r.moveRight(room.right());
            if (r.bottom() > room.bottom()) r.moveBottom(room.bottom());
            r.moveTopLeft(QPoint(std::max(0, r.left()), std::max(0, r.top())));
        }
    }
    return r;
}

}  // namespace

void placeChild(QWidget* widget, int slot) {
    QMdiSubWindow* sub = subWindowOf(widget);
    if (!sub) return;
    const QRect r = placeOf(sub, slot);
    if (!r.isEmpty()) sub->setGeometry(r);
}

bool childStandsAt(QWidget* widget, int slot) {
    QMdiSubWindow* sub = subWindowOf(widget);
    return sub && !sub->isMaximized() && sub->geometry() == placeOf(sub, slot);
}

void rememberChild(QWidget* widget, int slot) {
    QMdiSubWindow* sub = subWindowOf(widget);
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QRect r = sub->geometry();
    WindowPlace place{static_cast<std::int16_t>(r.left()), static_cast<std::int16_t>(r.top()),
                      static_cast<std::int16_t>(r.width()), static_cast<std::int16_t>(r.height())};
    WindowPos2(StorePosition, slot, &place);
}

}  // namespace pm
