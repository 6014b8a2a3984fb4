#include "tables/access/read_only.h"

#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

bool refusedAsReadOnly(const std::string& process) {
    if (!Mem.ReadOnly) return false;
    message("Read-only installation",
            "The installation at " + Mem.Net + " is read-only!\r\n" + process + " will not proceed!",
            Icon::Exclamation);
    return true;
}

}  // namespace pm
