#include "browse/windows/browse_link.h"

namespace pm {

BrowseLink& BrowseLink::instance() {
    static BrowseLink link;
    return link;
}

std::optional<frame::ToolbarButton> pageButtonOfKey(int key, bool ctrl) {
    using frame::ToolbarButton;
    if (key == Qt::Key_PageUp) return ctrl ? ToolbarButton::FirstPage : ToolbarButton::PriorPage;
    if (key == Qt::Key_PageDown) return ctrl ? ToolbarButton::LastPage : ToolbarButton::NextPage;
    return std::nullopt;
}

}  // namespace pm
