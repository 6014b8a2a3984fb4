#pragma once
// Where windows go: inside the frame's area and on the screen, whatever
// size and place was stored for them on another screen or at another
// scale.
#include <QRect>
#include <QSize>

class QWidget;

namespace pm::frame {

// Where a window that wants `wanted` goes inside `area`: at least
// `minimum` large, no larger than the area, moved in as far as needed so
// that all of it lies inside.
QRect placeInside(const QRect& wanted, const QSize& minimum, const QRect& area);

// Moves and shrinks the top-level `window` (a shown one: its frame counts)
// so that all of it lies on the available part of its screen.
void keepOnScreen(QWidget* window);

}  // namespace pm::frame
