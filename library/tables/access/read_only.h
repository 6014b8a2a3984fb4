#pragma once
// Work that writes, on an installation that can only be read (Mem.ReadOnly).
#include <string>

namespace pm {

// When the installation is read-only, shows "Read-only installation" / "The
// installation at ROOT is read-only!" + CR LF + `process` + " will not
// proceed!" (not while unattended) and returns true: the work must not
// start. False (nothing shown) when the installation can be written.
bool refusedAsReadOnly(const std::string& process);

}  // namespace pm
