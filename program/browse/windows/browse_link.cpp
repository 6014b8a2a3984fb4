#include "browse/windows/browse_link.h"

namespace pm {

BrowseLink& BrowseLink::instance() {
    static BrowseLink link;
    return link;
}

}  // namespace pm
