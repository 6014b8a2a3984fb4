#pragma once
// The free-space checks of an import: before the work files or the
// databases grow, the person is warned when a drive runs low and may go on
// (OK) or stop the import (Cancel). Unattended runs stop.
#include <cstdint>
#include <functional>
#include <string>

namespace pm {

// Free bytes of the file system holding a path; -1 when unknown.
using FreeSpaceFunction = std::function<std::int64_t(const std::string& path)>;

// Why the space is needed (selects the reason text of the warning).
enum class SpaceNeed {
    WorkFile,  // after a parser call: the temporary import file grows
    Process,   // end of the conversion phase: room for the collected messages
    Import,    // after a store slice: the databases grow
};

enum class SpaceVerdict {
    Enough,    // enough room, or the free space cannot be measured
    Continue,  // too little, and the person chose OK
    Stop,      // too little, and the person chose Cancel (or no one can be asked)
};

// Checks that `path`'s file system has at least `needed` bytes free. When it
// has not: beep and "Warning" / "You have only " + the free bytes (grouped,
// 13 wide) + " bytes free on disk  " + the path + CR LF + the reason, with
// OK and Cancel; unattended (quiet()) runs stop without asking.
SpaceVerdict checkFreeSpace(const FreeSpaceFunction& freeSpace, const std::string& path, std::uint64_t needed,
                            SpaceNeed need);

// The warning text for `freeBytes` on `path`.
std::string lowSpaceText(std::uint64_t freeBytes, const std::string& path, SpaceNeed need);

// The space that must stay free after parser calls and store slices.
inline constexpr std::uint64_t ImportSpaceReserve = 5000000;

}  // namespace pm
