#include "import/driver/import_settings.h"

#include "tables/config/settings.h"

namespace pm {

int importSpeedQuota() {
    const int quota = SpeedVal(SpeedImportMerge);
    return quota > 0 ? quota : 100;
}

// A stored 0 takes the default (1), so the choice is kept as 1 = Yes, 2 = No.
bool showCompletionTime() { return configValue(kShowCompletionTimeItem) == 1; }

}  // namespace pm
