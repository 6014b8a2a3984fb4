#include "import/driver/disk_space.h"

#include "common/counts.h"
#include "common/user_interface.h"
#include "tables/access/file_functions.h"

namespace pm {

namespace {

const char* reasonText(SpaceNeed need) {
    switch (need) {
        case SpaceNeed::WorkFile:
            return "This may be too little for the temporary importfile. Running out of diskspace may corrupt the "
                   "currently accessed data file(s).Press OK if you want to continue and Cancel if you want to "
                   "abort the import!";
        case SpaceNeed::Process:
            return "This may be too little for this process. Running out of diskspace may corrupt the currently "
                   "accessed data file(s).Press OK if you want to continue and Cancel if you want to abort this "
                   "process!";
        case SpaceNeed::Import:
            return "This may be too little to allow import. Running out of diskspace may corrupt the currently "
                   "accessed data file(s).Press OK if you want to continue and Cancel if you want to abort the "
                   "import!";
    }
    return "";
}

}  // namespace

std::string lowSpaceText(std::uint64_t freeBytes, const std::string& path, SpaceNeed need) {
    std::string count = groupedNumber(static_cast<long long>(freeBytes));
    if (count.size() < 13) count.insert(0, 13 - count.size(), ' ');
    return "You have only " + count + " bytes free on disk  " + path + "\r\n" + reasonText(need);
}

SpaceVerdict checkFreeSpace(const FreeSpaceFunction& freeSpace, const std::string& path, std::uint64_t needed,
                            SpaceNeed need) {
    const std::int64_t available = freeSpace ? freeSpace(path) : freeDiskSpace(path);
    if (available < 0 || static_cast<std::uint64_t>(available) >= needed) return SpaceVerdict::Enough;
    if (quiet()) return SpaceVerdict::Stop;
    beep();
    const Button answer = message("Warning", lowSpaceText(static_cast<std::uint64_t>(available), path, need),
                                  Icon::Exclamation, ButtonOk | ButtonCancel, ButtonCancel);
    return answer == ButtonOk ? SpaceVerdict::Continue : SpaceVerdict::Stop;
}

}  // namespace pm
