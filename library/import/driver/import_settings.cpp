#include "import/driver/import_settings.h"

namespace pm {

int importSpeedQuota() { return 100; }

bool showCompletionTime() { return false; }

}  // namespace pm
