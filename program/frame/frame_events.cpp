#include "frame/frame_events.h"

#include <QCoreApplication>

#include "frame/main_frame.h"

namespace pm::frame {

QEvent::Type FramePostedEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type ToolbarButtonEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type CommandEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void toolbarTargetChanged() {
    if (MainFrame* frame = MainFrame::instance()) frame->updateNavigation();
}

}  // namespace pm::frame
